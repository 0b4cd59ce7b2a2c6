// Image upload to X11 windows, with MIT-SHM when the server can attach our memory.
#include "x11_image_upload.h"

#include <X11/Xutil.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "common/log.h"

namespace ilk::user32 {
namespace {

bool attach_failed = false;

int NoteAttachFailure(::Display *, XErrorEvent *) {
  attach_failed = true;
  return 0;
}

}  // namespace

ImageUploader::ImageUploader(::Display *display, const X11Visual &visual)
    : display_(display), visual_(visual), shared_memory_(XShmQueryExtension(display)) {}

ImageUploader::~ImageUploader() { ReleaseShared(); }

void ImageUploader::Fill(XImage *image, const uint8_t *bgra, int stride, int width, int height) const {
  // The usual server layout, 0x00RRGGBB in little-endian 32-bit pixels, is BGRA byte for byte.
  bool bgra_layout = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
                     image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
  for (int y = 0; y < height; ++y) {
    const uint8_t *row = bgra + (size_t)y * stride * 4;
    if (bgra_layout) {
      memcpy(image->data + (size_t)y * image->bytes_per_line, row, (size_t)width * 4);
    } else {
      for (int x = 0; x < width; ++x) XPutPixel(image, x, y, visual_.PixelFromBgra(row + x * 4));
    }
  }
}

void ImageUploader::ReleaseShared() {
  if (!shared_) return;
  XShmDetach(display_, &segment_);
  XSync(display_, False);
  shmdt(segment_.shmaddr);
  shared_->data = nullptr;  // the segment is not XDestroyImage's to free
  XDestroyImage(shared_);
  shared_ = nullptr;
}

XImage *ImageUploader::SharedImage(int width, int height) {
  if (!shared_memory_) return nullptr;
  if (shared_ && shared_->width >= width && shared_->height >= height) return shared_;
  ReleaseShared();
  shared_ = XShmCreateImage(display_, visual_.visual(), (unsigned)visual_.depth(), ZPixmap, nullptr, &segment_,
                            (unsigned)width, (unsigned)height);
  if (!shared_) {
    shared_memory_ = false;
    return nullptr;
  }
  segment_.shmid = shmget(IPC_PRIVATE, (size_t)shared_->bytes_per_line * height, IPC_CREAT | 0600);
  segment_.shmaddr = shared_->data = segment_.shmid >= 0 ? static_cast<char *>(shmat(segment_.shmid, nullptr, 0)) : nullptr;
  segment_.readOnly = False;
  bool attached = false;
  if (segment_.shmaddr && segment_.shmaddr != reinterpret_cast<char *>(-1)) {
    // A server on another machine cannot attach our memory; it answers with an error.
    attach_failed = false;
    XErrorHandler previous = XSetErrorHandler(NoteAttachFailure);
    XShmAttach(display_, &segment_);
    XSync(display_, False);
    XSetErrorHandler(previous);
    attached = !attach_failed;
  }
  if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);  // gone once both sides detach
  if (!attached) {
    if (segment_.shmaddr && segment_.shmaddr != reinterpret_cast<char *>(-1)) shmdt(segment_.shmaddr);
    shared_->data = nullptr;
    XDestroyImage(shared_);
    shared_ = nullptr;
    shared_memory_ = false;
    ilk::Log("MIT-SHM is not available, images go through the X connection");
  }
  return shared_;
}

void ImageUploader::Upload(Window window, GC gc, const uint8_t *bgra, int stride, int width, int height, int x, int y) {
  if (XImage *image = SharedImage(width, height)) {
    Fill(image, bgra, stride, width, height);
    XShmPutImage(display_, window, gc, image, 0, 0, x, y, (unsigned)width, (unsigned)height, False);
    XSync(display_, False);  // the server has read the memory before it is written again
    return;
  }
  XImage *image = XCreateImage(display_, visual_.visual(), (unsigned)visual_.depth(), ZPixmap, 0, nullptr,
                               (unsigned)width, (unsigned)height, 32, 0);
  if (!image) return;
  image->data = static_cast<char *>(malloc((size_t)image->bytes_per_line * height));
  Fill(image, bgra, stride, width, height);
  XPutImage(display_, window, gc, image, 0, 0, x, y, (unsigned)width, (unsigned)height);
  XDestroyImage(image);  // frees the data too
}

}  // namespace ilk::user32
