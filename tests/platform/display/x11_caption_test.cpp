// What a person sees of the captions, read back from a private Xvfb server: Windows 10's
// caption with the title in a proportional font and the caption buttons the styles give, UTF-8
// titles, and a message box that draws its own caption only where no window manager runs.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>
#include <windows.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <future>
#include <string>

#include "platform/display/x11_fixture.h"
#include "platform/user32/message_recorder.h"

namespace {

const int kButtonWidth = 46;

class X11Caption : public X11DialogFixture {
 protected:
  // A shown window of the system class "STATIC" (default handling, hit-testing included), 420
  // pixels wide at the left of the screen, `top` pixels down.
  Window Open(const wchar_t *title, DWORD style, const char *latin1_title, HWND *hwnd, int top = 50) {
    *hwnd = CreateWindowExW(0, L"STATIC", title, style | WS_VISIBLE, 50, top, 420, 200, NULL, NULL, NULL, NULL);
    Window xid = driver_.WaitForWindow(latin1_title, 3000);
    DrainMessages();
    XSync(driver_.display(), False);
    Pause(50);
    return xid;
  }

  // Whether the pixel is ink (text or a glyph) rather than the white caption or a disabled glyph.
  bool Ink(Window xid, int x, int y) {
    unsigned long pixel = driver_.PixelAt(xid, x, y);
    return (pixel >> 16 & 0xFF) < 0xB0 && (pixel >> 8 & 0xFF) < 0xB0 && (pixel & 0xFF) < 0xB0;
  }

  // The right end of the ink left of `limit` in the caption band (from the outline to the
  // client, `bottom` pixels down): where the title ends.
  int InkEnd(Window xid, int limit, int bottom = 31) {
    int end = 0;
    for (int x = 0; x < limit; ++x) {
      for (int y = 1; y < bottom; ++y) {
        if (Ink(xid, x, y)) end = x + 1;
      }
    }
    return end;
  }

  // The ink of the glyph in the `index`-th caption button from the right (0: close) of a
  // caption `bottom` pixels down: the pixels of a cross, a square and a bar, where the
  // 10-pixel glyph sits in its button.
  struct GlyphInk {
    bool corner, centre, left_middle, middle_row;
  };
  GlyphInk ButtonGlyph(Window xid, int width, int index, int bottom = 31) {
    int x0 = width - 1 - (index + 1) * kButtonWidth + (kButtonWidth - 10) / 2;
    int y0 = 1 + (bottom - 1 - 10) / 2;
    return {Ink(xid, x0, y0), Ink(xid, x0 + 4, y0 + 4), Ink(xid, x0, y0 + 3), Ink(xid, x0 + 3, y0 + 5)};
  }

  std::string Property(Window xid, const char *name, const char *type) {
    ::Display *display = driver_.display();
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string value;
    if (XGetWindowProperty(display, xid, XInternAtom(display, name, False), 0, 1024, False,
                           XInternAtom(display, type, False), &actual, &format, &count, &after, &data) == Success &&
        data) {
      value.assign(reinterpret_cast<char *>(data), count);
    }
    if (data) XFree(data);
    return value;
  }

  // Dismisses the message box titled `title` after `check` has looked at it.
  template <typename Check>
  void WithMessageBox(const char *title, Check check) {
    auto answer = std::async(std::launch::async, [title] { return MessageBoxA(NULL, "text", title, MB_OK); });
    Window xid = driver_.WaitForWindow(title, 3000);
    ASSERT_NE(xid, 0u);
    Pause(100);
    check(xid);
    driver_.Key(XK_Return);
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(3)), std::future_status::ready);
  }
};

TEST_F(X11Caption, TitleIsProportionalAndButtonsFollowTheStyles) {
  HWND narrow_window, wide_window;
  Window narrow = Open(L"iiiiiiiiii", WS_OVERLAPPEDWINDOW, "iiiiiiiiii", &narrow_window);
  Window wide = Open(L"WWWWWWWWWW", WS_OVERLAPPEDWINDOW, "WWWWWWWWWW", &wide_window, 300);
  ASSERT_NE(narrow, 0u);
  ASSERT_NE(wide, 0u);
  int title_limit = 420 - 1 - 3 * kButtonWidth;
  int narrow_end = InkEnd(narrow, title_limit), wide_end = InkEnd(wide, title_limit);
  EXPECT_GT(narrow_end, 0);
  EXPECT_GT(wide_end - 9, 2 * (narrow_end - 9)) << "a fixed-width font draws both titles alike";

  // Close: a cross; maximize: a square; minimize: a bar; on the active window and the other.
  for (Window xid : {narrow, wide}) {
    GlyphInk close = ButtonGlyph(xid, 420, 0), maximize = ButtonGlyph(xid, 420, 1), minimize = ButtonGlyph(xid, 420, 2);
    EXPECT_TRUE(close.corner && close.centre && !close.left_middle);
    EXPECT_TRUE(maximize.corner && !maximize.centre && maximize.left_middle);
    EXPECT_TRUE(!minimize.corner && !minimize.centre && minimize.middle_row);
  }
  DestroyWindow(narrow_window);
  DestroyWindow(wide_window);

  // Without the minimize and maximize boxes only the close button is drawn, in a caption above
  // the thinner frame of a window that cannot be sized.
  HWND dialog_window;
  Window dialog = Open(L"dialog", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, "dialog", &dialog_window);
  POINT client = {0, 0};
  ClientToScreen(dialog_window, &client);
  int bottom = client.y - 50;
  GlyphInk close = ButtonGlyph(dialog, 420, 0, bottom), maximize = ButtonGlyph(dialog, 420, 1, bottom);
  EXPECT_TRUE(close.corner && close.centre);
  EXPECT_FALSE(maximize.corner || maximize.left_middle);
  DestroyWindow(dialog_window);
}

TEST_F(X11Caption, TitlesAreUtf8ForTheWindowManagerAndDrawnWhole) {
  HWND hwnd;
  Window xid = Open(L"Gr\u00f6\u00dfe \u20ac \u65e5\u672c", WS_OVERLAPPEDWINDOW, "Gr\xF6\xDF" "e ? ??", &hwnd);
  ASSERT_NE(xid, 0u);
  EXPECT_EQ(Property(xid, "_NET_WM_NAME", "UTF8_STRING"), "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(Property(xid, "WM_NAME", "STRING"), "Gr\xF6\xDF" "e ? ??");
  EXPECT_GT(InkEnd(xid, 420 - 1 - 3 * kButtonWidth), 40);
  DestroyWindow(hwnd);
}

TEST_F(X11Caption, MessageBoxDrawsItsCaptionOnlyWithoutAWindowManager) {
  int own_height = 0;
  WithMessageBox("Assertion failure", [&](Window xid) {
    int x, y, width;
    ASSERT_TRUE(driver_.Geometry(xid, &x, &y, &width, &own_height));
    EXPECT_GT(InkEnd(xid, width - 1 - kButtonWidth), 9 + 40);  // the title
    GlyphInk close = ButtonGlyph(xid, width, 0);
    EXPECT_TRUE(close.corner && close.centre);
  });

  // An EWMH window manager announces itself on the root window; it decorates the box then.
  ::Display *display = driver_.display();
  Window root = DefaultRootWindow(display);
  Window check = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  Atom supporting = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  for (Window on : {root, check}) {
    XChangeProperty(display, on, supporting, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char *>(&check),
                    1);
  }
  XSync(display, False);
  WithMessageBox("Assertion failure", [&](Window xid) {
    int x, y, width, height;
    ASSERT_TRUE(driver_.Geometry(xid, &x, &y, &width, &height));
    EXPECT_EQ(height, own_height - 31);
    EXPECT_EQ(driver_.PixelAt(xid, width / 2, 2), 0xF0F0F0u);  // the dialog's face from the top
  });
  XDeleteProperty(display, root, supporting);
  XDestroyWindow(display, check);
  XSync(display, False);
}

}  // namespace
