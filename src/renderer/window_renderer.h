// The per-window record of graphics objects, the process-wide device pointers, and the
// procedures that build, size and tear down a record.
#pragma once

#include <windows.h>
#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_3.h>
#include <GL/gl.h>

#include "app/system_entry_points.h"

namespace interlock {

struct window_renderer {
  HWND window;
  HANDLE waiter;
  ID3D11DeviceContext *immediate_ctx;
  IDXGISwapChain1 *swapChain1;
  ID3D11DepthStencilView *depthBufferView;
  ID3D11RenderTargetView *colorBufferView;
  IDCompositionTarget *target;
  GLuint colorTbuf;
  GLuint dsTbuf;
  GLuint fbuf;
  GLuint vertexBuffer;
  GLuint vertexLayout;
  GLuint gl_program;
  GLint pos_attr;
  GLint color_attr;
  HANDLE dxDevice;
  HANDLE dxColor;
  HANDLE dxDepthStencil;
  BOOL quitting;
  BOOL resizing;
  HDC draw_dc;
  HGLRC gl_context;
};

extern window_renderer wr1;
extern window_renderer wr2;

extern ID3D11Device *direct3dDevice;
extern IDXGIDevice *dxgiDevice;
extern IDXGIDebug *debug;

// Builds every size-independent object of the record (Direct3D, composition, OpenGL).
void Create(window_renderer *wr);
// (Re)creates the size-dependent render targets.
void Resize(window_renderer *wr, DWORD width, DWORD height);
// Releases every object of the record.
void Destroy(window_renderer *wr);

// Releases a COM object that a failed construction step may have left missing.
void ReleaseIfHeld(IUnknown *object);

// TRUE from the end of Create until Destroy: only then may the record be sized or painted.
bool IsBuilt(const window_renderer *wr);
void SetBuilt(const window_renderer *wr, bool built);

}  // namespace interlock
