// Whole runs of the program on what a GPU reports (the simulated-GPU layer under Direct3D's
// Vulkan device, and under Zink's where OpenGL runs on Zink): where OpenGL and Direct3D are one
// device the frames are those of the plain run, whatever formats and memory the device offers;
// where they are not, the run is refused with a line that names both. With two Vulkan drivers,
// as on a machine with a GPU and Mesa, OpenGL follows Direct3D's device where it can.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/captured_frames.h"
#include "support/program_run.h"

namespace {

using Environment = std::vector<std::pair<std::string, std::string>>;

const char *const kSwitches[] = {"", "--render-buffer", "--render-texture", "--compat-gl", "--core-gl",
                                 "--share-objects", "--bind-rb", "--alloc-rb-storage", "--debug-factory",
                                 "--fatal-gl-errors", "--no-decorations"};

Environment OnSimulatedGpu(const char *conditions, const char *opengl_driver) {
  return {{"VK_LAYER_PATH", SIMULATED_GPU_LAYER_DIR},
          {"VK_INSTANCE_LAYERS", "VK_LAYER_INTERLOCK_simulated_gpu"},
          {"SIMULATED_GPU", conditions},
          {"GALLIUM_DRIVER", opengl_driver},
          {"LIBGL_ALWAYS_SOFTWARE", "1"}};
}

struct Run {
  ProgramRun run;
  std::map<std::string, std::string> frames;
};

Run Capture(const char *argument, Environment environment) {
  CaptureDir capture;
  environment.push_back({"INTERLOCK_CAPTURE", capture.path()});
  std::vector<std::string> arguments;
  if (*argument) arguments.push_back(argument);
  Run result{RunProgram(INTERLOCK_BINARY, arguments, environment), {}};
  result.frames = CapturedFrames(capture.path());
  return result;
}

// The same output and the very same frames as the plain run on llvmpipe and lavapipe.
void ExpectTheFramesOfThePlainRun(const char *argument, const Environment &environment) {
  Run plain = Capture(argument, {{"GALLIUM_DRIVER", "llvmpipe"}});
  Run simulated = Capture(argument, environment);
  EXPECT_EQ(simulated.run.exit_status, plain.run.exit_status) << simulated.run.err;
  EXPECT_EQ(simulated.run.err.find("no EGL display runs OpenGL"), std::string::npos) << simulated.run.err;
  EXPECT_EQ(simulated.run.err.find("cannot share"), std::string::npos) << simulated.run.err;
  EXPECT_EQ(MaskAddresses(simulated.run.out), MaskAddresses(plain.run.out));
  EXPECT_FALSE(plain.frames.empty());
  EXPECT_TRUE(simulated.frames == plain.frames);
}

class ZinkOnAGpu : public testing::TestWithParam<const char *> {};

// Zink reports the UUIDs of the Vulkan device it runs on, so it pairs with Direct3D's.
TEST_P(ZinkOnAGpu, DrawsTheFramesOfThePlainRun) {
  ExpectTheFramesOfThePlainRun(GetParam(), OnSimulatedGpu("uuids", "zink"));
}

INSTANTIATE_TEST_SUITE_P(DefaultAndEverySwitch, ZinkOnAGpu, testing::ValuesIn(kSwitches));

class LlvmpipeOnAGpu : public testing::TestWithParam<const char *> {};

// Formats and memory chosen from what the device reports change nothing on screen: a
// depth-stencil format that cannot be shared, memory shared only in dedicated allocations, the
// memory types of a discrete GPU (read back through cached memory that is not coherent).
TEST_P(LlvmpipeOnAGpu, DrawsTheFramesOfThePlainRun) {
  for (const char *argument : {"", "--render-texture", "--share-objects"}) {
    SCOPED_TRACE(argument);
    ExpectTheFramesOfThePlainRun(argument, OnSimulatedGpu(GetParam(), "llvmpipe"));
  }
}

INSTANTIATE_TEST_SUITE_P(Conditions, LlvmpipeOnAGpu,
                         testing::Values("unsharable-d24s8", "dedicated-only", "discrete-memory",
                                         "unsharable-d24s8,dedicated-only,discrete-memory"));

// A run refused because OpenGL runs on `opengl` and Direct3D on the Vulkan device `direct3d`
// (each "<name> (device UUID ..."): the pairing's note and wglDXOpenDeviceNV's refusal name both,
// and the run ends without a crash. Gives the refusal's line.
std::string ExpectRefused(const ProgramRun &run, const std::string &direct3d, const std::string &opengl) {
  EXPECT_NE(run.err.find("interlock: no EGL display runs OpenGL on Direct3D's Vulkan device " + direct3d),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("; surfaceless on " + opengl), std::string::npos) << run.err;
  EXPECT_NE(run.exit_status, -1) << "the run crashed\n" << run.err;
  EXPECT_NE(run.exit_status, 0);
  size_t line = run.err.find("interlock: OpenGL runs on " + opengl);
  EXPECT_NE(line, std::string::npos) << run.err;
  if (line == std::string::npos) return "";
  std::string refusal = run.err.substr(line, run.err.find('\n', line) - line);
  EXPECT_NE(refusal.find("and Direct3D on Vulkan device " + direct3d), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("): they cannot share memory"), std::string::npos) << refusal;
  EXPECT_NE(run.err.find("wglDXOpenDeviceNV for the D3D device"), std::string::npos) << run.err;
  return refusal;
}

TEST(LlvmpipeOnAGpu, WithOtherUuidsIsRefusedWithALineNamingBothDevices) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, OnSimulatedGpu("uuids", "llvmpipe"));
  // OpenGL is not paired: no EGL display runs on the simulated GPU.
  ExpectRefused(run, "Simulated GPU (device UUID ", "llvmpipe");
}

// A render node that only Vulkan names leaves the pairing to the UUIDs: the EGL device, which
// names none, is still asked, and the refusal names the Vulkan device's node.
TEST(LlvmpipeOnAGpu, WithARenderNodeIsPairedByItsUuidsAndNamedWithItsNode) {
  ExpectTheFramesOfThePlainRun("", OnSimulatedGpu("render-node", "llvmpipe"));
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, OnSimulatedGpu("uuids,render-node", "llvmpipe"));
  std::string refusal = ExpectRefused(run, "Simulated GPU (device UUID ", "llvmpipe");
  EXPECT_NE(refusal.find(", render node 226:128): they cannot share memory"), std::string::npos) << refusal;
  EXPECT_NE(run.err.find(", render node 226:128); surfaceless on llvmpipe"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("; device 0 on llvmpipe"), std::string::npos) << run.err;
}

// A display the knob names is used as it is, paired or not.
TEST(LlvmpipeOnAGpu, TheKnobsPlatformIsNotPaired) {
  Environment environment = OnSimulatedGpu("uuids", "llvmpipe");
  environment.push_back({"INTERLOCK_EGL_PLATFORM", "surfaceless"});
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, environment);
  EXPECT_EQ(run.err.find("no EGL display runs OpenGL"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("they cannot share memory"), std::string::npos) << run.err;
}

// Two Vulkan drivers, lavapipe and a copy of it: the first device the layer enumerates is the
// "Simulated GPU", the second Mesa's lavapipe, which Mesa's llvmpipe OpenGL runs on. Mesa's
// device-select layer, above this one, keeps that order for two CPU devices, so the program sees
// them as devices 0 and 1. Direct3D takes the first device that can export memory unless
// INTERLOCK_VULKAN_DEVICE names one.
Environment OnTwoDevices(const char *opengl_driver, const char *vulkan_device) {
  Environment environment = OnSimulatedGpu("uuids-on-first", opengl_driver);
  environment.push_back({"VK_DRIVER_FILES", std::string(LAVAPIPE_ICD) + ":" + SECOND_LAVAPIPE_ICD});
  if (*vulkan_device) environment.push_back({"INTERLOCK_VULKAN_DEVICE", vulkan_device});
  return environment;
}

// The name of lavapipe's Vulkan device and of llvmpipe's OpenGL renderer alike.
const char kLavapipe[] = "llvmpipe (LLVM ";

class TwoVulkanDevices : public testing::Test {
 protected:
  void SetUp() override {
    if (!*SECOND_LAVAPIPE_ICD) GTEST_SKIP() << "lavapipe is not installed";
  }
};

// llvmpipe's OpenGL runs on lavapipe: Direct3D there is paired, on the simulated GPU refused.
TEST_F(TwoVulkanDevices, LlvmpipePairsWithDirect3DOnLavapipeOnly) {
  ExpectTheFramesOfThePlainRun("", OnTwoDevices("llvmpipe", "1"));
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, OnTwoDevices("llvmpipe", ""));
  ExpectRefused(run, "Simulated GPU (device UUID ", kLavapipe);
}

// Zink, asked for software rendering, runs on the first CPU device, which is the simulated GPU
// (the layer leaves the device type alone): Direct3D there is paired, on lavapipe refused.
TEST_F(TwoVulkanDevices, ZinkPairsWithDirect3DOnItsOwnDeviceOnly) {
  ExpectTheFramesOfThePlainRun("", OnTwoDevices("zink", ""));
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, OnTwoDevices("zink", "1"));
  ExpectRefused(run, kLavapipe, "zink (Simulated GPU) (device UUID ");
}

}  // namespace
