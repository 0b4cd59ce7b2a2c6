// D3D11CreateDevice: a Direct3D 11 device on a Vulkan device.
//
// Any Vulkan device that can export memory serves as D3D_DRIVER_TYPE_HARDWARE on the default
// adapter (the adapter argument must be null: no IDXGIAdapter exists here). Without such a
// device the call fails with DXGI_ERROR_UNSUPPORTED, as Windows does without hardware; the
// other driver types are not offered and fail the same way. The device supports feature level
// 11_1; the default list (no array) gives 11_0, as on Windows. D3D11_CREATE_DEVICE_DEBUG turns
// on the device's own reports of refused calls and, when installed, the Vulkan validation layer.
#include <d3d11.h>

#include "common/log.h"
#include "device.h"
#include "device_context.h"

namespace {

const D3D_FEATURE_LEVEL kDefaultLevels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0,
                                            D3D_FEATURE_LEVEL_9_3,  D3D_FEATURE_LEVEL_9_2,  D3D_FEATURE_LEVEL_9_1};

bool KnownLevel(D3D_FEATURE_LEVEL level) {
  return level == D3D_FEATURE_LEVEL_11_1 || level == D3D_FEATURE_LEVEL_11_0 || level == D3D_FEATURE_LEVEL_10_1 ||
         level == D3D_FEATURE_LEVEL_10_0 || level == D3D_FEATURE_LEVEL_9_3 || level == D3D_FEATURE_LEVEL_9_2 ||
         level == D3D_FEATURE_LEVEL_9_1;
}

HRESULT CreateDevice(IDXGIAdapter *adapter, D3D_DRIVER_TYPE driver_type, HMODULE software, UINT flags,
                     const D3D_FEATURE_LEVEL *feature_levels, UINT num_feature_levels, UINT sdk_version,
                     ID3D11Device **device, D3D_FEATURE_LEVEL *feature_level, ID3D11DeviceContext **immediate_context) {
  if (sdk_version != D3D11_SDK_VERSION) return E_INVALIDARG;
  if (adapter) return E_INVALIDARG;  // only the default adapter exists
  if ((driver_type == D3D_DRIVER_TYPE_SOFTWARE) != (software != nullptr)) return E_INVALIDARG;
  if (driver_type == D3D_DRIVER_TYPE_UNKNOWN) return E_INVALIDARG;
  if (!feature_levels) {
    feature_levels = kDefaultLevels;
    num_feature_levels = sizeof kDefaultLevels / sizeof kDefaultLevels[0];
  } else if (num_feature_levels == 0) {
    return E_INVALIDARG;
  }
  for (UINT i = 0; i < num_feature_levels; ++i) {
    if (!KnownLevel(feature_levels[i])) return E_INVALIDARG;
  }
  if (driver_type != D3D_DRIVER_TYPE_HARDWARE) return DXGI_ERROR_UNSUPPORTED;
  std::unique_ptr<ilk::d3d11::VulkanDevice> vulkan = ilk::d3d11::VulkanDevice::Open(flags & D3D11_CREATE_DEVICE_DEBUG);
  if (!vulkan) return DXGI_ERROR_UNSUPPORTED;
  D3D_FEATURE_LEVEL level = feature_levels[0];  // every known level is supported
  if (feature_level) *feature_level = level;
  if (!device && !immediate_context) return S_FALSE;
  ilk::d3d11::Device *created = new ilk::d3d11::Device(flags, level, std::move(vulkan));
  if (immediate_context) created->GetImmediateContext(immediate_context);
  // The context was born with one reference for whoever asked; drop it now that the caller's
  // own reference (if any) is in place.
  created->Context().Release();
  if (device) {
    *device = created;
  } else {
    created->Release();
  }
  return S_OK;
}

}  // namespace

HRESULT WINAPI D3D11CreateDevice(IDXGIAdapter *adapter, D3D_DRIVER_TYPE driver_type, HMODULE software, UINT flags,
                                 const D3D_FEATURE_LEVEL *feature_levels, UINT num_feature_levels, UINT sdk_version,
                                 ID3D11Device **device, D3D_FEATURE_LEVEL *feature_level,
                                 ID3D11DeviceContext **immediate_context) {
  if (device) *device = nullptr;
  if (immediate_context) *immediate_context = nullptr;
  HRESULT hr;
  if (std::optional<uint32_t> code = ilk::InjectedFailure("D3D11CreateDevice", (uint32_t)E_FAIL)) {
    hr = (HRESULT)*code;
  } else {
    hr = CreateDevice(adapter, driver_type, software, flags, feature_levels, num_feature_levels, sdk_version, device,
                      feature_level, immediate_context);
  }
  ilk::Trace("D3D11CreateDevice(driver %d, flags 0x%x) = 0x%08x, %p", (int)driver_type, flags, (unsigned)hr,
             device ? (void *)*device : nullptr);
  return hr;
}
