// Sending BGRA images to an X11 window: through shared memory (MIT-SHM) when the server runs
// on this machine, else in the X protocol stream.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <stdint.h>

#include "x11_visual.h"

namespace ilk::user32 {

class ImageUploader {
 public:
  ImageUploader(::Display *display, const X11Visual &visual);
  ~ImageUploader();
  ImageUploader(const ImageUploader &) = delete;
  ImageUploader &operator=(const ImageUploader &) = delete;

  // Draws `width` x `height` pixels of `bgra` (rows of `stride` pixels) at (`x`, `y`) of
  // `window`. The server has taken the pixels when this returns.
  void Upload(Window window, GC gc, const uint8_t *bgra, int stride, int width, int height, int x, int y);

 private:
  // Copies the pixels into `image` in the server's pixel layout.
  void Fill(XImage *image, const uint8_t *bgra, int stride, int width, int height) const;
  // A shared image of at least this size, or null when shared memory cannot be used.
  XImage *SharedImage(int width, int height);
  void ReleaseShared();

  ::Display *display_;
  const X11Visual &visual_;
  bool shared_memory_;
  XShmSegmentInfo segment_ = {};
  XImage *shared_ = nullptr;
};

}  // namespace ilk::user32
