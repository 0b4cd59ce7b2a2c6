// Runs of the program on a Direct3D debug device, which turns on the Khronos validation layer
// behind Direct3D 11, with synchronisation validation and best practices (vk_layer_settings.txt):
// the default run and each switch must leave the layer silent.
#include <gtest/gtest.h>

#include "support/program_run.h"

namespace {

class ValidatedRuns : public testing::TestWithParam<const char *> {};

// A run on the debug device with `arguments` after "--debug-device" and `environment`.
void ExpectSilentLayer(std::vector<std::string> arguments,
                       std::vector<std::pair<std::string, std::string>> environment = {}) {
  arguments.insert(arguments.begin(), "--debug-device");
  environment.push_back({"VK_LAYER_SETTINGS_PATH", VK_LAYER_SETTINGS});
  ProgramRun run = RunProgram(INTERLOCK_BINARY, arguments, environment);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  // The layer is one of the test dependencies: a run without it proves nothing.
  ASSERT_EQ(run.err.find("is not installed"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("Vulkan validation"), std::string::npos) << run.err;
  EXPECT_EQ(run.OutLines().back(), "end");
}

TEST_P(ValidatedRuns, GiveNoValidationMessage) {
  if (*GetParam()) {
    ExpectSilentLayer({GetParam()});
  } else {
    ExpectSilentLayer({});
  }
}

// The device's import of the windows' pixels and its writes into them.
TEST(ValidatedRun, OfFramesWrittenByTheDeviceGivesNoValidationMessage) {
  ExpectSilentLayer({}, {{"INTERLOCK_PRESENT", "device"}});
}

INSTANTIATE_TEST_SUITE_P(DefaultAndEverySwitch, ValidatedRuns,
                         testing::Values("", "--render-buffer", "--render-texture", "--compat-gl", "--core-gl",
                                         "--share-objects", "--bind-rb", "--alloc-rb-storage", "--debug-factory",
                                         "--fatal-gl-errors", "--no-decorations"));

}  // namespace
