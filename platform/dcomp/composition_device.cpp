// DirectComposition devices and DCompositionCreateDevice.
//
// A window has at most one target per layer (topmost or not), across all devices, as on
// Windows: a second gets DCOMPOSITION_ERROR_WINDOW_ALREADY_COMPOSED.
#include <windows.h>

#include <algorithm>

#include "common/log.h"
#include "d3d11/d3d11_internal.h"
#include "composition_objects.h"
#include "dcomp_iids.h"
#include "display/display.h"

namespace ilk::dcomp {
namespace {

template <typename T>
void Erase(std::vector<T *> &items, T *item) {
  items.erase(std::remove(items.begin(), items.end(), item), items.end());
}

// Whether `hwnd` is a live window: the display has a surface for every window, from its creation
// until it is destroyed.
bool IsLiveWindow(HWND hwnd) { return display::CurrentDesktop().Look(display::SurfaceOf(hwnd), nullptr); }

}  // namespace

CompositionDevice::CompositionDevice(ID3D11Device *direct3d)
    : ComObject(ObjectApi::DComp, "IDCompositionDevice"), direct3d_(direct3d) {
  d3d11::HoldDevice(direct3d_, true);
}

CompositionDevice::~CompositionDevice() { d3d11::HoldDevice(direct3d_, false); }

void CompositionDevice::Forget(Target *target) { Erase(targets_, target); }
void CompositionDevice::Forget(Visual *visual) { Erase(visuals_, visual); }

HRESULT CompositionDevice::Commit() {
  HRESULT hr = S_OK;
  if (std::optional<uint32_t> code = Fail("Commit", E_FAIL)) {
    hr = (HRESULT)*code;
  } else {
    for (Visual *visual : visuals_) visual->CommitContent();
    for (Target *target : targets_) target->CommitRoot();
  }
  Trace("IDCompositionDevice::Commit(%p) = 0x%08x", Address(), (unsigned)hr);
  return hr;
}

HRESULT CompositionDevice::CreateTargetForHwnd(HWND hwnd, BOOL topmost, IDCompositionTarget **target) {
  HRESULT hr = S_OK;
  Target *created = nullptr;
  if (target) *target = nullptr;
  if (std::optional<uint32_t> code = Fail("CreateTargetForHwnd", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!target || !IsLiveWindow(hwnd)) {
    hr = E_INVALIDARG;
  } else {
    bool layer = topmost != FALSE;
    if (Target::Composes(hwnd, layer)) {
      hr = DCOMPOSITION_ERROR_WINDOW_ALREADY_COMPOSED;
    } else {
      created = new Target(this, hwnd, layer);
      targets_.push_back(created);
      *target = created;
    }
  }
  Trace("IDCompositionDevice::CreateTargetForHwnd(%p, %p, %d) = 0x%08x, %p", Address(), (void *)hwnd, topmost,
        (unsigned)hr, (void *)created);
  return hr;
}

HRESULT CompositionDevice::CreateVisual(IDCompositionVisual **visual) {
  HRESULT hr = S_OK;
  Visual *created = nullptr;
  if (visual) *visual = nullptr;
  if (std::optional<uint32_t> code = Fail("CreateVisual", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!visual) {
    hr = E_INVALIDARG;
  } else {
    created = new Visual(this);
    visuals_.push_back(created);
    *visual = created;
  }
  Trace("IDCompositionDevice::CreateVisual(%p) = 0x%08x, %p", Address(), (unsigned)hr, (void *)created);
  return hr;
}

}  // namespace ilk::dcomp

HRESULT WINAPI DCompositionCreateDevice(IDXGIDevice *dxgi_device, REFIID iid, void **dcomposition_device) {
  HRESULT hr;
  if (dcomposition_device) *dcomposition_device = nullptr;
  ID3D11Device *direct3d = ilk::d3d11::Direct3DDevice(dxgi_device);
  if (std::optional<uint32_t> code = ilk::InjectedFailure("DCompositionCreateDevice", (uint32_t)E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!dcomposition_device || !direct3d) {
    hr = E_INVALIDARG;
  } else if (iid != ilk::dcomp::IID_IDCompositionDevice && iid != IID_IUnknown) {
    hr = E_NOINTERFACE;
  } else {
    *dcomposition_device = static_cast<IDCompositionDevice *>(new ilk::dcomp::CompositionDevice(direct3d));
    hr = S_OK;
  }
  ilk::Trace("DCompositionCreateDevice(%p) = 0x%08x, %p", (void *)dxgi_device, (unsigned)hr,
             dcomposition_device ? *dcomposition_device : nullptr);
  return hr;
}
