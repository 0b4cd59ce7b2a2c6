// WGL_NV_DX_interop from two threads of one share group: the devices and objects may be used
// from any thread with a context of the group current, and a lock is taken in one step, so of
// two threads locking one object at once exactly one gets it and the other ERROR_BUSY.
#include <GL/wglext.h>
#include <d3d11.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/gl_window.h"

namespace {

TEST(DXInteropThreads, OfTwoThreadsLockingOneObjectAtOnceExactlyOneGetsIt) {
  GLWindow w, thread_windows[2];  // a surface is current on one thread at a time
  ID3D11Device *device = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                              nullptr, nullptr),
            S_OK);
  ID3D11DeviceContext *immediate = nullptr;
  device->GetImmediateContext(&immediate);
  D3D11_TEXTURE2D_DESC desc = {16, 16, 1, 1, DXGI_FORMAT_B8G8R8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT,
                               D3D11_BIND_RENDER_TARGET, 0, 0};
  ID3D11Texture2D *shared = nullptr, *source = nullptr;
  ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, &shared), S_OK);
  ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, &source), S_OK);

  HGLRC main = wglCreateContext(w.dc);
  ASSERT_TRUE(wglMakeCurrent(w.dc, main));
  auto create_context = GLProc<PFNWGLCREATECONTEXTATTRIBSARBPROC>("wglCreateContextAttribsARB");
  const int no_attribs[] = {0};
  HGLRC contexts[2] = {create_context(w.dc, main, no_attribs), create_context(w.dc, main, no_attribs)};
  ASSERT_TRUE(contexts[0] && contexts[1]);
  auto open_device = GLProc<PFNWGLDXOPENDEVICENVPROC>("wglDXOpenDeviceNV");
  auto close_device = GLProc<PFNWGLDXCLOSEDEVICENVPROC>("wglDXCloseDeviceNV");
  auto register_object = GLProc<PFNWGLDXREGISTEROBJECTNVPROC>("wglDXRegisterObjectNV");
  auto lock_objects = GLProc<PFNWGLDXLOCKOBJECTSNVPROC>("wglDXLockObjectsNV");
  auto unlock_objects = GLProc<PFNWGLDXUNLOCKOBJECTSNVPROC>("wglDXUnlockObjectsNV");
  GLuint name = 0;
  glGenTextures(1, &name);
  HANDLE interop = open_device(device);
  ASSERT_NE(interop, nullptr) << GetLastError();
  HANDLE object = register_object(interop, shared, name, GL_TEXTURE_2D, WGL_ACCESS_READ_WRITE_NV);
  ASSERT_NE(object, nullptr) << GetLastError();
  wglMakeCurrent(nullptr, nullptr);

  // Each round both threads lock at once, with Direct3D work queued for the locks to wait for;
  // a winner holds the lock until the other thread has tried too.
  constexpr int kRounds = 100;
  std::atomic<int> arrivals{0};
  auto meet = [&](int barrier) {  // both threads pass barrier n together
    arrivals.fetch_add(1);
    while (arrivals.load() < 2 * barrier) {
    }
  };
  std::atomic<int> tries[kRounds] = {}, locks[kRounds] = {}, busy[kRounds] = {};
  auto lock_in_rounds = [&](int thread, bool queues_work) {
    EXPECT_TRUE(wglMakeCurrent(thread_windows[thread].dc, contexts[thread])) << GetLastError();
    for (int round = 0; round < kRounds; ++round) {
      if (queues_work) immediate->CopyResource(shared, source);
      meet(2 * round + 1);
      bool locked = lock_objects(interop, 1, &object);
      if (!locked && GetLastError() == ERROR_BUSY) ++busy[round];
      locks[round] += locked;
      ++tries[round];
      while (locked && tries[round].load() < 2) {
      }
      if (locked) {
        EXPECT_TRUE(unlock_objects(interop, 1, &object));
      }
      meet(2 * round + 2);
    }
    wglMakeCurrent(nullptr, nullptr);
  };
  std::thread first(lock_in_rounds, 0, true), second(lock_in_rounds, 1, false);
  first.join();
  second.join();
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_EQ(locks[round].load(), 1) << "round " << round;
    ASSERT_EQ(busy[round].load(), 1) << "round " << round;
  }

  ASSERT_TRUE(wglMakeCurrent(w.dc, main));
  EXPECT_TRUE(close_device(interop));
  wglMakeCurrent(nullptr, nullptr);
  for (HGLRC context : {main, contexts[0], contexts[1]}) wglDeleteContext(context);
  immediate->Release();
  shared->Release();
  source->Release();
  device->Release();
}

}  // namespace
