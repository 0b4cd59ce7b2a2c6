// Resize: the size-dependent render targets and their interop registration.
#include "renderer/window_renderer.h"

namespace interlock {

void Resize(window_renderer *, DWORD, DWORD) {
  // Built with the interop platform.
}

}  // namespace interlock
