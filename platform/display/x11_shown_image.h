// The image an X11 window's client area shows. Where the server runs on this machine and keeps
// pixels as B, G, R, X bytes (the usual 24-bit TrueColor layout), the pixels live in memory
// shared with the server (MIT-SHM): a presentation writes them once and the server reads them
// from there. Otherwise they live in process memory and travel in the X protocol stream, sent
// straight from there when the server keeps that layout, else converted into the server's
// layout in a second image. Both images are kept from one presentation to the next.
//
// With shared pixels, a device may write frames straight into the segment, in rows of its own
// pitch (ResizeShared); the segment's memory lives on while the device holds it.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <stdint.h>

#include <memory>
#include <vector>

#include "display.h"
#include "x11_visual.h"

namespace ilk::display {

class ShownImage {
 public:
  // `shared_memory` is the display's: cleared for good when the server cannot attach memory or
  // keeps another pixel layout.
  ShownImage(::Display *display, const X11Visual &visual, bool *shared_memory);
  ~ShownImage();
  ShownImage(const ShownImage &) = delete;
  ShownImage &operator=(const ShownImage &) = delete;

  // Room for `width` x `height` B, G, R, A pixels, rows packed, top first. The same size keeps
  // the memory and what it holds.
  uint8_t *Resize(int width, int height);
  // Shared memory for `layout` (DeviceFrameLayout), kept while the layout stays; null, with
  // nothing shown any more, when the pixels cannot be shared with the server.
  std::shared_ptr<PixelMemory> ResizeShared(const DeviceFrameLayout &layout);
  int Width() const { return width_; }
  int Height() const { return height_; }
  const uint8_t *Pixels() const;
  size_t RowPitch() const { return pitch_; }
  // The memory shared with the server; null when the pixels are not shared.
  const PixelMemory *SharedMemory() const { return segment_memory_.get(); }

  // Draws the top-left `width` x `height` of the image at (`x`, `y`) of `window`. The server
  // has taken the pixels when this returns.
  void Draw(Window window, GC gc, int width, int height, int x, int y);

 private:
  // Attaches a segment of `size` bytes holding `height` rows `pitch` bytes apart; false, with
  // `shared_memory_` cleared for good, when the server cannot share it or keeps another layout.
  bool AttachShared(int height, size_t pitch, size_t size);
  void MakeLocal(int width, int height);
  void Release();

  ::Display *display_;
  const X11Visual &visual_;
  bool *shared_memory_;
  int width_ = 0, height_ = 0;
  size_t pitch_ = 0;             // bytes from one row of the pixels to the next
  XShmSegmentInfo segment_ = {};
  std::shared_ptr<PixelMemory> segment_memory_;  // the segment's mapping, while shared
  XImage *shared_ = nullptr;     // the pixels, when shared with the server
  std::vector<uint8_t> local_;   // the pixels otherwise
  XImage *sent_ = nullptr;       // what XPutImage sends: over `local_`, or converted from it
  bool converted_ = false;       // whether `sent_` has data of its own in the server's layout
};

}  // namespace ilk::display
