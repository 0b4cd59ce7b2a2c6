// A private Xvfb server for a test program: Xvfb chooses a free display number itself
// (-displayfd), DISPLAY points at it while it runs, and it is stopped at the end.
#pragma once

#include <sys/types.h>

#include <string>

class XvfbServer {
 public:
  XvfbServer() = default;
  ~XvfbServer();
  XvfbServer(const XvfbServer &) = delete;
  XvfbServer &operator=(const XvfbServer &) = delete;

  // Starts Xvfb with one 1920x1200 24-bit screen and sets DISPLAY; on failure returns false
  // and says why (Xvfb missing, or it did not come up).
  bool Start(std::string *why);
  // Ends the server now, as a crash or the end of a session would.
  void Stop();

 private:
  pid_t pid_ = 0;
};
