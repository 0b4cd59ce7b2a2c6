// What the other DLLs of the platform use of gdi32: the colour of a brush (user32 paints class
// backgrounds), the device context every window owns (user32 makes and deletes it with the
// window), the pixel formats as EGL configs and as set on windows, and the device OpenGL runs on
// (opengl32). None of these calls is a call of the program: they are not traced, and
// INTERLOCK_FAIL does not apply to them. gdi32 calls no other stand-in DLL but kernel32, and d3d11
// to learn the device Direct3D runs on, to put OpenGL on it; it learns a DC's window from the DC
// itself.
#pragma once

#include <EGL/egl.h>
#include <windows.h>

#include <optional>
#include <string>

#include "common/knobs.h"

namespace ilk::d3d11 {
struct DeviceIdentity;  // d3d11_internal.h
}

namespace ilk::gdi32 {

struct SolidBrush {
  COLORREF color;  // 0x00BBGGRR
};

// The colour of a brush made by CreateSolidBrush; none for anything else.
INTERLOCK_EXPORT std::optional<COLORREF> BrushColor(HBRUSH brush);

// A new device context that belongs to `window` (every window owns one, as with CS_OWNDC).
INTERLOCK_EXPORT HDC CreateWindowDc(HWND window);
// Deletes `dc` when its window goes; the DC names no window afterwards.
INTERLOCK_EXPORT void DeleteWindowDc(HDC dc);
// The window `dc` belongs to; null for a DC of no window (the screen's, a deleted one). The one
// record of which window a DC belongs to: user32's WindowFromDC answers from it too.
INTERLOCK_EXPORT HWND WindowOfDc(HDC dc);
// The pixel format set on `window`, counted from 1; 0 when none is.
INTERLOCK_EXPORT int WindowPixelFormat(HWND window);

// The initialised EGL display (of the platform INTERLOCK_EGL_PLATFORM chooses, else the one whose
// OpenGL runs on Direct3D's Vulkan device) whose configs are the pixel formats; EGL_NO_DISPLAY
// when none opens, and then there are no pixel formats.
INTERLOCK_EXPORT EGLDisplay PixelFormatDisplay();

// The EGL config of pixel format `format` (counted from 1); null when there is no such format.
INTERLOCK_EXPORT EGLConfig PixelFormatConfig(int format);

// Whether OpenGL in the context current on this thread runs on the device `direct3d` names: its
// GL_DRIVER_UUID_EXT is the driver UUID and one of its GL_NUM_DEVICE_UUIDS_EXT device UUIDs (a
// device group has several) the device UUID, as importing memory needs. `opengl` gets what it
// runs on: "<renderer> (device UUID <hex>[/<hex>...], driver UUID <hex>)". OpenGL errors the
// queries raise are left for the caller.
INTERLOCK_EXPORT bool CurrentOpenGLRunsOn(const d3d11::DeviceIdentity &direct3d, std::string *opengl);
// "<name> (device UUID <hex>, driver UUID <hex>)", or where the device has a render node
// "<name> (device UUID <hex>, driver UUID <hex>, render node <major>:<minor>)".
INTERLOCK_EXPORT std::string DescribeDevice(const d3d11::DeviceIdentity &device);

}  // namespace ilk::gdi32
