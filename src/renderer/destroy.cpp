// Destroy: the teardown of a window record.
#include "renderer/window_renderer.h"

namespace interlock {

void Destroy(window_renderer *wr) {
  SetBuilt(wr, false);
}

}  // namespace interlock
