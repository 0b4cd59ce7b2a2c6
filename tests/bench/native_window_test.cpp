// The native program shows the triangle at any size and after a resize, and the benchmark's
// pixel check refuses frames that are wrong in the ways a fast present could be.
#include <gtest/gtest.h>

#include "frame_protocol.h"
#include "native_window.h"

namespace native {
namespace {

class NativeWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vulkan_.Open());
    ASSERT_TRUE(egl_.Open());
  }
  Vulkan vulkan_;
  Egl egl_;
};

bool Shows(const Window &window) {
  return bench::ShowsTriangle("test", (int)window.Width(), (int)window.Height(), window.Pixels());
}

TEST_F(NativeWindowTest, ShowsTheTriangleAndAgainAfterAResize) {
  Window window(vulkan_, egl_);
  ASSERT_TRUE(window.Open(256, 200));
  ASSERT_TRUE(window.Frame());
  EXPECT_TRUE(Shows(window));
  ASSERT_TRUE(window.Resize(300, 320));
  ASSERT_TRUE(window.Frame());
  ASSERT_EQ(window.Pixels().size(), 300u * 320 * 4);
  EXPECT_TRUE(Shows(window));
}

TEST_F(NativeWindowTest, TwoWindowsDrawIndependently) {
  Window first(vulkan_, egl_), second(vulkan_, egl_);
  ASSERT_TRUE(first.Open(240, 240));
  ASSERT_TRUE(second.Open(320, 280));
  ASSERT_TRUE(second.Frame());
  ASSERT_TRUE(first.Frame());
  EXPECT_TRUE(Shows(first));
  EXPECT_TRUE(Shows(second));
}

TEST_F(NativeWindowTest, ThePixelCheckRefusesWrongFrames) {
  const int size = 256;
  Window window(vulkan_, egl_);
  ASSERT_TRUE(window.Open(size, size));
  ASSERT_TRUE(window.Frame());
  const std::vector<uint8_t> &right = window.Pixels();
  ASSERT_TRUE(bench::ShowsTriangle("test", size, size, right));
  testing::internal::CaptureStderr();

  std::vector<uint8_t> swapped = right;  // red and blue the GPU's way round
  for (size_t i = 0; i < swapped.size(); i += 4) std::swap(swapped[i], swapped[i + 2]);
  EXPECT_FALSE(bench::ShowsTriangle("test", size, size, swapped));
  std::vector<uint8_t> translucent = right;  // the presented alpha, not composed
  translucent[3] = 102;
  EXPECT_FALSE(bench::ShowsTriangle("test", size, size, translucent));
  std::vector<uint8_t> flipped(right.size());  // rows bottom first
  size_t row = (size_t)size * 4;
  for (int y = 0; y < size; ++y) std::copy_n(&right[(size - 1 - y) * row], row, &flipped[y * row]);
  EXPECT_FALSE(bench::ShowsTriangle("test", size, size, flipped));
  EXPECT_FALSE(bench::ShowsTriangle("test", size, size - 1, right));  // not the size it claims

  EXPECT_NE(testing::internal::GetCapturedStderr().find("does not show the triangle"), std::string::npos);
}

}  // namespace
}  // namespace native
