// The platform's DLLs call one another privately, never through the program's exports: failing
// every export they could call for themselves changes nothing the program writes, and each
// such INTERLOCK_FAIL entry is reported as matching no call of the run.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/captured_frames.h"
#include "support/program_run.h"

namespace {

// Exports of user32, gdi32, kernel32 and Direct3D that the program itself never calls: those
// INTERLOCK_FAIL can fail, and those it cannot (an entry naming one is ignored with a note).
const char *const kPrivateCalls[] = {"WindowFromDC", "CreateSemaphoreW", "ReleaseSemaphore", "GetDevice",
                                     "GetWindowTextW"};
const char *const kUnfailablePrivateCalls[] = {"IsWindow", "GetPixelFormat"};

TEST(PlatformCalls, FailingExportsTheProgramDoesNotCallLeavesItsOutputUnchanged) {
  std::string failed;
  for (const char *name : kPrivateCalls) failed += std::string(failed.empty() ? "" : ",") + name;
  for (const char *argument : {"--render-buffer", "--render-texture"}) {
    ProgramRun plain = RunProgram(INTERLOCK_BINARY, {argument}, {{"INTERLOCK_DEBUGGER", "continue"}});
    ProgramRun failing = RunProgram(INTERLOCK_BINARY, {argument},
                                    {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", failed}});
    EXPECT_EQ(failing.exit_status, 0) << failing.err;
    EXPECT_EQ(MaskAddresses(failing.out), MaskAddresses(plain.out)) << argument;
    for (const char *name : kPrivateCalls) {
      EXPECT_NE(failing.err.find(std::string("INTERLOCK_FAIL entry '") + name + "' matched no platform function"),
                std::string::npos)
          << name << "\n" << failing.err;
    }
  }
}

// The trace shows the program's calls only: none of the exports above, and the last-error
// codes the platform sets (here for an injected GetDC failure) without a SetLastError line.
TEST(PlatformCalls, TheTraceShowsOnlyTheProgramsCalls) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_DEBUGGER", "continue"},
                                                    {"INTERLOCK_FAIL", "GetDC#3"},
                                                    {"INTERLOCK_TRACE", "1"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("GetDC"), std::string::npos);  // the program reports the failure
  std::istringstream lines(run.err);
  int last_error_lines = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("interlock: trace: ", 0) != 0) continue;
    std::string call = line.substr(18);
    for (const char *name : kPrivateCalls) EXPECT_NE(call.rfind(std::string(name) + "(", 0), 0u) << line;
    for (const char *name : kUnfailablePrivateCalls) EXPECT_NE(call.rfind(std::string(name) + "(", 0), 0u) << line;
    if (call.rfind("SetLastError(", 0) == 0) {
      ++last_error_lines;
      EXPECT_EQ(call, "SetLastError(0)");  // the program clears the code before its checked calls
    }
  }
  EXPECT_GT(last_error_lines, 0);
}

// Capture names its files after the titles the display holds: it asks no window procedure.
TEST(PlatformCalls, CaptureAsksTheWindowManagerNothing) {
  CaptureDir capture;
  const std::string &directory = capture.path();
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_CAPTURE", directory}, {"INTERLOCK_TRACE", "1"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.err.find("captured " + directory + "/Sample_1-0001.png"), std::string::npos);
  EXPECT_EQ(run.err.find(", 0x000d) = "), std::string::npos);  // WM_GETTEXT
}

}  // namespace
