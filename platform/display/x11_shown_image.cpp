// The image an X11 window's client area shows (x11_shown_image.h).
#include "x11_shown_image.h"

#include <X11/Xutil.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include "common/log.h"
#include "cpu_passes.h"

namespace ilk::display {
namespace {

bool attach_failed = false;

int NoteAttachFailure(::Display *, XErrorEvent *) {
  attach_failed = true;
  return 0;
}

// The usual server layout, 0x00RRGGBB in little-endian 32-bit pixels, is B, G, R, A byte for
// byte, rows packed when they are 4 bytes a pixel.
bool BgraLayout(const XImage *image) {
  return image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
         image->green_mask == 0xFF00 && image->blue_mask == 0xFF && image->bytes_per_line == image->width * 4;
}

// The process's mapping of a segment; the server's attachment ends before (ShownImage::Release).
class SegmentMapping final : public PixelMemory {
 public:
  SegmentMapping(uint8_t *bytes, size_t size) : PixelMemory(bytes, size) {}
  ~SegmentMapping() override { shmdt(Bytes()); }
};

size_t PageSize() { return (size_t)sysconf(_SC_PAGESIZE); }

}  // namespace

ShownImage::ShownImage(::Display *display, const X11Visual &visual, bool *shared_memory)
    : display_(display), visual_(visual), shared_memory_(shared_memory) {}

ShownImage::~ShownImage() { Release(); }

const uint8_t *ShownImage::Pixels() const {
  return shared_ ? reinterpret_cast<const uint8_t *>(shared_->data) : local_.data();
}

uint8_t *ShownImage::Resize(int width, int height) {
  size_t pitch = (size_t)width * 4;
  if (width != width_ || height != height_ || pitch != pitch_) {
    Release();
    width_ = width;
    height_ = height;
    pitch_ = pitch;
    size_t size = pitch * height;
    if (width > 0 && height > 0 && !(*shared_memory_ && AttachShared(height, pitch, size))) {
      MakeLocal(width, height);
    }
  }
  return const_cast<uint8_t *>(Pixels());
}

std::shared_ptr<PixelMemory> ShownImage::ResizeShared(const DeviceFrameLayout &layout) {
  bool kept = shared_ && layout.width == width_ && layout.height == height_ && layout.row_pitch == pitch_ &&
              segment_memory_->Size() == layout.size;
  if (!kept) {
    // A segment is mapped at a page boundary, and covers whole pages. What cannot be shared
    // leaves the image as it is.
    bool placeable = layout.alignment <= PageSize() && layout.row_pitch % 4 == 0 && layout.width > 0 &&
                     layout.height > 0 && layout.row_pitch * layout.height <= layout.size;
    if (!*shared_memory_ || !placeable) return nullptr;
    Release();
    width_ = height_ = 0;
    pitch_ = 0;
    if (!AttachShared(layout.height, layout.row_pitch, layout.size)) return nullptr;
    width_ = layout.width;
    height_ = layout.height;
    pitch_ = layout.row_pitch;
  }
  return segment_memory_;
}

void ShownImage::Release() {
  if (shared_) {
    XShmDetach(display_, &segment_);
    XSync(display_, False);
    segment_memory_.reset();  // unmapped once a device that imported it lets go too
    shared_->data = nullptr;  // the segment is not XDestroyImage's to free
    XDestroyImage(shared_);
    shared_ = nullptr;
  }
  if (sent_) {
    if (!converted_) sent_->data = nullptr;  // `local_`'s
    XDestroyImage(sent_);  // frees converted data too
    sent_ = nullptr;
  }
  local_.clear();
  local_.shrink_to_fit();
}

void ShownImage::MakeLocal(int width, int height) {
  local_.resize((size_t)width * height * 4);
  sent_ = XCreateImage(display_, visual_.visual(), (unsigned)visual_.depth(), ZPixmap, 0, nullptr, (unsigned)width,
                       (unsigned)height, 32, 0);
  if (!sent_) return;
  converted_ = !BgraLayout(sent_);
  sent_->data = converted_ ? static_cast<char *>(malloc((size_t)sent_->bytes_per_line * height))
                           : reinterpret_cast<char *>(local_.data());
}

bool ShownImage::AttachShared(int height, size_t pitch, size_t size) {
  // The server knows rows only as an image's width: an image as wide as the pitch, of which
  // the first `width` columns are drawn.
  XImage *image = XShmCreateImage(display_, visual_.visual(), (unsigned)visual_.depth(), ZPixmap, nullptr, &segment_,
                                  (unsigned)(pitch / 4), (unsigned)height);
  if (!image) {
    *shared_memory_ = false;
    return false;
  }
  if (!BgraLayout(image)) {  // the pixels would need converting: no gain in sharing them, ever
    XDestroyImage(image);
    *shared_memory_ = false;
    return false;
  }
  segment_.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  segment_.shmaddr = image->data = segment_.shmid >= 0 ? static_cast<char *>(shmat(segment_.shmid, nullptr, 0)) : nullptr;
  segment_.readOnly = False;
  bool mapped = segment_.shmaddr && segment_.shmaddr != reinterpret_cast<char *>(-1);
  bool attached = false;
  if (mapped) {
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
    if (mapped) shmdt(segment_.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    *shared_memory_ = false;
    Log("MIT-SHM is not available, images go through the X connection");
    return false;
  }
  shared_ = image;
  segment_memory_ = std::make_shared<SegmentMapping>(reinterpret_cast<uint8_t *>(segment_.shmaddr), size);
  return true;
}

void ShownImage::Draw(Window window, GC gc, int width, int height, int x, int y) {
  if (shared_) {
    XShmPutImage(display_, window, gc, shared_, 0, 0, x, y, (unsigned)width, (unsigned)height, False);
    XSync(display_, False);  // the server has read the memory before it is written again
    return;
  }
  if (!sent_ || !sent_->data) return;
  if (converted_) NoteCpuPassOverPixels();
  for (int row = 0; converted_ && row < height; ++row) {
    const uint8_t *pixel = local_.data() + (size_t)row * width_ * 4;
    for (int column = 0; column < width; ++column, pixel += 4) XPutPixel(sent_, column, row, visual_.PixelFromBgra(pixel));
  }
  XPutImage(display_, window, gc, sent_, 0, 0, x, y, (unsigned)width, (unsigned)height);
}

}  // namespace ilk::display
