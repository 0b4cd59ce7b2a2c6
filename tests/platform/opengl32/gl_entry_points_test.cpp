// wglGetProcAddress (what it hands out, hides and refuses) and the GL errors that INTERLOCK_FAIL
// raises through the entry points.
#include <GL/glext.h>
#include <GL/wglext.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/opengl32/gl_window.h"
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

TEST_F(CurrentContext, InjectedEntryPointErrorsAreRaisedAfterTheCall) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "glGenFramebuffers"}});
  auto gen_framebuffers = GLProc<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
  GLuint framebuffer = 0;
  gen_framebuffers(1, &framebuffer);
  EXPECT_NE(framebuffer, 0u);
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_OPERATION);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(CurrentContext, InjectedCompileAndLinkFailuresAreMesasOwn) {
  auto create_shader = GLProc<PFNGLCREATESHADERPROC>("glCreateShader");
  auto shader_source = GLProc<PFNGLSHADERSOURCEPROC>("glShaderSource");
  auto compile = GLProc<PFNGLCOMPILESHADERPROC>("glCompileShader");
  auto shader_iv = GLProc<PFNGLGETSHADERIVPROC>("glGetShaderiv");
  auto create_program = GLProc<PFNGLCREATEPROGRAMPROC>("glCreateProgram");
  auto attach = GLProc<PFNGLATTACHSHADERPROC>("glAttachShader");
  auto link = GLProc<PFNGLLINKPROGRAMPROC>("glLinkProgram");
  auto program_iv = GLProc<PFNGLGETPROGRAMIVPROC>("glGetProgramiv");
  auto use = GLProc<PFNGLUSEPROGRAMPROC>("glUseProgram");
  const GLchar *source = "void main() { gl_Position = vec4(0.0); }\n";
  auto compiled_shader = [&] {
    GLuint shader = create_shader(GL_VERTEX_SHADER);
    shader_source(shader, 1, &source, nullptr);
    compile(shader);
    GLint status = -1;
    shader_iv(shader, GL_COMPILE_STATUS, &status);
    return std::make_pair(shader, status);
  };
  auto linked_status = [&](GLuint shader) {
    GLuint program = create_program();
    attach(program, shader);
    link(program);
    GLint status = -1;
    program_iv(program, GL_LINK_STATUS, &status);
    return std::make_pair(program, status);
  };
  EXPECT_EQ(compiled_shader().second, GL_TRUE);
  GLuint good_shader = compiled_shader().first;
  {
    ScopedKnobs knobs({{"INTERLOCK_FAIL", "glCompileShader"}});
    EXPECT_EQ(compiled_shader().second, GL_FALSE);
  }
  EXPECT_EQ(linked_status(good_shader).second, GL_TRUE);
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "glLinkProgram"}});
  auto [program, status] = linked_status(good_shader);
  EXPECT_EQ(status, GL_FALSE);
  use(program);  // Mesa refuses an unlinked program
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_OPERATION);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

}  // namespace
