// Destroy: the teardown of a window record, with a trace line for each object it lets go.
//
// Every step is made whatever failed before it, except a method of a missing object.
#include <windows.h>
#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_3.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <stdio.h>

#include "app/options.h"
#include "diag/checks.h"
#include "renderer/gl_functions.h"
#include "renderer/window_renderer.h"

namespace interlock {

namespace {

const GLenum kAttachmentPoints[] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT, GL_STENCIL_ATTACHMENT};

// The OpenGL and interop part: one block of OpenGL work on the window's context.
void DestroyGLObjects(window_renderer *wr) {
  CallGL(glBindFramebuffer, GL_FRAMEBUFFER, wr->fbuf);
  for (GLenum attachment : kAttachmentPoints) {
    if (render_kind == RENDER_BUFFER) {
      CallGL(glFramebufferRenderbuffer, GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, 0);
    } else {
      CallGL(glFramebufferTexture2D, GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, 0, 0);
    }
  }
  CallGL(glBindBuffer, GL_ARRAY_BUFFER, 0);
  CallGL(glBindVertexArray, 0);
  CallGL(glUseProgram, 0);
  CallGL(glBindFramebuffer, GL_FRAMEBUFFER, 0);

  printf("dxColor = 0x%p\n", wr->dxColor);
  CheckGLE(CallGL(wglDXUnregisterObjectNV, wr->dxDevice, wr->dxColor), "wglDXUnregisterObjectNV for color buffer @1588");
  printf("dxDepthStencil = 0x%p\n", wr->dxDepthStencil);
  CheckGLE(CallGL(wglDXUnregisterObjectNV, wr->dxDevice, wr->dxDepthStencil), "wglDXUnregisterObjectNV for depth buffer @1590");

  CallGL(glDeleteBuffers, 1, &wr->vertexBuffer);
  CallGL(glDeleteVertexArrays, 1, &wr->vertexLayout);
  CallGL(glDeleteProgram, wr->gl_program);
  CallGL(glDeleteFramebuffers, 1, &wr->fbuf);
  if (render_kind == RENDER_BUFFER) {
    CallGL(glDeleteRenderbuffers, 1, &wr->colorTbuf);
    CallGL(glDeleteRenderbuffers, 1, &wr->dsTbuf);
  } else {
    glDeleteTextures(1, &wr->colorTbuf);
    glDeleteTextures(1, &wr->dsTbuf);
  }

  printf("dxDevice = 0x%p\n", wr->dxDevice);
  CheckGLE(CallGL(wglDXCloseDeviceNV, wr->dxDevice), "wglDXCloseDeviceNV @1611");

  glFinish();
  DumpGLErrors("glFinish @1614");
  glFlush();
  DumpGLErrors("glFlush @1616");
}

}  // namespace

void Destroy(window_renderer *wr) {
  SetBuilt(wr, false);

  if (wr->immediate_ctx) {
    wr->immediate_ctx->OMSetRenderTargets(0, NULL, NULL);
    wr->immediate_ctx->ClearState();
    wr->immediate_ctx->Flush();
  }

  wr->draw_dc = GetDC(wr->window);
  CheckGLE(wr->draw_dc, "GetDC @1563");
  // Without a device context no context is made current: the OpenGL calls then do nothing, the
  // interop calls are refused and reported, and the context is still deleted.
  wglMakeCurrent(wr->draw_dc, wr->gl_context);
  DestroyGLObjects(wr);
  wglMakeCurrent(wr->draw_dc, NULL);
  wglDeleteContext(wr->gl_context);
  wr->gl_context = NULL;
  ReleaseDC(wr->window, wr->draw_dc);
  wr->draw_dc = NULL;

  printf("colorBufferView = 0x%p\n", (void *)wr->colorBufferView);
  ReleaseIfHeld(wr->colorBufferView);
  printf("depthBufferView = 0x%p\n", (void *)wr->depthBufferView);
  ReleaseIfHeld(wr->depthBufferView);
  printf("immediate_ctx = 0x%p\n", (void *)wr->immediate_ctx);
  if (dxgiDevice) {
    printf("dxgiDevice = 0x%p\n", (void *)dxgiDevice);
    dxgiDevice->Release();
    dxgiDevice = NULL;
  }
  printf("swapChain1 = 0x%p\n", (void *)wr->swapChain1);
  puts("releasing swapchain...");
  if (debug) debug->ReportLiveObjects(DXGI_DEBUG_ALL, DXGI_DEBUG_RLO_ALL);
  ReleaseIfHeld(wr->swapChain1);
  ReleaseIfHeld(wr->target);
  if (wr->immediate_ctx) {
    wr->immediate_ctx->ClearState();
    wr->immediate_ctx->Flush();
    wr->immediate_ctx->Release();
  }
  if (direct3dDevice) {
    printf("direct3dDevice = 0x%p\n", (void *)direct3dDevice);
    direct3dDevice->Release();
    direct3dDevice = NULL;
  }
  wr->colorBufferView = NULL;
}

}  // namespace interlock
