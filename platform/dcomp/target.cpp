// DirectComposition targets: the root visual of a window's client area. After a commit, every
// presentation of the swap chain the root visual shows goes to the display as the window's
// frame: its premultiplied pixels composed over the black window background (colour plus
// (1 - alpha) times black: the colour channels, opaque; a chain whose alpha is ignored shows the
// same), and, with INTERLOCK_CAPTURE, to a PNG file.
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
  display::PresentFrame(display::SurfaceOf(window_), (int)image.width, (int)image.height, image.rgba);
}

}  // namespace ilk::dcomp
