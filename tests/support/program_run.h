// Runs the built program as a user would, with platform knobs in its environment, and
// captures what it writes and how it ends.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ProgramRun {
  int exit_status = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;

  std::vector<std::string> OutLines() const;
};

// Runs `program` with `arguments`; `environment` entries (NAME, value) are added to, or take
// the place of the same names in, a clean copy of this process's environment in which every
// INTERLOCK_* knob is unset and INTERLOCK_DISPLAY is headless unless given.
ProgramRun RunProgram(const std::string &program, const std::vector<std::string> &arguments,
                      const std::vector<std::pair<std::string, std::string>> &environment = {});
