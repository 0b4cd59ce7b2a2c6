// The OpenGL objects phase of Create: the table lookups, the names by kind, the error drains and
// the closing steps.
#include <GL/glext.h>

#include "renderer/gl_functions.h"
#include "renderer/gl_phase_fixture.h"

namespace interlock {
namespace {

const std::vector<std::string> kLookups = {
    "wglDXOpenDeviceNV", "wglDXCloseDeviceNV", "wglDXRegisterObjectNV", "wglDXUnregisterObjectNV",
    "wglDXSetResourceShareHandleNV", "wglDXLockObjectsNV", "wglDXUnlockObjectsNV", "glGenFramebuffers",
    "glDeleteFramebuffers", "glGenRenderbuffers", "glDeleteRenderbuffers", "glBindRenderbuffer",
    "glNamedRenderbufferStorage", "glBindFramebuffer", "glFramebufferTexture2D", "glFramebufferRenderbuffer",
    "glCheckFramebufferStatus", "glBindBuffer", "glDrawRangeElements", "glGenBuffers", "glBufferData",
    "glGenVertexArrays", "glBindVertexArray", "glVertexAttribPointer", "glEnableVertexAttribArray", "glUseProgram",
    "glDisableVertexAttribArray", "glDeleteVertexArrays", "glCreateShader", "glShaderSource", "glCompileShader",
    "glGetShaderiv", "glCreateProgram", "glAttachShader", "glLinkProgram", "glGetProgramiv", "glDetachShader",
    "glDeleteShader", "glDeleteBuffers", "glDeleteProgram", "glGetAttribLocation", "glBindFragDataLocation"};

// The names passed to wglGetProcAddress, in order, from the trace.
std::vector<std::string> LookedUp(const PhaseOutput &output) {
  std::vector<std::string> names;
  for (const std::string &line : PhaseOutput::LinesWith(output.err, "wglGetProcAddress(\"")) {
    size_t start = line.find('"') + 1;
    names.push_back(line.substr(start, line.find('"', start) - start));
  }
  return names;
}

TEST_F(GLPhases, LooksUpFortyEntryPointsOrFortyTwoWithBothOptionsInTableOrder) {
  std::vector<std::string> forty = kLookups;
  forty.erase(forty.begin() + 11, forty.begin() + 13);
  EXPECT_EQ(LookedUp(RunObjectsPhase(nullptr, nullptr, true)), forty);

  bind_renderbuffers = TRUE;
  allocate_renderbuffers_storage = TRUE;
  wglDeleteContext(wr_.gl_context);
  EXPECT_EQ(LookedUp(RunObjectsPhase(nullptr, nullptr, true)), kLookups);
}

TEST_F(GLPhases, MissingInteropExtensionGivesSevenLookupReportsFirst) {
  PhaseOutput output = RunObjectsPhase(nullptr, "WGL_NV_DX_interop");
  std::vector<std::string> expected;
  for (size_t row = 0; row < 7; ++row) {
    expected.push_back("Assertion failure: Getting GL function " + kLookups[row] + " (GLE 127)");
  }
  // The OpenGL lookups all succeed; the device cannot be opened, and the skipped call leaves
  // the last-error code cleared.
  expected.push_back("Assertion failure: wglDXOpenDeviceNV for the D3D device @1466 (GLE 0)");
  EXPECT_EQ(PhaseOutput::LinesWith(output.out, "Assertion failure"), expected);
  EXPECT_EQ(wr_.dxDevice, nullptr);
}

TEST_F(GLPhases, RenderBufferNamesAreRenderBuffersAndTheLastOneStaysBound) {
  bind_renderbuffers = TRUE;
  EXPECT_TRUE(RunObjectsPhase().Reports().empty());
  MakeCurrent();
  EXPECT_NE(wr_.colorTbuf, wr_.dsTbuf);
  GLint bound = 0;
  glGetIntegerv(GL_RENDERBUFFER_BINDING, &bound);
  EXPECT_EQ((GLuint)bound, wr_.dsTbuf);
  EXPECT_TRUE(CallGL(GetGLFunction<PFNGLISRENDERBUFFERPROC>("glIsRenderbuffer"), wr_.colorTbuf));
  glBindTexture(GL_TEXTURE_2D, wr_.colorTbuf);  // not a texture name in a core context
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_OPERATION);
}

TEST_F(GLPhases, TextureNamesAreTextures) {
  render_kind = RENDER_TEXTURE;
  bind_renderbuffers = TRUE;  // looked up, but has no effect on textures
  EXPECT_TRUE(RunObjectsPhase().Reports().empty());
  MakeCurrent();
  EXPECT_NE(wr_.colorTbuf, wr_.dsTbuf);
  GLint bound = -1;
  glGetIntegerv(GL_RENDERBUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);
  glBindTexture(GL_TEXTURE_2D, wr_.colorTbuf);
  glBindTexture(GL_TEXTURE_2D, wr_.dsTbuf);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
  CallGL(glBindRenderbuffer, GL_RENDERBUFFER, wr_.colorTbuf);  // not a render-buffer name
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_OPERATION);
}

TEST_F(GLPhases, ErrorsAreDrainedAfterEachNameCall) {
  bind_renderbuffers = TRUE;
  PhaseOutput buffers = RunObjectsPhase("glGenRenderbuffers,glBindRenderbuffer,glGenFramebuffers");
  EXPECT_EQ(PhaseOutput::LinesWith(buffers.err, "GL error"),
            (std::vector<std::string>{"GL error 1282 in glGenRenderbuffers @1476", "GL error 1282 in glGenRenderbuffers @1478",
                                      "GL error 1282 in glBindRenderbuffer @1482", "GL error 1282 in glBindRenderbuffer @1484",
                                      "GL error 1282 in glGenFramebuffers @1490"}));
  wglDeleteContext(wr_.gl_context);

  // Its errors surface at the framebuffer's drain: both calls' GL_INVALID_VALUE, one flag.
  render_kind = RENDER_TEXTURE;
  PhaseOutput textures = RunObjectsPhase("glGenTextures=0x501");
  EXPECT_EQ(PhaseOutput::LinesWith(textures.err, "GL error"),
            (std::vector<std::string>{"GL error 1281 in glGenFramebuffers @1490"}));
}

TEST_F(GLPhases, ObjectsPhaseChecksItsBlockOfWork) {
  EXPECT_EQ(RunObjectsPhase("GetDC").Reports().front(), "GetDC @ 1409 (GLE 31)");
  wglDeleteContext(wr_.gl_context);
  EXPECT_EQ(RunObjectsPhase("wglMakeCurrent#1").Reports().front(), "wglMakeCurrent @ 1410 (GLE 31)");
}

TEST_F(GLPhases, CreateEndsWithNoContextCurrentAndNoDeviceContext) {
  for (BOOL compat : {FALSE, TRUE}) {
    compat_gl = compat;
    EXPECT_TRUE(RunObjectsPhase().Reports().empty());
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(wr_.draw_dc, nullptr);
    EXPECT_NE(wr_.fbuf, 0u);
    wglDeleteContext(wr_.gl_context);
  }
}

}  // namespace
}  // namespace interlock
