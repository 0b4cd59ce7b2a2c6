// DXGI factories: they make composition swap chains.
#pragma once

#include <dxgi1_3.h>

#include <optional>

#include "common/com_object.h"

namespace ilk::dxgi {

class Factory final : public ComObject<Factory, IDXGIFactory2> {
 public:
  static constexpr ComInterface kInterfaces[] = {
      {&IID_IDXGIObject, "IDXGIObject", 0}, {&IID_IDXGIFactory, "IDXGIFactory", 0},
      {&IID_IDXGIFactory1, "IDXGIFactory1", 0}, {&IID_IDXGIFactory2, "IDXGIFactory2", 0}};

  explicit Factory(bool debug) : ComObject(ObjectApi::Dxgi, "IDXGIFactory"), debug_(debug) {}

  HRESULT STDMETHODCALLTYPE CreateSwapChainForComposition(IUnknown *device, const DXGI_SWAP_CHAIN_DESC1 *desc,
                                                          IDXGIOutput *restrict_to_output,
                                                          IDXGISwapChain1 **swap_chain) override;

 private:
  // A call DXGI refuses: a debug factory (DXGI_CREATE_FACTORY_DEBUG) says why on the debugger
  // channel, as "DXGI ERROR: <method>: <reason>". Returns `hr`.
  HRESULT Refuse(const char *method, HRESULT hr, const char *reason) const;

  const bool debug_;
};

}  // namespace ilk::dxgi
