// D3D11CreateDevice: its arguments, the Vulkan device it picks (INTERLOCK_VULKAN_DEVICE), the
// feature level and flags it reports, and injected failures.
#include "platform/d3d11/direct3d_fixture.h"

namespace {

HRESULT CreateDevice(UINT flags, ID3D11Device **device, D3D_FEATURE_LEVEL *level = nullptr,
                     const D3D_FEATURE_LEVEL *levels = nullptr, UINT count = 0,
                     D3D_DRIVER_TYPE driver = D3D_DRIVER_TYPE_HARDWARE, UINT sdk = D3D11_SDK_VERSION) {
  return D3D11CreateDevice(nullptr, driver, nullptr, flags, levels, count, sdk, device, level, nullptr);
}

TEST(DeviceCreationTest, ReportsTheFeatureLevelAndFlagsAsked) {
  ID3D11Device *device = nullptr;
  D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_9_1;
  ASSERT_EQ(CreateDevice(0x22, &device, &level), S_OK);
  EXPECT_EQ(level, D3D_FEATURE_LEVEL_11_0);  // the runtime's default list
  EXPECT_EQ(device->GetFeatureLevel(), D3D_FEATURE_LEVEL_11_0);
  EXPECT_EQ(device->GetCreationFlags(), 0x22u);
  EXPECT_EQ(device->Release(), 0u);

  const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_1, D3D_FEATURE_LEVEL_11_0};
  ASSERT_EQ(CreateDevice(0x20, &device, &level, levels, 2), S_OK);
  EXPECT_EQ(level, D3D_FEATURE_LEVEL_11_1);
  device->Release();
  EXPECT_EQ(CreateDevice(0x20, nullptr, &level), S_FALSE);  // nothing asked for but the level
}

TEST(DeviceCreationTest, RefusesWhatWindowsRefuses) {
  ID3D11Device *device = reinterpret_cast<ID3D11Device *>(1);
  const D3D_FEATURE_LEVEL bogus[] = {(D3D_FEATURE_LEVEL)0x1234};
  EXPECT_EQ(CreateDevice(0, &device, nullptr, bogus, 1), E_INVALIDARG);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(CreateDevice(0, &device, nullptr, nullptr, 0, D3D_DRIVER_TYPE_HARDWARE, 6), E_INVALIDARG);
  EXPECT_EQ(CreateDevice(0, &device, nullptr, nullptr, 0, D3D_DRIVER_TYPE_UNKNOWN), E_INVALIDARG);
  EXPECT_EQ(CreateDevice(0, &device, nullptr, nullptr, 0, D3D_DRIVER_TYPE_WARP), DXGI_ERROR_UNSUPPORTED);
  EXPECT_EQ(D3D11CreateDevice(reinterpret_cast<IDXGIAdapter *>(8), D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                              D3D11_SDK_VERSION, &device, nullptr, nullptr),
            E_INVALIDARG);
}

TEST(DeviceCreationTest, VulkanDeviceIsTheOneNamedOrNone) {
  ID3D11Device *device = nullptr;
  {
    ScopedKnobs knobs({{"INTERLOCK_VULKAN_DEVICE", "0"}});
    ASSERT_EQ(CreateDevice(0x20, &device), S_OK);
    device->Release();
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_VULKAN_DEVICE", "no such device"}});
    EXPECT_EQ(CreateDevice(0x20, &device), DXGI_ERROR_UNSUPPORTED);  // as Windows without hardware
    EXPECT_EQ(device, nullptr);
  }
  {
    // No Vulkan driver at all (the loader reads its driver list at each instance).
    ScopedKnobs knobs({{"VK_ICD_FILENAMES", "/nonexistent/icd.json"}, {"VK_DRIVER_FILES", "/nonexistent/icd.json"}});
    EXPECT_EQ(CreateDevice(0x20, &device), DXGI_ERROR_UNSUPPORTED);
  }
  ASSERT_EQ(CreateDevice(0x20, &device), S_OK);
  device->Release();
}

TEST(DeviceCreationTest, InjectedFailureGivesItsCode) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "D3D11CreateDevice#2=0x887a0004"}});
  ID3D11Device *device = nullptr;
  ASSERT_EQ(CreateDevice(0x20, &device), S_OK);
  device->Release();
  EXPECT_EQ(CreateDevice(0x20, &device), DXGI_ERROR_UNSUPPORTED);
  EXPECT_EQ(device, nullptr);
}

TEST(DeviceCreationTest, ImmediateContextAloneKeepsTheDevice) {
  ID3D11DeviceContext *context = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, nullptr,
                              nullptr, &context),
            S_OK);
  ID3D11Device *device = nullptr;
  context->GetDevice(&device);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(context->Release(), 0u);
}

}  // namespace
