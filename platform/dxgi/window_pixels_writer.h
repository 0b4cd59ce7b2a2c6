// Presentation without copying: the device writes a swap chain's presented buffer straight into
// the window's pixels, swapping red and blue on the way, and the window shows them from there.
// No pass of the CPU touches the frame's pixels. The window's memory is imported once per size
// and kept imported while the window keeps it.
#pragma once

#include <d3d11.h>

#include "d3d11/d3d11_internal.h"
#include "dxgi_internal.h"

namespace ilk::dxgi {

class WindowPixelsWriter {
 public:
  // For a device that stays alive until DropImport (or the destructor) has run.
  explicit WindowPixelsWriter(ID3D11Device *device) : device_(device) {}
  ~WindowPixelsWriter() { DropImport(); }
  WindowPixelsWriter(const WindowPixelsWriter &) = delete;
  WindowPixelsWriter &operator=(const WindowPixelsWriter &) = delete;

  enum class Outcome {
    kShown,         // written into the window's pixels and shown
    kUnavailable,   // nothing done: the device cannot import them, or the window offers none
    kDeviceFailed,  // the device failed while writing
  };
  // Writes `buffer` (8-bit colour, `width` x `height`) into the pixels `sink` offers and has the
  // sink show them.
  Outcome Present(ID3D11Texture2D *buffer, UINT width, UINT height, PresentationSink *sink);
  // Lets go of the imported pixels: the device's import first, then the memory.
  void DropImport();

 private:
  ID3D11Device *const device_;
  UINT width_ = 0, height_ = 0;  // the size `layout_` is for
  bool writable_ = false;        // whether the device writes host images of that size
  d3d11::HostImageLayout layout_;
  d3d11::HostImage *image_ = nullptr;  // the device's import of `imported_`
  WindowPixels imported_;
};

}  // namespace ilk::dxgi
