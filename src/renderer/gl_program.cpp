// The shader phase of Create: triangle data, vertex array, and the linked program.
#include "renderer/gl_program.h"

#include "diag/checks.h"
#include "renderer/gl_functions.h"

namespace interlock {

const float verts[24] = {
    0.0f,  -1.5f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f,  //
    1.5f,  1.5f,  0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.5f,  //
    -1.5f, 1.5f,  0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.2f,  //
};

const char *vertex_shader_source =
    "\n#version 330\n\nin vec4 color;\nin vec4 position;\nout vec4 Color;\n\nvoid main()\n{\n"
    "    Color = color;\n    gl_Position = vec4(position);\n}\n";

const char *fragment_shader_source =
    "\n#version 330\nin vec4 Color;\n\nout vec4 outColor;\n\nvoid main()\n{\n    outColor = vec4(Color);\n}\n";

namespace {

// A compiled shader of `type`; a failed compile is reported at `loc` and the shader kept.
GLuint CompileShader(GLenum type, const char *source, const char *loc) {
  GLuint shader = CallGL(glCreateShader, type);
  CallGL(glShaderSource, shader, 1, &source, (const GLint *)NULL);
  CallGL(glCompileShader, shader);
  GLint status = 0;
  CallGL(glGetShaderiv, shader, GL_COMPILE_STATUS, &status);
  if (status == 0) ReportGLEFailure(loc);
  return shader;
}

}  // namespace

void CreateShaderProgram(window_renderer *wr) {
  CallGL(glGenVertexArrays, 1, &wr->vertexLayout);
  CallGL(glBindVertexArray, wr->vertexLayout);

  CallGL(glGenBuffers, 1, &wr->vertexBuffer);
  CallGL(glBindBuffer, GL_ARRAY_BUFFER, wr->vertexBuffer);
  CallGL(glBufferData, GL_ARRAY_BUFFER, (GLsizeiptr)sizeof verts, (const void *)verts, GL_STATIC_DRAW);
  CallGL(glBindBuffer, GL_ARRAY_BUFFER, 0u);

  GLuint vertexShader = CompileShader(GL_VERTEX_SHADER, vertex_shader_source, "glGetShaderiv for the vertex shader @1519");
  GLuint fragmentShader =
      CompileShader(GL_FRAGMENT_SHADER, fragment_shader_source, "glGetShaderiv for the fragment shader @1526");

  wr->gl_program = CallGL(glCreateProgram);
  CallGL(glAttachShader, wr->gl_program, vertexShader);
  CallGL(glAttachShader, wr->gl_program, fragmentShader);
  // The output goes to colour number 0, where Resize attaches the shared colour surface.
  CallGL(glBindFragDataLocation, wr->gl_program, 0u, "outColor");
  CallGL(glLinkProgram, wr->gl_program);
  GLint status = 0;
  CallGL(glGetProgramiv, wr->gl_program, GL_LINK_STATUS, &status);
  if (status == 0) ReportGLEFailure("glGetProgramiv for the program @1536");

  wr->pos_attr = CallGL(glGetAttribLocation, wr->gl_program, "position");
  wr->color_attr = CallGL(glGetAttribLocation, wr->gl_program, "color");
  if (wr->pos_attr < 0) ReportGLEFailure("glGetAttribLocation for position @1540");
  if (wr->color_attr < 0) ReportGLEFailure("glGetAttribLocation for color @1541");

  CallGL(glDetachShader, wr->gl_program, vertexShader);
  CallGL(glDetachShader, wr->gl_program, fragmentShader);
  CallGL(glDeleteShader, vertexShader);
  CallGL(glDeleteShader, fragmentShader);
}

}  // namespace interlock
