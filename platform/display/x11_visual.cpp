// Shared X11 helpers: the 24-bit TrueColor visual, colour conversion, font, error logging,
// titles and the tick clock.
#include "x11_visual.h"

#include <X11/Xatom.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <mutex>

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

XFontStruct *LoadFont(::Display *display) {
  XFontStruct *font = XLoadQueryFont(display, "fixed");
  return font ? font : XQueryFont(display, XGContextFromGC(DefaultGC(display, DefaultScreen(display))));
}

void HandleXErrors() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    XSetErrorHandler(LogError);
    XSetIOErrorHandler(EndForLostDisplay);
  });
}

void SetTitle(::Display *display, Window window, const char *utf8) {
  XStoreName(display, window, utf8);
  Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
  Atom utf8_string = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, net_wm_name, utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(utf8), (int)strlen(utf8));
}

uint32_t TickCount() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (uint32_t)((unsigned long long)now.tv_sec * 1000ull + (unsigned long long)now.tv_nsec / 1000000ull);
}

}  // namespace ilk::display
