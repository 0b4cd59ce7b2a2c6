// DXGI factories and composition swap chains: the descriptions they take, buffers, flip order,
// ResizeBuffers while a buffer is held, Present1's checks and the frame-latency waitable object.
#include "d3d11/d3d11_internal.h"
#include "platform/d3d11/direct3d_fixture.h"

namespace {

class SwapChainTest : public Direct3DTest {
 protected:
  HRESULT Create(const DXGI_SWAP_CHAIN_DESC1 &desc, IUnknown *device = nullptr) {
    IDXGISwapChain1 *swap_chain = nullptr;
    HRESULT hr = factory_->CreateSwapChainForComposition(device ? device : dxgi_device_, &desc, nullptr, &swap_chain);
    if (swap_chain) swap_chain->Release();
    return hr;
  }

  static ID3D11Texture2D *Buffer(IDXGISwapChain1 *swap_chain, UINT index) {
    ID3D11Texture2D *buffer = nullptr;
    EXPECT_EQ(swap_chain->GetBuffer(index, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
    return buffer;
  }
};

TEST_F(SwapChainTest, FactoryComesWithTheFlagsAndInterfacesDxgiKnows) {
  IUnknown *factory = nullptr;
  EXPECT_EQ(CreateDXGIFactory2(DXGI_CREATE_FACTORY_DEBUG, IID_IDXGIFactory1, reinterpret_cast<void **>(&factory)), S_OK);
  factory->Release();
  EXPECT_EQ(CreateDXGIFactory2(2, IID_IDXGIFactory2, reinterpret_cast<void **>(&factory)), DXGI_ERROR_INVALID_CALL);
  EXPECT_EQ(CreateDXGIFactory2(0, IID_ID3D11Device, reinterpret_cast<void **>(&factory)), E_NOINTERFACE);
  EXPECT_EQ(factory, nullptr);
}

TEST_F(SwapChainTest, CompositionDescriptionsAreCheckedAsWindowsDoes) {
  const UINT flags = 0x840;  // what the program passes
  auto with = [&](auto change) {
    DXGI_SWAP_CHAIN_DESC1 desc = SwapChainDesc(8, 8, flags);
    change(desc);
    return desc;
  };
  EXPECT_EQ(Create(SwapChainDesc(8, 8, flags)), S_OK);
  EXPECT_EQ(Create(with([](auto &d) { d.SwapEffect = DXGI_SWAP_EFFECT_FLIP_DISCARD; })), S_OK);
  EXPECT_EQ(Create(with([](auto &d) { d.AlphaMode = DXGI_ALPHA_MODE_IGNORE; })), S_OK);
  const HRESULT invalid = DXGI_ERROR_INVALID_CALL;
  EXPECT_EQ(Create(with([](auto &d) { d.SwapEffect = DXGI_SWAP_EFFECT_DISCARD; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.BufferCount = 1; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.BufferCount = 17; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.Scaling = DXGI_SCALING_NONE; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.Width = 0; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.SampleDesc.Count = 2; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.AlphaMode = DXGI_ALPHA_MODE_STRAIGHT; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.Format = DXGI_FORMAT_B8G8R8A8_UNORM_SRGB; })), invalid);
  EXPECT_EQ(Create(with([](auto &d) { d.Format = DXGI_FORMAT_R16G16B16A16_FLOAT; })), DXGI_ERROR_UNSUPPORTED);
  EXPECT_EQ(Create(SwapChainDesc(8, 8, flags), device_), S_OK);  // any interface of the device serves
  EXPECT_EQ(Create(SwapChainDesc(8, 8, flags), factory_), invalid);

  IDXGIFactory2 *debug_factory = nullptr;
  ASSERT_EQ(CreateDXGIFactory2(DXGI_CREATE_FACTORY_DEBUG, IID_IDXGIFactory2, reinterpret_cast<void **>(&debug_factory)), S_OK);
  DXGI_SWAP_CHAIN_DESC1 one_buffer = with([](auto &d) { d.BufferCount = 1; });
  IDXGISwapChain1 *swap_chain = nullptr;
  std::string said = DebuggerOutput([&] {
    EXPECT_EQ(debug_factory->CreateSwapChainForComposition(dxgi_device_, &one_buffer, nullptr, &swap_chain), invalid);
  });
  EXPECT_NE(said.find("DXGI ERROR: IDXGIFactory2::CreateSwapChainForComposition: flip-model swap chains need 2 to 16 "
                      "buffers"),
            std::string::npos)
      << said;
  debug_factory->Release();
}

TEST_F(SwapChainTest, BuffersFlipInSequenceAndTakeTheDescribedSize) {
  IDXGISwapChain1 *swap_chain = SwapChain(6, 5);
  ID3D11Texture2D *first = Buffer(swap_chain, 0);
  D3D11_TEXTURE2D_DESC desc;
  first->GetDesc(&desc);
  EXPECT_EQ(desc.Width, 6u);
  EXPECT_EQ(desc.Height, 5u);
  EXPECT_EQ(desc.Format, DXGI_FORMAT_B8G8R8A8_UNORM);
  EXPECT_TRUE(desc.BindFlags & D3D11_BIND_RENDER_TARGET);
  void *none = nullptr;
  EXPECT_EQ(swap_chain->GetBuffer(2, IID_ID3D11Texture2D, &none), DXGI_ERROR_INVALID_CALL);
  DXGI_PRESENT_PARAMETERS pp = {};
  ASSERT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  ID3D11Texture2D *second = Buffer(swap_chain, 0);
  EXPECT_NE(second, first);
  ASSERT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  ID3D11Texture2D *third = Buffer(swap_chain, 0);
  EXPECT_EQ(third, first);
  for (IUnknown *object : std::initializer_list<IUnknown *>{first, second, third}) object->Release();
  EXPECT_EQ(swap_chain->Release(), 0u);
}

TEST_F(SwapChainTest, ResizeBuffersFailsWhileABufferIsHeld) {
  IDXGISwapChain1 *swap_chain = SwapChain(8, 8, 0x840);
  ID3D11Texture2D *buffer = Buffer(swap_chain, 0);
  EXPECT_EQ(swap_chain->ResizeBuffers(2, 16, 4, DXGI_FORMAT_UNKNOWN, 0x840), DXGI_ERROR_INVALID_CALL);
  DXGI_SWAP_CHAIN_DESC1 desc;
  ASSERT_EQ(swap_chain->GetDesc1(&desc), S_OK);
  EXPECT_EQ(desc.Width, 8u);
  buffer->Release();
  ASSERT_EQ(swap_chain->ResizeBuffers(2, 16, 4, DXGI_FORMAT_UNKNOWN, 0x840), S_OK);
  ASSERT_EQ(swap_chain->GetDesc1(&desc), S_OK);
  EXPECT_EQ(desc.Width, 16u);
  EXPECT_EQ(desc.Height, 4u);
  EXPECT_EQ(desc.Format, DXGI_FORMAT_B8G8R8A8_UNORM);
  buffer = Buffer(swap_chain, 0);
  D3D11_TEXTURE2D_DESC buffer_desc;
  buffer->GetDesc(&buffer_desc);
  EXPECT_EQ(buffer_desc.Width, 16u);
  ID3D11RenderTargetView *view = nullptr;
  ASSERT_EQ(device_->CreateRenderTargetView(buffer, nullptr, &view), S_OK);
  buffer->Release();
  EXPECT_EQ(swap_chain->ResizeBuffers(2, 8, 8, DXGI_FORMAT_UNKNOWN, 0x840), DXGI_ERROR_INVALID_CALL);  // a view holds it
  view->Release();
  // The waitable object stays as created; zero sizes have no window to come from.
  EXPECT_EQ(swap_chain->ResizeBuffers(2, 16, 4, DXGI_FORMAT_UNKNOWN, 0x800), DXGI_ERROR_INVALID_CALL);
  EXPECT_EQ(swap_chain->ResizeBuffers(2, 0, 4, DXGI_FORMAT_UNKNOWN, 0x840), DXGI_ERROR_INVALID_CALL);
  EXPECT_EQ(swap_chain->ResizeBuffers(1, 16, 4, DXGI_FORMAT_UNKNOWN, 0x840), DXGI_ERROR_INVALID_CALL);
  EXPECT_EQ(swap_chain->Release(), 0u);
}

TEST_F(SwapChainTest, PresentChecksItsArguments) {
  IDXGISwapChain1 *swap_chain = SwapChain(4, 4, DXGI_SWAP_CHAIN_FLAG_ALLOW_TEARING);
  DXGI_PRESENT_PARAMETERS pp = {};
  EXPECT_EQ(swap_chain->Present1(5, 0, &pp), DXGI_ERROR_INVALID_CALL);
  EXPECT_EQ(swap_chain->Present1(1, DXGI_PRESENT_ALLOW_TEARING, &pp), DXGI_ERROR_INVALID_CALL);
  EXPECT_EQ(swap_chain->Present1(0, DXGI_PRESENT_ALLOW_TEARING, &pp), S_OK);
  pp.DirtyRectsCount = 1;
  EXPECT_EQ(swap_chain->Present1(0, 0, &pp), DXGI_ERROR_INVALID_CALL);
  swap_chain->Release();
}

TEST_F(SwapChainTest, WaitableObjectIsSignalledUntilTakenAndReturnedByPresentation) {
  IDXGISwapChain1 *swap_chain = SwapChain(4, 4, 0x840);
  IDXGISwapChain2 *swap_chain2 = nullptr;
  ASSERT_EQ(swap_chain->QueryInterface(IID_IDXGISwapChain2, reinterpret_cast<void **>(&swap_chain2)), S_OK);
  UINT latency = 0;
  ASSERT_EQ(swap_chain2->GetMaximumFrameLatency(&latency), S_OK);
  EXPECT_EQ(latency, 1u);
  HANDLE waiter = swap_chain2->GetFrameLatencyWaitableObject();
  ASSERT_NE(waiter, nullptr);
  EXPECT_EQ(swap_chain2->GetFrameLatencyWaitableObject(), waiter);

  EXPECT_EQ(WaitForSingleObjectEx(waiter, 0, TRUE), WAIT_OBJECT_0);  // signalled at start
  EXPECT_EQ(WaitForSingleObjectEx(waiter, 0, TRUE), WAIT_TIMEOUT);   // the wait took it
  DXGI_PRESENT_PARAMETERS pp = {};
  SetLastError(1234);
  ASSERT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  EXPECT_EQ(WaitForSingleObjectEx(waiter, 0, TRUE), WAIT_OBJECT_0);  // the presentation gave it back
  ASSERT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  ASSERT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  EXPECT_EQ(GetLastError(), 1234u);  // a full semaphore is no error of Present1
  EXPECT_EQ(WaitForSingleObjectEx(waiter, 0, TRUE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObjectEx(waiter, 0, TRUE), WAIT_TIMEOUT);  // never more than the latency
  ASSERT_EQ(swap_chain->Present1(0, DXGI_PRESENT_TEST, &pp), S_OK);
  EXPECT_EQ(WaitForSingleObjectEx(waiter, 0, TRUE), WAIT_TIMEOUT);  // a test presents nothing
  EXPECT_TRUE(CloseHandle(waiter));
  swap_chain2->Release();
  swap_chain->Release();

  IDXGISwapChain1 *plain = SwapChain(4, 4, 0);
  ASSERT_EQ(plain->QueryInterface(IID_IDXGISwapChain2, reinterpret_cast<void **>(&swap_chain2)), S_OK);
  EXPECT_EQ(swap_chain2->GetFrameLatencyWaitableObject(), nullptr);
  EXPECT_EQ(swap_chain2->GetMaximumFrameLatency(&latency), DXGI_ERROR_INVALID_CALL);
  swap_chain2->Release();
  plain->Release();
}

}  // namespace
