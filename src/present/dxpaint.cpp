// dxpaint: one frame. OpenGL clears the shared colour texture and draws the triangle into it
// inside the interop lock; Direct3D then copies it into the swap chain's buffer and presents.
#include <windows.h>
#include <d3d11.h>
#include <dwmapi.h>
#include <dxgi1_3.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <stdio.h>
#include <string.h>

#include "app/options.h"
#include "diag/checks.h"
#include "present/frame.h"
#include "renderer/gl_functions.h"

namespace interlock {

namespace {

const GLsizei kVertexStride = 32;
const size_t kColorOffset = 16;

// The name of an incomplete framebuffer status, or none.
const char *FramebufferStatusName(GLenum status) {
  switch (status) {
    case 0x8CD6: return "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT";
    case 0x8CD7: return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT";
    case 0x8CDB: return "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER";
    case 0x8CDC: return "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER";
    case 0x8CDD: return "GL_FRAMEBUFFER_UNSUPPORTED";
    case 0x8D56: return "GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE";
    case 0x8DA8: return "GL_FRAMEBUFFER_INCOMPLETE_LAYER_TARGETS";
    default: return NULL;
  }
}

void ReportLiveObjects() {
  if (debug) debug->ReportLiveObjects(DXGI_DEBUG_ALL, DXGI_DEBUG_RLO_ALL);
}

// Fixed-function immediate mode. The drains inside glBegin/glEnd make OpenGL record
// GL_INVALID_OPERATION, which the drain after glEnd reports.
void DrawLegacyTriangle() {
  glBegin(GL_TRIANGLES);
  DumpGLErrors("glBegin @939");
  glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
  DumpGLErrors("glColor4f @941");
  glVertex2f(0.0f, -1.5f);
  DumpGLErrors("glVertex2f @943");
  glColor4f(0.0f, 1.0f, 0.0f, 0.5f);
  glVertex2f(1.5f, 1.5f);
  glColor4f(0.0f, 0.0f, 1.0f, 0.2f);
  glVertex2f(-1.5f, 1.5f);
  glEnd();
  DumpGLErrors("glEnd @949");
}

void DrawCoreTriangle(const window_renderer *wr) {
  CallGL(glUseProgram, wr->gl_program);
  DumpGLErrors("glUseProgram @954");
  CallGL(glBindVertexArray, wr->vertexLayout);
  DumpGLErrors("glBindVertexArray @957");
  CallGL(glBindBuffer, GL_ARRAY_BUFFER, wr->vertexBuffer);
  DumpGLErrors("glBindBuffer @959");
  CallGL(glEnableVertexAttribArray, (GLuint)wr->pos_attr);
  DumpGLErrors("glEnableVertexAttribArray @962");
  CallGL(glVertexAttribPointer, (GLuint)wr->pos_attr, 4, GL_FLOAT, GL_FALSE, kVertexStride, (const void *)0);
  DumpGLErrors("glVertexAttribPointer @964");
  CallGL(glEnableVertexAttribArray, (GLuint)wr->color_attr);
  DumpGLErrors("glEnableVertexAttribArray @966");
  CallGL(glVertexAttribPointer, (GLuint)wr->color_attr, 4, GL_FLOAT, GL_FALSE, kVertexStride, (const void *)kColorOffset);
  DumpGLErrors("glVertexAttribPointer @968");
  glDrawArrays(GL_TRIANGLES, 0, 3);
  DumpGLErrors("glDrawArrays @971");
  CallGL(glDisableVertexAttribArray, (GLuint)wr->pos_attr);
  DumpGLErrors("glDisableVertexAttribArray @974");
  CallGL(glDisableVertexAttribArray, (GLuint)wr->color_attr);
  DumpGLErrors("glDisableVertexAttribArray @976");
  CallGL(glBindBuffer, GL_ARRAY_BUFFER, 0);
  DumpGLErrors("glBindBuffer @978");
  CallGL(glBindVertexArray, 0);
  CallGL(glUseProgram, 0);
  DumpGLErrors("glUseProgram @981");
  glFinish();
  DumpGLErrors("glFinish @983");
  glFlush();
  DumpGLErrors("glFlush @985");
}

// Everything OpenGL does in a frame: the status check, the lock bracket and the drawing.
void DrawWithOpenGL(window_renderer *wr) {
  GLenum fbostatus = CallGL(glCheckFramebufferStatus, GL_FRAMEBUFFER);
  if (fbostatus != GL_FRAMEBUFFER_COMPLETE) {
    OutputDebugStringA("Framebuffer not complete: ");
    if (const char *errmsg = FramebufferStatusName(fbostatus)) OutputDebugStringA(errmsg);
    OutputDebugStringA("\n");
  }

  puts("locking...");
  ReportLiveObjects();
  HANDLE dxObjects[2] = {wr->dxColor, wr->dxDepthStencil};
  CallGL(wglDXLockObjectsNV, wr->dxDevice, 2, dxObjects);
  puts("locked");
  ReportLiveObjects();

  CallGL(glBindFramebuffer, GL_FRAMEBUFFER, wr->fbuf);
  DumpGLErrors("glBindFramebuffer @929");
  glClearColor(0.0f, 0.0f, 0.0f, 0.4f);
  DumpGLErrors("glClearColor @932");
  glClear(GL_COLOR_BUFFER_BIT);
  DumpGLErrors("glClear @934");
  if (compat_gl) {
    DrawLegacyTriangle();
  } else {
    DrawCoreTriangle(wr);
  }
  CallGL(glBindFramebuffer, GL_FRAMEBUFFER, 0);
  DumpGLErrors("glBindFramebuffer @989");

  CallGL(wglDXUnlockObjectsNV, wr->dxDevice, 2, dxObjects);
}

// Copies the shared colour texture into buffer 0 of the swap chain and presents it. Without a
// swap chain (its creation failed and was reported) there is no buffer to copy into and nothing
// to present, but the wait for the compositor after a resize is still made.
void CopyAndPresent(window_renderer *wr) {
  ID3D11Texture2D *dxColorBuffer = NULL;
  ID3D11Resource *dxColorBackBuffer = NULL;
  if (wr->swapChain1) {
    CheckHR(wr->swapChain1->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&dxColorBuffer)),
            "IDXGISwapChain1_GetBuffer @995");
  }
  wr->colorBufferView->GetResource(&dxColorBackBuffer);
  // Without the buffer (GetBuffer failed, reported) there is nothing to copy into.
  if (dxColorBuffer && wr->immediate_ctx) wr->immediate_ctx->CopyResource(dxColorBuffer, dxColorBackBuffer);
  if (wr->resizing) DwmFlush();
  if (wr->swapChain1) {
    DXGI_PRESENT_PARAMETERS pp;
    memset(&pp, 0, sizeof pp);
    CheckHR(wr->swapChain1->Present1(0, 0, &pp), "IDXGISwapChain1_Present1 @1006");
  }
  if (dxColorBuffer) dxColorBuffer->Release();
  if (dxColorBackBuffer) dxColorBackBuffer->Release();
}

}  // namespace

void dxpaint(window_renderer *wr) {
  if (!wr->colorBufferView) return;  // no render targets: nothing can be painted

  wr->draw_dc = GetDC(wr->window);
  // A context that cannot be made current leaves none current: the OpenGL calls then do
  // nothing and the (unchecked) lock and unlock are refused, as on Windows.
  wglMakeCurrent(wr->draw_dc, wr->gl_context);
  DrawWithOpenGL(wr);
  CopyAndPresent(wr);
  wglMakeCurrent(wr->draw_dc, NULL);
  ReleaseDC(wr->window, wr->draw_dc);
  wr->draw_dc = NULL;

  wr->quitting = TRUE;
}

}  // namespace interlock
