// Render-target and depth-stencil views of 2-D textures. A view holds its texture. Both kinds
// share one implementation; a kind says what sets it apart.
#pragma once

#include <d3d11.h>

#include <optional>

#include "common/com_object.h"
#include "texture.h"

namespace ilk::d3d11 {

class Device;

struct RenderTargetViewKind {
  using Interface = ID3D11RenderTargetView;
  using Desc = D3D11_RENDER_TARGET_VIEW_DESC;
  static constexpr const char *kName = "ID3D11RenderTargetView";
  static constexpr const char *kCreateMethod = "ID3D11Device::CreateRenderTargetView";
  static constexpr const IID &kIid = IID_ID3D11RenderTargetView;
  static constexpr UINT kBindFlag = D3D11_BIND_RENDER_TARGET;
  static constexpr D3D11_RTV_DIMENSION kDimension2D = D3D11_RTV_DIMENSION_TEXTURE2D;
  // Checks what only this kind's description has.
  static HRESULT CheckOwnFields(Device *device, const Desc &desc);
};

struct DepthStencilViewKind {
  using Interface = ID3D11DepthStencilView;
  using Desc = D3D11_DEPTH_STENCIL_VIEW_DESC;
  static constexpr const char *kName = "ID3D11DepthStencilView";
  static constexpr const char *kCreateMethod = "ID3D11Device::CreateDepthStencilView";
  static constexpr const IID &kIid = IID_ID3D11DepthStencilView;
  static constexpr UINT kBindFlag = D3D11_BIND_DEPTH_STENCIL;
  static constexpr D3D11_DSV_DIMENSION kDimension2D = D3D11_DSV_DIMENSION_TEXTURE2D;
  static HRESULT CheckOwnFields(Device *device, const Desc &desc);
};

template <typename Kind>
class TextureView final : public ComObject<TextureView<Kind>, typename Kind::Interface> {
 public:
  using Desc = typename Kind::Desc;
  static constexpr ComInterface kInterfaces[] = {
      {&IID_ID3D11DeviceChild, "ID3D11DeviceChild", 0}, {&IID_ID3D11View, "ID3D11View", 0}, {&Kind::kIid, Kind::kName, 0}};
  // The view of `texture` that `desc` describes; null `desc` gives mip level 0 in the
  // texture's format. E_INVALIDARG (through Device::Refuse) when Direct3D refuses it; S_FALSE
  // for a valid description when `view` is null.
  static HRESULT Create(Device *device, ID3D11Resource *resource, const Desc *desc, TextureView **view);
  ~TextureView() override;

  void STDMETHODCALLTYPE GetDevice(ID3D11Device **device) override { texture_->GetDevice(device); }
  void STDMETHODCALLTYPE GetResource(ID3D11Resource **resource) override;
  void STDMETHODCALLTYPE GetDesc(Desc *desc) override { *desc = desc_; }

 private:
  TextureView(Texture *texture, const Desc &desc);
  Texture *const texture_;
  const Desc desc_;
};

using RenderTargetView = TextureView<RenderTargetViewKind>;
using DepthStencilView = TextureView<DepthStencilViewKind>;

}  // namespace ilk::d3d11
