// The display: the desktop where windows are shown and where input comes from, and what is
// shown in their client areas. user32's window manager drives the desktop; dcomp presents
// frames and dwmapi waits for them. Two backends implement the desktop, headless (memory only)
// and X11; desktop_choice.cpp picks one. No Windows types here, so that the X11 backend compiles
// without <windows.h>, whose names would clash with Xlib's (Bool, None, Status...).
#pragma once

#include <stdint.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/knobs.h"

namespace ilk::display {

using SurfaceId = uint64_t;  // the HWND's value

// The surface of a window: its handle's value.
template <typename Handle>
SurfaceId SurfaceOf(Handle *window) {
  return reinterpret_cast<SurfaceId>(window);
}

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Everything the display needs to show a window: it draws the frame and caption itself.
struct SurfaceLook {
  ScreenRect window;  // outer rectangle, screen coordinates
  ScreenRect client;  // client rectangle, screen coordinates
  bool caption = false;
  bool close_box = false;     // caption buttons: close, and enabled minimize and maximize
  bool minimize_box = false;  // (either of these two brings both, the other one disabled)
  bool maximize_box = false;
  bool active = false;
  bool visible = false;
  std::string title;             // UTF-8
  uint32_t background = 0;       // 0x00BBGGRR: the class brush, shown until an image is
  bool has_background = false;   // presented
};

struct DisplayEvent {
  enum Kind { kExpose, kButtonDown, kButtonUp, kMotion, kKeyDown, kKeyUp, kClose, kConfigure } kind = kExpose;
  SurfaceId surface = 0;
  int x = 0, y = 0;       // pointer in screen coordinates
  int button = 0;         // 1 left, 2 middle, 3 right
  int virtual_key = 0;    // Windows virtual-key code
  int scan_code = 0;
  bool extended = false;
  ScreenRect rect;        // Configure: the outer rectangle the display has given the window
  uint32_t time = 0;      // milliseconds, as GetTickCount
};

// Memory a surface's image lives in: a block of the heap headless, the segment shared with the
// X server under X11. It lives while the surface shows from it and while anyone else holds it
// (a device that has imported it), so that no import outlives its memory.
class PixelMemory {
 public:
  virtual ~PixelMemory() = default;
  uint8_t *Bytes() const { return bytes_; }
  size_t Size() const { return size_; }

 protected:
  PixelMemory(uint8_t *bytes, size_t size) : bytes_(bytes), size_(size) {}

 private:
  uint8_t *const bytes_;
  const size_t size_;
};

// `size` bytes of the heap from an address aligned to `alignment` (a power of two that `size` is
// a multiple of); null when there is no memory.
std::shared_ptr<PixelMemory> AllocatePixelMemory(size_t size, size_t alignment);

// How a device lays out the frames it writes into a surface's pixels: `width` x `height` pixels
// of B, G, R, A bytes (alpha as presented; the window shows them opaque), rows `row_pitch` bytes
// apart, in `size` bytes from an address aligned to `alignment` (`size` a multiple of it).
struct DeviceFrameLayout {
  int width = 0, height = 0;
  size_t row_pitch = 0;
  size_t size = 0;
  size_t alignment = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual void CreateSurface(SurfaceId id, const SurfaceLook &look) = 0;
  virtual void DestroySurface(SurfaceId id) = 0;
  // Moves, resizes, shows or hides the surface and redraws its frame as `look` says.
  virtual void UpdateSurface(SurfaceId id, const SurfaceLook &look) = 0;
  // Stacks the surfaces in this order, topmost first (surfaces it does not know are skipped).
  virtual void RestackSurfaces(const std::vector<SurfaceId> &top_first) = 0;
  // The surface of the active window takes the keyboard.
  virtual void FocusSurface(SurfaceId id) = 0;

  // The surface's look as UpdateSurface last gave it (`look` may be null, to ask only whether
  // there is one). False for a surface the desktop does not show (before CreateSurface, after
  // DestroySurface).
  virtual bool Look(SurfaceId id, SurfaceLook *look) = 0;
  // The client area shows a BGRA image (top-left anchored) from now on, which `write` fills in
  // place in the surface's own image memory. False, with nothing written, for an unknown surface.
  virtual bool ShowImage(SurfaceId id, int width, int height, const std::function<void(uint8_t *bgra)> &write) = 0;
  // The memory the client area's image lives in, laid out as `layout` says, for a device to
  // write frames into: the same memory as last time while the layout stays. The display reads
  // nothing from it until ShowDeviceFrame. Null for an unknown surface, or when the display
  // cannot show from such memory.
  virtual std::shared_ptr<PixelMemory> DeviceFrameMemory(SurfaceId id, const DeviceFrameLayout &layout) = 0;
  // The client area shows the frame written into `memory` from now on. False, showing nothing
  // new, for an unknown surface or when its image no longer lives in `memory`.
  virtual bool ShowDeviceFrame(SurfaceId id, const PixelMemory &memory) = 0;
  // What the client area shows now, as BGRA. False when there is no such surface.
  virtual bool ReadClientImage(SurfaceId id, int *width, int *height, std::vector<uint8_t> *bgra) = 0;
  // Returns once the display has processed every request made so far.
  virtual void Sync() = 0;

  // The next input event, waiting up to `timeout_ms` (0: do not wait). False when none came.
  virtual bool NextEvent(DisplayEvent *event, int timeout_ms) = 0;
  virtual bool LeftButtonDown() = 0;
  virtual void CursorPosition(int *x, int *y) = 0;
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;

  // A modal message box (title, text, OK) on this desktop; returns once it is dismissed. False
  // at once when this desktop cannot show one.
  virtual bool ShowMessageBox(const std::string &caption, const std::string &text) = 0;
};

// What a client area shows when nothing covers it: the image (rows `image_pitch` bytes apart,
// top-left anchored, clipped, opaque whatever its alpha) over the background colour of `look`,
// as BGRA of the client's size.
INTERLOCK_EXPORT void ComposeClientImage(const SurfaceLook &look, int image_width, int image_height,
                                         const uint8_t *image, size_t image_pitch, int *width, int *height,
                                         std::vector<uint8_t> *bgra);

// The desktop chosen by INTERLOCK_DISPLAY, opened on first use and closed by ShutDownPlatform.
INTERLOCK_EXPORT Desktop &CurrentDesktop();

std::unique_ptr<Desktop> OpenHeadlessDesktop();
// Null when the X server cannot be reached, or the X11 backend cannot be loaded (a note says why).
std::unique_ptr<Desktop> OpenX11Desktop();
// The X11 backend's one entry point, `Desktop *InterlockOpenX11Desktop()` in libdisplay_x11.so:
// a desktop of its own on the X server of DISPLAY, null when the server cannot be reached.
constexpr const char *kOpenX11DesktopEntry = "InterlockOpenX11Desktop";

// Shows a message box as a dialog (INTERLOCK_MSGBOX=x11): on the windows' desktop, or on an X11
// desktop of its own when the windows are headless. False when no desktop can show it.
INTERLOCK_EXPORT bool ShowMessageBoxDialog(const std::string &caption, const std::string &text);

// A client-area image: BGRA8 rows, top row first, 4 bytes per pixel.
struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;
};

// Writes a client-area image in place: `bgra` has room for the image's pixels, B, G, R, A rows
// top first, 4 bytes per pixel, already composed over the black window background (so opaque).
using WindowImageWriter = std::function<void(uint8_t *bgra)>;

// Shows a `width` x `height` image in the client area of `surface`, anchored at the client's
// top-left corner; `write` fills it straight into the memory the surface shows it from, which
// is kept from one image to the next. Under X11 it reaches the server before the call returns;
// headless it is kept in memory. False for a surface the desktop does not show (nothing is
// written). Any thread may present.
INTERLOCK_EXPORT bool PresentWindowImage(SurfaceId surface, int width, int height, const WindowImageWriter &write);
// The same for an image already in memory.
INTERLOCK_EXPORT bool PresentWindowImage(SurfaceId surface, const WindowImage &image);

// Shows a presented frame: `rgba` holds `width` x `height` premultiplied pixels, bytes R, G, B, A,
// rows top first and `row_pitch` bytes apart, which are composed over the black window background. With INTERLOCK_CAPTURE
// the frame is also written as a PNG named after the surface's title (frame_capture.h). False
// for a surface the desktop does not show (nothing is shown or captured). Any thread may present.
INTERLOCK_EXPORT bool PresentFrame(SurfaceId surface, int width, int height, const uint8_t *rgba, size_t row_pitch);

// The memory the next frame of `surface` is to be written into by a device, laid out as
// `layout` says: the very pixels the window shows, where the device writes the presented
// buffer with no pass of the CPU over it. The same memory as for the previous frame while the
// layout stays; the display has finished reading the previous frame from it (under X11 the
// server read it before PresentDeviceFrame returned). Null when the display cannot show from
// such memory (an X server without MIT-SHM, or with another pixel layout) or for a surface it
// does not show: the caller presents with PresentFrame instead. Any thread may present.
INTERLOCK_EXPORT std::shared_ptr<PixelMemory> DeviceFrameMemory(SurfaceId surface, const DeviceFrameLayout &layout);
// Shows the frame a device has written into `memory`, which DeviceFrameMemory gave for
// `layout`, and with INTERLOCK_CAPTURE writes it as a PNG, as PresentFrame does. False for a
// surface the desktop does not show, or whose image has moved to other memory since.
INTERLOCK_EXPORT bool PresentDeviceFrame(SurfaceId surface, const PixelMemory &memory, const DeviceFrameLayout &layout);

// Passes the CPU has made over presented images' pixels to show them, since the process
// started: composing a read-back frame over black (PresentFrame) and converting an image into
// an X server's other pixel layout each count one. A frame a device writes into the window's
// pixels counts none.
INTERLOCK_EXPORT uint64_t CpuPassesOverPresentedPixels();

// Returns once the display has taken every image presented so far (X11: the server has
// processed them); at once headless.
INTERLOCK_EXPORT void WaitForPresentedImages();

// What the client area of `surface` shows now: the last presented image, or the class
// background before any. Under X11 it is read back from the server, so it proves what a person
// sees. False for a surface the desktop does not show.
INTERLOCK_EXPORT bool ReadWindowImage(SurfaceId surface, WindowImage *image);

}  // namespace ilk::display
