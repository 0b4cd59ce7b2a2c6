// DirectComposition targets and visuals, and what a presentation shows: a known image copied
// into a swap chain's buffer and presented reaches the window (composed over black) and the
// INTERLOCK_CAPTURE file (as presented, alpha included, whichever thread presents); DwmFlush.
#include <dcomp.h>
#include <dwmapi.h>
#include <png.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "dcomp/dcomp_iids.h"
#include "platform/d3d11/direct3d_fixture.h"
#include "display/display.h"

namespace {

const UINT kWidth = 4, kHeight = 3;

// Distinct premultiplied pixels, B, G, R, A.
std::vector<uint8_t> KnownImage() {
  std::vector<uint8_t> bgra;
  for (UINT i = 0; i < kWidth * kHeight; ++i) {
    uint8_t alpha = i % 2 ? 0xFF : 0x66;
    for (uint8_t byte : {uint8_t(3 * i), uint8_t(0x20 + i), uint8_t(std::min<int>(0x40 + 2 * i, alpha)), alpha}) {
      bgra.push_back(byte);
    }
  }
  return bgra;
}

std::vector<uint8_t> ReadPng(const std::string &path, png_uint_32 *width, png_uint_32 *height) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return {};
  *width = image.width;
  *height = image.height;
  return rgba;
}

class PresentationTest : public Direct3DTest {
 protected:
  void SetUp() override {
    Direct3DTest::SetUp();
    window_ = CreateWindowExA(0, "STATIC", "Sample 1", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, NULL, NULL, NULL, NULL);
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(DCompositionCreateDevice(dxgi_device_, ilk::dcomp::IID_IDCompositionDevice, reinterpret_cast<void **>(&dcomp_)), S_OK);
  }
  void TearDown() override {
    if (dcomp_) dcomp_->Release();
    DestroyWindow(window_);
    Direct3DTest::TearDown();
  }

  // A swap chain shown in `window` through a committed target and visual.
  void Compose(HWND window, IDXGISwapChain1 *swap_chain, IDCompositionTarget **target) {
    IDCompositionVisual *visual = nullptr;
    ASSERT_EQ(dcomp_->CreateTargetForHwnd(window, TRUE, target), S_OK);
    ASSERT_EQ(dcomp_->CreateVisual(&visual), S_OK);
    ASSERT_EQ(visual->SetContent(swap_chain), S_OK);
    ASSERT_EQ((*target)->SetRoot(visual), S_OK);
    ASSERT_EQ(dcomp_->Commit(), S_OK);
    visual->Release();
  }

  // Copies the known image into buffer 0 and presents it.
  void PresentKnownImage(IDXGISwapChain1 *swap_chain) {
    std::vector<uint8_t> image = KnownImage();
    ID3D11Texture2D *source = ColorTexture(kWidth, kHeight, &image);
    ID3D11Texture2D *buffer = nullptr;
    ASSERT_EQ(swap_chain->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
    context_->CopyResource(buffer, source);
    DXGI_PRESENT_PARAMETERS pp = {};
    EXPECT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
    buffer->Release();
    source->Release();
  }

  HWND window_ = nullptr;
  IDCompositionDevice *dcomp_ = nullptr;
};

TEST_F(PresentationTest, PresentedImageReachesTheWindowComposedOverBlack) {
  IDXGISwapChain1 *swap_chain = SwapChain(kWidth, kHeight);
  IDCompositionTarget *target = nullptr;
  Compose(window_, swap_chain, &target);
  PresentKnownImage(swap_chain);
  EXPECT_EQ(DwmFlush(), S_OK);
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(window_), &shown));
  ASSERT_EQ(shown.width, (int)kWidth);
  ASSERT_EQ(shown.height, (int)kHeight);
  std::vector<uint8_t> expected = KnownImage();
  for (size_t i = 3; i < expected.size(); i += 4) expected[i] = 0xFF;  // premultiplied over black
  EXPECT_EQ(shown.bgra, expected);
  target->Release();
  EXPECT_EQ(swap_chain->Release(), 0u);
}

TEST_F(PresentationTest, AnR8G8B8A8ChainShowsTheColoursItHolds) {
  DXGI_SWAP_CHAIN_DESC1 desc = SwapChainDesc(kWidth, kHeight, 0);
  desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
  IDXGISwapChain1 *swap_chain = nullptr;
  ASSERT_EQ(factory_->CreateSwapChainForComposition(dxgi_device_, &desc, nullptr, &swap_chain), S_OK);
  IDCompositionTarget *target = nullptr;
  Compose(window_, swap_chain, &target);
  std::vector<uint8_t> rgba = KnownImage();  // the same colours in R, G, B, A order
  for (size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
  D3D11_TEXTURE2D_DESC source_desc = TextureDesc(kWidth, kHeight, DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_RENDER_TARGET);
  D3D11_SUBRESOURCE_DATA data = {rgba.data(), kWidth * 4, 0};
  ID3D11Texture2D *source = nullptr, *buffer = nullptr;
  ASSERT_EQ(device_->CreateTexture2D(&source_desc, &data, &source), S_OK);
  ASSERT_EQ(swap_chain->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
  context_->CopyResource(buffer, source);
  DXGI_PRESENT_PARAMETERS pp = {};
  EXPECT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(window_), &shown));
  std::vector<uint8_t> expected = KnownImage();
  for (size_t i = 3; i < expected.size(); i += 4) expected[i] = 0xFF;  // premultiplied over black
  EXPECT_EQ(shown.bgra, expected);
  buffer->Release();
  source->Release();
  target->Release();
  EXPECT_EQ(swap_chain->Release(), 0u);
}

TEST_F(PresentationTest, EveryPresentedBufferIsCapturedPerWindowWithItsAlpha) {
  std::string directory = testing::TempDir() + "capture-" + std::to_string(getpid());
  ScopedKnobs knobs({{"INTERLOCK_CAPTURE", directory.c_str()}});
  IDXGISwapChain1 *swap_chain = SwapChain(kWidth, kHeight);
  PresentKnownImage(swap_chain);  // not composed yet: nothing is shown or captured
  EXPECT_FALSE(std::filesystem::exists(directory));
  IDCompositionTarget *target = nullptr;
  Compose(window_, swap_chain, &target);
  PresentKnownImage(swap_chain);
  PresentKnownImage(swap_chain);
  // Another window numbers its frames from 1; its title becomes letters, digits and '_'.
  HWND other = CreateWindowExW(0, L"STATIC", L"x/y 2\u00e9", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, NULL, NULL,
                               NULL, NULL);
  IDXGISwapChain1 *other_chain = SwapChain(kWidth, kHeight);
  IDCompositionTarget *other_target = nullptr;
  Compose(other, other_chain, &other_target);
  // Presented, and so captured, from a thread other than the window's.
  std::thread([&] { PresentKnownImage(other_chain); }).join();

  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Sample_1-0001.png", "Sample_1-0002.png", "x_y_2_-0001.png"}));
  png_uint_32 width = 0, height = 0;
  std::vector<uint8_t> rgba = ReadPng(directory + "/Sample_1-0002.png", &width, &height);
  EXPECT_EQ(width, kWidth);
  EXPECT_EQ(height, kHeight);
  std::vector<uint8_t> expected = KnownImage();
  for (size_t i = 0; i < expected.size(); i += 4) std::swap(expected[i], expected[i + 2]);
  EXPECT_EQ(rgba, expected);
  for (IUnknown *object : std::initializer_list<IUnknown *>{target, swap_chain, other_target, other_chain}) {
    object->Release();
  }
  DestroyWindow(other);
  std::filesystem::remove_all(directory);
}

TEST_F(PresentationTest, NothingShowsBeforeTheCommit) {
  IDXGISwapChain1 *swap_chain = SwapChain(kWidth, kHeight);
  IDCompositionTarget *target = nullptr;
  IDCompositionVisual *visual = nullptr;
  ASSERT_EQ(dcomp_->CreateTargetForHwnd(window_, TRUE, &target), S_OK);
  ASSERT_EQ(dcomp_->CreateVisual(&visual), S_OK);
  ASSERT_EQ(visual->SetContent(swap_chain), S_OK);
  ASSERT_EQ(target->SetRoot(visual), S_OK);
  ilk::display::WindowImage before, after;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(window_), &before));
  PresentKnownImage(swap_chain);
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(window_), &after));
  EXPECT_EQ(after.bgra, before.bgra);
  // Once committed, the tree stays in force without the composition device and the visual.
  ASSERT_EQ(dcomp_->Commit(), S_OK);
  dcomp_->Release();
  dcomp_ = nullptr;
  visual->Release();
  PresentKnownImage(swap_chain);
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(window_), &after));
  EXPECT_NE(after.bgra, before.bgra);
  target->Release();
  EXPECT_EQ(swap_chain->Release(), 0u);
}

TEST_F(PresentationTest, TargetsAndContentsAreCheckedAsWindowsDoes) {
  IDCompositionTarget *target = nullptr, *second = nullptr;
  ASSERT_EQ(dcomp_->CreateTargetForHwnd(window_, TRUE, &target), S_OK);
  EXPECT_EQ(dcomp_->CreateTargetForHwnd(window_, TRUE, &second), (HRESULT)0x88980800);  // already composed
  EXPECT_EQ(dcomp_->CreateTargetForHwnd(window_, FALSE, &second), S_OK);                // the other layer
  second->Release();
  EXPECT_EQ(dcomp_->CreateTargetForHwnd(reinterpret_cast<HWND>(0x7777), TRUE, &second), E_INVALIDARG);
  IDCompositionVisual *visual = nullptr;
  ASSERT_EQ(dcomp_->CreateVisual(&visual), S_OK);
  ID3D11Texture2D *texture = ColorTexture(2, 2);
  EXPECT_EQ(visual->SetContent(texture), E_INVALIDARG);  // only swap chains are offered
  texture->Release();
  void *none = nullptr;
  EXPECT_EQ(DCompositionCreateDevice(nullptr, ilk::dcomp::IID_IDCompositionDevice, &none), E_INVALIDARG);
  EXPECT_EQ(DCompositionCreateDevice(dxgi_device_, ilk::dcomp::IID_IDCompositionVisual, &none), E_NOINTERFACE);
  visual->Release();
  target->Release();
  // The layer is free again once its target is gone.
  ASSERT_EQ(dcomp_->CreateTargetForHwnd(window_, TRUE, &target), S_OK);
  target->Release();
}

// Both ways a frame reaches a window: the device writes it straight into the window's own
// pixels (B, G, R from the buffer's R, G, B), or it is read back and composed by the CPU, as
// asked or because the device cannot import host memory. The window and the capture show the
// same either way; only the read-back costs passes of the CPU over the pixels.
struct PresentPath {
  const char *name;
  const char *present;  // INTERLOCK_PRESENT
  const char *hide;     // INTERLOCK_HIDE
  bool read_back;
};

class PresentationPathTest : public PresentationTest, public testing::WithParamInterface<PresentPath> {
 protected:
  bool ReadBack() const { return GetParam().read_back; }
  ScopedKnobs knobs_{{"INTERLOCK_PRESENT", GetParam().present}, {"INTERLOCK_HIDE", GetParam().hide}};
};

TEST_P(PresentationPathTest, FramesReachTheWindowAndTheCaptureAtEachSize) {
  std::string directory = testing::TempDir() + "capture-path-" + std::to_string(getpid());
  ScopedKnobs capture({{"INTERLOCK_CAPTURE", directory.c_str()}});
  IDXGISwapChain1 *swap_chain = SwapChain(kWidth, kHeight);
  IDCompositionTarget *target = nullptr;
  Compose(window_, swap_chain, &target);
  std::vector<uint8_t> opaque = KnownImage();
  for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 0xFF;  // premultiplied over black
  std::vector<uint8_t> captured = KnownImage();
  for (size_t i = 0; i < captured.size(); i += 4) std::swap(captured[i], captured[i + 2]);

  uint64_t passes = ilk::display::CpuPassesOverPresentedPixels();
  PresentKnownImage(swap_chain);
  PresentKnownImage(swap_chain);
  EXPECT_EQ(ilk::display::CpuPassesOverPresentedPixels() - passes, ReadBack() ? 2u : 0u);
  ilk::display::WindowImage shown;
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(window_), &shown));
  EXPECT_EQ(shown.bgra, opaque);
  png_uint_32 width = 0, height = 0;
  EXPECT_EQ(ReadPng(directory + "/Sample_1-0002.png", &width, &height), captured);

  // New buffers of another size: the window's pixels move to memory of that size, and the
  // import follows them.
  DXGI_SWAP_CHAIN_DESC1 desc = {};
  ASSERT_EQ(swap_chain->GetDesc1(&desc), S_OK);
  ASSERT_EQ(swap_chain->ResizeBuffers(0, 1, 2, DXGI_FORMAT_UNKNOWN, desc.Flags), S_OK);
  std::vector<uint8_t> pixel = {0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x80};
  ID3D11Texture2D *source = ColorTexture(1, 2, &pixel);
  ID3D11Texture2D *buffer = nullptr;
  ASSERT_EQ(swap_chain->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void **>(&buffer)), S_OK);
  context_->CopyResource(buffer, source);
  DXGI_PRESENT_PARAMETERS pp = {};
  EXPECT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  ASSERT_TRUE(ilk::display::ReadWindowImage(ilk::display::SurfaceOf(window_), &shown));
  EXPECT_EQ(std::vector<uint8_t>(shown.bgra.begin(), shown.bgra.begin() + 4), (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xFF}));
  EXPECT_EQ(std::vector<uint8_t>(shown.bgra.begin() + kWidth * 4, shown.bgra.begin() + kWidth * 4 + 4),
            (std::vector<uint8_t>{0x40, 0x50, 0x60, 0xFF}));
  EXPECT_EQ(ReadPng(directory + "/Sample_1-0003.png", &width, &height),
            (std::vector<uint8_t>{0x30, 0x20, 0x10, 0xFF, 0x60, 0x50, 0x40, 0x80}));
  buffer->Release();
  source->Release();

  // The window goes while the device still holds its pixels: presenting shows nothing, and the
  // memory lives until the swap chain lets go of it.
  DestroyWindow(window_);
  window_ = nullptr;
  EXPECT_EQ(swap_chain->Present1(0, 0, &pp), S_OK);
  target->Release();
  EXPECT_EQ(swap_chain->Release(), 0u);
  std::filesystem::remove_all(directory);
}

INSTANTIATE_TEST_SUITE_P(Device, PresentationPathTest,
                         testing::Values(PresentPath{"WrittenByTheDevice", "device", nullptr, false},
                                         PresentPath{"ReadBackAsAsked", "readback", nullptr, true},
                                         PresentPath{"ReadBackWithoutHostImport", "device",
                                                     "VK_EXT_external_memory_host", true}),
                         [](const testing::TestParamInfo<PresentPath> &info) { return info.param.name; });

}  // namespace
