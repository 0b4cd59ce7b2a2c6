// DirectComposition targets: the root visual of a window's client area. After a commit, every
// presentation of the swap chain the root visual shows goes to the display as the window's
// frame: its premultiplied pixels composed over the black window background (colour plus
// (1 - alpha) times black: the colour channels, opaque; a chain whose alpha is ignored shows the
// same), and, with INTERLOCK_CAPTURE, to a PNG file. Where the display offers the window's own
// pixels, the device writes the frame straight into them: the colour channels are all a window
// over black shows, so nothing is left to compose.
#include <mutex>
#include <set>
#include <utility>

#include "common/log.h"
#include "common/platform_state.h"
#include "composition_objects.h"
#include "dcomp_iids.h"
#include "display/display.h"

namespace ilk::dcomp {
namespace {

// The windows and layers (topmost or not) that have a target.
struct ComposedLayers {
  std::mutex mutex;
  std::set<std::pair<HWND, bool>> layers;
};

PlatformState<ComposedLayers> composed;

}  // namespace

bool Target::Composes(HWND window, bool topmost) {
  ComposedLayers &state = composed.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.layers.count({window, topmost}) != 0;
}

Target::Target(CompositionDevice *device, HWND window, bool topmost)
    : ComObject(ObjectApi::DComp, "IDCompositionTarget"), device_(device), window_(window), topmost_(topmost) {
  device_->AddRefInternal();
  ComposedLayers &state = composed.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.layers.insert({window_, topmost_});
}

Target::~Target() {
  {
    ComposedLayers &state = composed.Get();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.layers.erase({window_, topmost_});
  }
  SetShown(nullptr);
  if (root_) root_->ReleaseInternal();
  if (committed_root_) committed_root_->ReleaseInternal();
  device_->Forget(this);
  device_->ReleaseInternal();
}

HRESULT Target::SetRoot(IDCompositionVisual *visual) {
  HRESULT hr = S_OK;
  Visual *root = PlatformObject<Visual>(visual);
  if (std::optional<uint32_t> code = Fail("SetRoot", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (visual && !root) {
    hr = E_INVALIDARG;
  } else {
    if (root) root->AddRefInternal();
    if (root_) root_->ReleaseInternal();
    root_ = root;
  }
  Trace("IDCompositionTarget::SetRoot(%p, %p) = 0x%08x", Address(), (void *)visual, (unsigned)hr);
  return hr;
}

void Target::CommitRoot() {
  if (root_) root_->AddRefInternal();
  if (committed_root_) committed_root_->ReleaseInternal();
  committed_root_ = root_;
  SetShown(committed_root_ ? committed_root_->CommittedContent() : nullptr);
}

void Target::SetShown(IUnknown *swap_chain) {
  if (shown_ == swap_chain) return;
  if (shown_) {
    dxgi::DetachPresentationSink(shown_, this);
    dxgi::HoldSwapChain(shown_, false);
  }
  shown_ = swap_chain;
  if (shown_) {
    dxgi::HoldSwapChain(shown_, true);
    dxgi::AttachPresentationSink(shown_, this);
  }
}

void Target::Show(const dxgi::PresentedImage &image) {
  // A window that is gone shows nothing, and nothing is captured for it.
  display::PresentFrame(display::SurfaceOf(window_), (int)image.width, (int)image.height, image.rgba, image.row_pitch);
}

namespace {

display::DeviceFrameLayout DisplayLayout(UINT width, UINT height, const d3d11::HostImageLayout &layout) {
  return {(int)width, (int)height, layout.row_pitch, layout.size, layout.alignment};
}

}  // namespace

dxgi::WindowPixels Target::PixelsToWrite(UINT width, UINT height, const d3d11::HostImageLayout &layout) {
  std::shared_ptr<display::PixelMemory> memory =
      display::DeviceFrameMemory(display::SurfaceOf(window_), DisplayLayout(width, height, layout));
  if (!memory) return {};
  return {memory->Bytes(), std::move(memory)};
}

void Target::ShowWritten(const dxgi::WindowPixels &pixels, UINT width, UINT height,
                         const d3d11::HostImageLayout &layout) {
  // The owner is the display's memory that PixelsToWrite handed out.
  const auto *memory = static_cast<const display::PixelMemory *>(pixels.owner.get());
  display::PresentDeviceFrame(display::SurfaceOf(window_), *memory, DisplayLayout(width, height, layout));
}

}  // namespace ilk::dcomp
