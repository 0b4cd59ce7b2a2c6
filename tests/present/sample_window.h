// Windows of the program's class "window", run by its WindowProc, with their records, for
// driving the window procedure through the real window manager.
#pragma once

#include <windows.h>

#include <string>

#include "renderer/window_renderer.h"

namespace interlock {

// Registers the class once, as start-up does, and creates a window on `wr` with the style the
// run options ask for (decorated or borderless, visible).
HWND OpenSampleWindow(window_renderer *wr, int x, int y, int width, int height);

// Removes every waiting message, dispatching each.
void DispatchWaitingMessages();

// The outer rectangle of a window.
RECT OuterRect(HWND window);

// How printf writes a pointer, as the trace lines show it.
std::string PointerText(const void *pointer);

}  // namespace interlock
