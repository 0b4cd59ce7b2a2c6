// What the X11 display and the X11 message box share: a 24-bit TrueColor visual chosen
// explicitly (a server's default visual may be 8-bit, as Xvfb's is), colour conversion, an error
// handler that logs instead of ending the process, titles, and whether a window manager runs.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdint.h>

namespace ilk::display {

class X11Visual {
 public:
  // False when the screen offers no 24-bit TrueColor visual.
  bool Choose(::Display *display, int screen);

  Visual *visual() const { return info_.visual; }
  int depth() const { return info_.depth; }
  Colormap colormap() const { return colormap_; }

  // The pixel value of a colour given as 0x00BBGGRR (a COLORREF).
  unsigned long Pixel(uint32_t colorref) const;
  unsigned long PixelFromBgra(const uint8_t *bgra) const;
  void PixelToBgra(unsigned long pixel, uint8_t *bgra) const;

 private:
  XVisualInfo info_ = {};
  Colormap colormap_ = 0;
};

// The window attributes every window of ours uses with this visual (no border, no background
// the server would paint over ours).
XSetWindowAttributes WindowAttributes(const X11Visual &visual, long event_mask);

// The exit status of a process whose X server went away (see HandleXErrors).
const int kLostDisplayExitStatus = 4;

// Installs, once per process, the X error handlers: a protocol error is logged and the process
// carries on; a lost connection to the X server (killed, or gone with its session) leaves no
// window to run, so the program's output so far is flushed, a line says why, and the process
// ends with kLostDisplayExitStatus.
void HandleXErrors();

// Sets the window's title from UTF-8 text: _NET_WM_NAME as it is, WM_NAME (Latin-1 by the ICCCM)
// with '?' for each character Latin-1 lacks.
void SetTitle(::Display *display, Window window, const char *utf8);

// Whether a window manager that follows EWMH runs on the screen (_NET_SUPPORTING_WM_CHECK names
// a live window that names itself), and so decorates the windows that do not refuse it.
bool WindowManagerRuns(::Display *display);

// Milliseconds on the same clock as GetTickCount.
uint32_t TickCount();

}  // namespace ilk::display
