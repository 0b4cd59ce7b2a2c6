// WGL_NV_DX_interop on a device that cannot share VK_FORMAT_D24_UNORM_S8_UINT (the simulated-GPU
// layer under Direct3D's Vulkan device): depth-stencil textures are shared in another format,
// and what OpenGL writes into them still reads back as Direct3D's 24-bit depth and 8-bit stencil.
#include <EGL/egl.h>
#include <GL/glext.h>
#include <GL/wglext.h>
#include <d3d11.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "d3d11/d3d11_internal.h"
#include "support/gl_window.h"
#include "support/scoped_knobs.h"

namespace {

TEST(DXInteropOnAGpu, DepthAndStencilOfAnUnsharableD24S8ReadBackAsDirect3DHoldsThem) {
  ScopedKnobs gpu({{"VK_LAYER_PATH", SIMULATED_GPU_LAYER_DIR},
                   {"VK_INSTANCE_LAYERS", "VK_LAYER_INTERLOCK_simulated_gpu"},
                   {"SIMULATED_GPU", "unsharable-d24s8,dedicated-only"}});
  GLWindow w;
  ID3D11Device *device = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                              nullptr, nullptr),
            S_OK);
  D3D11_TEXTURE2D_DESC desc = {2, 2, 1, 1, DXGI_FORMAT_D24_UNORM_S8_UINT, {1, 0}, D3D11_USAGE_DEFAULT,
                               D3D11_BIND_DEPTH_STENCIL, 0, 0};
  ID3D11Texture2D *depth = nullptr;
  ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, &depth), S_OK);
  ilk::d3d11::SharedMemory memory;
  ASSERT_TRUE(ilk::d3d11::ExportTextureMemory(depth, device, &memory));
  close(memory.fd);
  EXPECT_EQ(memory.gl_format, (GLenum)GL_DEPTH32F_STENCIL8);

  HGLRC context = wglCreateContext(w.dc);
  ASSERT_TRUE(wglMakeCurrent(w.dc, context));
  GLuint framebuffer = 0, name = 0;
  GLProc<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers")(1, &framebuffer);
  GLProc<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer")(GL_FRAMEBUFFER, framebuffer);
  GLProc<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers")(1, &name);
  HANDLE interop = GLProc<PFNWGLDXOPENDEVICENVPROC>("wglDXOpenDeviceNV")(device);
  ASSERT_NE(interop, nullptr) << GetLastError();
  HANDLE object = GLProc<PFNWGLDXREGISTEROBJECTNVPROC>("wglDXRegisterObjectNV")(interop, depth, name, GL_RENDERBUFFER,
                                                                                  WGL_ACCESS_READ_WRITE_NV);
  ASSERT_NE(object, nullptr) << GetLastError();
  auto attach = GLProc<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
  attach(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, name);
  attach(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, name);
  ASSERT_TRUE(GLProc<PFNWGLDXLOCKOBJECTSNVPROC>("wglDXLockObjectsNV")(interop, 1, &object));
  reinterpret_cast<void(APIENTRY *)(GLdouble)>(eglGetProcAddress("glClearDepth"))(0.25);
  reinterpret_cast<void(APIENTRY *)(GLint)>(eglGetProcAddress("glClearStencil"))(0x5A);
  glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  ASSERT_TRUE(GLProc<PFNWGLDXUNLOCKOBJECTSNVPROC>("wglDXUnlockObjectsNV")(interop, 1, &object));

  std::vector<uint8_t> texels;
  ASSERT_TRUE(ilk::d3d11::ReadTexture(depth, &texels));
  ASSERT_EQ(texels.size(), 16u);
  for (size_t i = 0; i < texels.size(); i += 4) {
    uint32_t word = texels[i] | texels[i + 1] << 8 | texels[i + 2] << 16 | (uint32_t)texels[i + 3] << 24;
    EXPECT_EQ(word & 0xFFFFFF, 0x400000u);  // 0.25 of 2^24 - 1, rounded
    EXPECT_EQ(word >> 24, 0x5Au);
  }
  EXPECT_TRUE(GLProc<PFNWGLDXCLOSEDEVICENVPROC>("wglDXCloseDeviceNV")(interop));
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  depth->Release();
  device->Release();
}

}  // namespace
