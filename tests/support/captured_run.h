// Running program code under the emulated debugger (INTERLOCK_DEBUGGER=continue) with knobs set,
// capturing what it writes, so that every failed check reports and the run goes on.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "support/scoped_knobs.h"

struct CapturedOutput {
  std::string out;  // standard output: the failure reports
  std::string err;  // standard error: the debugger channel, traces and platform lines
};

// Runs `body` with the emulated debugger and `knobs` (a null value unsets the knob).
template <typename Body>
CapturedOutput RunUnderDebugger(Body body, std::initializer_list<std::pair<const char *, const char *>> knobs) {
  ScopedKnobs debugger({{"INTERLOCK_DEBUGGER", "continue"}});
  ScopedKnobs others(knobs);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  body();
  CapturedOutput output;
  output.out = testing::internal::GetCapturedStdout();
  output.err = testing::internal::GetCapturedStderr();
  return output;
}
