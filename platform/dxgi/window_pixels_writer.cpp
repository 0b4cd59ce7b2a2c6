// Presentation without copying (window_pixels_writer.h).
#include "window_pixels_writer.h"

#include <utility>

namespace ilk::dxgi {

void WindowPixelsWriter::DropImport() {
  if (image_) d3d11::DestroyHostImage(image_);
  image_ = nullptr;
  imported_ = {};
}

WindowPixelsWriter::Outcome WindowPixelsWriter::Present(ID3D11Texture2D *buffer, UINT width, UINT height,
                                                        PresentationSink *sink) {
  if (width != width_ || height != height_) {
    DropImport();
    width_ = width;
    height_ = height;
    writable_ = d3d11::HostImageLayoutFor(device_, width, height, &layout_);
  }
  if (!writable_) return Outcome::kUnavailable;
  WindowPixels pixels = sink->PixelsToWrite(width, height, layout_);
  if (!pixels.bytes) return Outcome::kUnavailable;
  if (pixels.owner != imported_.owner) {
    DropImport();
    image_ = d3d11::ImportHostImage(device_, width, height, pixels.bytes, layout_);
    // Memory the device cannot import at this size will not be importable next time either.
    writable_ = image_ != nullptr;
    if (!image_) return Outcome::kUnavailable;
    imported_ = std::move(pixels);
  }
  if (!d3d11::WriteHostImage(image_, buffer)) return Outcome::kDeviceFailed;
  sink->ShowWritten(imported_, width, height, layout_);
  return Outcome::kShown;
}

}  // namespace ilk::dxgi
