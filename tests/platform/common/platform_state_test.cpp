// The platform's state: a test brings the platform up, down and up again in one process, and
// after each shut-down it finds a fresh process's state, with no handle of before valid again.
#include <gtest/gtest.h>
#include <shellscalingapi.h>
#include <windows.h>
#include <GL/gl.h>

#include "common/live_objects.h"
#include "common/platform_state.h"

namespace {

class Probe : public ilk::TrackedObject {
 public:
  Probe() : TrackedObject(ilk::ObjectApi::Dxgi, "IProbe", this) {}
};

std::string Report() {
  testing::internal::CaptureStderr();
  ilk::ReportLiveObjects(nullptr, ilk::kReportDetail);
  return testing::internal::GetCapturedStderr();
}

TEST(PlatformState, UpDownAndUpAgainInOneProcess) {
  ASSERT_EQ(SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE), S_OK);
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE), E_ACCESSDENIED);  // once per process
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  auto *probe = new Probe;
  EXPECT_NE(Report().find("Live IProbe"), std::string::npos);
  probe->ReleaseExternal();

  ilk::ShutDownPlatform();
  PROCESS_DPI_AWARENESS awareness = PROCESS_PER_MONITOR_DPI_AWARE;
  EXPECT_EQ(GetProcessDpiAwareness(nullptr, &awareness), S_OK);
  EXPECT_EQ(awareness, PROCESS_DPI_UNAWARE);
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_PER_MONITOR_DPI_AWARE), S_OK);
  EXPECT_FALSE(SetEvent(event));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  HANDLE again = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(again, event);  // handles keep counting upwards
  EXPECT_TRUE(SetEvent(again));
  EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(again));
  EXPECT_EQ(Report().find("Live IProbe"), std::string::npos);

  ilk::ShutDownPlatform();
  ilk::ShutDownPlatform();  // nothing set up: nothing to do
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_DPI_UNAWARE), S_OK);
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

HWND MakeWindow(const wchar_t *class_name) {
  return CreateWindowExW(0, class_name, L"state", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr,
                         nullptr, nullptr);
}

TEST(PlatformState, WindowsClassesAndTheQueueStartAfreshAfterAShutDown) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = Procedure;
  window_class.lpszClassName = L"stateful";
  window_class.hbrBackground = CreateSolidBrush(0x00FF00);
  ASSERT_NE(RegisterClassW(&window_class), 0);
  HWND before = MakeWindow(L"stateful");
  ASSERT_NE(before, nullptr);
  EXPECT_EQ(GetActiveWindow(), before);
  PostMessageW(before, WM_USER, 0, 0);
  EXPECT_TRUE(DestroyWindow(before));

  ilk::ShutDownPlatform();
  EXPECT_EQ(MakeWindow(L"stateful"), nullptr);  // the class went with the platform
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_CANNOT_FIND_WND_CLASS);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
  window_class.hbrBackground = CreateSolidBrush(0x00FF00);
  ASSERT_NE(RegisterClassW(&window_class), 0);
  HWND after = MakeWindow(L"stateful");
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(GetActiveWindow(), after);
  EXPECT_TRUE(DestroyWindow(after));
  ilk::ShutDownPlatform();
}

bool SetOpenGLPixelFormat(HDC dc) {
  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_SUPPORT_OPENGL;
  return SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
}

TEST(PlatformState, OpenGLComesUpAgainAfterAShutDown) {
  for (int round = 0; round < 2; ++round) {
    HWND window = MakeWindow(L"STATIC");
    HDC dc = GetDC(window);
    ASSERT_TRUE(SetOpenGLPixelFormat(dc));
    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, context)) << "round " << round;
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
    ReleaseDC(window, dc);
    DestroyWindow(window);
    ilk::ShutDownPlatform();
  }
}

// A shut-down asks for a quiet platform: a window, OpenGL context or COM object the program
// still holds is caught rather than freed under it.
TEST(PlatformStateDeathTest, WhatTheProgramStillHoldsIsCaughtAtAShutDown) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        MakeWindow(L"STATIC");
        ilk::ShutDownPlatform();
      },
      "interlock: the platform shut down with 1 window\\(s\\) still in use");
  EXPECT_DEATH(
      {
        HWND window = MakeWindow(L"STATIC");
        HDC dc = GetDC(window);
        if (SetOpenGLPixelFormat(dc) && wglCreateContext(dc)) fprintf(stderr, "made\n");
        ReleaseDC(window, dc);
        DestroyWindow(window);
        ilk::ShutDownPlatform();
      },
      "made\n.*interlock: the platform shut down with 1 OpenGL context\\(s\\) still in use");
  EXPECT_DEATH(
      {
        new Probe;
        ilk::ShutDownPlatform();
      },
      "interlock: the platform shut down with 1 COM object\\(s\\) still in use");
}

}  // namespace
