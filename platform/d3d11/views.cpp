// Render-target and depth-stencil views of 2-D textures, with Direct3D's checks of their
// descriptions. Views of a texture array or of multisampled textures are not offered here.
#include "views.h"

#include "common/log.h"
#include "device.h"

namespace ilk::d3d11 {
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

HRESULT RenderTargetViewKind::CheckOwnFields(Device *, const Desc &) { return S_OK; }

HRESULT DepthStencilViewKind::CheckOwnFields(Device *device, const Desc &desc) {
  if (desc.Flags & ~(UINT)(D3D11_DSV_READ_ONLY_DEPTH | D3D11_DSV_READ_ONLY_STENCIL)) {
    return device->Refuse(kCreateMethod, "Flags has unknown bits");
  }
  return S_OK;
}

template <typename Kind>
TextureView<Kind>::TextureView(Texture *texture, const Desc &desc)
    : ComObject<TextureView<Kind>, typename Kind::Interface>(ObjectApi::D3D11, Kind::kName),
      texture_(texture),
      desc_(desc) {
  texture_->AddRefInternal();
}

template <typename Kind>
TextureView<Kind>::~TextureView() {
  texture_->ReleaseInternal();
}

template <typename Kind>
HRESULT TextureView<Kind>::Create(Device *device, ID3D11Resource *resource, const Desc *desc, TextureView **view) {
  const char *method = Kind::kCreateMethod;
  Texture *texture;
  HRESULT hr = ViewedTexture(device, method, resource, Kind::kBindFlag, &texture);
  if (FAILED(hr)) return hr;
  Desc full = {};
  full.Format = texture->Desc().Format;
  full.ViewDimension = Kind::kDimension2D;
  if (desc) {
    full = *desc;
    if (full.Format == DXGI_FORMAT_UNKNOWN) full.Format = texture->Desc().Format;
  }
  hr = CheckViewDesc(device, method, *texture, full.Format, full.ViewDimension == Kind::kDimension2D,
                     full.Texture2D.MipSlice);
  if (FAILED(hr)) return hr;
  hr = Kind::CheckOwnFields(device, full);
  if (FAILED(hr)) return hr;
  if (!view) return S_FALSE;  // a valid description, as Direct3D answers a validation-only call
  *view = new TextureView(texture, full);
  return S_OK;
}

template <typename Kind>
void TextureView<Kind>::GetResource(ID3D11Resource **resource) {
  texture_->AddRef();
  *resource = texture_;
}

template class TextureView<RenderTargetViewKind>;
template class TextureView<DepthStencilViewKind>;

}  // namespace ilk::d3d11
