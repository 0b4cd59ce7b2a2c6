// Windows and message boxes on a real X server (a private Xvfb): a window appears where it
// should with its frame and class brush, shows presented images, turns clicks into hit-tested
// messages and the window manager's close into WM_CLOSE; the message box shows its text on
// several lines and is dismissed by Enter.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <future>

#include "common/knobs.h"
#include "platform/user32/message_recorder.h"
#include "platform/display/x11_fixture.h"
#include "display/display.h"

namespace {

class X11Windows : public X11DialogFixture {
 protected:
  // Dispatches messages until `done` holds or `timeout_ms` passes.
  template <typename Done>
  bool PumpUntil(Done done, int timeout_ms = 3000) {
    for (int waited = 0; waited < timeout_ms; waited += 5) {
      DrainMessages();
      if (done()) return true;
      Pause(5);
    }
    return done();
  }

  MessageRecorder recorder_;
};

const unsigned long kRed = 0xFF0000;  // the recorder class's brush

TEST_F(X11Windows, WindowAppearsWithFrameBrushAndPresentedImage) {
  HWND hwnd = recorder_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 400, 300);
  Window xid = driver_.WaitForWindow("recorded", 3000);
  ASSERT_NE(xid, 0u);
  int x, y, width, height;
  ASSERT_TRUE(driver_.Geometry(xid, &x, &y, &width, &height));
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 80);
  EXPECT_EQ(width, 400);
  EXPECT_EQ(height, 300);
  DrainMessages();
  EXPECT_EQ(driver_.PixelAt(xid, 200, 150), kRed);   // client area: the class brush
  EXPECT_EQ(driver_.PixelAt(xid, 200, 12), 0xFFFFFFu);  // caption: the frame colour

  ilk::display::WindowImage image;
  image.width = image.height = 50;
  image.bgra.assign(50 * 50 * 4, 0);
  for (size_t i = 0; i < image.bgra.size(); i += 4) image.bgra[i + 1] = image.bgra[i + 3] = 0xFF;  // green
  ASSERT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), image));
  ilk::display::WaitForPresentedImages();
  EXPECT_EQ(driver_.PixelAt(xid, 8 + 10, 31 + 10), 0x00FF00u);  // the image at the client's corner
  EXPECT_EQ(driver_.PixelAt(xid, 8 + 60, 31 + 60), kRed);        // the brush beyond it
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  EXPECT_EQ(shown.width, 384);
  EXPECT_EQ(shown.height, 261);
  EXPECT_EQ(shown.bgra[1], 0xFF);
  EXPECT_EQ(shown.bgra[(100 * 384 + 100) * 4 + 2], 0xFF);
  DestroyWindow(hwnd);
  EXPECT_FALSE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), image));
}

TEST_F(X11Windows, ImagesWrittenInPlaceReachTheServerAtEachSize) {
  HWND hwnd = recorder_.Create(WS_POPUP | WS_VISIBLE, 100, 80, 200, 100);
  Window xid = driver_.WaitForWindow("recorded", 3000);
  ASSERT_NE(xid, 0u);
  DrainMessages();
  // Writes `count` pixels of one colour, B, G, R, A.
  auto solid = [](uint32_t bgra_word, int count) {
    return [bgra_word, count](uint8_t *bgra) {
      for (int i = 0; i < count; ++i) memcpy(bgra + i * 4, &bgra_word, 4);
    };
  };
  uint8_t *first = nullptr, *again = nullptr;
  ASSERT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 50, 40, [&](uint8_t *bgra) {
    first = bgra;
    solid(0xFF00FF00u, 50 * 40)(bgra);  // green
  }));
  ilk::display::WaitForPresentedImages();
  EXPECT_EQ(driver_.PixelAt(xid, 10, 10), 0x00FF00u);
  ASSERT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 50, 40, [&](uint8_t *bgra) {
    again = bgra;
    solid(0xFF0000FFu, 50 * 40)(bgra);  // blue
  }));
  ilk::display::WaitForPresentedImages();
  EXPECT_EQ(again, first);  // the same size keeps the memory
  EXPECT_EQ(driver_.PixelAt(xid, 49, 39), 0x0000FFu);
  EXPECT_EQ(driver_.PixelAt(xid, 50, 39), kRed);  // the brush beyond the image
  // Cyan, all of it.
  ASSERT_TRUE(ilk::display::PresentWindowImage(ilk::display::SurfaceOf(hwnd), 200, 100, solid(0xFF00FFFFu, 200 * 100)));
  ilk::display::WaitForPresentedImages();
  EXPECT_EQ(driver_.PixelAt(xid, 199, 99), 0x00FFFFu);
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  EXPECT_EQ(shown.bgra[(99 * 200 + 199) * 4], 0xFF);
  EXPECT_EQ(shown.bgra[(99 * 200 + 199) * 4 + 2], 0x00);
  DestroyWindow(hwnd);
}

TEST_F(X11Windows, ClientPartlyOffTheScreenReadsWhatWasDrawnThere) {
  HWND hwnd = recorder_.Create(WS_POPUP | WS_VISIBLE, 1820, 1100, 200, 200);  // screen: 1920x1200
  ASSERT_NE(driver_.WaitForWindow("recorded", 3000), 0u);
  DrainMessages();
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(hwnd), &shown));
  ASSERT_EQ(shown.width, 200);
  EXPECT_EQ(shown.bgra[(50 * 200 + 50) * 4 + 2], 0xFF);     // on the screen, read back
  EXPECT_EQ(shown.bgra[(150 * 200 + 150) * 4 + 2], 0xFF);   // off the screen, as drawn
  DestroyWindow(hwnd);
}

TEST_F(X11Windows, ClicksAreHitTestedAndCloseBecomesWmClose) {
  HWND hwnd = recorder_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 400, 300);
  Window xid = driver_.WaitForWindow("recorded", 3000);
  ASSERT_NE(xid, 0u);
  DrainMessages();
  recorder_.Clear();
  driver_.MoveTo(300 + 100, 300 + 31 + 50);
  driver_.Button(true);
  driver_.Button(false);
  auto has = [&](UINT message) {
    for (const RecordedMessage &m : recorder_.messages()) {
      if (m.message == message) return &m;
    }
    return (const RecordedMessage *)nullptr;
  };
  ASSERT_TRUE(PumpUntil([&] { return has(WM_LBUTTONUP) != nullptr; }));
  EXPECT_NE(has(WM_NCHITTEST), nullptr);
  EXPECT_NE(has(WM_SETCURSOR), nullptr);
  EXPECT_EQ(has(WM_NCLBUTTONDOWN), nullptr);

  XEvent close = {};
  close.xclient.type = ClientMessage;
  close.xclient.window = xid;
  close.xclient.message_type = XInternAtom(driver_.display(), "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = (long)XInternAtom(driver_.display(), "WM_DELETE_WINDOW", False);
  XSendEvent(driver_.display(), xid, False, NoEventMask, &close);
  XSync(driver_.display(), False);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
  EXPECT_NE(has(WM_CLOSE), nullptr);
}

// The program makes and destroys windows of its own while a test looks at the screen: a look at
// one that has just gone must find nothing rather than end the test's process.
TEST_F(X11Windows, ALookAtAWindowThatHasGoneFindsNothing) {
  XErrorHandler platform_handler = XSetErrorHandler(nullptr);  // Xlib's own: it ends the process
  ::Display *display = driver_.display();
  Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
  XDestroyWindow(display, gone);
  int x, y, width, height;
  EXPECT_FALSE(driver_.Geometry(gone, &x, &y, &width, &height));
  EXPECT_EQ(driver_.PixelAt(gone, 0, 0), ~0ul);
  XSetErrorHandler(platform_handler);
}

// Counts the text-coloured (dark) pixels of each row of the dialog.
std::vector<int> DarkPixelsPerRow(XTestDriver &driver, Window xid) {
  int x, y, width, height;
  driver.Geometry(xid, &x, &y, &width, &height);
  XImage *image = XGetImage(driver.display(), xid, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
  std::vector<int> rows((size_t)height, 0);
  for (int row = 0; image && row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      unsigned long pixel = XGetPixel(image, column, row);
      rows[(size_t)row] += (pixel >> 16 & 0xFF) < 0x60 && (pixel >> 8 & 0xFF) < 0x60 && (pixel & 0xFF) < 0x60;
    }
  }
  if (image) XDestroyImage(image);
  return rows;
}

TEST_F(X11Windows, MessageBoxShowsItsLinesAndEnterDismissesIt) {
  auto answer = std::async(std::launch::async, [] { return MessageBoxA(NULL, "first line\nsecond line", "Box title", MB_OK); });
  Window xid = driver_.WaitForWindow("Box title", 3000);
  ASSERT_NE(xid, 0u);
  Pause(100);
  // Below the caption the box draws itself (no window manager runs), two bands of text rows
  // above the button's label.
  std::vector<int> rows = DarkPixelsPerRow(driver_, xid);
  int bands = 0;
  for (size_t i = 32; i < rows.size(); ++i) bands += rows[i] > 0 && rows[i - 1] == 0;
  EXPECT_EQ(bands, 3);  // two lines of text and "OK"
  driver_.Key(XK_Return);
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(3)), std::future_status::ready);
  EXPECT_EQ(answer.get(), IDOK);
  EXPECT_EQ(driver_.WaitForWindow("Box title", 0), 0u);
}

}  // namespace
