// What presentation sees of a window on the headless desktop: the class brush until an image
// is presented, then the image over the brush; nothing for a window that is gone.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/user32/message_recorder.h"
#include "display/display.h"

namespace {

TEST(PresentedImages, ClientShowsTheBrushThenThePresentedImage) {
  MessageRecorder recorder;
  HWND hwnd = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  ASSERT_EQ(shown.width, 40);
  ASSERT_EQ(shown.height, 30);
  EXPECT_EQ(shown.bgra[2], 0xFF);  // the recorder's red brush
  EXPECT_EQ(shown.bgra[0], 0x00);

  ilk::display::WindowImage image;
  image.width = 10;
  image.height = 50;  // taller than the client: clipped
  image.bgra.assign(10 * 50 * 4, 0x80);
  EXPECT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), image));
  ilk::display::WaitForPresentedImages();
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  EXPECT_EQ(shown.bgra[(29 * 40 + 9) * 4], 0x80);       // inside the image
  EXPECT_EQ(shown.bgra[(29 * 40 + 10) * 4 + 2], 0xFF);  // the brush right of it

  DestroyWindow(hwnd);
  EXPECT_FALSE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), image));
  EXPECT_FALSE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  DrainMessages();
}

TEST(PresentedImages, AWriterFillsTheWindowsOwnImageInPlaceFromOneImageToTheNext) {
  MessageRecorder recorder;
  HWND hwnd = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 4, 2);
  uint8_t *first = nullptr, *second = nullptr;
  EXPECT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 4, 2, [&](uint8_t *bgra) {
    first = bgra;
    for (int i = 0; i < 4 * 2 * 4; ++i) bgra[i] = (uint8_t)i;
  }));
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  ASSERT_EQ(shown.bgra.size(), 4u * 2 * 4);
  // The window shows its image opaque, whatever the fourth byte held.
  for (int i = 0; i < 4 * 2 * 4; ++i) EXPECT_EQ(shown.bgra[i], i % 4 == 3 ? 0xFF : (uint8_t)i);
  EXPECT_TRUE(
      ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 4, 2, [&](uint8_t *bgra) { second = bgra; }));
  EXPECT_EQ(second, first);  // the same size keeps the memory, and what it held

  DestroyWindow(hwnd);
  bool written = false;
  EXPECT_FALSE(
      ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 4, 2, [&](uint8_t *) { written = true; }));
  EXPECT_FALSE(written);
  DrainMessages();
}

}  // namespace
