// The platform's "any thread" promises under load: two render threads share one Direct3D device
// through WGL_NV_DX_interop, each drawing with OpenGL into its own shared texture and presenting
// it in its own window, while the windows' thread pumps messages beside them. Run under
// ThreadSanitizer (the linux-tsan preset), it finds races between them.
#include <GL/glext.h>
#include <GL/wglext.h>
#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_3.h>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "dcomp/dcomp_iids.h"
#include "display/display.h"
#include "support/gl_window.h"

namespace {

constexpr UINT kWidth = 8, kHeight = 4;
constexpr int kFrames = 40;

// The red (thread 0) or green (thread 1) level of frame `frame`.
uint8_t Level(int frame) { return (uint8_t)(frame * 6 + 1); }

struct RenderThread {
  HWND window = nullptr;  // made by the windows' thread
  GLWindow gl;            // the DC its context draws through
  IDXGISwapChain1 *swap_chain = nullptr;
  IDCompositionTarget *target = nullptr;
};

TEST(RenderThreads, TwoShareOneDeviceThroughTheInteropAndPresentBesideTheWindowsThread) {
  ID3D11Device *device = nullptr;
  ID3D11DeviceContext *immediate = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT, nullptr, 0,
                              D3D11_SDK_VERSION, &device, nullptr, &immediate),
            S_OK);
  IDXGIDevice *dxgi_device = nullptr;
  IDXGIFactory2 *factory = nullptr;
  IDCompositionDevice *dcomp = nullptr;
  ASSERT_EQ(device->QueryInterface(IID_IDXGIDevice, reinterpret_cast<void **>(&dxgi_device)), S_OK);
  ASSERT_EQ(CreateDXGIFactory2(0, IID_IDXGIFactory2, reinterpret_cast<void **>(&factory)), S_OK);
  ASSERT_EQ(DCompositionCreateDevice(dxgi_device, ilk::dcomp::IID_IDCompositionDevice, reinterpret_cast<void **>(&dcomp)),
            S_OK);
  RenderThread threads[2];
  for (RenderThread &thread : threads) {
    thread.window = CreateWindowExA(0, "STATIC", "render", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, NULL, NULL, NULL, NULL);
    DXGI_SWAP_CHAIN_DESC1 desc = {kWidth, kHeight, DXGI_FORMAT_B8G8R8A8_UNORM, FALSE, {1, 0},
                                  DXGI_USAGE_RENDER_TARGET_OUTPUT, 2, DXGI_SCALING_STRETCH,
                                  DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL, DXGI_ALPHA_MODE_PREMULTIPLIED, 0};
    ASSERT_EQ(factory->CreateSwapChainForComposition(dxgi_device, &desc, nullptr, &thread.swap_chain), S_OK);
    IDCompositionVisual *visual = nullptr;
    ASSERT_EQ(dcomp->CreateTargetForHwnd(thread.window, TRUE, &thread.target), S_OK);
    ASSERT_EQ(dcomp->CreateVisual(&visual), S_OK);
    ASSERT_EQ(visual->SetContent(thread.swap_chain), S_OK);
    ASSERT_EQ(thread.target->SetRoot(visual), S_OK);
    visual->Release();
  }
  ASSERT_EQ(dcomp->Commit(), S_OK);

  std::mutex immediate_mutex;  // the immediate context is one thread's at a time, as on Windows
  std::atomic<int> running{2};
  auto render = [&](int index) {
    RenderThread &thread = threads[index];
    HGLRC context = wglCreateContext(thread.gl.dc);
    EXPECT_TRUE(wglMakeCurrent(thread.gl.dc, context));
    D3D11_TEXTURE2D_DESC desc = {kWidth, kHeight, 1, 1, DXGI_FORMAT_B8G8R8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT,
                                 D3D11_BIND_RENDER_TARGET, 0, 0};
    ID3D11Texture2D *shared = nullptr;
    EXPECT_EQ(device->CreateTexture2D(&desc, nullptr, &shared), S_OK);
    HANDLE interop = GLProc<PFNWGLDXOPENDEVICENVPROC>("wglDXOpenDeviceNV")(device);
    GLuint framebuffer = 0, name = 0;
    GLProc<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers")(1, &framebuffer);
    GLProc<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer")(GL_FRAMEBUFFER, framebuffer);
    GLProc<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers")(1, &name);
    HANDLE object = GLProc<PFNWGLDXREGISTEROBJECTNVPROC>("wglDXRegisterObjectNV")(interop, shared, name, GL_RENDERBUFFER,
                                                                                    WGL_ACCESS_WRITE_DISCARD_NV);
    EXPECT_NE(object, nullptr);
    GLProc<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer")(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                                                           GL_RENDERBUFFER, name);
    auto lock = GLProc<PFNWGLDXLOCKOBJECTSNVPROC>("wglDXLockObjectsNV");
    auto unlock = GLProc<PFNWGLDXUNLOCKOBJECTSNVPROC>("wglDXUnlockObjectsNV");
    for (int frame = 0; frame < kFrames; ++frame) {
      EXPECT_TRUE(lock(interop, 1, &object));
      float level = Level(frame) / 255.0f;
      glClearColor(index == 0 ? level : 0, index == 1 ? level : 0, 0, 1);
      glClear(GL_COLOR_BUFFER_BIT);
      EXPECT_TRUE(unlock(interop, 1, &object));
      ID3D11Texture2D *buffer = nullptr;  // the back buffer of the moment
      EXPECT_EQ(thread.swap_chain->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
      std::lock_guard<std::mutex> hold(immediate_mutex);
      immediate->CopyResource(buffer, shared);
      buffer->Release();
      DXGI_PRESENT_PARAMETERS parameters = {};
      EXPECT_EQ(thread.swap_chain->Present1(0, 0, &parameters), S_OK);
    }
    EXPECT_TRUE(GLProc<PFNWGLDXCLOSEDEVICENVPROC>("wglDXCloseDeviceNV")(interop));
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    shared->Release();
    --running;
  };
  std::thread first(render, 0), second(render, 1);
  for (MSG message; running.load() > 0;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    std::this_thread::yield();
  }
  first.join();
  second.join();

  for (int index = 0; index < 2; ++index) {
    ilk::display::WindowImage shown;
    ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(threads[index].window), &shown));
    ASSERT_EQ(shown.bgra.size(), (size_t)kWidth * kHeight * 4);
    const uint8_t last = Level(kFrames - 1);
    const uint8_t expected[4] = {0, index == 1 ? last : (uint8_t)0, index == 0 ? last : (uint8_t)0, 255};
    EXPECT_EQ(std::vector<uint8_t>(shown.bgra.begin(), shown.bgra.begin() + 4), std::vector<uint8_t>(expected, expected + 4))
        << "window " << index;
  }
  for (RenderThread &thread : threads) {
    thread.target->Release();
    thread.swap_chain->Release();
    DestroyWindow(thread.window);
  }
  for (IUnknown *object : std::initializer_list<IUnknown *>{dcomp, factory, dxgi_device, immediate, device}) object->Release();
}

}  // namespace
