// The shader phase of Create: triangle data, program, attribute locations and their reports.
#include <GL/glext.h>
#include <string.h>

#include "renderer/gl_functions.h"
#include "renderer/gl_phase_fixture.h"
#include "renderer/gl_program.h"

namespace interlock {
namespace {

TEST_F(GLPhases, WorkingDriverGivesALinkedProgramWithTwoDistinctLocations) {
  EXPECT_TRUE(RunObjectsPhase().Reports().empty());
  ASSERT_NE(wr_.gl_program, 0u);
  EXPECT_NE(wr_.vertexLayout, 0u);
  MakeCurrent();
  GLint linked = GL_FALSE, shaders = -1;
  CallGL(glGetProgramiv, wr_.gl_program, GL_LINK_STATUS, &linked);
  CallGL(glGetProgramiv, wr_.gl_program, GL_ATTACHED_SHADERS, &shaders);
  EXPECT_EQ(linked, GL_TRUE);
  EXPECT_EQ(shaders, 0);  // detached and deleted once linked
  // The locations are the linked program's own, one per attribute.
  EXPECT_GE(wr_.pos_attr, 0);
  EXPECT_GE(wr_.color_attr, 0);
  EXPECT_NE(wr_.pos_attr, wr_.color_attr);
  EXPECT_EQ(wr_.pos_attr, CallGL(glGetAttribLocation, wr_.gl_program, "position"));
  EXPECT_EQ(wr_.color_attr, CallGL(glGetAttribLocation, wr_.gl_program, "color"));
  GLint active = 0;
  CallGL(glGetProgramiv, wr_.gl_program, GL_ACTIVE_ATTRIBUTES, &active);
  EXPECT_EQ(active, 2);
}

TEST_F(GLPhases, TheVertexBufferHoldsExactlyTheTriangle) {
  RunObjectsPhase();
  MakeCurrent();
  CallGL(glBindBuffer, GL_ARRAY_BUFFER, wr_.vertexBuffer);
  GLint size = 0;
  CallGL(GetGLFunction<PFNGLGETBUFFERPARAMETERIVPROC>("glGetBufferParameteriv"), GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  ASSERT_EQ(size, 96);
  float stored[24] = {};
  CallGL(GetGLFunction<PFNGLGETBUFFERSUBDATAPROC>("glGetBufferSubData"), GL_ARRAY_BUFFER, (GLintptr)0,
         (GLsizeiptr)sizeof stored, (void *)stored);
  const float expected[24] = {0.0f, -1.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.5f,  1.5f, 0.0f, 1.0f,
                              0.0f, 1.0f,  0.0f, 0.5f, -1.5f, 1.5f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.2f};
  EXPECT_EQ(memcmp(stored, expected, sizeof expected), 0);
  GLint layout = 0;
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &layout);
  EXPECT_EQ((GLuint)layout, wr_.vertexLayout);  // left bound
}

TEST_F(GLPhases, CompileAndLinkFailuresAreReportedInOrder) {
  EXPECT_EQ(RunObjectsPhase("glCompileShader").Reports(),
            (std::vector<std::string>{"glGetShaderiv for the vertex shader @1519 (GLE 0)",
                                      "glGetShaderiv for the fragment shader @1526 (GLE 0)",
                                      "glGetProgramiv for the program @1536 (GLE 0)",
                                      "glGetAttribLocation for position @1540 (GLE 0)",
                                      "glGetAttribLocation for color @1541 (GLE 0)"}));
  EXPECT_LT(wr_.pos_attr, 0);
  wglDeleteContext(wr_.gl_context);
  EXPECT_EQ(RunObjectsPhase("glLinkProgram").Reports(),
            (std::vector<std::string>{"glGetProgramiv for the program @1536 (GLE 0)",
                                      "glGetAttribLocation for position @1540 (GLE 0)",
                                      "glGetAttribLocation for color @1541 (GLE 0)"}));
}

TEST_F(GLPhases, CompatibilityProfileMakesNothingOfTheShaderPhase) {
  compat_gl = TRUE;
  PhaseOutput output = RunObjectsPhase(nullptr, nullptr, true);
  EXPECT_TRUE(output.Reports().empty());
  EXPECT_TRUE(PhaseOutput::LinesWith(output.err, "trace: glCreateShader").empty());
  EXPECT_EQ(wr_.vertexBuffer, 0u);
  EXPECT_EQ(wr_.vertexLayout, 0u);
  EXPECT_EQ(wr_.gl_program, 0u);
  EXPECT_EQ(wr_.pos_attr, 0);
  EXPECT_EQ(wr_.color_attr, 0);
}

}  // namespace
}  // namespace interlock
