// DXGI factories and CreateDXGIFactory2.
//
// CreateSwapChainForComposition checks the description as Windows does for composition swap
// chains: a flip-model swap effect, 2 to 16 buffers, DXGI_SCALING_STRETCH, a non-zero size,
// single sampling, no straight alpha, known flags (DXGI_ERROR_INVALID_CALL otherwise). Of the
// formats flip-model chains take, B8G8R8A8_UNORM and R8G8B8A8_UNORM are supported here;
// R16G16B16A16_FLOAT and R10G10B10A2_UNORM, and stereo, give DXGI_ERROR_UNSUPPORTED.
// DXGI_CREATE_FACTORY_DEBUG always succeeds (the debug layer is built in, where Windows needs
// its graphics tools installed): such a factory says on the debugger channel why it refuses.
#include "factory.h"

#include <d3d11.h>


#include "common/log.h"
#include "d3d11/d3d11_internal.h"
#include "swap_chain.h"

namespace ilk::dxgi {
namespace {

const UINT kKnownSwapChainFlags = 0x1FFF;

}  // namespace

HRESULT Factory::Refuse(const char *method, HRESULT hr, const char *reason) const {
  ReportRefusal(debug_, "DXGI", "MISCELLANEOUS", method, reason);
  return hr;
}

HRESULT Factory::CreateSwapChainForComposition(IUnknown *device, const DXGI_SWAP_CHAIN_DESC1 *desc, IDXGIOutput *,
                                               IDXGISwapChain1 **swap_chain) {
  const char *method = "IDXGIFactory2::CreateSwapChainForComposition";
  const HRESULT invalid = DXGI_ERROR_INVALID_CALL;
  HRESULT hr;
  SwapChain *created = nullptr;
  if (swap_chain) *swap_chain = nullptr;
  ID3D11Device *direct3d = d3d11::Direct3DDevice(device);
  if (std::optional<uint32_t> code = Fail("CreateSwapChainForComposition", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!desc || !swap_chain) {
    hr = Refuse(method, invalid, "pDesc and ppSwapChain must not be null");
  } else if (!direct3d) {
    hr = Refuse(method, invalid, "pDevice is not a Direct3D device of this system");
  } else if (desc->SwapEffect != DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL && desc->SwapEffect != DXGI_SWAP_EFFECT_FLIP_DISCARD) {
    hr = Refuse(method, invalid, "composition swap chains need a flip-model SwapEffect");
  } else if (desc->BufferCount < 2 || desc->BufferCount > DXGI_MAX_SWAP_CHAIN_BUFFERS) {
    hr = Refuse(method, invalid, "flip-model swap chains need 2 to 16 buffers");
  } else if (desc->Scaling != DXGI_SCALING_STRETCH) {
    hr = Refuse(method, invalid, "composition swap chains support only DXGI_SCALING_STRETCH");
  } else if (desc->Width == 0 || desc->Height == 0 || desc->Width > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION ||
             desc->Height > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION) {
    hr = Refuse(method, invalid, "Width and Height must be 1 to 16384: there is no window to size from");
  } else if (desc->SampleDesc.Count != 1 || desc->SampleDesc.Quality != 0) {
    hr = Refuse(method, invalid, "flip-model swap chains cannot be multisampled");
  } else if (desc->AlphaMode == DXGI_ALPHA_MODE_STRAIGHT || desc->AlphaMode > DXGI_ALPHA_MODE_IGNORE) {
    hr = Refuse(method, invalid, "AlphaMode must be unspecified, premultiplied or ignore");
  } else if (desc->Flags & ~kKnownSwapChainFlags) {
    hr = Refuse(method, invalid, "Flags has unknown bits");
  } else if (desc->Format == DXGI_FORMAT_R16G16B16A16_FLOAT || desc->Format == DXGI_FORMAT_R10G10B10A2_UNORM) {
    hr = Refuse(method, DXGI_ERROR_UNSUPPORTED, "this format is not supported here");
  } else if (desc->Format != DXGI_FORMAT_B8G8R8A8_UNORM && desc->Format != DXGI_FORMAT_R8G8B8A8_UNORM) {
    hr = Refuse(method, invalid, "flip-model swap chains do not support this format");
  } else if (desc->Stereo) {
    hr = Refuse(method, DXGI_ERROR_UNSUPPORTED, "stereo is not supported here");
  } else {
    hr = SwapChain::Create(direct3d, *desc, &created);
    if (SUCCEEDED(hr)) *swap_chain = created;
  }
  Trace("%s(%ux%u) = 0x%08x, %p", method, desc ? desc->Width : 0, desc ? desc->Height : 0, (unsigned)hr, (void *)created);
  return hr;
}

}  // namespace ilk::dxgi

HRESULT WINAPI CreateDXGIFactory2(UINT flags, REFIID riid, void **factory) {
  HRESULT hr;
  if (factory) *factory = nullptr;
  if (std::optional<uint32_t> code = ilk::InjectedFailure("CreateDXGIFactory2", (uint32_t)E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!factory || (flags & ~(UINT)DXGI_CREATE_FACTORY_DEBUG)) {
    hr = DXGI_ERROR_INVALID_CALL;
  } else {
    auto *created = new ilk::dxgi::Factory(flags & DXGI_CREATE_FACTORY_DEBUG);
    void *found = created->FindInterface(riid);
    hr = found ? S_OK : E_NOINTERFACE;
    if (found) {
      *factory = found;
    } else {
      created->Release();
    }
  }
  ilk::Trace("CreateDXGIFactory2(0x%x) = 0x%08x, %p", flags, (unsigned)hr, factory ? *factory : nullptr);
  return hr;
}
