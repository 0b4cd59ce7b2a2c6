// wglGetProcAddress (what it hands out, hides and refuses) and the order of the GL errors that
// INTERLOCK_FAIL raises, each code pending at most once. Injected compile and link failures are
// proven by the renderer's tests.
#include <GL/glext.h>
#include <GL/wglext.h>
#include <gtest/gtest.h>

#include "support/gl_window.h"
#include "support/scoped_knobs.h"

namespace {

const char *const kInteropEntryPoints[] = {"wglDXOpenDeviceNV",       "wglDXCloseDeviceNV",
                                           "wglDXRegisterObjectNV",   "wglDXUnregisterObjectNV",
                                           "wglDXSetResourceShareHandleNV", "wglDXLockObjectsNV",
                                           "wglDXUnlockObjectsNV"};

class CurrentContext : public testing::Test {
 protected:
  void SetUp() override {
    context_ = wglCreateContext(w_.dc);
    ASSERT_TRUE(wglMakeCurrent(w_.dc, context_));
  }
  void TearDown() override { wglDeleteContext(context_); }

  // NULL with ERROR_PROC_NOT_FOUND.
  static void ExpectNotFound(const char *name) {
    SetLastError(0);
    EXPECT_EQ(wglGetProcAddress(name), nullptr) << name;
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND) << name;
  }

  GLWindow w_;
  HGLRC context_ = nullptr;
};

TEST(WglGetProcAddress, AnswersNothingWithoutACurrentContext) {
  SetLastError(0);
  EXPECT_EQ(wglGetProcAddress("glGenFramebuffers"), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
}

TEST_F(CurrentContext, HandsOutLaterEntryPointsButNotOpenGL11OrUnknownNames) {
  EXPECT_NE(wglGetProcAddress("glGenFramebuffers"), nullptr);
  EXPECT_NE(wglGetProcAddress("wglCreateContextAttribsARB"), nullptr);
  EXPECT_NE(wglGetProcAddress("glDebugMessageCallback"), nullptr);
  ExpectNotFound("glEnable");
  ExpectNotFound("glGenTextures");
  ExpectNotFound("glNoSuchFunction");
  ExpectNotFound(nullptr);
}

TEST_F(CurrentContext, HidesEntryPointsByNameOrByExtension) {
  ScopedKnobs knobs({{"INTERLOCK_HIDE", "glDebugMessageCallback,WGL_ARB_create_context,WGL_NV_DX_interop"}});
  ExpectNotFound("glDebugMessageCallback");
  ExpectNotFound("wglCreateContextAttribsARB");
  for (const char *name : kInteropEntryPoints) ExpectNotFound(name);
  EXPECT_NE(wglGetProcAddress("glDebugMessageInsert"), nullptr);
  ScopedKnobs whole_extension({{"INTERLOCK_HIDE", "GL_KHR_debug"}});
  ExpectNotFound("glDebugMessageInsert");
}

TEST_F(CurrentContext, InjectedErrorsFollowTheErrorsAlreadyPending) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "glGenTextures,glClear#2=0x505"}});
  GLuint texture = 0;
  glEnable(0x1234);  // a real GL_INVALID_ENUM from Mesa
  glGenTextures(1, &texture);
  EXPECT_NE(texture, 0u);  // the call itself ran
  glClear(GL_COLOR_BUFFER_BIT);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_ENUM);
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_OPERATION);
  EXPECT_EQ(glGetError(), (GLenum)GL_OUT_OF_MEMORY);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// OpenGL keeps one flag per error code: a code already pending, injected or Mesa's own, is
// returned once.
TEST_F(CurrentContext, AnErrorCodeAlreadyPendingIsNotQueuedAgain) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "glFinish,glFlush=0x500"}});
  glFinish();
  glFinish();
  glFlush();  // GL_INVALID_ENUM, as Mesa's error below
  glFinish();
  glEnable(0x1234);
  glFinish();
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_OPERATION);
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_ENUM);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

}  // namespace
