// dxgidebug: IDXGIDebug, whose ReportLiveObjects writes the live-object tracker's report to
// the debugger channel (the format is described in common/live_objects.cpp). The debug
// interface itself is no graphics object and is not tracked.
#include <dxgidebug.h>

#include <atomic>

#include "common/com_object.h"
#include "common/log.h"

namespace {

class DebugInterface final : public IDXGIDebug {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (std::optional<uint32_t> code = ilk::InjectedFailure("QueryInterface", E_NOINTERFACE, {"IUnknown", "IDXGIDebug"})) {
      return (HRESULT)*code;
    }
    if (riid != IID_IUnknown && riid != IID_IDXGIDebug) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDXGIDebug *>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG refs = --refs_;
    if (refs == 0) delete this;
    return refs;
  }

  HRESULT STDMETHODCALLTYPE ReportLiveObjects(GUID apiid, DXGI_DEBUG_RLO_FLAGS flags) override {
    HRESULT hr = S_OK;
    if (std::optional<uint32_t> code = ilk::InjectedFailure("ReportLiveObjects", E_FAIL, {"IUnknown", "IDXGIDebug"})) {
      hr = (HRESULT)*code;
    } else if (apiid == DXGI_DEBUG_ALL) {
      ilk::ReportLiveObjects(nullptr, flags);
    } else if (apiid == DXGI_DEBUG_DXGI) {
      ilk::ObjectApi api = ilk::ObjectApi::Dxgi;
      ilk::ReportLiveObjects(&api, flags);
    } else if (apiid == DXGI_DEBUG_D3D11 || apiid == DXGI_DEBUG_DX) {
      ilk::ObjectApi api = ilk::ObjectApi::D3D11;
      ilk::ReportLiveObjects(&api, flags);
    } else if (apiid != DXGI_DEBUG_APP) {
      hr = E_INVALIDARG;  // DXGI_DEBUG_APP owns no objects: nothing to report
    }
    ilk::Trace("IDXGIDebug::ReportLiveObjects(flags %d) = 0x%08x", (int)flags, (unsigned)hr);
    return hr;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

}  // namespace

HRESULT WINAPI DXGIGetDebugInterface(REFIID riid, void **debug) {
  HRESULT hr;
  if (debug) *debug = nullptr;
  if (std::optional<uint32_t> code = ilk::InjectedFailure("DXGIGetDebugInterface", (uint32_t)E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!debug) {
    hr = E_INVALIDARG;
  } else if (riid != IID_IUnknown && riid != IID_IDXGIDebug) {
    hr = E_NOINTERFACE;
  } else {
    *debug = static_cast<IDXGIDebug *>(new DebugInterface);
    hr = S_OK;
  }
  ilk::Trace("DXGIGetDebugInterface() = 0x%08x, %p", (unsigned)hr, debug ? *debug : nullptr);
  return hr;
}
