// Shared X11 helpers: the 24-bit TrueColor visual, colour conversion, error logging, titles, the
// window manager's presence and the tick clock.
#include "x11_visual.h"

#include <X11/Xatom.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "common/log.h"

namespace ilk::display {
namespace {

// The shift of the lowest set bit of `mask` and the number of bits it has.
void MaskShape(unsigned long mask, int *shift, int *bits) {
  *shift = 0;
  *bits = 0;
  if (!mask) return;
  while (!(mask & 1)) {
    mask >>= 1;
    ++*shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++*bits;
  }
}

unsigned long Scale(uint8_t value, unsigned long mask) {
  int shift, bits;
  MaskShape(mask, &shift, &bits);
  return ((unsigned long)value >> (8 - bits) << shift) & mask;
}

uint8_t Unscale(unsigned long pixel, unsigned long mask) {
  int shift, bits;
  MaskShape(mask, &shift, &bits);
  unsigned long value = (pixel & mask) >> shift;
  return (uint8_t)(value << (8 - bits));
}

std::string Latin1(const std::string &utf8) {
  std::string text;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = (unsigned char)utf8[i];
    if (c < 0x80) {
      text += (char)c;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size() && c <= 0xC3) {
      text += (char)(((c & 0x1F) << 6) | ((unsigned char)utf8[++i] & 0x3F));
    } else if ((c & 0xC0) != 0x80) {
      text += '?';
    }
  }
  return text;
}

// The window a window's _NET_SUPPORTING_WM_CHECK property names; 0 when it has none.
Window SupportingWmCheck(::Display *display, Window window) {
  Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  Window named = 0;
  if (XGetWindowProperty(display, window, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
          Success &&
      data && type == XA_WINDOW && format == 32 && count == 1) {
    named = (Window) * reinterpret_cast<unsigned long *>(data);
  }
  if (data) XFree(data);
  return named;
}

int LogError(::Display *display, XErrorEvent *error) {
  char text[256];
  XGetErrorText(display, error->error_code, text, sizeof text);
  ilk::Log("X11 error: %s (request %d)", text, error->request_code);
  return 0;
}

int EndForLostDisplay(::Display *display) {
  fflush(stdout);  // nothing the program has written is lost
  ilk::Log("lost the connection to the X server %s; the process ends", DisplayString(display));
  // Not exit(): destructors and exit handlers would talk to the dead connection again.
  _exit(kLostDisplayExitStatus);
}

}  // namespace

bool X11Visual::Choose(::Display *display, int screen) {
  if (!XMatchVisualInfo(display, screen, 24, TrueColor, &info_)) return false;
  colormap_ = XCreateColormap(display, RootWindow(display, screen), info_.visual, AllocNone);
  return true;
}

unsigned long X11Visual::Pixel(uint32_t colorref) const {
  return Scale(colorref & 0xFF, info_.red_mask) | Scale((colorref >> 8) & 0xFF, info_.green_mask) |
         Scale((colorref >> 16) & 0xFF, info_.blue_mask);
}

unsigned long X11Visual::PixelFromBgra(const uint8_t *bgra) const {
  return Scale(bgra[2], info_.red_mask) | Scale(bgra[1], info_.green_mask) | Scale(bgra[0], info_.blue_mask);
}

void X11Visual::PixelToBgra(unsigned long pixel, uint8_t *bgra) const {
  bgra[0] = Unscale(pixel, info_.blue_mask);
  bgra[1] = Unscale(pixel, info_.green_mask);
  bgra[2] = Unscale(pixel, info_.red_mask);
  bgra[3] = 0xFF;
}

XSetWindowAttributes WindowAttributes(const X11Visual &visual, long event_mask) {
  XSetWindowAttributes attributes = {};
  attributes.colormap = visual.colormap();
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;  // we paint everything ourselves
  attributes.event_mask = event_mask;
  return attributes;
}

void HandleXErrors() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    XSetErrorHandler(LogError);
    XSetIOErrorHandler(EndForLostDisplay);
  });
}

void SetTitle(::Display *display, Window window, const char *utf8) {
  XStoreName(display, window, Latin1(utf8).c_str());
  Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  Atom utf8_string = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, net_wm_name, utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(utf8), (int)strlen(utf8));
}

bool WindowManagerRuns(::Display *display) {
  Window child = SupportingWmCheck(display, DefaultRootWindow(display));
  // A window manager that has gone leaves the root's property naming a window that is gone too.
  return child && SupportingWmCheck(display, child) == child;
}

uint32_t TickCount() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (uint32_t)((unsigned long long)now.tv_sec * 1000ull + (unsigned long long)now.tv_nsec / 1000000ull);
}

}  // namespace ilk::display
