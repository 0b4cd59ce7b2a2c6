// WGL_NV_DX_interop on shared memory: what OpenGL draws into registered names arrives in the
// Direct3D textures and the reverse, names follow new registrations, locks are all or nothing
// with the extension's error codes, drawing into unlocked storage is reported, and debug output
// names the program's calls.
#include <EGL/egl.h>
#include <GL/glext.h>
#include <GL/wglext.h>
#include <d3d11.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "d3d11/d3d11_internal.h"
#include "support/gl_window.h"
#include "support/scoped_knobs.h"

namespace {

constexpr DWORD kErrorNotLocked = 158;
constexpr GLenum kTextureCubeMap = 0x8513;  // GL_TEXTURE_CUBE_MAP, past what gl.h declares
const uint8_t kBlue[4] = {255, 0, 0, 255};  // B, G, R, A as Direct3D reads B8G8R8A8

// Mesa's own functions that opengl32 does not export, for setting clear values in tests.
template <typename Proc>
Proc MesaProc(const char *name) {
  return reinterpret_cast<Proc>(eglGetProcAddress(name));
}

std::vector<std::string> debug_messages;

void APIENTRY CollectThirdParty(GLenum source, GLenum, GLuint, GLenum, GLsizei, const GLchar *message, const void *) {
  if (source == GL_DEBUG_SOURCE_THIRD_PARTY) debug_messages.push_back(message);
}

// What a debug callback that calls back into opengl32 needs, and what it saw.
struct Reentry {
  HANDLE interop;
  PFNWGLDXLOCKOBJECTSNVPROC lock_objects;
  PFNGLDELETERENDERBUFFERSPROC delete_renderbuffers;
  PFNGLDELETEFRAMEBUFFERSPROC delete_framebuffers;
  int messages = 0;
  bool inside = false;
};

// Calls back into every part of opengl32 that keeps a table: the current context, the names
// registered storage designates, the program's attachments, the interop registry. Each call
// leaves OpenGL's state as it was.
void APIENTRY CallBackIntoThePlatform(GLenum, GLenum, GLuint, GLenum, GLsizei, const GLchar *, const void *user) {
  auto *reentry = static_cast<Reentry *>(const_cast<void *>(user));
  ++reentry->messages;
  if (reentry->inside) return;
  reentry->inside = true;
  EXPECT_NE(wglGetCurrentDC(), nullptr);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glBindTexture(GL_TEXTURE_2D, (GLuint)bound);
  const GLuint never_made = 0xBAD;
  reentry->delete_renderbuffers(1, &never_made);
  reentry->delete_framebuffers(1, &never_made);
  EXPECT_TRUE(reentry->lock_objects(reentry->interop, 0, nullptr));
  reentry->inside = false;
}

class DXInterop : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device_,
                                nullptr, nullptr),
              S_OK);
    context_ = wglCreateContext(w_.dc);
    ASSERT_TRUE(wglMakeCurrent(w_.dc, context_));
    // Entry points answer only while a context is current.
    wglDXOpenDeviceNV = GLProc<PFNWGLDXOPENDEVICENVPROC>("wglDXOpenDeviceNV");
    wglDXCloseDeviceNV = GLProc<PFNWGLDXCLOSEDEVICENVPROC>("wglDXCloseDeviceNV");
    wglDXRegisterObjectNV = GLProc<PFNWGLDXREGISTEROBJECTNVPROC>("wglDXRegisterObjectNV");
    wglDXUnregisterObjectNV = GLProc<PFNWGLDXUNREGISTEROBJECTNVPROC>("wglDXUnregisterObjectNV");
    wglDXSetResourceShareHandleNV = GLProc<PFNWGLDXSETRESOURCESHAREHANDLENVPROC>("wglDXSetResourceShareHandleNV");
    wglDXLockObjectsNV = GLProc<PFNWGLDXLOCKOBJECTSNVPROC>("wglDXLockObjectsNV");
    wglDXUnlockObjectsNV = GLProc<PFNWGLDXUNLOCKOBJECTSNVPROC>("wglDXUnlockObjectsNV");
    gen_framebuffers = GLProc<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
    bind_framebuffer = GLProc<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
    check_status = GLProc<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
    attach_renderbuffer = GLProc<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
    attach_texture = GLProc<PFNGLFRAMEBUFFERTEXTURE2DPROC>("glFramebufferTexture2D");
    interop_ = wglDXOpenDeviceNV(device_);
    ASSERT_NE(interop_, nullptr) << GetLastError();
    gen_framebuffers(1, &framebuffer_);
    bind_framebuffer(GL_FRAMEBUFFER, framebuffer_);
  }
  void TearDown() override {
    EXPECT_TRUE(wglDXCloseDeviceNV(interop_));
    wglDeleteContext(context_);
    for (ID3D11Texture2D *texture : textures_) texture->Release();
    device_->Release();
  }

  ID3D11Texture2D *Texture(UINT width, UINT height, DXGI_FORMAT format = DXGI_FORMAT_B8G8R8A8_UNORM,
                           const void *texels = nullptr) {
    D3D11_TEXTURE2D_DESC desc = {width, height, 1, 1, format, {1, 0}, D3D11_USAGE_DEFAULT, 0, 0, 0};
    desc.MiscFlags = D3D11_RESOURCE_MISC_SHARED;
    desc.BindFlags = format == DXGI_FORMAT_D24_UNORM_S8_UINT ? D3D11_BIND_DEPTH_STENCIL : D3D11_BIND_RENDER_TARGET;
    D3D11_SUBRESOURCE_DATA data = {texels, width * 4, 0};
    ID3D11Texture2D *texture = nullptr;
    EXPECT_EQ(device_->CreateTexture2D(&desc, texels ? &data : nullptr, &texture), S_OK);
    textures_.push_back(texture);
    return texture;
  }

  GLuint Renderbuffer() {
    GLuint name = 0;
    GLProc<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers")(1, &name);
    return name;
  }

  static std::vector<uint8_t> Read(ID3D11Texture2D *texture) {
    std::vector<uint8_t> texels;
    EXPECT_TRUE(ilk::d3d11::ReadTexture(texture, &texels));
    return texels;
  }

  // Every texel of a B8G8R8A8 texture is `bgra`.
  static void ExpectFilled(ID3D11Texture2D *texture, const uint8_t bgra[4]) {
    std::vector<uint8_t> texels = Read(texture);
    ASSERT_FALSE(texels.empty());
    for (size_t i = 0; i < texels.size(); i += 4) {
      ASSERT_EQ(std::vector<uint8_t>(texels.begin() + i, texels.begin() + i + 4), std::vector<uint8_t>(bgra, bgra + 4))
          << "texel " << i / 4;
    }
  }

  // Clears the bound framebuffer's colour to blue inside a lock of `object`.
  void ClearBlue(HANDLE object) {
    ASSERT_TRUE(wglDXLockObjectsNV(interop_, 1, &object));
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(wglDXUnlockObjectsNV(interop_, 1, &object));
  }

  GLenum Status() { return check_status(GL_FRAMEBUFFER); }

  GLWindow w_;
  ID3D11Device *device_ = nullptr;
  HGLRC context_ = nullptr;
  HANDLE interop_ = nullptr;
  GLuint framebuffer_ = 0;
  std::vector<ID3D11Texture2D *> textures_;
  PFNWGLDXOPENDEVICENVPROC wglDXOpenDeviceNV = nullptr;
  PFNWGLDXCLOSEDEVICENVPROC wglDXCloseDeviceNV = nullptr;
  PFNWGLDXREGISTEROBJECTNVPROC wglDXRegisterObjectNV = nullptr;
  PFNWGLDXUNREGISTEROBJECTNVPROC wglDXUnregisterObjectNV = nullptr;
  PFNWGLDXSETRESOURCESHAREHANDLENVPROC wglDXSetResourceShareHandleNV = nullptr;
  PFNWGLDXLOCKOBJECTSNVPROC wglDXLockObjectsNV = nullptr;
  PFNWGLDXUNLOCKOBJECTSNVPROC wglDXUnlockObjectsNV = nullptr;
  PFNGLGENFRAMEBUFFERSPROC gen_framebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bind_framebuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC check_status = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC attach_renderbuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC attach_texture = nullptr;
};

TEST_F(DXInterop, OpenGLDrawsIntoTheDirect3DTextureThroughRenderBuffersAndTextures) {
  for (GLenum type : {GL_RENDERBUFFER, GL_TEXTURE_2D}) {
    ID3D11Texture2D *texture = Texture(3, 2);
    GLuint name = 0;
    if (type == GL_RENDERBUFFER) {
      name = Renderbuffer();
    } else {
      glGenTextures(1, &name);
    }
    HANDLE object = wglDXRegisterObjectNV(interop_, texture, name, type, WGL_ACCESS_READ_WRITE_NV);
    ASSERT_NE(object, nullptr) << GetLastError();
    if (type == GL_RENDERBUFFER) {
      attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, name);
    } else {
      attach_texture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name, 0);
    }
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    EXPECT_EQ(Status(), (GLenum)GL_FRAMEBUFFER_COMPLETE);
    ClearBlue(object);
    ExpectFilled(texture, kBlue);
    EXPECT_TRUE(wglDXUnregisterObjectNV(interop_, object));
  }
}

TEST_F(DXInterop, OpenGLReadsWhatDirect3DHolds) {
  const uint8_t texels[4 * 4] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160};
  ID3D11Texture2D *texture = Texture(2, 2, DXGI_FORMAT_B8G8R8A8_UNORM, texels);
  GLuint name = Renderbuffer();
  HANDLE object = wglDXRegisterObjectNV(interop_, texture, name, GL_RENDERBUFFER, WGL_ACCESS_READ_ONLY_NV);
  attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, name);
  ASSERT_TRUE(wglDXLockObjectsNV(interop_, 1, &object));
  uint8_t rgba[4 * 4] = {};
  glReadPixels(0, 0, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  // OpenGL's rows start at the bottom of the same memory: both see row 0 first.
  const uint8_t expected[4 * 4] = {30, 20, 10, 40, 70, 60, 50, 80, 110, 100, 90, 120, 150, 140, 130, 160};
  EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 16), std::vector<uint8_t>(expected, expected + 16));
  EXPECT_TRUE(wglDXUnlockObjectsNV(interop_, 1, &object));

  // A copy the immediate context still holds has run by the time a lock returns.
  ID3D11DeviceContext *immediate = nullptr;
  device_->GetImmediateContext(&immediate);
  const uint8_t grey[4 * 4] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  immediate->CopyResource(texture, Texture(2, 2, DXGI_FORMAT_B8G8R8A8_UNORM, grey));
  immediate->Release();
  ASSERT_TRUE(wglDXLockObjectsNV(interop_, 1, &object));
  glReadPixels(0, 0, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 16), std::vector<uint8_t>(grey, grey + 16));
  EXPECT_TRUE(wglDXUnlockObjectsNV(interop_, 1, &object));
}

TEST_F(DXInterop, DepthAndStencilWrittenByOpenGLAreReadByVulkan) {
  ID3D11Texture2D *color = Texture(2, 2);
  ID3D11Texture2D *depth = Texture(2, 2, DXGI_FORMAT_D24_UNORM_S8_UINT);
  GLuint color_name = Renderbuffer(), depth_name = Renderbuffer();
  HANDLE objects[2] = {wglDXRegisterObjectNV(interop_, color, color_name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV),
                       wglDXRegisterObjectNV(interop_, depth, depth_name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV)};
  attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_name);
  attach_renderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_name);
  attach_renderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_name);
  EXPECT_EQ(Status(), (GLenum)GL_FRAMEBUFFER_COMPLETE);
  ASSERT_TRUE(wglDXLockObjectsNV(interop_, 2, objects));
  MesaProc<void(APIENTRY *)(GLdouble)>("glClearDepth")(0.25);
  MesaProc<void(APIENTRY *)(GLint)>("glClearStencil")(0x5A);
  glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  ASSERT_TRUE(wglDXUnlockObjectsNV(interop_, 2, objects));
  std::vector<uint8_t> texels = Read(depth);
  ASSERT_EQ(texels.size(), 16u);
  for (size_t i = 0; i < texels.size(); i += 4) {
    uint32_t word = texels[i] | texels[i + 1] << 8 | texels[i + 2] << 16 | (uint32_t)texels[i + 3] << 24;
    EXPECT_NEAR(word & 0xFFFFFF, 0x400000, 1);
    EXPECT_EQ(word >> 24, 0x5Au);
  }
}

TEST_F(DXInterop, ANameRegisteredAgainDesignatesTheNewStorageWhereverItIsAttached) {
  ID3D11Texture2D *first = Texture(4, 4), *second = Texture(2, 3);
  GLuint name = Renderbuffer();
  HANDLE object = wglDXRegisterObjectNV(interop_, first, name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, name);
  ASSERT_TRUE(wglDXUnregisterObjectNV(interop_, object));
  // Unregistered, the name is its own render buffer again, which has no storage.
  EXPECT_EQ(Status(), (GLenum)GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT);
  object = wglDXRegisterObjectNV(interop_, second, name, GL_RENDERBUFFER, WGL_ACCESS_WRITE_DISCARD_NV);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(Status(), (GLenum)GL_FRAMEBUFFER_COMPLETE);
  ClearBlue(object);
  ExpectFilled(second, kBlue);
  EXPECT_EQ(Read(first), std::vector<uint8_t>(4 * 4 * 4, 0));

  // Deleting the name detaches it from the bound framebuffer; the registration stays.
  GLProc<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers")(1, &name);
  EXPECT_EQ(Status(), (GLenum)GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT);
  EXPECT_TRUE(wglDXUnregisterObjectNV(interop_, object));
}

// Drawing into storage that is not locked is the program's mistake (reported as debug output),
// but work still queued on the storage must not outlive its import.
TEST_F(DXInterop, StorageDrawnIntoUnlockedCanBeUnregisteredAtOnce) {
  GLuint name = Renderbuffer();
  HANDLE object = wglDXRegisterObjectNV(interop_, Texture(64, 64), name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, name);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_TRUE(wglDXUnregisterObjectNV(interop_, object));
  EXPECT_TRUE(wglDeleteContext(context_));
  context_ = nullptr;
}

TEST_F(DXInterop, LocksAreAllOrNothingWithTheExtensionsErrorCodes) {
  HANDLE a = wglDXRegisterObjectNV(interop_, Texture(1, 1), Renderbuffer(), GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  HANDLE b = wglDXRegisterObjectNV(interop_, Texture(1, 1), Renderbuffer(), GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  auto expect_failure = [&](BOOL result, DWORD error) {
    EXPECT_FALSE(result);
    EXPECT_EQ(GetLastError(), error);
  };
  HANDLE both[2] = {b, a}, twice[2] = {a, a}, foreign[2] = {b, interop_};
  ASSERT_TRUE(wglDXLockObjectsNV(interop_, 1, &a));
  expect_failure(wglDXLockObjectsNV(interop_, 2, both), ERROR_BUSY);
  expect_failure(wglDXUnlockObjectsNV(interop_, 1, &b), kErrorNotLocked);  // the failed lock left b alone
  expect_failure(wglDXUnlockObjectsNV(interop_, 2, twice), kErrorNotLocked);
  expect_failure(wglDXUnregisterObjectNV(interop_, a), ERROR_BUSY);
  expect_failure(wglDXCloseDeviceNV(interop_), ERROR_BUSY);
  EXPECT_TRUE(wglDXUnlockObjectsNV(interop_, 1, &a));  // a was still locked
  expect_failure(wglDXUnlockObjectsNV(interop_, 1, &a), kErrorNotLocked);
  expect_failure(wglDXLockObjectsNV(interop_, 2, twice), ERROR_BUSY);
  expect_failure(wglDXLockObjectsNV(interop_, 2, foreign), ERROR_INVALID_DATA);
  expect_failure(wglDXLockObjectsNV(a, 1, &b), ERROR_INVALID_HANDLE);
  expect_failure(wglDXLockObjectsNV(interop_, -1, &a), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(wglDXLockObjectsNV(interop_, 2, both));
  EXPECT_TRUE(wglDXUnlockObjectsNV(interop_, 2, both));
  EXPECT_TRUE(wglDXUnregisterObjectNV(interop_, a));
  expect_failure(wglDXUnregisterObjectNV(interop_, a), ERROR_INVALID_DATA);
  // Closing the device unregisters b.
}

TEST_F(DXInterop, RefusesDevicesResourcesAndArgumentsItCannotUse) {
  auto expect_failure = [](auto result, DWORD error) {
    EXPECT_FALSE(result);
    EXPECT_EQ(GetLastError(), error);
  };
  ID3D11Texture2D *texture = Texture(1, 1);
  GLuint name = Renderbuffer();
  expect_failure(wglDXOpenDeviceNV(nullptr), ERROR_NOT_SUPPORTED);
  expect_failure(wglDXOpenDeviceNV(texture), ERROR_NOT_SUPPORTED);  // not a device
  {
    ScopedKnobs missing({{"INTERLOCK_HIDE", "GL_EXT_memory_object_fd"}});
    expect_failure(wglDXOpenDeviceNV(device_), ERROR_NOT_SUPPORTED);
  }
  expect_failure(wglDXRegisterObjectNV(interop_, texture, name, GL_ARRAY_BUFFER, WGL_ACCESS_READ_WRITE_NV),
                 ERROR_INVALID_DATA);
  expect_failure(wglDXRegisterObjectNV(interop_, texture, name, GL_RENDERBUFFER, 7), ERROR_INVALID_DATA);
  expect_failure(wglDXRegisterObjectNV(interop_, texture, 0, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV),
                 ERROR_INVALID_DATA);
  expect_failure(wglDXRegisterObjectNV(interop_, device_, name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV),
                 ERROR_OPEN_FAILED);
  HANDLE unknown = reinterpret_cast<HANDLE>(1);
  expect_failure(wglDXRegisterObjectNV(unknown, texture, name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV),
                 ERROR_INVALID_HANDLE);

  IDXGIResource *resource = nullptr;
  HANDLE shared = nullptr;
  ASSERT_EQ(texture->QueryInterface(IID_IDXGIResource, reinterpret_cast<void **>(&resource)), S_OK);
  ASSERT_EQ(resource->GetSharedHandle(&shared), S_OK);
  resource->Release();
  EXPECT_TRUE(wglDXSetResourceShareHandleNV(texture, shared));
  expect_failure(wglDXSetResourceShareHandleNV(texture, nullptr), ERROR_INVALID_DATA);
  expect_failure(wglDXSetResourceShareHandleNV(device_, shared), ERROR_INVALID_DATA);

  wglMakeCurrent(nullptr, nullptr);
  expect_failure(wglDXOpenDeviceNV(device_), ERROR_INVALID_HANDLE);
  expect_failure(wglDXRegisterObjectNV(interop_, texture, name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV),
                 ERROR_INVALID_HANDLE);
  wglMakeCurrent(w_.dc, context_);
}

TEST_F(DXInterop, DrawingIntoUnlockedOrReadOnlyStorageIsReportedAsThirdPartyDebugOutput) {
  GLProc<PFNGLDEBUGMESSAGECALLBACKPROC>("glDebugMessageCallback")(CollectThirdParty, nullptr);
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  glEnable(GL_DEBUG_OUTPUT);
  GLuint name = Renderbuffer();
  HANDLE object = wglDXRegisterObjectNV(interop_, Texture(2, 2), name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, name);
  debug_messages.clear();
  glClear(GL_COLOR_BUFFER_BIT);
  ClearBlue(object);
  ASSERT_EQ(debug_messages.size(), 1u);
  EXPECT_EQ(debug_messages[0], "WGL_NV_DX_interop: glClear draws into framebuffer " + std::to_string(framebuffer_) +
                                   ", whose attachment 0x8CE0 is render buffer " + std::to_string(name) +
                                   ", registered with Direct3D and not locked");
  wglDXUnregisterObjectNV(interop_, object);

  object = wglDXRegisterObjectNV(interop_, Texture(2, 2), name, GL_RENDERBUFFER, WGL_ACCESS_READ_ONLY_NV);
  debug_messages.clear();
  ASSERT_TRUE(wglDXLockObjectsNV(interop_, 1, &object));
  glDrawArrays(GL_TRIANGLES, 0, 0);
  EXPECT_TRUE(wglDXUnlockObjectsNV(interop_, 1, &object));
  ASSERT_EQ(debug_messages.size(), 1u);
  EXPECT_NE(debug_messages[0].find("glDrawArrays draws into"), std::string::npos);
  EXPECT_NE(debug_messages[0].find("registered for reading only"), std::string::npos);
  glDisable(GL_DEBUG_OUTPUT);
}

void APIENTRY CollectEvery(GLenum, GLenum, GLuint, GLenum, GLsizei length, const GLchar *message, const void *user) {
  static_cast<std::vector<std::string> *>(const_cast<void *>(user))->emplace_back(message, (size_t)length);
}

// A registered render buffer's storage is attached as a texture; what OpenGL says about the call
// names the call the program made, as a driver's message does. The program sees its own callback.
TEST_F(DXInterop, DebugOutputNamesTheCallTheProgramMade) {
  std::vector<std::string> messages;
  GLProc<PFNGLDEBUGMESSAGECALLBACKPROC>("glDebugMessageCallback")(CollectEvery, &messages);
  void *callback = nullptr, *user = nullptr;
  glGetPointerv(GL_DEBUG_CALLBACK_FUNCTION, &callback);
  glGetPointerv(GL_DEBUG_CALLBACK_USER_PARAM, &user);
  EXPECT_EQ(callback, reinterpret_cast<void *>(&CollectEvery));
  EXPECT_EQ(user, &messages);
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  glEnable(GL_DEBUG_OUTPUT);
  GLuint name = Renderbuffer();
  HANDLE object = wglDXRegisterObjectNV(interop_, Texture(2, 2), name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  bind_framebuffer(GL_FRAMEBUFFER, 0);
  messages.clear();
  attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, name);
  EXPECT_EQ(glGetError(), (GLenum)GL_INVALID_OPERATION);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("GL_INVALID_OPERATION in glFramebufferRenderbuffer("), std::string::npos) << messages[0];
  EXPECT_EQ(messages[0].find("Texture"), std::string::npos) << messages[0];
  glDisable(GL_DEBUG_OUTPUT);
  EXPECT_TRUE(wglDXUnregisterObjectNV(interop_, object));
}

// Mesa calls the debug callback synchronously from inside the call that raises a message, the
// platform's own calls included; a callback that calls OpenGL again must find no lock held.
// A deadlock here shows as the test's timeout.
TEST_F(DXInterop, ADebugCallbackThatCallsOpenGLRunsInsideEveryCallThatRaisesAMessage) {
  Reentry reentry = {interop_, wglDXLockObjectsNV, GLProc<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers"),
                     GLProc<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers")};
  GLProc<PFNGLDEBUGMESSAGECALLBACKPROC>("glDebugMessageCallback")(CallBackIntoThePlatform, &reentry);
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  glEnable(GL_DEBUG_OUTPUT);
  auto expect_message = [&](const char *call, auto body) {
    int before = reentry.messages;
    body();
    EXPECT_GT(reentry.messages, before) << call;
    while (glGetError() != GL_NO_ERROR) {
    }
  };
  expect_message("glFramebufferRenderbuffer", [&] {
    attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, 0xBAD);
  });
  expect_message("glFramebufferTexture2D", [&] { attach_texture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0xBAD, 0); });
  // Registration probes the name by binding it, which raises for a cube map.
  GLuint cube = 0;
  glGenTextures(1, &cube);
  glBindTexture(kTextureCubeMap, cube);
  expect_message("wglDXRegisterObjectNV", [&] {
    EXPECT_EQ(wglDXRegisterObjectNV(interop_, Texture(2, 2), cube, GL_TEXTURE_2D, WGL_ACCESS_READ_WRITE_NV), nullptr);
  });
  GLuint name = Renderbuffer();
  HANDLE object = wglDXRegisterObjectNV(interop_, Texture(2, 2), name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  attach_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, name);
  expect_message("glClear", [&] { glClear(GL_COLOR_BUFFER_BIT); });
  expect_message("glDrawArrays", [&] { glDrawArrays(GL_TRIANGLES, 0, 0); });
  EXPECT_TRUE(wglDXUnregisterObjectNV(interop_, object));
  glDisable(GL_DEBUG_OUTPUT);
  EXPECT_FALSE(reentry.inside);
}

TEST_F(DXInterop, EveryEntryPointHonoursInjectedFailuresAndTraces) {
  ID3D11Texture2D *texture = Texture(1, 1);
  GLuint name = Renderbuffer();
  HANDLE object = wglDXRegisterObjectNV(interop_, texture, name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV);
  auto expect_failure = [](auto result, DWORD error) {
    EXPECT_FALSE(result);
    EXPECT_EQ(GetLastError(), error);
  };
  std::string trace;
  {
    ScopedKnobs knobs({{"INTERLOCK_FAIL",
                        "wglDXOpenDeviceNV,wglDXCloseDeviceNV,wglDXRegisterObjectNV,wglDXUnregisterObjectNV,"
                        "wglDXSetResourceShareHandleNV,wglDXLockObjectsNV=5,wglDXUnlockObjectsNV"},
                       {"INTERLOCK_TRACE", "1"}});
    testing::internal::CaptureStderr();
    expect_failure(wglDXOpenDeviceNV(device_), ERROR_GEN_FAILURE);
    expect_failure(wglDXRegisterObjectNV(interop_, texture, name, GL_RENDERBUFFER, WGL_ACCESS_READ_WRITE_NV),
                   ERROR_GEN_FAILURE);
    expect_failure(wglDXSetResourceShareHandleNV(texture, nullptr), ERROR_GEN_FAILURE);
    expect_failure(wglDXLockObjectsNV(interop_, 1, &object), 5u);
    expect_failure(wglDXUnlockObjectsNV(interop_, 1, &object), ERROR_GEN_FAILURE);
    expect_failure(wglDXUnregisterObjectNV(interop_, object), ERROR_GEN_FAILURE);
    expect_failure(wglDXCloseDeviceNV(interop_), ERROR_GEN_FAILURE);
    trace = testing::internal::GetCapturedStderr();
  }
  for (const char *call : {"wglDXOpenDeviceNV(", "wglDXRegisterObjectNV(", "wglDXSetResourceShareHandleNV(",
                           "wglDXLockObjectsNV(", "wglDXUnlockObjectsNV(", "wglDXUnregisterObjectNV(",
                           "wglDXCloseDeviceNV("}) {
    EXPECT_NE(trace.find("interlock: trace: " + std::string(call)), std::string::npos) << call;
  }
  // Nothing changed: the object is still registered and unlocked.
  EXPECT_TRUE(wglDXLockObjectsNV(interop_, 1, &object));
  EXPECT_TRUE(wglDXUnlockObjectsNV(interop_, 1, &object));
}

}  // namespace
