// A person at the X server, played with XTest on a connection of its own: pointer moves,
// button presses and key strokes, and a look at the windows on the screen. A window that goes
// away while the driver looks at it is simply not found; errors on its connection end nothing.
#pragma once

#include <X11/Xlib.h>

#include <string>

class XTestDriver {
 public:
  XTestDriver();
  ~XTestDriver();
  bool connected() const { return display_ != nullptr; }

  void MoveTo(int x, int y);
  void Button(bool down);
  // Presses and releases the key of `keysym`.
  void Key(unsigned long keysym);
  // Drags with the left button from one point to another in `steps` moves.
  void Drag(int from_x, int from_y, int to_x, int to_y, int steps);

  // The viewable top-level window titled `title`, waiting up to `timeout_ms`; 0 when none.
  Window WaitForWindow(const std::string &title, int timeout_ms);
  // The window's rectangle on the screen: x, y, width, height.
  bool Geometry(Window window, int *x, int *y, int *width, int *height);
  // Reads one pixel as 0xRRGGBB.
  unsigned long PixelAt(Window window, int x, int y);
  ::Display *display() const { return display_; }

 private:
  ::Display *display_;
};

// Milliseconds to let the other side of the X connection catch up.
void Pause(int milliseconds);
