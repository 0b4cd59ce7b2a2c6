// The window procedure of the class "window", shared by both windows.
#pragma once

#include <windows.h>

namespace interlock {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace interlock
