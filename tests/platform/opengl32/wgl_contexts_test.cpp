// wglCreateContext, wglMakeCurrent, wglDeleteContext and wglCreateContextAttribsARB on Mesa.
#include <GL/glext.h>
#include <GL/wglext.h>
#include <gtest/gtest.h>

#include <thread>

#include "support/gl_window.h"

namespace {

GLint GetInteger(GLenum name) {
  GLint value = -1;
  glGetIntegerv(name, &value);
  return value;
}

TEST(WglContexts, LegacyContextIsTheHighestCompatibilityVersionWithACompleteDefaultFramebuffer) {
  GLWindow w;
  HGLRC context = wglCreateContext(w.dc);
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(wglMakeCurrent(w.dc, context));
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), w.dc);
  EXPECT_GE(GetInteger(GL_MAJOR_VERSION), 3);
  EXPECT_EQ(GetInteger(GL_CONTEXT_PROFILE_MASK), GL_CONTEXT_COMPATIBILITY_PROFILE_BIT);
  auto check_status = GLProc<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
  ASSERT_NE(check_status, nullptr);
  EXPECT_EQ(check_status(GL_FRAMEBUFFER), (GLenum)GL_FRAMEBUFFER_COMPLETE);
  EXPECT_TRUE(wglMakeCurrent(w.dc, nullptr));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_FALSE(wglDeleteContext(context));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}

TEST(WglContexts, ContextsNeedTheirPixelFormatOnTheWindow) {
  GLWindow none(false);
  SetLastError(0);
  EXPECT_EQ(wglCreateContext(none.dc), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PIXEL_FORMAT);

  GLWindow first(true, 1), second(true, 2);
  HGLRC context = wglCreateContext(first.dc);
  ASSERT_TRUE(wglMakeCurrent(first.dc, context));
  EXPECT_FALSE(wglMakeCurrent(none.dc, context));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_FALSE(wglMakeCurrent(second.dc, context));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PIXEL_FORMAT);
  // A failed wglMakeCurrent leaves the thread without a context, as on Windows.
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  GLWindow same_format(true, 1);
  EXPECT_TRUE(wglMakeCurrent(same_format.dc, context));
  wglDeleteContext(context);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);  // deleting the current context releases it
}

TEST(WglContexts, AContextIsCurrentOnOneThreadAtATime) {
  GLWindow w;
  HGLRC context = wglCreateContext(w.dc);
  ASSERT_TRUE(wglMakeCurrent(w.dc, context));
  BOOL made_current = TRUE, deleted = TRUE;
  DWORD make_error = 0, delete_error = 0;
  std::thread other([&] {
    made_current = wglMakeCurrent(w.dc, context);
    make_error = GetLastError();
    deleted = wglDeleteContext(context);
    delete_error = GetLastError();
  });
  other.join();
  EXPECT_FALSE(made_current);
  EXPECT_EQ(make_error, (DWORD)ERROR_BUSY);
  EXPECT_FALSE(deleted);
  EXPECT_EQ(delete_error, (DWORD)ERROR_BUSY);
  EXPECT_TRUE(wglDeleteContext(context));
}

class CreateContextAttribs : public testing::Test {
 protected:
  void SetUp() override {
    legacy_ = wglCreateContext(w_.dc);
    ASSERT_TRUE(wglMakeCurrent(w_.dc, legacy_));
    create_ = GLProc<PFNWGLCREATECONTEXTATTRIBSARBPROC>("wglCreateContextAttribsARB");
    ASSERT_NE(create_, nullptr);
  }
  void TearDown() override { wglDeleteContext(legacy_); }

  // The error of a refused request, 0 when it was granted.
  DWORD Refusal(std::initializer_list<int> attribs) {
    std::vector<int> list(attribs);
    list.push_back(0);
    SetLastError(0);
    HGLRC context = create_(w_.dc, nullptr, list.data());
    if (context) wglDeleteContext(context);
    return context ? 0 : GetLastError();
  }

  GLWindow w_;
  HGLRC legacy_ = nullptr;
  PFNWGLCREATECONTEXTATTRIBSARBPROC create_ = nullptr;
};

TEST_F(CreateContextAttribs, CoreDebugContextHasTheProfileAndTheDebugFlag) {
  const int attribs[] = {WGL_CONTEXT_MAJOR_VERSION_ARB, 3, WGL_CONTEXT_MINOR_VERSION_ARB, 2, WGL_CONTEXT_FLAGS_ARB,
                         WGL_CONTEXT_DEBUG_BIT_ARB, WGL_CONTEXT_PROFILE_MASK_ARB, WGL_CONTEXT_CORE_PROFILE_BIT_ARB, 0};
  HGLRC context = create_(w_.dc, nullptr, attribs);
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(wglMakeCurrent(w_.dc, context));
  EXPECT_EQ(GetInteger(GL_CONTEXT_PROFILE_MASK), GL_CONTEXT_CORE_PROFILE_BIT);
  EXPECT_TRUE(GetInteger(GL_CONTEXT_FLAGS) & GL_CONTEXT_FLAG_DEBUG_BIT);
  EXPECT_GE(GetInteger(GL_MAJOR_VERSION) * 10 + GetInteger(GL_MINOR_VERSION), 32);
  wglDeleteContext(context);
}

TEST_F(CreateContextAttribs, RefusalsCarryTheExtensionsErrorCodes) {
  const int version_major = WGL_CONTEXT_MAJOR_VERSION_ARB, version_minor = WGL_CONTEXT_MINOR_VERSION_ARB;
  const int profile = WGL_CONTEXT_PROFILE_MASK_ARB;
  EXPECT_EQ(Refusal({version_major, 3, version_minor, 0, profile, WGL_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB}), 0u);
  EXPECT_EQ(Refusal({version_major, 3, version_minor, 4}), (DWORD)ERROR_INVALID_VERSION_ARB);
  EXPECT_EQ(Refusal({version_major, 2, version_minor, 2}), (DWORD)ERROR_INVALID_VERSION_ARB);
  EXPECT_EQ(Refusal({version_major, 9, version_minor, 0}), (DWORD)ERROR_INVALID_VERSION_ARB);
  EXPECT_EQ(Refusal({version_major, 2, WGL_CONTEXT_FLAGS_ARB, WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB}),
            (DWORD)ERROR_INVALID_VERSION_ARB);
  EXPECT_EQ(Refusal({version_major, 3, version_minor, 2, profile, 0}), (DWORD)ERROR_INVALID_PROFILE_ARB);
  EXPECT_EQ(Refusal({version_major, 3, version_minor, 2, profile, 3}), (DWORD)ERROR_INVALID_PROFILE_ARB);
  EXPECT_EQ(Refusal({version_major, 3, version_minor, 1, profile, 3}), 0u);  // no profiles before 3.2
  EXPECT_EQ(Refusal({0x1234, 1}), (DWORD)ERROR_INVALID_PARAMETER);
}

}  // namespace
