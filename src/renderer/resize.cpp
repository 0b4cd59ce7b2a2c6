// Resize: the size-dependent render targets (a colour and a depth-stencil texture shared with
// OpenGL through the interop device) and their attachment to the window's framebuffer object.
//
// After a failed step the call goes on. A step whose missing input is only an argument (a
// texture, the interop device or a registration) is made and its failure reported; only a
// method of a missing object is skipped.
#include <windows.h>
#include <d3d11.h>
#include <dxgi1_3.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/wglext.h>

#include "app/options.h"
#include "diag/checks.h"
#include "renderer/gl_functions.h"
#include "renderer/window_renderer.h"

namespace interlock {

namespace {

const UINT kSwapChainFlags = 0x840;  // the flags the swap chain was created with

// A side of zero or less (as a signed 32-bit value) becomes 1, as the swap chain's sides do.
DWORD AtLeastOne(DWORD side) { return (LONG)side <= 0 ? 1 : side; }

D3D11_TEXTURE2D_DESC SharedTextureDesc(DWORD width, DWORD height, DXGI_FORMAT format, UINT bind_flags) {
  D3D11_TEXTURE2D_DESC desc;
  memset(&desc, 0, sizeof desc);
  desc.Width = width;
  desc.Height = height;
  desc.MipLevels = 1;
  desc.ArraySize = 1;
  desc.Format = format;
  desc.SampleDesc.Count = 1;
  desc.SampleDesc.Quality = 0;
  desc.Usage = D3D11_USAGE_DEFAULT;
  desc.BindFlags = bind_flags;
  desc.CPUAccessFlags = 0;
  desc.MiscFlags = D3D11_RESOURCE_MISC_SHARED;
  return desc;
}

// Takes the previous set of targets apart before new ones are made.
void ReleaseTargets(window_renderer *wr, DWORD width, DWORD height) {
  CheckGLE(CallGL(wglDXUnregisterObjectNV, wr->dxDevice, wr->dxColor), "wglDXUnregisterObjectNV for color buffer @1029");
  CheckGLE(CallGL(wglDXUnregisterObjectNV, wr->dxDevice, wr->dxDepthStencil), "wglDXUnregisterObjectNV for depth buffer @1030");
  wr->dxColor = NULL;
  wr->dxDepthStencil = NULL;
  if (wr->immediate_ctx) wr->immediate_ctx->OMSetRenderTargets(0, NULL, NULL);
  ReleaseIfHeld(wr->colorBufferView);
  ReleaseIfHeld(wr->depthBufferView);
  wr->colorBufferView = NULL;
  wr->depthBufferView = NULL;
  if (wr->swapChain1)
    CheckHR(wr->swapChain1->ResizeBuffers(2, width, height, DXGI_FORMAT_UNKNOWN, kSwapChainFlags),
            "IDXGISwapChain1_ResizeBuffers @1037");
}

// Hands a texture's shared handle to the interop extension. The handle is cleared before the
// query, so a failed query hands over no handle rather than another texture's; the call is made
// all the same, and the extension's refusal reported.
void ShareTexture(ID3D11Texture2D *texture, HANDLE *SharedHandle, const char *query_location,
                  const char *handle_location, const char *share_location) {
  *SharedHandle = NULL;
  if (texture) {
    IDXGIResource *pTempResource = NULL;
    CheckHR(texture->QueryInterface(IID_IDXGIResource, reinterpret_cast<void **>(&pTempResource)), query_location);
    if (pTempResource) {
      CheckHR(pTempResource->GetSharedHandle(SharedHandle), handle_location);
      pTempResource->Release();
    }
  }
  CheckGLE(CallGL(wglDXSetResourceShareHandleNV, (void *)texture, *SharedHandle), share_location);
}

// Registers a texture under an OpenGL name with the window's interop device.
HANDLE Register(window_renderer *wr, ID3D11Texture2D *texture, GLuint name, GLenum kind, const char *location) {
  HANDLE registration = CallGL(wglDXRegisterObjectNV, wr->dxDevice, texture, name, kind, WGL_ACCESS_READ_WRITE_NV);
  CheckGLE(registration, location);
  return registration;
}

void AttachRenderbuffer(GLenum attachment, GLuint name, const char *location) {
  CallGL(glFramebufferRenderbuffer, GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name);
  DumpGLErrors(location);
}

void AttachTexture(GLenum attachment, GLuint name, const char *location) {
  CallGL(glFramebufferTexture2D, GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, name, 0);
  DumpGLErrors(location);
}

}  // namespace

void Resize(window_renderer *wr, DWORD width, DWORD height) {
  // Only sides of zero or less are changed. A side beyond Direct3D's limit is passed on as it
  // is: DXGI and Direct3D refuse it, and their refusals are reported.
  width = AtLeastOne(width);
  height = AtLeastOne(height);

  ID3D11Texture2D *dxColorBuffer = NULL;
  ID3D11Texture2D *dxDepthBuffer = NULL;

  wr->draw_dc = GetDC(wr->window);
  wglMakeCurrent(wr->draw_dc, wr->gl_context);

  // Any part of a previous set marks a repeat call: a set whose colour view failed is taken
  // apart and the swap chain resized all the same.
  if (wr->colorBufferView || wr->depthBufferView || wr->dxColor || wr->dxDepthStencil) {
    ReleaseTargets(wr, width, height);
  }

  D3D11_TEXTURE2D_DESC depthDesc =
      SharedTextureDesc(width, height, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL);
  D3D11_DEPTH_STENCIL_VIEW_DESC descDSV;
  memset(&descDSV, 0, sizeof descDSV);
  descDSV.Format = depthDesc.Format;
  descDSV.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
  descDSV.Flags = 0;
  descDSV.Texture2D.MipSlice = 0;
  D3D11_TEXTURE2D_DESC colorDesc = SharedTextureDesc(width, height, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET);
  D3D11_RENDER_TARGET_VIEW_DESC bvdesc;
  memset(&bvdesc, 0, sizeof bvdesc);
  bvdesc.Format = colorDesc.Format;
  bvdesc.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
  bvdesc.Texture2D.MipSlice = 0;

  if (direct3dDevice) {
    CheckHR(direct3dDevice->CreateTexture2D(&depthDesc, NULL, &dxDepthBuffer), "ID3D11Device_CreateTexture2D for depth @1062");
    CheckHR(direct3dDevice->CreateDepthStencilView(dxDepthBuffer, &descDSV, &wr->depthBufferView),
            "ID3D11Device_CreateDepthStencilView for depth @1075");
    CheckHR(direct3dDevice->CreateTexture2D(&colorDesc, NULL, &dxColorBuffer), "ID3D11Device_CreateTexture2D for color @1099");
    CheckHR(direct3dDevice->CreateRenderTargetView(dxColorBuffer, &bvdesc, &wr->colorBufferView),
            "ID3D11Device_CreateRenderTargetView for color @1110");
  }
  if (wr->immediate_ctx) wr->immediate_ctx->OMSetRenderTargets(1, &wr->colorBufferView, wr->depthBufferView);

  if (share_objects) {
    HANDLE SharedHandle = NULL;
    ShareTexture(dxColorBuffer, &SharedHandle, "ID3D11Texture2D_QueryInterface (IID_IDXGIResource) for color @1121",
                 "IDXGIResource_GetSharedHandle for color @1124", "wglDXSetResourceShareHandleNV for color @1127");
    ShareTexture(dxDepthBuffer, &SharedHandle, "ID3D11Texture2D_QueryInterface (IID_IDXGIResource) for depth @1132",
                 "IDXGIResource_GetSharedHandle for depth @1135", "wglDXSetResourceShareHandleNV for depth @1138");
  }

  bool render_buffers = render_kind == RENDER_BUFFER;
  if (render_buffers && allocate_renderbuffers_storage) {
    CallGL(glNamedRenderbufferStorage, wr->dsTbuf, GL_DEPTH_STENCIL, (GLsizei)width, (GLsizei)height);
    DumpGLErrors("glNamedRenderbufferStorage @1149");
    CallGL(glNamedRenderbufferStorage, wr->colorTbuf, GL_RGBA, (GLsizei)width, (GLsizei)height);
    DumpGLErrors("glNamedRenderbufferStorage @1151");
  }
  GLenum shared_kind = render_buffers ? GL_RENDERBUFFER : GL_TEXTURE_2D;
  wr->dxDepthStencil = Register(wr, dxDepthBuffer, wr->dsTbuf, shared_kind,
                                render_buffers ? "wglDXRegisterObjectNV for depth buffer @1155"
                                               : "wglDXRegisterObjectNV for depth texture @1163");
  wr->dxColor = Register(wr, dxColorBuffer, wr->colorTbuf, shared_kind,
                         render_buffers ? "wglDXRegisterObjectNV for color buffer @1158"
                                        : "wglDXRegisterObjectNV for color texture @1166");

  ReleaseIfHeld(dxColorBuffer);
  ReleaseIfHeld(dxDepthBuffer);

  glViewport(0, 0, (GLsizei)width, (GLsizei)height);
  DumpGLErrors("glViewport @1174");
  CallGL(glBindFramebuffer, GL_FRAMEBUFFER, wr->fbuf);
  DumpGLErrors("glBindFramebuffer @1177");
  // The depth-stencil name goes to both the depth and the stencil attachment point.
  if (render_buffers) {
    AttachRenderbuffer(GL_COLOR_ATTACHMENT0, wr->colorTbuf, "glFramebufferRenderbuffer @1183");
    AttachRenderbuffer(GL_DEPTH_ATTACHMENT, wr->dsTbuf, "glFramebufferRenderbuffer @1185");
    AttachRenderbuffer(GL_STENCIL_ATTACHMENT, wr->dsTbuf, "glFramebufferRenderbuffer @1187");
  } else {
    AttachTexture(GL_COLOR_ATTACHMENT0, wr->colorTbuf, "glFramebufferTexture2D @1191");
    AttachTexture(GL_DEPTH_ATTACHMENT, wr->dsTbuf, "glFramebufferTexture2D @1194");
    AttachTexture(GL_STENCIL_ATTACHMENT, wr->dsTbuf, "glFramebufferTexture2D @1196");
  }
  CallGL(glBindFramebuffer, GL_FRAMEBUFFER, 0);
  DumpGLErrors("glBindFramebuffer @1202");

  wglMakeCurrent(wr->draw_dc, NULL);
  ReleaseDC(wr->window, wr->draw_dc);
  wr->draw_dc = NULL;
}

}  // namespace interlock
