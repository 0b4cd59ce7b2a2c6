// Starting and stopping a private Xvfb server.
#include "platform/display/xvfb_server.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <vector>

namespace {

std::string FindOnPath(const std::string &program) {
  const char *path = getenv("PATH");
  std::istringstream directories(path ? path : "/usr/bin:/bin");
  for (std::string directory; std::getline(directories, directory, ':');) {
    std::string candidate = directory + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

}  // namespace

bool XvfbServer::Start(std::string *why) {
  std::string xvfb = FindOnPath("Xvfb");
  if (xvfb.empty()) {
    *why = "Xvfb is not installed";
    return false;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    *why = "no pipe";
    return false;
  }
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // a test process that dies takes its server with it
    std::string fd = std::to_string(fds[1]);
    std::vector<const char *> arguments = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1200x24",
                                           "-nolisten", "tcp", "-noreset"};
    if (shared_memory_ == SharedMemory::kDisabled) arguments.insert(arguments.end(), {"-extension", "MIT-SHM"});
    arguments.push_back(nullptr);
    // Nothing of the test's settings: an OpenGL driver chosen for the test (GALLIUM_DRIVER and
    // the Vulkan layers under Zink) or its DISPLAY would run inside the server too.
    std::string path = std::string("PATH=") + (getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin");
    const char *environment[] = {path.c_str(), nullptr};
    execve(xvfb.c_str(), const_cast<char *const *>(arguments.data()), const_cast<char *const *>(environment));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  struct pollfd ready = {fds[0], POLLIN, 0};
  char c;
  while (poll(&ready, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) {
    *why = "Xvfb did not start";
    return false;
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}

void XvfbServer::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  // A server that does not end within the bound is killed: a test never waits on it forever.
  for (int waited_ms = 0; waitpid(pid_, nullptr, WNOHANG) == 0; waited_ms += 10) {
    if (waited_ms >= 5000) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      break;
    }
    usleep(10 * 1000);
  }
  pid_ = 0;
}

XvfbServer::~XvfbServer() { Stop(); }
