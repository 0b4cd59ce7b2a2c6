// How a composition swap chain's presented buffers reach the screen: DirectComposition
// attaches the target whose committed tree shows the swap chain, and each Present1 hands it
// the presented buffer.
#pragma once

#include <dxgi1_3.h>

#include <stdint.h>

#include "common/knobs.h"

namespace ilk::dxgi {

// One presented buffer as the GPU holds it: rows top first, packed, the bytes R, G, B, A of
// each pixel (the colours of a B8G8R8A8_UNORM and an R8G8B8A8_UNORM buffer alike). The pixels
// belong to the swap chain and stay valid only during PresentationSink::Show.
struct PresentedImage {
  UINT width = 0;
  UINT height = 0;
  const uint8_t *rgba = nullptr;
};

class PresentationSink {
 public:
  virtual void Show(const PresentedImage &image) = 0;

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
