// Debugger detection, breakpoints and output: the emulated debugger continues after a trap; a
// trap nobody catches ends the process with status 3.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/scoped_knobs.h"

namespace {

TEST(Debugger, EmulatedDebuggerIsPresentAndContinues) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", "continue"}});
  EXPECT_TRUE(IsDebuggerPresent());
  testing::internal::CaptureStderr();
  DebugBreak();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "interlock: debugger break\n");
}

TEST(Debugger, AbsentWithoutTracerOrKnob) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", nullptr}});
  EXPECT_FALSE(IsDebuggerPresent());
}

TEST(DebuggerDeathTest, UnhandledBreakpointEndsTheProcessWithStatus3) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", nullptr}});
  EXPECT_EXIT(DebugBreak(), testing::ExitedWithCode(3), "unhandled breakpoint");
}

TEST(Debugger, OutputGoesUnchangedToTheDebuggerChannel) {
  testing::internal::CaptureStderr();
  OutputDebugStringA("GL error 1282 in glEnd @949\n");
  OutputDebugStringA("no newline");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "GL error 1282 in glEnd @949\nno newline");
}

}  // namespace
