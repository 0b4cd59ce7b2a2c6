// Render-target and depth-stencil views of 2-D textures. A view holds its texture.
#pragma once

#include <d3d11.h>

#include <optional>

#include "common/com_object.h"
#include "d3d11/texture.h"

namespace ilk {

class Device;

class RenderTargetView final : public ComObject<RenderTargetView, ID3D11RenderTargetView> {
 public:
  static constexpr GUID kPrivateIid = PrivateIid(0xd3d11002);
  static std::optional<uint32_t> Fail(const char *method, HRESULT code);
  // The view of `texture` that `desc` describes; null `desc` gives mip level 0 in the
  // texture's format. E_INVALIDARG (through Device::Refuse) when Direct3D refuses it.
  static HRESULT Create(Device *device, ID3D11Resource *resource, const D3D11_RENDER_TARGET_VIEW_DESC *desc,
                        RenderTargetView **view);
  ~RenderTargetView() override;
  void *FindInterface(REFIID riid);

  void STDMETHODCALLTYPE GetDevice(ID3D11Device **device) override { texture_->GetDevice(device); }
  void STDMETHODCALLTYPE GetResource(ID3D11Resource **resource) override;
  void STDMETHODCALLTYPE GetDesc(D3D11_RENDER_TARGET_VIEW_DESC *desc) override { *desc = desc_; }

 private:
  RenderTargetView(Texture *texture, const D3D11_RENDER_TARGET_VIEW_DESC &desc);
  Texture *const texture_;
  const D3D11_RENDER_TARGET_VIEW_DESC desc_;
};

class DepthStencilView final : public ComObject<DepthStencilView, ID3D11DepthStencilView> {
 public:
  static constexpr GUID kPrivateIid = PrivateIid(0xd3d11003);
  static std::optional<uint32_t> Fail(const char *method, HRESULT code);
  static HRESULT Create(Device *device, ID3D11Resource *resource, const D3D11_DEPTH_STENCIL_VIEW_DESC *desc,
                        DepthStencilView **view);
  ~DepthStencilView() override;
  void *FindInterface(REFIID riid);

  void STDMETHODCALLTYPE GetDevice(ID3D11Device **device) override { texture_->GetDevice(device); }
  void STDMETHODCALLTYPE GetResource(ID3D11Resource **resource) override;
  void STDMETHODCALLTYPE GetDesc(D3D11_DEPTH_STENCIL_VIEW_DESC *desc) override { *desc = desc_; }

 private:
  DepthStencilView(Texture *texture, const D3D11_DEPTH_STENCIL_VIEW_DESC &desc);
  Texture *const texture_;
  const D3D11_DEPTH_STENCIL_VIEW_DESC desc_;
};

}  // namespace ilk
