// Runs of the program on a Direct3D debug device, which turns on the Khronos validation layer
// behind Direct3D 11: the default run and each switch must leave the layer silent.
#include <gtest/gtest.h>

#include "support/program_run.h"

namespace {

class ValidatedRuns : public testing::TestWithParam<const char *> {};

void ExpectSilentLayer(const ProgramRun &run) {
  EXPECT_EQ(run.exit_status, 0) << run.err;
  // The layer is one of the test dependencies: a run without it proves nothing.
  ASSERT_EQ(run.err.find("is not installed"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("Vulkan validation"), std::string::npos) << run.err;
  EXPECT_EQ(run.OutLines().back(), "end");
}

TEST_P(ValidatedRuns, GiveNoValidationMessage) {
  std::vector<std::string> arguments = {"--debug-device"};
  if (*GetParam()) arguments.push_back(GetParam());
  ExpectSilentLayer(RunProgram(INTERLOCK_BINARY, arguments));
}

// The device's import of the windows' pixels and its writes into them.
TEST(ValidatedRun, OfFramesWrittenByTheDeviceGivesNoValidationMessage) {
  ExpectSilentLayer(RunProgram(INTERLOCK_BINARY, {"--debug-device"}, {{"INTERLOCK_PRESENT", "device"}}));
}

INSTANTIATE_TEST_SUITE_P(DefaultAndEverySwitch, ValidatedRuns,
                         testing::Values("", "--render-buffer", "--render-texture", "--compat-gl", "--core-gl",
                                         "--share-objects", "--bind-rb", "--alloc-rb-storage", "--debug-factory",
                                         "--fatal-gl-errors", "--no-decorations"));

}  // namespace
