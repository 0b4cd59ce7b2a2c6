// How a composition swap chain's presented buffers reach the screen: DirectComposition
// attaches the target whose committed tree shows the swap chain, and each Present1 hands it
// the presented buffer: written by the device straight into the window's pixels where the
// window offers them, else read back for the window to take.
#pragma once

#include <dxgi1_3.h>

#include <stdint.h>

#include <memory>

#include "common/knobs.h"
#include "d3d11/d3d11_internal.h"

namespace ilk::dxgi {

// One presented buffer as the GPU holds it: rows top first, `row_pitch` apart, the bytes R, G, B, A of
// each pixel (the colours of a B8G8R8A8_UNORM and an R8G8B8A8_UNORM buffer alike). The pixels
// belong to the swap chain and stay valid only during PresentationSink::Show.
struct PresentedImage {
  UINT width = 0;
  UINT height = 0;
  const uint8_t *rgba = nullptr;
  size_t row_pitch = 0;  // bytes from one row to the next
};

// The window's own pixels, which the device may write a presented buffer into.
struct WindowPixels {
  uint8_t *bytes = nullptr;           // null when there are none
  std::shared_ptr<const void> owner;  // keeps `bytes` valid while held
};

class PresentationSink {
 public:
  virtual void Show(const PresentedImage &image) = 0;
  // The window's pixels for a `width` x `height` frame that the device writes as `layout` says:
  // the same as last time while the layout stays, and no longer read by the window for the
  // previous frame. None when the window cannot show from such memory; the frame then goes to
  // Show.
  virtual WindowPixels PixelsToWrite(UINT width, UINT height, const d3d11::HostImageLayout &layout) = 0;
  // Shows the frame the device has written into `pixels` (from PixelsToWrite with this layout).
  virtual void ShowWritten(const WindowPixels &pixels, UINT width, UINT height, const d3d11::HostImageLayout &layout) = 0;

 protected:
  ~PresentationSink() = default;
};

// True when `content` is a composition swap chain of this platform. The calls below do nothing
// for anything else.
INTERLOCK_EXPORT bool IsCompositionSwapChain(IUnknown *content);
// Holds or lets go of a swap chain on behalf of a visual whose content it is (its IntRef).
INTERLOCK_EXPORT void HoldSwapChain(IUnknown *swap_chain, bool hold);
// Sends the swap chain's presentations to `sink` from now on, in place of any earlier sink.
INTERLOCK_EXPORT void AttachPresentationSink(IUnknown *swap_chain, PresentationSink *sink);
// Stops sending to `sink`, if the swap chain sends to it.
INTERLOCK_EXPORT void DetachPresentationSink(IUnknown *swap_chain, PresentationSink *sink);

}  // namespace ilk::dxgi
