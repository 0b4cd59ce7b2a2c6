// Textures and views: the descriptions Direct3D takes and refuses, shared handles, contents
// (initial data, CopyResource) as Direct3D sees them, and what the interop side is given.
#include <unistd.h>

#include "d3d11/d3d11_internal.h"
#include "platform/d3d11/direct3d_fixture.h"

namespace {

class TextureTest : public Direct3DTest {
 protected:
  HRESULT Create(const D3D11_TEXTURE2D_DESC &desc) {
    ID3D11Texture2D *texture = reinterpret_cast<ID3D11Texture2D *>(1);
    HRESULT hr = device_->CreateTexture2D(&desc, nullptr, &texture);
    if (texture && texture != reinterpret_cast<ID3D11Texture2D *>(1)) texture->Release();
    if (FAILED(hr)) {
      EXPECT_EQ(texture, nullptr);
    }
    return hr;
  }
};

std::vector<uint8_t> Pattern(UINT width, UINT height) {
  std::vector<uint8_t> bgra;
  for (UINT i = 0; i < width * height; ++i) {
    for (uint8_t byte : {uint8_t(10 + i), uint8_t(100 + i), uint8_t(200 - i), uint8_t(0x66)}) bgra.push_back(byte);
  }
  return bgra;
}

TEST_F(TextureTest, TakesWhatTheProgramCreates) {
  EXPECT_EQ(Create(TextureDesc(64, 32, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET)), S_OK);
  EXPECT_EQ(Create(TextureDesc(64, 32, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL)), S_OK);
  EXPECT_EQ(Create(TextureDesc(16384, 1, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET)), S_OK);
  D3D11_TEXTURE2D_DESC desc = TextureDesc(8, 8, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET);
  EXPECT_EQ(device_->CreateTexture2D(&desc, nullptr, nullptr), S_FALSE);  // validation only
}

TEST_F(TextureTest, RefusesDescriptionsDirect3DRefuses) {
  auto with = [](auto change) {
    D3D11_TEXTURE2D_DESC desc = TextureDesc(8, 8, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET);
    change(desc);
    return desc;
  };
  EXPECT_EQ(Create(with([](auto &d) { d.Width = 0; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.Height = 16385; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.Width = 0xFFFFFFF6u; })), E_INVALIDARG);  // a negative size as a DWORD
  EXPECT_EQ(Create(with([](auto &d) { d.ArraySize = 0; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.MipLevels = 5; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.Format = DXGI_FORMAT_R32G32B32A32_FLOAT; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.BindFlags = D3D11_BIND_DEPTH_STENCIL; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.BindFlags |= D3D11_BIND_VERTEX_BUFFER; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.SampleDesc.Count = 4; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.Usage = D3D11_USAGE_DYNAMIC; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.CPUAccessFlags = D3D11_CPU_ACCESS_READ; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) { d.MiscFlags |= D3D11_RESOURCE_MISC_SHARED_KEYEDMUTEX; })), E_INVALIDARG);
  EXPECT_EQ(Create(with([](auto &d) {
              d.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
              d.BindFlags = D3D11_BIND_RENDER_TARGET;
            })),
            E_INVALIDARG);
  EXPECT_EQ(device_->CreateTexture2D(nullptr, nullptr, nullptr), E_INVALIDARG);
}

TEST_F(TextureTest, DebugDeviceSaysWhyItRefuses) {
  D3D11_TEXTURE2D_DESC desc = TextureDesc(0, 8, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET);
  EXPECT_EQ(DebuggerOutput([&] { Create(desc); }), "");
  ID3D11Device *debug_device = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_DEBUG, nullptr, 0,
                              D3D11_SDK_VERSION, &debug_device, nullptr, nullptr),
            S_OK);
  ID3D11Texture2D *texture = nullptr;
  std::string said = DebuggerOutput([&] { EXPECT_EQ(debug_device->CreateTexture2D(&desc, nullptr, &texture), E_INVALIDARG); });
  EXPECT_NE(said.find("D3D11 ERROR: ID3D11Device::CreateTexture2D: Width is 0"), std::string::npos) << said;
  debug_device->Release();
}

TEST_F(TextureTest, SharedTexturesHaveDistinctSharedHandles) {
  ID3D11Texture2D *first = ColorTexture(4, 4), *second = ColorTexture(4, 4);
  HANDLE handles[2] = {};
  for (int i = 0; i < 2; ++i) {
    IDXGIResource *resource = nullptr;
    ASSERT_EQ((i ? second : first)->QueryInterface(IID_IDXGIResource, reinterpret_cast<void **>(&resource)), S_OK);
    EXPECT_EQ(resource->GetSharedHandle(&handles[i]), S_OK);
    resource->Release();
  }
  EXPECT_NE(handles[0], nullptr);
  EXPECT_NE(handles[0], handles[1]);
  HANDLE own = nullptr;
  ASSERT_TRUE(ilk::d3d11::TextureSharedHandle(first, &own));
  EXPECT_EQ(own, handles[0]);

  D3D11_TEXTURE2D_DESC desc = TextureDesc(4, 4, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET);
  desc.MiscFlags = 0;
  ID3D11Texture2D *unshared = nullptr;
  ASSERT_EQ(device_->CreateTexture2D(&desc, nullptr, &unshared), S_OK);
  IDXGIResource *resource = nullptr;
  ASSERT_EQ(unshared->QueryInterface(IID_IDXGIResource, reinterpret_cast<void **>(&resource)), S_OK);
  HANDLE handle = reinterpret_cast<HANDLE>(1);
  EXPECT_EQ(resource->GetSharedHandle(&handle), E_INVALIDARG);
  EXPECT_EQ(handle, nullptr);
  for (IUnknown *object : std::initializer_list<IUnknown *>{resource, unshared, first, second}) object->Release();
}

TEST_F(TextureTest, ViewsFollowTheirTextureAndRefuseWhatDoesNotFit) {
  ID3D11Texture2D *color = ColorTexture(4, 4);
  D3D11_TEXTURE2D_DESC depth_desc = TextureDesc(4, 4, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL);
  ID3D11Texture2D *depth = nullptr;
  ASSERT_EQ(device_->CreateTexture2D(&depth_desc, nullptr, &depth), S_OK);

  D3D11_RENDER_TARGET_VIEW_DESC rtv = {};
  rtv.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
  rtv.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
  ID3D11RenderTargetView *color_view = nullptr;
  ASSERT_EQ(device_->CreateRenderTargetView(color, &rtv, &color_view), S_OK);
  ULONG color_refs = Refs(color);
  ID3D11Resource *resource = nullptr;
  color_view->GetResource(&resource);
  EXPECT_EQ(static_cast<void *>(resource), static_cast<void *>(static_cast<ID3D11Resource *>(color)));
  EXPECT_EQ(Refs(color), color_refs + 1);
  resource->Release();

  D3D11_DEPTH_STENCIL_VIEW_DESC dsv = {};
  dsv.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
  dsv.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
  ID3D11DepthStencilView *depth_view = nullptr;
  EXPECT_EQ(device_->CreateDepthStencilView(depth, &dsv, &depth_view), S_OK);
  depth_view->Release();

  ID3D11RenderTargetView *refused = nullptr;
  EXPECT_EQ(device_->CreateRenderTargetView(depth, nullptr, &refused), E_INVALIDARG);  // not bound as target
  EXPECT_EQ(device_->CreateRenderTargetView(nullptr, &rtv, &refused), E_INVALIDARG);
  rtv.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
  EXPECT_EQ(device_->CreateRenderTargetView(color, &rtv, &refused), E_INVALIDARG);
  rtv.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
  rtv.Texture2D.MipSlice = 1;
  EXPECT_EQ(device_->CreateRenderTargetView(color, &rtv, &refused), E_INVALIDARG);
  rtv.Texture2D.MipSlice = 0;
  rtv.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2DMS;
  EXPECT_EQ(device_->CreateRenderTargetView(color, &rtv, &refused), E_INVALIDARG);
  EXPECT_EQ(refused, nullptr);
  ID3D11DepthStencilView *refused_depth = nullptr;
  dsv.Flags = 4;
  EXPECT_EQ(device_->CreateDepthStencilView(depth, &dsv, &refused_depth), E_INVALIDARG);
  EXPECT_EQ(device_->CreateDepthStencilView(color, nullptr, &refused_depth), E_INVALIDARG);

  color_view->Release();
  color->Release();
  depth->Release();
}

TEST_F(TextureTest, ContentsAreWhatDirect3DWasGivenInBgraOverRgbaMemory) {
  std::vector<uint8_t> pattern = Pattern(5, 3);
  ID3D11Texture2D *source = ColorTexture(5, 3, &pattern);
  std::vector<uint8_t> texels;
  ASSERT_TRUE(ilk::d3d11::ReadTexture(source, &texels));
  EXPECT_EQ(texels, pattern);
  // OpenGL's GL_RGBA8 byte order backs B8G8R8A8, so both APIs see the same colours.
  ilk::d3d11::SharedMemory memory;
  ASSERT_TRUE(ilk::d3d11::ExportTextureMemory(source, device_, &memory));
  close(memory.fd);
  EXPECT_EQ(memory.gl_format, (GLenum)GL_RGBA8);
  EXPECT_EQ(memory.width, 5u);
  EXPECT_EQ(memory.height, 3u);
  EXPECT_GE(memory.size, 5u * 3u * 4u);

  ID3D11Texture2D *copy = ColorTexture(5, 3);
  ASSERT_TRUE(ilk::d3d11::ReadTexture(copy, &texels));
  EXPECT_EQ(texels, std::vector<uint8_t>(5 * 3 * 4, 0));  // new textures start zeroed
  context_->CopyResource(copy, source);
  ASSERT_TRUE(ilk::d3d11::ReadTexture(copy, &texels));
  EXPECT_EQ(texels, pattern);

  // Copies Direct3D refuses leave the destination as it was.
  ID3D11Texture2D *other_size = ColorTexture(4, 3);
  context_->CopyResource(other_size, source);
  context_->CopyResource(copy, copy);
  context_->CopyResource(nullptr, source);
  ASSERT_TRUE(ilk::d3d11::ReadTexture(other_size, &texels));
  EXPECT_EQ(texels, std::vector<uint8_t>(4 * 3 * 4, 0));

  D3D11_TEXTURE2D_DESC depth_desc = TextureDesc(2, 2, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL);
  ID3D11Texture2D *depth = nullptr;
  ASSERT_EQ(device_->CreateTexture2D(&depth_desc, nullptr, &depth), S_OK);
  ASSERT_TRUE(ilk::d3d11::ReadTexture(depth, &texels));
  EXPECT_EQ(texels, std::vector<uint8_t>(2 * 2 * 4, 0));
  for (IUnknown *object : std::initializer_list<IUnknown *>{source, copy, other_size, depth}) object->Release();
}

// The immediate context queues a copy, as on Windows, to run with the next work that can see
// its result; releasing a texture it copies runs it first.
TEST_F(TextureTest, AQueuedCopyRunsBeforeItsTexturesGo) {
  std::vector<uint8_t> pattern = Pattern(4, 2);
  ID3D11Texture2D *source = ColorTexture(4, 2, &pattern);
  ID3D11Texture2D *copy = ColorTexture(4, 2);
  context_->CopyResource(copy, source);
  source->Release();
  std::vector<uint8_t> texels;
  ASSERT_TRUE(ilk::d3d11::ReadTexture(copy, &texels));
  EXPECT_EQ(texels, pattern);

  // A copy into a texture that goes before anything reads it leaves the device sound.
  ID3D11Texture2D *doomed = ColorTexture(4, 2);
  context_->CopyResource(doomed, copy);
  doomed->Release();
  ID3D11Texture2D *blank = ColorTexture(4, 2);
  context_->CopyResource(copy, blank);
  blank->Release();
  ASSERT_TRUE(ilk::d3d11::ReadTexture(copy, &texels));
  EXPECT_EQ(texels, std::vector<uint8_t>(4 * 2 * 4, 0));
  copy->Release();
}

TEST_F(TextureTest, InteropGetsExportableMemoryAndTheDeviceUuid) {
  ID3D11Texture2D *texture = ColorTexture(4, 4);
  ilk::d3d11::SharedMemory memory;
  ASSERT_TRUE(ilk::d3d11::ExportTextureMemory(texture, device_, &memory));
  EXPECT_GE(memory.fd, 0);
  close(memory.fd);
  ID3D11Device *other = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &other,
                              nullptr, nullptr),
            S_OK);
  memory = {};
  EXPECT_FALSE(ilk::d3d11::ExportTextureMemory(texture, other, &memory));  // a texture of another device
  EXPECT_EQ(memory.fd, -1);
  EXPECT_EQ(other->Release(), 0u);
  ilk::d3d11::DeviceIdentity identity;
  ASSERT_TRUE(ilk::d3d11::DeviceIdentityOf(device_, &identity));
  EXPECT_FALSE(identity.name.empty());
  EXPECT_NE(std::vector<uint8_t>(std::begin(identity.device_uuid), std::end(identity.device_uuid)), std::vector<uint8_t>(16, 0));
  EXPECT_NE(std::vector<uint8_t>(std::begin(identity.driver_uuid), std::end(identity.driver_uuid)), std::vector<uint8_t>(16, 0));
  EXPECT_EQ(ilk::d3d11::Direct3DDevice(dxgi_device_), device_);
  EXPECT_EQ(ilk::d3d11::Direct3DDevice(texture), nullptr);
  ilk::d3d11::WaitForDirect3DWork(device_);
  texture->Release();
}

TEST_F(TextureTest, SwapChainBuffersAreNotExportable) {
  IDXGISwapChain1 *swap_chain = SwapChain(4, 4);
  ID3D11Texture2D *buffer = nullptr;
  ASSERT_EQ(swap_chain->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
  ilk::d3d11::SharedMemory memory;
  EXPECT_FALSE(ilk::d3d11::ExportTextureMemory(buffer, device_, &memory));
  EXPECT_EQ(memory.fd, -1);
  buffer->Release();
  swap_chain->Release();
}


// On a device that presents by reading frames on the host (lavapipe here), a swap chain's
// buffers are read where they are: a copy queued into one has run when its texels are asked
// for, and what it wrote is there, at the device's row pitch. Other textures are read back.
TEST_F(TextureTest, SwapChainBuffersOfAReadBackDeviceAreReadInPlaceAfterTheQueuedCopy) {
  std::vector<uint8_t> pattern = Pattern(5, 3);
  ID3D11Texture2D *source = ColorTexture(5, 3, &pattern);
  IDXGISwapChain1 *swap_chain = SwapChain(5, 3);
  ID3D11Texture2D *buffer = nullptr;
  ASSERT_EQ(swap_chain->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
  size_t row_pitch = 0;
  const uint8_t *texels = ilk::d3d11::BufferTexels(buffer, &row_pitch);
  ASSERT_NE(texels, nullptr);
  ASSERT_GE(row_pitch, 5u * 4);
  for (int pass = 0; pass < 2; ++pass) {
    context_->CopyResource(buffer, source);  // queued, as Direct3D's immediate context queues it
    EXPECT_EQ(ilk::d3d11::BufferTexels(buffer, &row_pitch), texels);
    for (size_t y = 0; y < 3; ++y) {
      std::vector<uint8_t> row(texels + y * row_pitch, texels + y * row_pitch + 5 * 4);
      std::vector<uint8_t> expected(pattern.begin() + y * 5 * 4, pattern.begin() + (y + 1) * 5 * 4);
      for (size_t i = 0; i < expected.size(); i += 4) std::swap(expected[i], expected[i + 2]);  // GL_RGBA8 memory
      EXPECT_EQ(row, expected) << "row " << y;
    }
    std::reverse(pattern.begin(), pattern.end());
    source->Release();
    source = ColorTexture(5, 3, &pattern);
  }
  EXPECT_EQ(ilk::d3d11::BufferTexels(source, &row_pitch), nullptr);
  buffer->Release();
  source->Release();
  swap_chain->Release();
}
TEST_F(TextureTest, ReadBackGivesTheMemoryBytesIntoTheSameBufferAndRefusesWhatDoesNotFit) {
  std::vector<uint8_t> pattern = Pattern(5, 3);
  ID3D11Texture2D *source = ColorTexture(5, 3, &pattern);
  ilk::d3d11::TextureReadback *readback = ilk::d3d11::CreateTextureReadback(device_, 5 * 3 * 4);
  ASSERT_NE(readback, nullptr);
  EXPECT_EQ(ilk::d3d11::TextureReadbackSize(readback), 5u * 3 * 4);
  const uint8_t *bytes = ilk::d3d11::ReadTextureBack(readback, source);
  ASSERT_NE(bytes, nullptr);
  std::vector<uint8_t> rgba = pattern;  // B8G8R8A8 lives in GL_RGBA8 memory
  for (size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + rgba.size()), rgba);

  // A texture written after the first read reads back into the same memory.
  ID3D11Texture2D *blank = ColorTexture(5, 3);
  context_->CopyResource(source, blank);
  std::vector<uint8_t> copied;
  ASSERT_TRUE(ilk::d3d11::ReadTexture(blank, &copied));
  EXPECT_EQ(ilk::d3d11::ReadTextureBack(readback, source), bytes);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + copied.size()), copied);  // (red and blue alike)

  ID3D11Texture2D *larger = ColorTexture(6, 3);
  D3D11_TEXTURE2D_DESC depth_desc = TextureDesc(2, 2, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL);
  ID3D11Texture2D *depth = nullptr;
  ASSERT_EQ(device_->CreateTexture2D(&depth_desc, nullptr, &depth), S_OK);
  EXPECT_EQ(ilk::d3d11::ReadTextureBack(readback, larger), nullptr);
  EXPECT_EQ(ilk::d3d11::ReadTextureBack(readback, depth), nullptr);
  ilk::d3d11::DestroyTextureReadback(readback);
  for (IUnknown *object : std::initializer_list<IUnknown *>{source, blank, larger, depth}) object->Release();
}

TEST_F(TextureTest, TexturesReleasedBeforeAnyCommandLeaveNothingPendingForValidationToFind) {
  // A new texture without data only waits for its first layout change, made in the device's
  // next submission; one released before that must not reach the queue.
  ID3D11Device *debug_device = nullptr;
  ID3D11DeviceContext *debug_context = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_DEBUG, nullptr, 0,
                              D3D11_SDK_VERSION, &debug_device, nullptr, &debug_context),
            S_OK);
  std::vector<uint8_t> pattern = Pattern(5, 3);
  D3D11_TEXTURE2D_DESC desc = TextureDesc(5, 3, DXGI_FORMAT_B8G8R8A8_UNORM, D3D11_BIND_RENDER_TARGET);
  D3D11_SUBRESOURCE_DATA data = {pattern.data(), 5 * 4, 0};
  ID3D11Texture2D *released = nullptr, *source = nullptr, *copy = nullptr;
  std::string output = DebuggerOutput([&] {
    ASSERT_EQ(debug_device->CreateTexture2D(&desc, nullptr, &released), S_OK);
    released->Release();
    ASSERT_EQ(debug_device->CreateTexture2D(&desc, nullptr, &copy), S_OK);
    ASSERT_EQ(debug_device->CreateTexture2D(&desc, &data, &source), S_OK);
    debug_context->CopyResource(copy, source);
    ilk::d3d11::WaitForDirect3DWork(debug_device);
  });
  EXPECT_EQ(output.find("Validation"), std::string::npos) << output;
  std::vector<uint8_t> texels;
  ASSERT_TRUE(ilk::d3d11::ReadTexture(copy, &texels));
  EXPECT_EQ(texels, pattern);
  for (IUnknown *object : std::initializer_list<IUnknown *>{source, copy, debug_context, debug_device}) object->Release();
}

}  // namespace
