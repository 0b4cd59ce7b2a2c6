// Render-target and depth-stencil views of 2-D textures, with Direct3D's checks of their
// descriptions. Views of a texture array or of multisampled textures are not offered here.
#include "d3d11/views.h"

#include "common/log.h"
#include "d3d11/device.h"

namespace ilk {
namespace {

// The texture behind `resource` for a view that needs `bind`; refuses otherwise.
HRESULT ViewedTexture(Device *device, const char *method, ID3D11Resource *resource, UINT bind, Texture **texture) {
  *texture = PlatformObject<Texture>(resource);
  if (!*texture) return device->Refuse(method, "pResource is not a texture of this device");
  if ((*texture)->Owner() != device) return device->Refuse(method, "pResource belongs to another device");
  if (!((*texture)->Desc().BindFlags & bind)) return device->Refuse(method, "the resource lacks the bind flag of the view");
  if ((*texture)->Desc().ArraySize != 1) return device->Refuse(method, "views of texture arrays are not supported");
  return S_OK;
}

// The common checks of a view description: format and mip slice.
HRESULT CheckViewDesc(Device *device, const char *method, const Texture &texture, DXGI_FORMAT format, bool is_2d,
                      UINT mip_slice) {
  if (format != texture.Desc().Format) return device->Refuse(method, "the view format differs from the resource format");
  if (!is_2d) return device->Refuse(method, "only Texture2D view dimensions are supported for a 2-D texture");
  if (mip_slice >= texture.Desc().MipLevels) return device->Refuse(method, "MipSlice is beyond the resource's mip levels");
  return S_OK;
}

}  // namespace

std::optional<uint32_t> RenderTargetView::Fail(const char *method, HRESULT code) {
  return InjectedFailure(method, (uint32_t)code, {"IUnknown", "ID3D11DeviceChild", "ID3D11View", "ID3D11RenderTargetView"});
}

RenderTargetView::RenderTargetView(Texture *texture, const D3D11_RENDER_TARGET_VIEW_DESC &desc)
    : ComObject(ObjectApi::D3D11, "ID3D11RenderTargetView"), texture_(texture), desc_(desc) {
  texture_->AddRefInternal();
}

RenderTargetView::~RenderTargetView() { texture_->ReleaseInternal(); }

HRESULT RenderTargetView::Create(Device *device, ID3D11Resource *resource, const D3D11_RENDER_TARGET_VIEW_DESC *desc,
                                 RenderTargetView **view) {
  const char *method = "ID3D11Device::CreateRenderTargetView";
  Texture *texture;
  HRESULT hr = ViewedTexture(device, method, resource, D3D11_BIND_RENDER_TARGET, &texture);
  if (FAILED(hr)) return hr;
  D3D11_RENDER_TARGET_VIEW_DESC full = {};
  full.Format = texture->Desc().Format;
  full.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
  if (desc) {
    full = *desc;
    if (full.Format == DXGI_FORMAT_UNKNOWN) full.Format = texture->Desc().Format;
  }
  hr = CheckViewDesc(device, method, *texture, full.Format, full.ViewDimension == D3D11_RTV_DIMENSION_TEXTURE2D,
                     full.Texture2D.MipSlice);
  if (FAILED(hr)) return hr;
  if (!view) return S_FALSE;  // a valid description, as Direct3D answers a validation-only call
  *view = new RenderTargetView(texture, full);
  return S_OK;
}

void *RenderTargetView::FindInterface(REFIID riid) {
  if (riid == IID_ID3D11RenderTargetView || riid == IID_ID3D11View || riid == IID_ID3D11DeviceChild) {
    return static_cast<ID3D11RenderTargetView *>(this);
  }
  return riid == kPrivateIid ? this : nullptr;
}

void RenderTargetView::GetResource(ID3D11Resource **resource) {
  texture_->AddRef();
  *resource = texture_;
}

std::optional<uint32_t> DepthStencilView::Fail(const char *method, HRESULT code) {
  return InjectedFailure(method, (uint32_t)code, {"IUnknown", "ID3D11DeviceChild", "ID3D11View", "ID3D11DepthStencilView"});
}

DepthStencilView::DepthStencilView(Texture *texture, const D3D11_DEPTH_STENCIL_VIEW_DESC &desc)
    : ComObject(ObjectApi::D3D11, "ID3D11DepthStencilView"), texture_(texture), desc_(desc) {
  texture_->AddRefInternal();
}

DepthStencilView::~DepthStencilView() { texture_->ReleaseInternal(); }

HRESULT DepthStencilView::Create(Device *device, ID3D11Resource *resource, const D3D11_DEPTH_STENCIL_VIEW_DESC *desc,
                                 DepthStencilView **view) {
  const char *method = "ID3D11Device::CreateDepthStencilView";
  Texture *texture;
  HRESULT hr = ViewedTexture(device, method, resource, D3D11_BIND_DEPTH_STENCIL, &texture);
  if (FAILED(hr)) return hr;
  D3D11_DEPTH_STENCIL_VIEW_DESC full = {};
  full.Format = texture->Desc().Format;
  full.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
  if (desc) {
    full = *desc;
    if (full.Format == DXGI_FORMAT_UNKNOWN) full.Format = texture->Desc().Format;
  }
  hr = CheckViewDesc(device, method, *texture, full.Format, full.ViewDimension == D3D11_DSV_DIMENSION_TEXTURE2D,
                     full.Texture2D.MipSlice);
  if (FAILED(hr)) return hr;
  if (full.Flags & ~(UINT)(D3D11_DSV_READ_ONLY_DEPTH | D3D11_DSV_READ_ONLY_STENCIL)) {
    return device->Refuse(method, "Flags has unknown bits");
  }
  if (!view) return S_FALSE;
  *view = new DepthStencilView(texture, full);
  return S_OK;
}

void *DepthStencilView::FindInterface(REFIID riid) {
  if (riid == IID_ID3D11DepthStencilView || riid == IID_ID3D11View || riid == IID_ID3D11DeviceChild) {
    return static_cast<ID3D11DepthStencilView *>(this);
  }
  return riid == kPrivateIid ? this : nullptr;
}

void DepthStencilView::GetResource(ID3D11Resource **resource) {
  texture_->AddRef();
  *resource = texture_;
}

}  // namespace ilk
