// COM behaviour of the Direct3D, DXGI and DirectComposition objects: reference counts,
// QueryInterface by the published identifiers, lifetimes across release orders, and
// INTERLOCK_FAIL on QueryInterface.
#include "platform/d3d11/direct3d_fixture.h"

namespace {

const IID kUnknownIid = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

template <typename Interface>
Interface *Query(IUnknown *object, REFIID iid) {
  void *found = nullptr;
  EXPECT_EQ(object->QueryInterface(iid, &found), S_OK);
  return static_cast<Interface *>(found);
}

IUnknown *Identity(IUnknown *object) {
  IUnknown *identity = Query<IUnknown>(object, IID_IUnknown);
  identity->Release();
  return identity;
}

class ComTest : public Direct3DTest {};

// A resource of the program's own making, which counts every call the platform makes on it.
class ProgramResource : public ID3D11Resource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **object) override {
    ++calls;
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++calls, 2; }
  ULONG STDMETHODCALLTYPE Release() override { return ++calls, 1; }
  void STDMETHODCALLTYPE GetDevice(ID3D11Device **device) override {
    ++calls;
    *device = nullptr;
  }
  int calls = 0;
};

TEST_F(ComTest, ObjectsNotMadeByThePlatformAreRefusedWithoutACallOnThem) {
  ProgramResource foreign;
  ID3D11Texture2D *texture = ColorTexture(4, 4);
  context_->CopyResource(texture, &foreign);
  context_->CopyResource(&foreign, texture);
  ID3D11RenderTargetView *view = nullptr;
  EXPECT_EQ(device_->CreateRenderTargetView(&foreign, nullptr, &view), E_INVALIDARG);
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(foreign.calls, 0);
  EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(ComTest, DeviceAnswersItsInterfacesWithOneIdentityAndCountsEveryReference) {
  EXPECT_EQ(Refs(device_), 2u);  // the fixture's device and its DXGI device
  IDXGIObject *object = Query<IDXGIObject>(device_, IID_IDXGIObject);
  EXPECT_EQ(Refs(device_), 3u);
  EXPECT_EQ(Identity(object), Identity(device_));
  EXPECT_EQ(Identity(dxgi_device_), Identity(device_));
  EXPECT_EQ(object->Release(), 2u);

  void *none = reinterpret_cast<void *>(1);
  EXPECT_EQ(device_->QueryInterface(kUnknownIid, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(device_->QueryInterface(IID_IDXGIFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(device_->QueryInterface(IID_IDXGIDevice, nullptr), E_POINTER);
  EXPECT_EQ(Refs(device_), 2u);
}

TEST_F(ComTest, TextureAndSwapChainAnswerEveryInterfaceOfTheirHierarchy) {
  ID3D11Texture2D *texture = ColorTexture(4, 4);
  for (const IID *iid : {&IID_ID3D11Texture2D, &IID_ID3D11Resource, &IID_ID3D11DeviceChild, &IID_IDXGIResource,
                         &IID_IDXGIDeviceSubObject, &IID_IDXGIObject}) {
    IUnknown *found = Query<IUnknown>(texture, *iid);
    EXPECT_EQ(Identity(found), Identity(texture));
    found->Release();
  }
  IDXGISwapChain1 *swap_chain = SwapChain(4, 4);
  for (const IID *iid : {&IID_IDXGISwapChain2, &IID_IDXGISwapChain1, &IID_IDXGISwapChain, &IID_IDXGIDeviceSubObject}) {
    Query<IUnknown>(swap_chain, *iid)->Release();
  }
  void *none = nullptr;
  EXPECT_EQ(swap_chain->QueryInterface(IID_ID3D11Texture2D, &none), E_NOINTERFACE);
  EXPECT_EQ(texture->Release(), 0u);
  EXPECT_EQ(swap_chain->Release(), 0u);
}

TEST_F(ComTest, ChildrenKeepTheirDeviceAndViewsTheirTextureAlive) {
  ID3D11Texture2D *texture = ColorTexture(4, 4);
  ID3D11RenderTargetView *view = nullptr;
  ASSERT_EQ(device_->CreateRenderTargetView(texture, nullptr, &view), S_OK);
  dxgi_device_->Release();
  dxgi_device_ = nullptr;
  EXPECT_EQ(device_->Release(), 0u);  // the application's count; the children hold it internally
  device_ = nullptr;
  EXPECT_EQ(texture->Release(), 0u);

  ID3D11Resource *resource = nullptr;
  view->GetResource(&resource);
  EXPECT_EQ(Identity(resource), Identity(texture));  // the view kept it
  ID3D11Device *device = nullptr;
  resource->GetDevice(&device);
  ASSERT_NE(device, nullptr);
  D3D11_TEXTURE2D_DESC desc;
  static_cast<ID3D11Texture2D *>(resource)->GetDesc(&desc);
  EXPECT_EQ(desc.Width, 4u);
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(resource->Release(), 0u);
  EXPECT_EQ(view->Release(), 0u);
}

TEST_F(ComTest, ImmediateContextHoldsTheDeviceWhileTheApplicationHoldsIt) {
  ID3D11DeviceContext *again = nullptr;
  device_->GetImmediateContext(&again);
  EXPECT_EQ(again, context_);
  EXPECT_EQ(again->Release(), 1u);
  dxgi_device_->Release();
  dxgi_device_ = nullptr;
  EXPECT_EQ(device_->Release(), 0u);
  device_ = nullptr;
  ID3D11Device *device = nullptr;
  context_->GetDevice(&device);  // still alive through the context
  ASSERT_NE(device, nullptr);
  context_->ClearState();
  context_->Flush();
  EXPECT_EQ(device->Release(), 0u);
}

TEST_F(ComTest, InjectedFailureOfQueryInterfaceFollowsTheInterfaceNamed) {
  IDXGISwapChain1 *swap_chain = SwapChain(4, 4);
  void *found = nullptr;
  {
    ScopedKnobs knobs({{"INTERLOCK_FAIL", "IDXGISwapChain1::QueryInterface"}});
    EXPECT_EQ(swap_chain->QueryInterface(IID_IDXGISwapChain2, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(device_->QueryInterface(IID_IDXGIDevice, &found), S_OK);  // no IDXGISwapChain1 there
    static_cast<IUnknown *>(found)->Release();
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_FAIL", "QueryInterface#2=0x80004005"}});
    EXPECT_EQ(device_->QueryInterface(IID_IDXGIDevice, &found), S_OK);
    static_cast<IUnknown *>(found)->Release();
    EXPECT_EQ(swap_chain->QueryInterface(IID_IDXGISwapChain2, &found), E_FAIL);
    EXPECT_EQ(swap_chain->QueryInterface(IID_IDXGISwapChain2, &found), S_OK);
    static_cast<IUnknown *>(found)->Release();
  }
  swap_chain->Release();
}

}  // namespace
