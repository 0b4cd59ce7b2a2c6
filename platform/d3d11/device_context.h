// The immediate context of a device. The device owns it; while the application holds it, it
// holds the device. Bound views are held until they are unbound, as on Windows, so a device
// released with views still bound lives on until ClearState.
#pragma once

#include <d3d11.h>

#include <optional>

#include "common/com_object.h"
#include "views.h"

namespace ilk::d3d11 {

class Device;

class ImmediateContext final : public ComObject<ImmediateContext, ID3D11DeviceContext> {
 public:
  static constexpr ComInterface kInterfaces[] = {
      {&IID_ID3D11DeviceChild, "ID3D11DeviceChild", 0}, {&IID_ID3D11DeviceContext, "ID3D11DeviceContext", 0}};

  explicit ImmediateContext(Device *device);  // one application reference, holding the device
  ~ImmediateContext() override;

  void STDMETHODCALLTYPE GetDevice(ID3D11Device **device) override;
  void STDMETHODCALLTYPE OMSetRenderTargets(UINT num_views, ID3D11RenderTargetView *const *render_target_views,
                                            ID3D11DepthStencilView *depth_stencil_view) override;
  void STDMETHODCALLTYPE CopyResource(ID3D11Resource *dst_resource, ID3D11Resource *src_resource) override;
  void STDMETHODCALLTYPE OMGetRenderTargets(UINT num_views, ID3D11RenderTargetView **render_target_views,
                                            ID3D11DepthStencilView **depth_stencil_view) override;
  void STDMETHODCALLTYPE ClearState() override;
  void STDMETHODCALLTYPE Flush() override;

 protected:
  void ExternalRefsRevived() override;
  void Unreferenced() override;  // the device keeps the object

 private:
  void Unbind();

  Device *const device_;
  RenderTargetView *render_targets_[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT] = {};
  DepthStencilView *depth_stencil_ = nullptr;
};

}  // namespace ilk::d3d11
