// The triangle and the GLSL program that draws it with the core profile.
#pragma once

#include "renderer/window_renderer.h"

namespace interlock {

// Three vertices of a position vec4 (clip coordinates) then a colour vec4: 32 bytes each.
extern const float verts[24];
extern const char *vertex_shader_source;
extern const char *fragment_shader_source;

// The shader phase of Create, with the window's context current: uploads `verts` into a new
// vertex buffer, creates the vertex array, compiles and links the program and queries the
// locations of "position" and "color".
void CreateShaderProgram(window_renderer *wr);

}  // namespace interlock
