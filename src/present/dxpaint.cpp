// dxpaint: one frame, drawn by OpenGL into the shared texture and presented by Direct3D.
#include "present/frame.h"

namespace interlock {

void dxpaint(window_renderer *wr) {
  if (!wr->colorBufferView) return;  // no render targets: nothing can be painted
}

}  // namespace interlock
