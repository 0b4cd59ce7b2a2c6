// The Direct3D 11 device, which is also its DXGI device.
#pragma once

#include <d3d11.h>

#include <memory>
#include <optional>

#include "common/com_object.h"
#include "vulkan_device.h"

namespace ilk::d3d11 {

class ImmediateContext;
class Texture;
enum class TextureMemoryKind;

class Device final : public ComObject<Device, ID3D11Device, IDXGIDevice> {
 public:
  static constexpr ComInterface kInterfaces[] = {
      {&IID_ID3D11Device, "ID3D11Device", 0}, {&IID_IDXGIObject, "IDXGIObject", 1}, {&IID_IDXGIDevice, "IDXGIDevice", 1}};

  Device(UINT flags, D3D_FEATURE_LEVEL level, std::unique_ptr<VulkanDevice> vulkan);
  ~Device() override;

  HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC *desc, const D3D11_SUBRESOURCE_DATA *initial_data,
                                            ID3D11Texture2D **texture) override;
  HRESULT STDMETHODCALLTYPE CreateRenderTargetView(ID3D11Resource *resource, const D3D11_RENDER_TARGET_VIEW_DESC *desc,
                                                   ID3D11RenderTargetView **view) override;
  HRESULT STDMETHODCALLTYPE CreateDepthStencilView(ID3D11Resource *resource, const D3D11_DEPTH_STENCIL_VIEW_DESC *desc,
                                                   ID3D11DepthStencilView **view) override;
  D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() override { return level_; }
  UINT STDMETHODCALLTYPE GetCreationFlags() override { return flags_; }
  void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext **immediate_context) override;

  // Texture creation without INTERLOCK_FAIL, for the platform's own buffers (swap chains).
  HRESULT CreateTexture(const D3D11_TEXTURE2D_DESC &desc, const D3D11_SUBRESOURCE_DATA *initial_data, TextureMemoryKind kind,
                        Texture **texture);
  // A call Direct3D refuses: with the debug layer (D3D11_CREATE_DEVICE_DEBUG) the reason goes
  // to the debugger channel as "D3D11 ERROR: <method>: <reason>". Returns E_INVALIDARG.
  HRESULT Refuse(const char *method, const char *reason) const;
  VulkanDevice &Vulkan() { return *vulkan_; }
  ImmediateContext &Context() { return *context_; }

 private:
  const UINT flags_;
  const D3D_FEATURE_LEVEL level_;
  std::unique_ptr<VulkanDevice> vulkan_;
  std::unique_ptr<ImmediateContext, TrackedObject::Deleter> context_;
};

}  // namespace ilk::d3d11
