// Flip-model composition swap chains.
#pragma once

#include <d3d11.h>
#include <dxgi1_3.h>

#include <optional>
#include <vector>

#include "common/com_object.h"
#include "dxgi_internal.h"
#include "window_pixels_writer.h"

namespace ilk::d3d11 {
struct TextureReadback;
}

namespace ilk::dxgi {

class SwapChain final : public ComObject<SwapChain, IDXGISwapChain2> {
 public:
  static constexpr ComInterface kInterfaces[] = {
      {&IID_IDXGIObject, "IDXGIObject", 0},         {&IID_IDXGIDeviceSubObject, "IDXGIDeviceSubObject", 0},
      {&IID_IDXGISwapChain, "IDXGISwapChain", 0},   {&IID_IDXGISwapChain1, "IDXGISwapChain1", 0},
      {&IID_IDXGISwapChain2, "IDXGISwapChain2", 0}};

  // For a description the factory has validated; creates the buffers and the waitable object.
  static HRESULT Create(ID3D11Device *device, const DXGI_SWAP_CHAIN_DESC1 &desc, SwapChain **swap_chain);
  ~SwapChain() override;

  HRESULT STDMETHODCALLTYPE GetDevice(REFIID riid, void **device) override;
  HRESULT STDMETHODCALLTYPE Present(UINT sync_interval, UINT flags) override;
  HRESULT STDMETHODCALLTYPE GetBuffer(UINT buffer, REFIID riid, void **surface) override;
  HRESULT STDMETHODCALLTYPE ResizeBuffers(UINT buffer_count, UINT width, UINT height, DXGI_FORMAT format,
                                          UINT flags) override;
  HRESULT STDMETHODCALLTYPE GetDesc1(DXGI_SWAP_CHAIN_DESC1 *desc) override;
  HRESULT STDMETHODCALLTYPE Present1(UINT sync_interval, UINT flags,
                                     const DXGI_PRESENT_PARAMETERS *present_parameters) override;
  HRESULT STDMETHODCALLTYPE GetMaximumFrameLatency(UINT *max_latency) override;
  HANDLE STDMETHODCALLTYPE GetFrameLatencyWaitableObject() override;

  void SetSink(PresentationSink *sink) { sink_ = sink; }
  PresentationSink *Sink() const { return sink_; }

 private:
  SwapChain(ID3D11Device *device, const DXGI_SWAP_CHAIN_DESC1 &desc);
  // Makes `desc_.BufferCount` buffers of the described size and format in place of the old.
  HRESULT MakeBuffers();
  void DropBuffers();
  HRESULT Show(UINT sync_interval, UINT flags, const DXGI_PRESENT_PARAMETERS *present_parameters);
  // Hands buffer 0 to the sink: written into the window's pixels where it offers them, else
  // read back. False when the device fails.
  bool ShowBuffer0();
  // Buffer 0's pixels in the swap chain's read-back memory (PresentedImage's layout); null
  // when the device fails.
  const uint8_t *ReadBuffer0();

  ID3D11Device *const device_;
  DXGI_SWAP_CHAIN_DESC1 desc_;
  std::vector<ID3D11Texture2D *> buffers_;  // buffer 0 first; each held as IntRef
  HANDLE waitable_ = nullptr;
  PresentationSink *sink_ = nullptr;
  WindowPixelsWriter writer_;
  d3d11::TextureReadback *readback_ = nullptr;  // made at the first read-back, grown with the buffers
};

}  // namespace ilk::dxgi
