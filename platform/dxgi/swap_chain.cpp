// Flip-model composition swap chains.
//
// Buffer 0 is always the one to draw into; Present1 shows it through the attached
// DirectComposition target and moves it to the back of the queue (FLIP_SEQUENTIAL order).
// Presentation completes within Present1, so the frame-latency waitable object, a semaphore of
// the maximum frame latency (1), gets its count back at once: it is signalled while fewer frames
// are queued than the latency allows, a satisfied wait takes one, each presentation gives one
// back (never more than the latency). GetFrameLatencyWaitableObject hands out that semaphore's
// handle, the same each time; the application closes it.
#include "swap_chain.h"

#include <windows.h>

#include <algorithm>

#include "common/log.h"
#include "d3d11/d3d11_internal.h"
#include "kernel32/kernel32_internal.h"

// The value Windows keeps in dxguid.lib; dxgi1_3.h declares it for the platform's own users.
INTERLOCK_EXPORT extern const IID IID_IDXGISwapChain2 = {0xa8be2ac4, 0x199f, 0x4946, {0xb3, 0x31, 0x79, 0x59, 0x9f, 0xb9, 0x8d, 0xe7}};

namespace ilk::dxgi {
namespace {

const UINT kMaxFrameLatency = 1;

}  // namespace

SwapChain::SwapChain(ID3D11Device *device, const DXGI_SWAP_CHAIN_DESC1 &desc)
    : ComObject(ObjectApi::Dxgi, "IDXGISwapChain"), device_(device), desc_(desc), writer_(device) {
  d3d11::HoldDevice(device_, true);
}

SwapChain::~SwapChain() {
  writer_.DropImport();  // while the device lives
  if (readback_) d3d11::DestroyTextureReadback(readback_);
  DropBuffers();
  d3d11::HoldDevice(device_, false);
}

HRESULT SwapChain::Create(ID3D11Device *device, const DXGI_SWAP_CHAIN_DESC1 &desc, SwapChain **swap_chain) {
  SwapChain *created = new SwapChain(device, desc);
  HRESULT hr = created->MakeBuffers();
  if (SUCCEEDED(hr) && (desc.Flags & DXGI_SWAP_CHAIN_FLAG_FRAME_LATENCY_WAITABLE_OBJECT)) {
    created->waitable_ = kernel32::CreateSemaphoreHandle(kMaxFrameLatency, kMaxFrameLatency);
    if (!created->waitable_) hr = E_OUTOFMEMORY;
  }
  if (FAILED(hr)) {
    created->Release();
    return hr;
  }
  *swap_chain = created;
  return S_OK;
}

HRESULT SwapChain::MakeBuffers() {
  D3D11_TEXTURE2D_DESC texture_desc = {};
  texture_desc.Width = desc_.Width;
  texture_desc.Height = desc_.Height;
  texture_desc.MipLevels = 1;
  texture_desc.ArraySize = 1;
  texture_desc.Format = desc_.Format;
  texture_desc.SampleDesc = {1, 0};
  texture_desc.Usage = D3D11_USAGE_DEFAULT;
  texture_desc.BindFlags = D3D11_BIND_RENDER_TARGET |
                           (desc_.BufferUsage & DXGI_USAGE_SHADER_INPUT ? D3D11_BIND_SHADER_RESOURCE : 0);
  std::vector<ID3D11Texture2D *> buffers;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < desc_.BufferCount && SUCCEEDED(hr); ++i) {
    ID3D11Texture2D *buffer = nullptr;
    hr = d3d11::CreateBufferTexture(device_, texture_desc, &buffer);
    if (SUCCEEDED(hr)) buffers.push_back(buffer);
  }
  for (ID3D11Texture2D *buffer : buffers) {
    if (SUCCEEDED(hr)) d3d11::HoldTexture(buffer, true);
    buffer->Release();  // from here on the swap chain's hold keeps it
  }
  if (FAILED(hr)) return hr;
  DropBuffers();
  buffers_ = buffers;
  return S_OK;
}

void SwapChain::DropBuffers() {
  for (ID3D11Texture2D *buffer : buffers_) d3d11::HoldTexture(buffer, false);
  buffers_.clear();
}

HRESULT SwapChain::GetDevice(REFIID riid, void **device) { return device_->QueryInterface(riid, device); }

HRESULT SwapChain::GetBuffer(UINT buffer, REFIID riid, void **surface) {
  HRESULT hr;
  if (surface) *surface = nullptr;
  if (std::optional<uint32_t> code = Fail("GetBuffer", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!surface || buffer >= buffers_.size()) {
    hr = DXGI_ERROR_INVALID_CALL;
  } else {
    hr = d3d11::QueryTexture(buffers_[buffer], riid, surface);
  }
  Trace("IDXGISwapChain::GetBuffer(%p, %u) = 0x%08x, %p", Address(), buffer, (unsigned)hr, surface ? *surface : nullptr);
  return hr;
}

HRESULT SwapChain::ResizeBuffers(UINT buffer_count, UINT width, UINT height, DXGI_FORMAT format, UINT flags) {
  HRESULT hr = S_OK;
  if (std::optional<uint32_t> code = Fail("ResizeBuffers", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if ((buffer_count && (buffer_count < 2 || buffer_count > DXGI_MAX_SWAP_CHAIN_BUFFERS)) || width == 0 ||
             height == 0 || width > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION ||
             height > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION ||
             (format != DXGI_FORMAT_UNKNOWN && format != DXGI_FORMAT_B8G8R8A8_UNORM &&
              format != DXGI_FORMAT_R8G8B8A8_UNORM) ||
             ((flags ^ desc_.Flags) & DXGI_SWAP_CHAIN_FLAG_FRAME_LATENCY_WAITABLE_OBJECT)) {
    // A composition swap chain has no window to take a zero size from, and the waitable
    // object cannot be added or removed after creation.
    hr = DXGI_ERROR_INVALID_CALL;
  } else {
    // As on Windows, no reference to a buffer but the swap chain's own may be left, views
    // included.
    for (ID3D11Texture2D *buffer : buffers_) {
      if (d3d11::TextureRefs(buffer) != 1) hr = DXGI_ERROR_INVALID_CALL;
    }
  }
  if (SUCCEEDED(hr)) {
    DXGI_SWAP_CHAIN_DESC1 previous = desc_;
    if (buffer_count) desc_.BufferCount = buffer_count;
    desc_.Width = width;
    desc_.Height = height;
    if (format != DXGI_FORMAT_UNKNOWN) desc_.Format = format;
    desc_.Flags = flags;
    hr = MakeBuffers();
    if (FAILED(hr)) desc_ = previous;
  }
  Trace("IDXGISwapChain::ResizeBuffers(%p, %u, %ux%u, format %d, flags 0x%x) = 0x%08x", Address(), buffer_count, width,
        height, (int)format, flags, (unsigned)hr);
  return hr;
}

HRESULT SwapChain::GetDesc1(DXGI_SWAP_CHAIN_DESC1 *desc) {
  if (!desc) return DXGI_ERROR_INVALID_CALL;
  *desc = desc_;
  return S_OK;
}

HRESULT SwapChain::Present(UINT sync_interval, UINT flags) {
  if (std::optional<uint32_t> code = Fail("Present", E_FAIL)) return (HRESULT)*code;
  return Show(sync_interval, flags, nullptr);
}

HRESULT SwapChain::Present1(UINT sync_interval, UINT flags, const DXGI_PRESENT_PARAMETERS *present_parameters) {
  if (std::optional<uint32_t> code = Fail("Present1", E_FAIL)) return (HRESULT)*code;
  return Show(sync_interval, flags, present_parameters);
}

HRESULT SwapChain::Show(UINT sync_interval, UINT flags, const DXGI_PRESENT_PARAMETERS *present_parameters) {
  HRESULT hr = S_OK;
  bool tearing_allowed = desc_.Flags & DXGI_SWAP_CHAIN_FLAG_ALLOW_TEARING;
  if (sync_interval > 4 || ((flags & DXGI_PRESENT_ALLOW_TEARING) && (sync_interval != 0 || !tearing_allowed)) ||
      (present_parameters && present_parameters->DirtyRectsCount && !present_parameters->pDirtyRects)) {
    hr = DXGI_ERROR_INVALID_CALL;
  } else if (!(flags & DXGI_PRESENT_TEST)) {
    // Dirty rectangles only promise what changed; the whole buffer is shown.
    if (sink_ && !ShowBuffer0()) hr = DXGI_ERROR_DEVICE_REMOVED;
    std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.end());
    // A semaphore already at the latency refuses the post, changing nothing.
    if (waitable_) kernel32::ReleaseSemaphoreOnce(waitable_);
  }
  Trace("IDXGISwapChain::Present(%p, sync %u, flags 0x%x) = 0x%08x", Address(), sync_interval, flags, (unsigned)hr);
  return hr;
}

bool SwapChain::ShowBuffer0() {
  switch (writer_.Present(buffers_[0], desc_.Width, desc_.Height, sink_)) {
    case WindowPixelsWriter::Outcome::kShown:
      return true;
    case WindowPixelsWriter::Outcome::kDeviceFailed:
      return false;
    case WindowPixelsWriter::Outcome::kUnavailable:
      break;
  }
  PresentedImage image;
  image.width = desc_.Width;
  image.height = desc_.Height;
  image.rgba = d3d11::BufferTexels(buffers_[0], &image.row_pitch);
  if (!image.rgba) {
    image.row_pitch = (size_t)desc_.Width * 4;
    if (!(image.rgba = ReadBuffer0())) return false;
  }
  sink_->Show(image);
  return true;
}

const uint8_t *SwapChain::ReadBuffer0() {
  size_t bytes = (size_t)desc_.Width * desc_.Height * 4;
  if (readback_ && d3d11::TextureReadbackSize(readback_) < bytes) {
    d3d11::DestroyTextureReadback(readback_);
    readback_ = nullptr;
  }
  if (!readback_) readback_ = d3d11::CreateTextureReadback(device_, bytes);
  return readback_ ? d3d11::ReadTextureBack(readback_, buffers_[0]) : nullptr;
}

HRESULT SwapChain::GetMaximumFrameLatency(UINT *max_latency) {
  if (!max_latency || !waitable_) return DXGI_ERROR_INVALID_CALL;
  *max_latency = kMaxFrameLatency;
  return S_OK;
}

HANDLE SwapChain::GetFrameLatencyWaitableObject() { return waitable_; }

bool IsCompositionSwapChain(IUnknown *content) { return PlatformObject<SwapChain>(content) != nullptr; }

void HoldSwapChain(IUnknown *swap_chain, bool hold) { HoldInternally<SwapChain>(swap_chain, hold); }

void AttachPresentationSink(IUnknown *swap_chain, PresentationSink *sink) {
  if (SwapChain *object = PlatformObject<SwapChain>(swap_chain)) object->SetSink(sink);
}

void DetachPresentationSink(IUnknown *swap_chain, PresentationSink *sink) {
  SwapChain *object = PlatformObject<SwapChain>(swap_chain);
  if (object && object->Sink() == sink) object->SetSink(nullptr);
}

}  // namespace ilk::dxgi
