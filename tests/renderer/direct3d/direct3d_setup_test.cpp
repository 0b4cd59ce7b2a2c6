// The Direct3D phase of Create on real windows and devices: the first and second Create, the
// swap chain's description and size, the debug options, the committed composition, and the
// steps made or skipped after each injected failure.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/options.h"
#include "d3d11/d3d11_internal.h"
#include "renderer/create_phases.h"
#include "support/captured_run.h"
#include "display/display.h"

namespace interlock {
namespace {

ULONG Refs(IUnknown *object) {
  object->AddRef();
  return object->Release();
}

int Count(const std::string &text, const std::string &part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class Direct3DPhase : public testing::Test {
 protected:
  void SetUp() override {
    SetDefaultOptions();
    CreateDXGIFactory2 = ::CreateDXGIFactory2;
    DCompositionCreateDevice = ::DCompositionCreateDevice;
    wr1_.window = CreateWindowExA(0, "STATIC", "Sample 1", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 120, 90, NULL, NULL,
                                  NULL, NULL);
    wr2_.window = CreateWindowExA(0, "STATIC", "Sample 2", WS_POPUP | WS_VISIBLE, 0, 0, 0, 7, NULL, NULL, NULL, NULL);
    ASSERT_NE(wr1_.window, nullptr);
    ASSERT_NE(wr2_.window, nullptr);
  }
  void TearDown() override {
    for (window_renderer *wr : {&wr1_, &wr2_}) {
      if (wr->waiter) CloseHandle(wr->waiter);
      for (IUnknown *object : {static_cast<IUnknown *>(wr->swapChain1), static_cast<IUnknown *>(wr->target),
                               static_cast<IUnknown *>(wr->immediate_ctx)}) {
        if (object) object->Release();
      }
      DestroyWindow(wr->window);
      *wr = {};
    }
    if (dxgiDevice) dxgiDevice->Release();
    if (direct3dDevice) direct3dDevice->Release();
    dxgiDevice = nullptr;
    direct3dDevice = nullptr;
    SetDefaultOptions();
  }

  // Runs the phase for `wr` under the emulated debugger; returns stderr (traps, trace lines).
  std::string Run(window_renderer *wr, const char *fail = nullptr, bool trace = false) {
    return RunUnderDebugger([wr] { CreateDirect3DObjects(wr); },
                            {{"INTERLOCK_FAIL", fail}, {"INTERLOCK_TRACE", trace ? "1" : nullptr}})
        .err;
  }

  static DXGI_SWAP_CHAIN_DESC1 Desc(window_renderer *wr) {
    DXGI_SWAP_CHAIN_DESC1 desc = {};
    EXPECT_EQ(wr->swapChain1->GetDesc1(&desc), S_OK);
    return desc;
  }

  window_renderer wr1_ = {};
  window_renderer wr2_ = {};
};

TEST_F(Direct3DPhase, FirstCreateMakesTheDeviceAndEveryObjectOfTheWindow) {
  EXPECT_EQ(Count(Run(&wr1_), "debugger break"), 0);
  ASSERT_NE(direct3dDevice, nullptr);
  ASSERT_NE(dxgiDevice, nullptr);
  EXPECT_EQ(ilk::d3d11::Direct3DDevice(dxgiDevice), direct3dDevice);
  EXPECT_EQ(direct3dDevice->GetCreationFlags(), (UINT)D3D11_CREATE_DEVICE_BGRA_SUPPORT);
  ASSERT_NE(wr1_.swapChain1, nullptr);
  ASSERT_NE(wr1_.target, nullptr);
  ASSERT_NE(wr1_.immediate_ctx, nullptr);
  ASSERT_NE(wr1_.waiter, nullptr);
  EXPECT_EQ(WaitForSingleObjectEx(wr1_.waiter, 0, TRUE), WAIT_OBJECT_0);

  RECT client;
  GetClientRect(wr1_.window, &client);
  DXGI_SWAP_CHAIN_DESC1 desc = Desc(&wr1_);
  EXPECT_EQ(desc.Width, (UINT)(client.right - client.left));  // the client area, not the outer size
  EXPECT_EQ(desc.Height, (UINT)(client.bottom - client.top));
  EXPECT_LT(desc.Height, 90u);
  EXPECT_EQ(desc.Format, DXGI_FORMAT_B8G8R8A8_UNORM);
  EXPECT_EQ(desc.Stereo, FALSE);
  EXPECT_EQ(desc.SampleDesc.Count, 1u);
  EXPECT_EQ(desc.SampleDesc.Quality, 0u);
  EXPECT_EQ(desc.BufferUsage, 0x60u);
  EXPECT_EQ(desc.BufferCount, 2u);
  EXPECT_EQ(desc.Scaling, DXGI_SCALING_STRETCH);
  EXPECT_EQ(desc.SwapEffect, DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL);
  EXPECT_EQ(desc.AlphaMode, DXGI_ALPHA_MODE_PREMULTIPLIED);
  EXPECT_EQ(desc.Flags, 0x840u);
  UINT latency = 0;
  IDXGISwapChain2 *swap_chain2 = nullptr;
  ASSERT_EQ(wr1_.swapChain1->QueryInterface(IID_IDXGISwapChain2, reinterpret_cast<void **>(&swap_chain2)), S_OK);
  EXPECT_EQ(swap_chain2->GetMaximumFrameLatency(&latency), S_OK);
  EXPECT_EQ(latency, 1u);  // never changed
  swap_chain2->Release();
}

TEST_F(Direct3DPhase, SecondCreateReusesTheDeviceAndMakesItsOwnObjects) {
  Run(&wr1_);
  ID3D11Device *device = direct3dDevice;
  IDXGIDevice *dxgi = dxgiDevice;
  ULONG device_refs = Refs(direct3dDevice);
  std::string trace = Run(&wr2_, nullptr, true);
  EXPECT_EQ(Count(trace, "debugger break"), 0);
  EXPECT_EQ(Count(trace, "D3D11CreateDevice("), 0);
  EXPECT_EQ(Refs(direct3dDevice), device_refs);  // no query for IID_IDXGIDevice either
  EXPECT_EQ(direct3dDevice, device);
  EXPECT_EQ(dxgiDevice, dxgi);
  EXPECT_EQ(Count(trace, "CreateDXGIFactory2(0x0) = 0x00000000"), 1);  // a factory of its own
  EXPECT_EQ(Count(trace, "DCompositionCreateDevice("), 1);
  EXPECT_EQ(Count(trace, "CreateTargetForHwnd("), 1);
  EXPECT_EQ(Count(trace, "CreateVisual("), 1);
  EXPECT_NE(wr2_.swapChain1, wr1_.swapChain1);
  EXPECT_NE(wr2_.waiter, wr1_.waiter);
  EXPECT_NE(wr2_.target, wr1_.target);
  EXPECT_EQ(wr2_.immediate_ctx, wr1_.immediate_ctx);
  EXPECT_EQ(Refs(wr1_.immediate_ctx), 2u);  // one reference per record
  // A client area 0 pixels wide gives a swap chain 1 pixel wide.
  EXPECT_EQ(Desc(&wr2_).Width, 1u);
  EXPECT_EQ(Desc(&wr2_).Height, 7u);
}

TEST_F(Direct3DPhase, DebugOptionsReachTheDeviceAndTheFactory) {
  deviceflags = 0x22;
  factoryflags = 1;
  std::string trace = Run(&wr1_, nullptr, true);
  ASSERT_NE(direct3dDevice, nullptr);
  EXPECT_EQ(direct3dDevice->GetCreationFlags(), 0x22u);
  EXPECT_EQ(Count(trace, "D3D11CreateDevice(driver 1, flags 0x22)"), 1);
  EXPECT_EQ(Count(trace, "CreateDXGIFactory2(0x1) = 0x00000000"), 1);
}

TEST_F(Direct3DPhase, CommittedCompositionShowsWhatTheSwapChainPresents) {
  Run(&wr1_);
  ASSERT_NE(wr1_.swapChain1, nullptr);
  DXGI_SWAP_CHAIN_DESC1 desc = Desc(&wr1_);
  std::vector<uint8_t> red(desc.Width * desc.Height * 4);
  for (size_t i = 0; i < red.size(); i += 4) red[i + 2] = red[i + 3] = 0xFF;
  D3D11_TEXTURE2D_DESC texture_desc = {desc.Width, desc.Height, 1, 1, DXGI_FORMAT_B8G8R8A8_UNORM, {1, 0},
                                       D3D11_USAGE_DEFAULT, D3D11_BIND_RENDER_TARGET, 0, 0};
  D3D11_SUBRESOURCE_DATA data = {red.data(), desc.Width * 4, 0};
  ID3D11Texture2D *source = nullptr, *buffer = nullptr;
  ASSERT_EQ(direct3dDevice->CreateTexture2D(&texture_desc, &data, &source), S_OK);
  ASSERT_EQ(wr1_.swapChain1->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
  wr1_.immediate_ctx->CopyResource(buffer, source);
  DXGI_PRESENT_PARAMETERS pp = {};
  ASSERT_EQ(wr1_.swapChain1->Present1(0, 0, &pp), S_OK);
  buffer->Release();
  source->Release();
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(wr1_.window), &shown));
  EXPECT_EQ(shown.bgra, red);
}

struct SkipCase {
  const char *fail;
  int traps;  // the failure's own, and those of later calls refused for the missing object
  bool device, dxgi, swap_chain, waiter, target, context;
};

// A later step that only takes the missing object as an argument is made, and its refusal
// reported; a method of a missing object is skipped.
TEST_F(Direct3DPhase, AFailedStepIsReportedAndLaterStepsGivenItsMissingObjectAreRefused) {
  const SkipCase cases[] = {
      // The swap chain and the composition device are refused a null device.
      {"D3D11CreateDevice", 3, false, false, false, false, false, false},
      {"ID3D11Device::QueryInterface", 3, true, false, false, false, false, true},
      // A visual without content (no swap chain) is valid.
      {"CreateDXGIFactory2", 1, true, true, false, false, true, true},
      {"CreateSwapChainForComposition", 1, true, true, false, false, true, true},
      {"IDXGISwapChain1::QueryInterface", 1, true, true, true, false, true, true},
      {"DCompositionCreateDevice", 1, true, true, true, true, false, true},
      {"CreateTargetForHwnd", 1, true, true, true, true, false, true},
      // A target without a root (no visual) is valid.
      {"CreateVisual", 1, true, true, true, true, true, true},
      {"SetContent", 1, true, true, true, true, true, true},
      {"SetRoot", 1, true, true, true, true, true, true},
      {"Commit", 1, true, true, true, true, true, true},
  };
  for (const SkipCase &c : cases) {
    SCOPED_TRACE(c.fail);
    EXPECT_EQ(Count(Run(&wr1_, c.fail), "interlock: debugger break"), c.traps);
    EXPECT_EQ(direct3dDevice != nullptr, c.device);
    EXPECT_EQ(dxgiDevice != nullptr, c.dxgi);
    EXPECT_EQ(wr1_.swapChain1 != nullptr, c.swap_chain);
    EXPECT_EQ(wr1_.waiter != nullptr, c.waiter);
    EXPECT_EQ(wr1_.target != nullptr, c.target);
    EXPECT_EQ(wr1_.immediate_ctx != nullptr, c.context);
    TearDown();
    SetUp();
  }
}

}  // namespace
}  // namespace interlock
