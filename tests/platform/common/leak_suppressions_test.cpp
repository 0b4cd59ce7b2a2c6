// The sanitizer runs' leak suppressions name libraries, not a blanket: a block lost in a listed
// driver's one-time set-up, after the driver was unloaded, does not fail a run, while the same
// block in a library that is not listed, or a block lost by our own code, still does.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "support/captured_frames.h"
#include "support/program_run.h"

namespace {

// A suppressions file with the project's own entries, and the stand-in driver when `listed`.
std::string Suppressions(bool listed) {
  std::string text = ReadText(LEAK_SUPPRESSIONS);
  if (listed) text += "leak:libleak_probe_driver.so\n";
  // A file of this test process's own: ctest runs the tests side by side.
  std::string path = testing::TempDir() + "leak-" + std::to_string(getpid()) + (listed ? "-listed.supp" : "-unlisted.supp");
  std::ofstream(path) << text;
  return path;
}

ProgramRun RunProbe(bool driver_listed, bool leak_here) {
  std::vector<std::string> arguments;
  if (leak_here) arguments.push_back("--leak-here");
  return RunProgram(LEAK_PROBE, arguments,
                    {{"ASAN_OPTIONS", "detect_leaks=1"},
                     {"LSAN_OPTIONS", "print_suppressions=0:suppressions=" + Suppressions(driver_listed)}});
}

class LeakSuppressions : public testing::Test {
 protected:
  void SetUp() override {
#ifndef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "no leak checker in this build";
#endif
  }
};

TEST_F(LeakSuppressions, ABlockLostInAListedDriverDoesNotFailTheRun) {
  ProgramRun run = RunProbe(true, false);
  EXPECT_EQ(run.exit_status, 0) << run.err;
}

TEST_F(LeakSuppressions, ABlockLostInAnUnlistedLibraryIsReportedWithItsFrame) {
  ProgramRun run = RunProbe(false, false);
  EXPECT_NE(run.exit_status, 0);
  // The library was unloaded, yet its frame is still named: it stayed mapped.
  EXPECT_NE(run.err.find("LeakProbeDriverSetUp"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("<unknown module>"), std::string::npos) << run.err;
}

TEST_F(LeakSuppressions, ABlockLostByOurOwnCodeFailsTheRunBesideAListedDriver) {
  ProgramRun run = RunProbe(true, true);
  EXPECT_NE(run.exit_status, 0);
  EXPECT_NE(run.err.find("LeakProbeOwnLeak"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("LeakProbeDriverSetUp"), std::string::npos) << run.err;
}

}  // namespace
