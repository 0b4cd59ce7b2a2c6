// The image an X11 window's client area shows. Where the server runs on this machine and keeps
// pixels as B, G, R, X bytes (the usual 24-bit TrueColor layout), the pixels live in memory
// shared with the server (MIT-SHM): a presentation writes them once and the server reads them
// from there. Otherwise they live in process memory and travel in the X protocol stream, sent
// straight from there when the server keeps that layout, else converted into the server's
// layout in a second image. Both images are kept from one presentation to the next.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <stdint.h>

#include <vector>

#include "x11_visual.h"

namespace ilk::display {

class ShownImage {
 public:
  // `shared_memory` is the display's: cleared for good when the server cannot attach memory.
  ShownImage(::Display *display, const X11Visual &visual, bool *shared_memory);
  ~ShownImage();
  ShownImage(const ShownImage &) = delete;
  ShownImage &operator=(const ShownImage &) = delete;

  // Room for `width` x `height` B, G, R, A pixels, rows packed, top first. The same size keeps
  // the memory and what it holds.
  uint8_t *Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  const uint8_t *Pixels() const;

  // Draws the top-left `width` x `height` of the image at (`x`, `y`) of `window`. The server
  // has taken the pixels when this returns.
  void Draw(Window window, GC gc, int width, int height, int x, int y);

 private:
  bool AttachShared(int width, int height);
  void MakeLocal(int width, int height);
  void Release();

  ::Display *display_;
  const X11Visual &visual_;
  bool *shared_memory_;
  int width_ = 0, height_ = 0;
  XShmSegmentInfo segment_ = {};
  XImage *shared_ = nullptr;     // the pixels, when shared with the server
  std::vector<uint8_t> local_;   // the pixels otherwise
  XImage *sent_ = nullptr;       // what XPutImage sends: over `local_`, or converted from it
  bool converted_ = false;       // whether `sent_` has data of its own in the server's layout
};

}  // namespace ilk::display
