// Start-up, the two windows and shutdown.
#pragma once

#include <windows.h>

#include "renderer/window_renderer.h"

namespace interlock {

// Registers the class "window" with WindowProc.
void RegisterWindowClass(HINSTANCE module);

// Creates a window with its record as creation parameter, then builds and sizes the record.
void OpenWindow(HINSTANCE module, window_renderer *wr, const wchar_t *title, int x, int y);

// Closes the waitable objects, destroys both windows (tearing their records down), writes
// "end" and makes the live-object report.
void ShutDown();

// Everything wWinMain does; returns the exit status.
int Run(HINSTANCE module, PWSTR commandline);

}  // namespace interlock
