// Resize on real windows, devices and the interop extension: the first and repeat calls, the
// targets' sizes, registrations and attachments, the options, the bound views, the sizes it
// clamps or Direct3D refuses, and every location text it reports.
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "d3d11/d3d11_internal.h"
#include "renderer/gl_functions.h"
#include "renderer/window_renderer.h"
#include "support/captured_run.h"

namespace interlock {
namespace {

struct Output {
  std::string out;  // standard output: the failure reports
  std::string err;  // the debugger channel, traces and platform lines

  int Count(const std::string &part) const {
    int count = 0;
    for (size_t at = err.find(part); at != std::string::npos; at = err.find(part, at + 1)) ++count;
    return count;
  }
  size_t At(const std::string &part) const { return err.find(part); }
};

struct Size {
  UINT width, height;
  bool operator==(const Size &other) const { return width == other.width && height == other.height; }
};

ID3D11Texture2D *TextureOf(ID3D11View *view) {
  ID3D11Resource *resource = nullptr;
  view->GetResource(&resource);
  ID3D11Texture2D *texture = nullptr;
  resource->QueryInterface(IID_ID3D11Texture2D, reinterpret_cast<void **>(&texture));
  resource->Release();
  texture->Release();  // the view keeps it alive
  return texture;
}

Size SizeOf(ID3D11View *view) {
  D3D11_TEXTURE2D_DESC desc;
  TextureOf(view)->GetDesc(&desc);
  return {desc.Width, desc.Height};
}

class ResizeTest : public testing::Test {
 protected:
  void SetUp() override {
    SetDefaultOptions();
    CreateDXGIFactory2 = ::CreateDXGIFactory2;
    DCompositionCreateDevice = ::DCompositionCreateDevice;
  }
  void TearDown() override {
    for (window_renderer *wr : {&wr1_, &wr2_}) {
      if (!wr->window) continue;
      if (wr->gl_context) Run([wr] { Destroy(wr); });
      DestroyWindow(wr->window);
    }
    SetDefaultOptions();
  }

  // Creates the record of a 120 by 90 window (its swap chain takes the client size).
  void Build(window_renderer *wr) {
    wr->window = CreateWindowExA(0, "STATIC", "Sample", WS_OVERLAPPEDWINDOW, 0, 0, 120, 90, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(Run([wr] { Create(wr); }).out.empty());
  }

  // Runs `body` under the emulated debugger with `fail` and the trace on.
  template <typename Body>
  Output Run(Body body, const char *fail = nullptr) {
    CapturedOutput output = RunUnderDebugger(body, {{"INTERLOCK_FAIL", fail}, {"INTERLOCK_TRACE", "1"}});
    return Output{output.out, output.err};
  }

  Output RunResize(window_renderer *wr, DWORD width, DWORD height, const char *fail = nullptr) {
    return Run([=] { Resize(wr, width, height); }, fail);
  }

  static Size SwapChainSize(window_renderer *wr) {
    DXGI_SWAP_CHAIN_DESC1 desc = {};
    wr->swapChain1->GetDesc1(&desc);
    return {desc.Width, desc.Height};
  }

  // The window's block of OpenGL work, as a frame has it, around `body`.
  template <typename Body>
  void WithContext(window_renderer *wr, Body body) {
    HDC dc = GetDC(wr->window);
    ASSERT_TRUE(wglMakeCurrent(dc, wr->gl_context));
    body();
    wglMakeCurrent(dc, NULL);
    ReleaseDC(wr->window, dc);
  }

  // Clears fbuf to red inside the interop lock and reads the colour texture back.
  std::vector<uint8_t> ClearRedAndRead(window_renderer *wr) {
    WithContext(wr, [wr] {
      GLint binding = -1, viewport[4] = {};
      glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
      EXPECT_EQ(binding, 0);
      glGetIntegerv(GL_VIEWPORT, viewport);
      Size size = SizeOf(wr->colorBufferView);
      EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4),
                (std::vector<GLint>{0, 0, (GLint)size.width, (GLint)size.height}));
      HANDLE objects[2] = {wr->dxColor, wr->dxDepthStencil};
      EXPECT_TRUE(wglDXLockObjectsNV(wr->dxDevice, 2, objects));
      glBindFramebuffer(GL_FRAMEBUFFER, wr->fbuf);
      EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), (GLenum)GL_FRAMEBUFFER_COMPLETE);
      glClearColor(1, 0, 0, 1);
      glClear(GL_COLOR_BUFFER_BIT);
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      EXPECT_TRUE(wglDXUnlockObjectsNV(wr->dxDevice, 2, objects));
    });
    std::vector<uint8_t> texels;
    EXPECT_TRUE(ilk::d3d11::ReadTexture(TextureOf(wr->colorBufferView), &texels));
    return texels;
  }

  static void ExpectRed(const std::vector<uint8_t> &texels, Size size) {
    ASSERT_EQ(texels.size(), (size_t)size.width * size.height * 4);
    for (size_t i = 0; i < texels.size(); i += 4) {
      ASSERT_EQ(std::vector<uint8_t>(texels.begin() + i, texels.begin() + i + 4),
                (std::vector<uint8_t>{0, 0, 255, 255}));
    }
  }

  window_renderer wr1_ = {};
  window_renderer wr2_ = {};
};

TEST_F(ResizeTest, FirstCallMakesRegisteredAttachedTargetsOfTheSizeGivenAndTakesNothingApart) {
  for (RenderTargetKind kind : {RENDER_BUFFER, RENDER_TEXTURE}) {
    SCOPED_TRACE(kind);
    render_kind = kind;
    Build(&wr1_);
    Size created = SwapChainSize(&wr1_);
    Output output = RunResize(&wr1_, 6, 4);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.Count("wglDXUnregisterObjectNV("), 0);
    EXPECT_EQ(output.Count("ResizeBuffers("), 0);
    EXPECT_EQ(output.Count(kind == RENDER_BUFFER ? ", 0x8D41, 1) = " : ", 0x0DE1, 1) = "), 2);
    EXPECT_LT(wr1_.dxDepthStencil, wr1_.dxColor);  // registered first; the extension's handles count upwards
    EXPECT_EQ(SizeOf(wr1_.colorBufferView), (Size{6, 4}));
    EXPECT_EQ(SizeOf(wr1_.depthBufferView), (Size{6, 4}));
    EXPECT_EQ(SwapChainSize(&wr1_), created);
    EXPECT_EQ(wr1_.draw_dc, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    ExpectRed(ClearRedAndRead(&wr1_), {6, 4});
    Run([this] { Destroy(&wr1_); });
    DestroyWindow(wr1_.window);
    wr1_ = {};
  }
}

TEST_F(ResizeTest, ARepeatCallWithTheSameSizeTakesTheSetApartAndMakesEverythingAgain) {
  Build(&wr1_);
  RunResize(&wr1_, 5, 3);
  HANDLE color = wr1_.dxColor, depth = wr1_.dxDepthStencil;
  Output output = RunResize(&wr1_, 5, 3);
  EXPECT_EQ(output.out, "");
  char unregister_color[64], unregister_depth[64];
  snprintf(unregister_color, sizeof unregister_color, "wglDXUnregisterObjectNV(%p, %p) = 1", wr1_.dxDevice, color);
  snprintf(unregister_depth, sizeof unregister_depth, "wglDXUnregisterObjectNV(%p, %p) = 1", wr1_.dxDevice, depth);
  EXPECT_LT(output.At(unregister_color), output.At(unregister_depth));
  EXPECT_LT(output.At(unregister_depth), output.At("ResizeBuffers("));
  EXPECT_LT(output.At("ResizeBuffers("), output.At("CreateTexture2D("));
  EXPECT_EQ(output.Count("CreateTexture2D("), 2);
  EXPECT_NE(wr1_.dxColor, color);  // handles are never reused
  EXPECT_NE(wr1_.dxDepthStencil, depth);
  EXPECT_EQ(SwapChainSize(&wr1_), (Size{5, 3}));
  ExpectRed(ClearRedAndRead(&wr1_), {5, 3});  // the same names now reach the new textures
}

TEST_F(ResizeTest, SharedHandlesOnlyWithShareObjectsAndStorageOnlyForRenderBuffersWithAllocation) {
  share_objects = TRUE;
  allocate_renderbuffers_storage = TRUE;
  bind_renderbuffers = TRUE;  // the storage calls need render-buffer objects, not bare names
  Build(&wr1_);
  Output output = RunResize(&wr1_, 4, 4);
  EXPECT_EQ(output.out, "");
  EXPECT_EQ(output.Count("GetSharedHandle("), 2);
  EXPECT_EQ(output.Count("wglDXSetResourceShareHandleNV("), 2);
  EXPECT_EQ(output.Count("trace: glNamedRenderbufferStorage"), 2);
  EXPECT_LT(output.At("trace: glNamedRenderbufferStorage"), output.At("wglDXRegisterObjectNV("));
  EXPECT_LT(output.At("wglDXSetResourceShareHandleNV("), output.At("trace: glNamedRenderbufferStorage"));

  share_objects = FALSE;
  render_kind = RENDER_TEXTURE;
  Build(&wr2_);
  output = RunResize(&wr2_, 4, 4);
  EXPECT_EQ(output.Count("GetSharedHandle("), 0);
  EXPECT_EQ(output.Count("wglDXSetResourceShareHandleNV("), 0);
  EXPECT_EQ(output.Count("glNamedRenderbufferStorage"), 0);
}

TEST_F(ResizeTest, TheImmediateContextHoldsTheViewsOfTheWindowResizedLast) {
  Build(&wr1_);
  Build(&wr2_);
  auto expect_bound = [this](window_renderer *wr) {
    ID3D11RenderTargetView *color = nullptr;
    ID3D11DepthStencilView *depth = nullptr;
    wr1_.immediate_ctx->OMGetRenderTargets(1, &color, &depth);
    EXPECT_EQ(color, wr->colorBufferView);
    EXPECT_EQ(depth, wr->depthBufferView);
    if (color) color->Release();
    if (depth) depth->Release();
  };
  RunResize(&wr1_, 3, 3);
  RunResize(&wr2_, 4, 4);
  expect_bound(&wr2_);
  RunResize(&wr1_, 2, 2);
  expect_bound(&wr1_);
}

TEST_F(ResizeTest, SidesOfZeroOrLessBecomeOneAndSidesPastTheLimitAreRefusedAndReported) {
  Build(&wr1_);
  EXPECT_EQ(RunResize(&wr1_, 0, (DWORD)-20).out, "");
  EXPECT_EQ(SizeOf(wr1_.colorBufferView), (Size{1, 1}));
  RunResize(&wr1_, 16384, 1);
  EXPECT_EQ(SizeOf(wr1_.colorBufferView), (Size{16384, 1}));
  for (DWORD side : {16385u, 0x7FFFFFFFu}) {
    SCOPED_TRACE(side);
    RunResize(&wr1_, 3, 3);
    // The old set is taken apart and everything asked for at the size given: DXGI and Direct3D
    // refuse the swap chain's buffers, both textures and both views, the extension both
    // registrations without a texture.
    Output output = RunResize(&wr1_, side, 2);
    EXPECT_EQ(output.Count("wglDXUnregisterObjectNV("), 2);
    EXPECT_EQ(output.Count("ResizeBuffers("), 1);
    EXPECT_EQ(output.Count("CreateTexture2D("), 2);
    EXPECT_EQ(output.Count("debugger break"), 7);
    EXPECT_EQ(output.out,
              "Assertion failure: wglDXRegisterObjectNV for depth buffer @1155 (GLE 110)\n"
              "Assertion failure: wglDXRegisterObjectNV for color buffer @1158 (GLE 110)\n");
    EXPECT_EQ(wr1_.colorBufferView, nullptr);
    EXPECT_EQ(wr1_.depthBufferView, nullptr);
    EXPECT_EQ(SwapChainSize(&wr1_), (Size{3, 3}));
  }
}

// Each checked call that reports with GetLastError, failing, and each drain with an error.
TEST_F(ResizeTest, LastErrorChecksAndDrainsReportTheirLocations) {
  share_objects = TRUE;
  allocate_renderbuffers_storage = TRUE;
  bind_renderbuffers = TRUE;
  Build(&wr1_);
  RunResize(&wr1_, 2, 2);
  Output output = RunResize(&wr1_, 2, 2,
                            "wglDXUnregisterObjectNV,wglDXSetResourceShareHandleNV,wglDXRegisterObjectNV,"
                            "glNamedRenderbufferStorage,glViewport,glBindFramebuffer,glFramebufferRenderbuffer");
  EXPECT_EQ(output.out,
            "Assertion failure: wglDXUnregisterObjectNV for color buffer @1029 (GLE 31)\n"
            "Assertion failure: wglDXUnregisterObjectNV for depth buffer @1030 (GLE 31)\n"
            "Assertion failure: wglDXSetResourceShareHandleNV for color @1127 (GLE 31)\n"
            "Assertion failure: wglDXSetResourceShareHandleNV for depth @1138 (GLE 31)\n"
            "Assertion failure: wglDXRegisterObjectNV for depth buffer @1155 (GLE 31)\n"
            "Assertion failure: wglDXRegisterObjectNV for color buffer @1158 (GLE 31)\n");
  const char *drains[] = {"glNamedRenderbufferStorage @1149", "glNamedRenderbufferStorage @1151",
                          "glViewport @1174",                 "glBindFramebuffer @1177",
                          "glFramebufferRenderbuffer @1183",  "glFramebufferRenderbuffer @1185",
                          "glFramebufferRenderbuffer @1187",  "glBindFramebuffer @1202"};
  size_t previous = 0;
  for (const char *drain : drains) {
    size_t at = output.At(std::string("GL error 1282 in ") + drain + "\n");
    EXPECT_NE(at, std::string::npos) << drain;
    EXPECT_GT(at, previous) << drain;
    previous = at;
  }
  EXPECT_EQ(output.Count("GL error"), 8);
  // Failed registrations leave the fields null; the next call has nothing of them to unregister.
  EXPECT_EQ(wr1_.dxColor, nullptr);
  EXPECT_EQ(wr1_.dxDepthStencil, nullptr);

  render_kind = RENDER_TEXTURE;
  Build(&wr2_);
  output = RunResize(&wr2_, 2, 2, "wglDXRegisterObjectNV,glFramebufferTexture2D");
  EXPECT_EQ(output.out,
            "Assertion failure: wglDXRegisterObjectNV for depth texture @1163 (GLE 31)\n"
            "Assertion failure: wglDXRegisterObjectNV for color texture @1166 (GLE 31)\n");
  EXPECT_LT(output.At("GL error 1282 in glFramebufferTexture2D @1191\n"),
            output.At("GL error 1282 in glFramebufferTexture2D @1194\n"));
  EXPECT_LT(output.At("GL error 1282 in glFramebufferTexture2D @1194\n"),
            output.At("GL error 1282 in glFramebufferTexture2D @1196\n"));
}

// A step whose input a failed step left missing is still made when that input is only an
// argument: the callee refuses it and the refusal is reported. Only methods of a missing
// object are skipped.
TEST_F(ResizeTest, StepsGivenAMissingObjectAreMadeAndTheirFailuresReported) {
  share_objects = TRUE;
  Build(&wr1_);
  Output output = RunResize(&wr1_, 3, 3, "CreateTexture2D,GetSharedHandle");
  EXPECT_EQ(output.out,
            "Assertion failure: wglDXSetResourceShareHandleNV for color @1127 (GLE 13)\n"
            "Assertion failure: wglDXSetResourceShareHandleNV for depth @1138 (GLE 13)\n"
            "Assertion failure: wglDXRegisterObjectNV for depth buffer @1155 (GLE 110)\n"
            "Assertion failure: wglDXRegisterObjectNV for color buffer @1158 (GLE 110)\n");
  // Two texture and two view creations, each refused and trapped; the four reports above.
  EXPECT_EQ(output.Count("debugger break"), 8);
  EXPECT_EQ(output.Count("CreateDepthStencilView(0000000000000000) = 0x80070057"), 1);
  EXPECT_EQ(output.Count("CreateRenderTargetView(0000000000000000) = 0x80070057"), 1);
  EXPECT_EQ(output.Count("QueryInterface"), 0);  // a method of a missing texture

  output = RunResize(&wr1_, 3, 3, "CreateRenderTargetView");
  EXPECT_EQ(wr1_.colorBufferView, nullptr);
  ASSERT_NE(wr1_.dxColor, nullptr);
  // A set without its colour view is still taken apart, and the swap chain still resized.
  output = RunResize(&wr1_, 4, 2);
  EXPECT_EQ(output.out, "");
  EXPECT_EQ(output.Count("wglDXUnregisterObjectNV("), 2);
  EXPECT_EQ(SwapChainSize(&wr1_), (Size{4, 2}));
  ExpectRed(ClearRedAndRead(&wr1_), {4, 2});

  // Without an interop device (Create reported its failure) both registrations are refused.
  HANDLE device = wr1_.dxDevice;
  wr1_.dxDevice = NULL;
  output = RunResize(&wr1_, 4, 2);
  wr1_.dxDevice = device;
  EXPECT_EQ(output.out,
            "Assertion failure: wglDXUnregisterObjectNV for color buffer @1029 (GLE 6)\n"
            "Assertion failure: wglDXUnregisterObjectNV for depth buffer @1030 (GLE 6)\n"
            "Assertion failure: wglDXRegisterObjectNV for depth buffer @1155 (GLE 6)\n"
            "Assertion failure: wglDXRegisterObjectNV for color buffer @1158 (GLE 6)\n");
  EXPECT_EQ(wr1_.dxColor, nullptr);
}

// Each texture's handle is cleared before its query: after a failed query the extension is
// handed no handle (and refuses it), never the other texture's.
TEST_F(ResizeTest, AFailedSharedHandleQueryHandsOverNoHandle) {
  share_objects = TRUE;
  Build(&wr1_);
  for (const char *fail : {"GetSharedHandle#1", "GetSharedHandle#2", "ID3D11Texture2D::QueryInterface#2"}) {
    SCOPED_TRACE(fail);
    Output output = RunResize(&wr1_, 3, 3, fail);
    bool color = std::string(fail) == "GetSharedHandle#1";
    EXPECT_EQ(output.out, color ? "Assertion failure: wglDXSetResourceShareHandleNV for color @1127 (GLE 13)\n"
                                : "Assertion failure: wglDXSetResourceShareHandleNV for depth @1138 (GLE 13)\n");
    EXPECT_EQ(output.Count("wglDXSetResourceShareHandleNV("), 2);
    EXPECT_EQ(output.Count(", 0000000000000000) = 0"), 1);  // the handle the refused call was given
    EXPECT_NE(wr1_.dxColor, nullptr);  // registration does not need the handle
  }
}

// Checks of HRESULTs name their location only in the report box, shown when no debugger is
// attached; the trap then ends the process with status 3.
TEST_F(ResizeTest, HResultChecksReportTheirLocations) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Location {
    const char *fail;
    const char *text;
  };
  const Location locations[] = {
      {"ResizeBuffers", "IDXGISwapChain1_ResizeBuffers @1037"},
      {"CreateTexture2D#1", "ID3D11Device_CreateTexture2D for depth @1062"},
      {"CreateDepthStencilView", "ID3D11Device_CreateDepthStencilView for depth @1075"},
      {"CreateTexture2D#2", "ID3D11Device_CreateTexture2D for color @1099"},
      {"CreateRenderTargetView", "ID3D11Device_CreateRenderTargetView for color @1110"},
      {"ID3D11Texture2D::QueryInterface#1", "ID3D11Texture2D_QueryInterface \\(IID_IDXGIResource\\) for color @1121"},
      {"GetSharedHandle#1", "IDXGIResource_GetSharedHandle for color @1124"},
      {"ID3D11Texture2D::QueryInterface#2", "ID3D11Texture2D_QueryInterface \\(IID_IDXGIResource\\) for depth @1132"},
      {"GetSharedHandle#2", "IDXGIResource_GetSharedHandle for depth @1135"},
  };
  share_objects = TRUE;
  Build(&wr1_);
  RunResize(&wr1_, 2, 2);
  for (const Location &location : locations) {
    EXPECT_EXIT(
        {
          std::string rule = std::string(location.fail) + "=0x80004005";
          ScopedKnobs knobs({{"INTERLOCK_FAIL", rule.c_str()}, {"INTERLOCK_MSGBOX", "console"}});
          Resize(&wr1_, 2, 2);
        },
        testing::ExitedWithCode(3), std::string(location.text) + " \\(HRESULT 0x80004005\\)");
  }
}

}  // namespace
}  // namespace interlock
