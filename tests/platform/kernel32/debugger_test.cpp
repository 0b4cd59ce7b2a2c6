// Debugger detection, breakpoints and output: the emulated debugger continues after a trap; a
// trap nobody catches ends the process with status 3.
#include <gtest/gtest.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>
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

// A real tracer is a debugger: a child that asks its parent to trace it sees one, while this
// untraced process without the knob does not.
TEST(Debugger, PresentExactlyWhenATracerIsAttached) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", nullptr}});
  ASSERT_FALSE(IsDebuggerPresent());
  pid_t child = fork();
  if (child == 0) {
    if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(2);
    _exit(IsDebuggerPresent() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "this system does not allow tracing";
  EXPECT_EQ(WEXITSTATUS(status), 1);
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
