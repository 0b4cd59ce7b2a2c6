// The platform's DLLs call one another privately, never through the program's exports: failing
// every export they could call for themselves changes nothing the program writes, and each
// such INTERLOCK_FAIL entry is reported as matching no call of the run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>

#include "support/program_run.h"

namespace {

std::string MaskAddresses(const std::string &text) {
  return std::regex_replace(text, std::regex("[0-9A-F]{16}"), "################");
}

// Exports of user32, gdi32, kernel32 and Direct3D that the program itself never calls.
const char *const kPrivateCalls[] = {"WindowFromDC",     "IsWindow",  "GetPixelFormat", "CreateSemaphoreW",
                                     "ReleaseSemaphore", "GetDevice", "GetWindowTextW"};

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

// Capture names its files after the titles the display holds: it asks no window procedure.
TEST(PlatformCalls, CaptureAsksTheWindowManagerNothing) {
  std::string directory = testing::TempDir() + "platform-calls-" + std::to_string(getpid());
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_CAPTURE", directory}, {"INTERLOCK_TRACE", "1"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.err.find("captured " + directory + "/Sample_1-0001.png"), std::string::npos);
  EXPECT_EQ(run.err.find(", 0x000d) = "), std::string::npos);  // WM_GETTEXT
  std::filesystem::remove_all(directory);
}

}  // namespace
