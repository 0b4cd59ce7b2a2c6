// Painting one frame of a window.
#pragma once

#include "renderer/window_renderer.h"

namespace interlock {

// Renders and presents one frame when the record has render targets; sets quitting after it.
void dxpaint(window_renderer *wr);

}  // namespace interlock
