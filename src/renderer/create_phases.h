// The phases of Create, in the order Create runs them.
#pragma once

#include "renderer/window_renderer.h"

namespace interlock {

// The process-wide device on first use, the composition swap chain and its waitable object,
// the DirectComposition tree, the record's immediate-context reference.
void CreateDirect3DObjects(window_renderer *wr);
// The window's OpenGL context, through a temporary window and context; none current after.
void CreateGLContext(window_renderer *wr);
// The block of OpenGL work: entry points, interop device, object names, the shader program
// (core profile only), then no context current and draw_dc released.
void CreateGLObjects(window_renderer *wr);

}  // namespace interlock
