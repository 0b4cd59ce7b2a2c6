// The EGL platform OpenGL runs on (INTERLOCK_EGL_PLATFORM): the chosen display backs the pixel
// formats and the contexts, a shut-down lets the next set-up choose again, and a platform that
// cannot be opened gives way to the other with a note.
#include <gtest/gtest.h>
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <string>

#include "common/platform_state.h"
#include "gdi32/gdi32_internal.h"
#include "support/gl_window.h"
#include "support/scoped_knobs.h"

namespace {

EGLDisplay SurfacelessDisplay() {
  return eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

EGLDisplay FirstDeviceDisplay() {
  auto query_devices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  EGLDeviceEXT device = nullptr;
  EGLint count = 0;
  if (!query_devices || !query_devices(1, &device, &count) || count < 1) return EGL_NO_DISPLAY;
  return eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
}

// Clears a window's framebuffer (one pixel) to green on a new context and reads it back.
void ExpectAContextThatDraws() {
  GLWindow w;
  HGLRC context = wglCreateContext(w.dc);
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(wglMakeCurrent(w.dc, context));
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 255);
  EXPECT_EQ(pixel[2], 0);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST(EglPlatform, EachSetUpOpensTheDisplayTheKnobChooses) {
  EGLDisplay device = FirstDeviceDisplay();
  ASSERT_NE(device, EGL_NO_DISPLAY) << "this EGL has no device platform";
  struct Case {
    const char *value;
    EGLDisplay display;
  };
  for (const Case &c : {Case{"device", device}, Case{"surfaceless", SurfacelessDisplay()}, Case{"device:0", device}}) {
    ScopedKnobs knobs({{"INTERLOCK_EGL_PLATFORM", c.value}});
    ilk::ShutDownPlatform();
    testing::internal::CaptureStderr();
    EXPECT_GT(DescribePixelFormat(GLWindow(false).dc, 1, 0, nullptr), 0) << c.value;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.value;
    EXPECT_EQ(ilk::gdi32::PixelFormatDisplay(), c.display) << c.value;
    ExpectAContextThatDraws();
  }
  ilk::ShutDownPlatform();
}

TEST(EglPlatform, ADeviceEglDoesNotHaveGivesWayToSurfacelessWithANote) {
  ScopedKnobs knobs({{"INTERLOCK_EGL_PLATFORM", "device:4096"}});
  ilk::ShutDownPlatform();
  testing::internal::CaptureStderr();
  EXPECT_GT(DescribePixelFormat(GLWindow(false).dc, 1, 0, nullptr), 0);
  std::string notes = testing::internal::GetCapturedStderr();
  EXPECT_EQ(notes.rfind("interlock: cannot open EGL's device 4096 display (EGL has ", 0), 0u) << notes;
  EXPECT_NE(notes.find(" device(s)), trying surfaceless\n"), std::string::npos) << notes;
  EXPECT_EQ(ilk::gdi32::PixelFormatDisplay(), SurfacelessDisplay());
  ExpectAContextThatDraws();
  ilk::ShutDownPlatform();
}

}  // namespace
