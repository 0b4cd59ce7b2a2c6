// XTest input and screen inspection for the X11 tests.
#include "platform/display/xtest_driver.h"

#include <X11/Xlibint.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <time.h>

namespace {

// Hides an error on the driver's connection from the process's error handler (Xlib's default one
// ends the process). The request that met it fails as a look at a missing window should.
int IgnoreError(::Display *, xError *, XExtCodes *, int *request_result) {
  *request_result = 0;
  return True;
}

}  // namespace

XTestDriver::XTestDriver() : display_(XOpenDisplay(nullptr)) {
  // The program's windows come and go while the person looks at the screen: a window listed by
  // XQueryTree may be gone before its name is read.
  if (display_) XESetError(display_, XAddExtension(display_)->extension, IgnoreError);
}

XTestDriver::~XTestDriver() {
  if (display_) XCloseDisplay(display_);
}

void Pause(int milliseconds) {
  struct timespec duration = {milliseconds / 1000, (long)(milliseconds % 1000) * 1000000L};
  nanosleep(&duration, nullptr);
}

void XTestDriver::MoveTo(int x, int y) {
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  XSync(display_, False);
}

void XTestDriver::Button(bool down) {
  XTestFakeButtonEvent(display_, 1, down, CurrentTime);
  XSync(display_, False);
}

void XTestDriver::Key(unsigned long keysym) {
  KeyCode code = XKeysymToKeycode(display_, keysym);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  XSync(display_, False);
}

void XTestDriver::Drag(int from_x, int from_y, int to_x, int to_y, int steps) {
  MoveTo(from_x, from_y);
  Pause(50);
  Button(true);
  Pause(150);
  for (int i = 1; i <= steps; ++i) {
    MoveTo(from_x + (to_x - from_x) * i / steps, from_y + (to_y - from_y) * i / steps);
    Pause(40);
  }
  Pause(150);
  Button(false);
}

Window XTestDriver::WaitForWindow(const std::string &title, int timeout_ms) {
  for (int waited = 0; waited <= timeout_ms; waited += 20) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
      char *name = nullptr;
      XWindowAttributes attributes;
      if (XFetchName(display_, children[i], &name) && name) {
        if (title == name && XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
          found = children[i];
        }
        XFree(name);
      }
    }
    if (children) XFree(children);
    if (found) return found;
    Pause(20);
  }
  return 0;
}

bool XTestDriver::Geometry(Window window, int *x, int *y, int *width, int *height) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes)) return false;
  Window child;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, x, y, &child);
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

unsigned long XTestDriver::PixelAt(Window window, int x, int y) {
  XImage *image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return ~0ul;
  unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel & 0xFFFFFF;  // the 24-bit TrueColor visual: 0xRRGGBB
}
