// INTERLOCK_CAPTURE=DIR: every buffer presented to a window is written as an RGBA PNG
// DIR/<title>-<nnnn>.png, <title> being the window title (as the window manager holds it) with
// every character other than an ASCII letter or digit replaced by '_', <nnnn> the window's
// frame number from 0001; DIR is made when missing. The pixels
// are the swap chain buffer's as presented, alpha included (not composed over the background).
#pragma once

#include <windows.h>

#include "dxgi/dxgi_internal.h"

namespace ilk::dcomp {

// Writes `image` for `window` when capture is on; a file that cannot be written is reported
// on stderr and skipped.
void CaptureFrame(HWND window, const dxgi::PresentedImage &image);

}  // namespace ilk::dcomp
