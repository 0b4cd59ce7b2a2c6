// How a composition swap chain's presented buffers reach the screen: DirectComposition
// attaches the target whose committed tree shows the swap chain, and each Present1 hands it
// the presented buffer.
#pragma once

#include <dxgi1_3.h>

#include <stdint.h>

#include <vector>

#include "common/knobs.h"

namespace ilk::dxgi {

// One presented buffer: B, G, R, A bytes, rows top first, packed.
struct PresentedImage {
  UINT width = 0;
  UINT height = 0;
  std::vector<uint8_t> bgra;
};

class PresentationSink {
 public:
  virtual void Show(const PresentedImage &image) = 0;

 protected:
  ~PresentationSink() = default;
};

// True when `content` is a composition swap chain of this platform.
INTERLOCK_EXPORT bool IsCompositionSwapChain(IUnknown *content);
// Holds or lets go of a swap chain on behalf of a visual whose content it is (its IntRef).
INTERLOCK_EXPORT void HoldSwapChain(IUnknown *swap_chain, bool hold);
// Sends the swap chain's presentations to `sink` from now on, in place of any earlier sink.
INTERLOCK_EXPORT void AttachPresentationSink(IUnknown *swap_chain, PresentationSink *sink);
// Stops sending to `sink`, if the swap chain sends to it.
INTERLOCK_EXPORT void DetachPresentationSink(IUnknown *swap_chain, PresentationSink *sink);

}  // namespace ilk::dxgi
