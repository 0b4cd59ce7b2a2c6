// The OpenGL objects phase of Create and its closing steps: the block of OpenGL work on the
// window, the entry-point table, the interop device, the names that will alias the shared
// Direct3D textures, the framebuffer, and (core profile only) the shader program.
#include "app/options.h"
#include "diag/checks.h"
#include "renderer/create_phases.h"
#include "renderer/gl_functions.h"
#include "renderer/gl_program.h"

namespace interlock {
namespace {

// Render-buffer or texture names by render_kind; their storage is attached by Resize.
void GenerateSharedSurfaceNames(window_renderer *wr) {
  if (render_kind == RENDER_BUFFER) {
    CallGL(glGenRenderbuffers, 1, &wr->colorTbuf);
    DumpGLErrors("glGenRenderbuffers @1476");
    CallGL(glGenRenderbuffers, 1, &wr->dsTbuf);
    DumpGLErrors("glGenRenderbuffers @1478");
    if (bind_renderbuffers) {
      CallGL(glBindRenderbuffer, GL_RENDERBUFFER, wr->colorTbuf);
      DumpGLErrors("glBindRenderbuffer @1482");
      CallGL(glBindRenderbuffer, GL_RENDERBUFFER, wr->dsTbuf);
      DumpGLErrors("glBindRenderbuffer @1484");
    }
  } else {
    // Not drained here: errors surface at the framebuffer's drain.
    glGenTextures(1, &wr->colorTbuf);
    glGenTextures(1, &wr->dsTbuf);
  }
}

}  // namespace

void CreateGLObjects(window_renderer *wr) {
  wr->draw_dc = GetDC(wr->window);
  CheckGLE(wr->draw_dc, "GetDC @ 1409");
  CheckGLE(wglMakeCurrent(wr->draw_dc, wr->gl_context), "wglMakeCurrent @ 1410");
  LoadGLFunctions();
  SetLastError(0);
  wr->dxDevice = CallGL(wglDXOpenDeviceNV, direct3dDevice);
  CheckGLE(wr->dxDevice, "wglDXOpenDeviceNV for the D3D device @1466");
  GenerateSharedSurfaceNames(wr);
  CallGL(glGenFramebuffers, 1, &wr->fbuf);
  DumpGLErrors("glGenFramebuffers @1490");
  if (!compat_gl) CreateShaderProgram(wr);
  wglMakeCurrent(wr->draw_dc, NULL);
  ReleaseDC(wr->window, wr->draw_dc);
  wr->draw_dc = NULL;
}

}  // namespace interlock
