// gdi32's pixel formats: what they describe, how ChoosePixelFormat picks, and that a window's
// format is set once.
#include <gtest/gtest.h>

#include "support/gl_window.h"

namespace {

TEST(PixelFormats, EveryFormatIsAnOpenGLWindowFormatWithEightBitChannels) {
  GLWindow w(false);
  PIXELFORMATDESCRIPTOR pfd;
  int count = DescribePixelFormat(w.dc, 1, 0, nullptr);
  ASSERT_GT(count, 0);
  for (int format = 1; format <= count; ++format) {
    ASSERT_EQ(DescribePixelFormat(w.dc, format, sizeof pfd, &pfd), count);
    EXPECT_EQ(pfd.nSize, 40);
    EXPECT_EQ(pfd.nVersion, 1);
    EXPECT_EQ(pfd.dwFlags & (PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW), (DWORD)(PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW));
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(pfd.cColorBits, 24);
    EXPECT_EQ(pfd.cRedBits + pfd.cGreenBits + pfd.cBlueBits, 24);
  }
  SetLastError(0);
  EXPECT_EQ(DescribePixelFormat(w.dc, count + 1, sizeof pfd, &pfd), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

TEST(PixelFormats, ChooseMeetsDepthStencilAndAlphaRequests) {
  GLWindow w(false);
  PIXELFORMATDESCRIPTOR want = {};
  want.nSize = sizeof want;
  want.dwFlags = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
  want.cColorBits = 32;
  want.cAlphaBits = 8;
  want.cDepthBits = 24;
  want.cStencilBits = 8;
  int format = ChoosePixelFormat(w.dc, &want);
  ASSERT_GT(format, 0);
  PIXELFORMATDESCRIPTOR got;
  DescribePixelFormat(w.dc, format, sizeof got, &got);
  EXPECT_EQ(got.cAlphaBits, 8);
  EXPECT_GE(got.cDepthBits, 24);
  EXPECT_EQ(got.cStencilBits, 8);
  want.iPixelType = PFD_TYPE_COLORINDEX;
  EXPECT_EQ(ChoosePixelFormat(w.dc, &want), 0);
}

TEST(PixelFormats, AWindowKeepsTheFirstFormatSetOnIt) {
  GLWindow w(false);
  SetLastError(0);
  EXPECT_EQ(GetPixelFormat(w.dc), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PIXEL_FORMAT);
  PIXELFORMATDESCRIPTOR pfd = {};
  ASSERT_TRUE(SetPixelFormat(w.dc, 2, &pfd));
  EXPECT_TRUE(SetPixelFormat(w.dc, 2, &pfd));
  EXPECT_FALSE(SetPixelFormat(w.dc, 1, &pfd));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_EQ(GetPixelFormat(w.dc), 2);
  EXPECT_FALSE(SetPixelFormat(nullptr, 1, &pfd));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}

// The formats belong to the window behind a DC: the screen's DC and the DC of a window that is
// gone have none.
TEST(PixelFormats, OnlyTheDcOfALiveWindowTakesAFormat) {
  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.dwFlags = PFD_SUPPORT_OPENGL;
  HDC screen = GetDC(nullptr);
  SetLastError(0);
  EXPECT_EQ(ChoosePixelFormat(screen, &pfd), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  ReleaseDC(nullptr, screen);

  HDC dc_of_gone_window = nullptr;
  {
    GLWindow w(false);
    dc_of_gone_window = w.dc;
    EXPECT_GT(ChoosePixelFormat(w.dc, &pfd), 0);
  }
  SetLastError(0);
  EXPECT_FALSE(SetPixelFormat(dc_of_gone_window, 1, &pfd));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  SetLastError(0);
  EXPECT_EQ(GetPixelFormat(dc_of_gone_window), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}

}  // namespace
