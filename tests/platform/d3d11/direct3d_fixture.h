// A Direct3D 11 device with its immediate context, and the objects tests build on it: small
// textures, composition swap chains, windows.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <d3d11.h>
#include <dxgi1_3.h>

#include <string>
#include <vector>

#include "support/scoped_knobs.h"

// What `body` writes to the debugger channel and the platform's log (both stderr).
template <typename Body>
std::string DebuggerOutput(Body body) {
  testing::internal::CaptureStderr();
  body();
  return testing::internal::GetCapturedStderr();
}

class Direct3DTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT, nullptr, 0,
                                D3D11_SDK_VERSION, &device_, nullptr, &context_),
              S_OK);
    ASSERT_EQ(device_->QueryInterface(IID_IDXGIDevice, reinterpret_cast<void **>(&dxgi_device_)), S_OK);
    ASSERT_EQ(CreateDXGIFactory2(0, IID_IDXGIFactory2, reinterpret_cast<void **>(&factory_)), S_OK);
  }
  void TearDown() override {
    for (IUnknown *object : {static_cast<IUnknown *>(factory_), static_cast<IUnknown *>(dxgi_device_),
                             static_cast<IUnknown *>(context_), static_cast<IUnknown *>(device_)}) {
      if (object) object->Release();
    }
  }

  static D3D11_TEXTURE2D_DESC TextureDesc(UINT width, UINT height, DXGI_FORMAT format, UINT bind) {
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = width;
    desc.Height = height;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = format;
    desc.SampleDesc = {1, 0};
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = bind;
    desc.MiscFlags = D3D11_RESOURCE_MISC_SHARED;
    return desc;
  }

  // A B8G8R8A8_UNORM render target holding `bgra` (rows packed), or zero.
  ID3D11Texture2D *ColorTexture(UINT width, UINT height, const std::vector<uint8_t> *bgra = nullptr) {
    D3D11_TEXTURE2D_DESC desc = TextureDesc(width, height, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET);
    D3D11_SUBRESOURCE_DATA data = {bgra ? bgra->data() : nullptr, width * 4, 0};
    ID3D11Texture2D *texture = nullptr;
    EXPECT_EQ(device_->CreateTexture2D(&desc, bgra ? &data : nullptr, &texture), S_OK);
    return texture;
  }

  static DXGI_SWAP_CHAIN_DESC1 SwapChainDesc(UINT width, UINT height, UINT flags) {
    DXGI_SWAP_CHAIN_DESC1 desc = {};
    desc.Width = width;
    desc.Height = height;
    desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    desc.SampleDesc = {1, 0};
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT | DXGI_USAGE_BACK_BUFFER;
    desc.BufferCount = 2;
    desc.Scaling = DXGI_SCALING_STRETCH;
    desc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL;
    desc.AlphaMode = DXGI_ALPHA_MODE_PREMULTIPLIED;
    desc.Flags = flags;
    return desc;
  }

  IDXGISwapChain1 *SwapChain(UINT width, UINT height, UINT flags = DXGI_SWAP_CHAIN_FLAG_FRAME_LATENCY_WAITABLE_OBJECT) {
    DXGI_SWAP_CHAIN_DESC1 desc = SwapChainDesc(width, height, flags);
    IDXGISwapChain1 *swap_chain = nullptr;
    EXPECT_EQ(factory_->CreateSwapChainForComposition(dxgi_device_, &desc, nullptr, &swap_chain), S_OK);
    return swap_chain;
  }

  // The reference count `object` has: AddRef's answer less the reference it adds.
  static ULONG Refs(IUnknown *object) {
    object->AddRef();
    return object->Release();
  }

  ID3D11Device *device_ = nullptr;
  ID3D11DeviceContext *context_ = nullptr;
  IDXGIDevice *dxgi_device_ = nullptr;
  IDXGIFactory2 *factory_ = nullptr;
};
