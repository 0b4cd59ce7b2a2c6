// A private Xvfb server for a test program: Xvfb chooses a free display number itself
// (-displayfd), DISPLAY points at it while it runs, and it is stopped at the end.
#pragma once

#include <sys/types.h>

#include <string>

class XvfbServer {
 public:
  // Whether the server offers MIT-SHM, in which clients share images' memory with it.
  enum class SharedMemory { kOffered, kDisabled };

  explicit XvfbServer(SharedMemory shared_memory = SharedMemory::kOffered) : shared_memory_(shared_memory) {}
  ~XvfbServer();
  XvfbServer(const XvfbServer &) = delete;
  XvfbServer &operator=(const XvfbServer &) = delete;

  // Starts Xvfb with one 1920x1200 24-bit screen, in an environment of its own that holds only
  // PATH, and sets DISPLAY; on failure returns false and says why (Xvfb missing, or it did not
  // come up).
  bool Start(std::string *why);
  // Ends the server now, as a crash or the end of a session would: asks it to end and kills it
  // when it has not within five seconds.
  void Stop();

 private:
  SharedMemory shared_memory_;
  pid_t pid_ = 0;
};
