// The program's side of the benchmark: its own Create, Resize and dxpaint on its platform.
#pragma once

#include "frame_protocol.h"

namespace bench {

// Runs the frame measurement on the program's window record wr1 (headless or X11, as the
// platform's knobs say). Returns the process exit status.
int MeasureProgram(bool quick, FILE *report);

}  // namespace bench
