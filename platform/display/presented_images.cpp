// What the display shows in a client area: images presented to a surface, frames composed over
// the black window background (and captured), waiting for the display, and reading back what
// is shown.
#include <string.h>

#include <algorithm>

#include "common/log.h"
#include "compose_over_black.h"
#include "display.h"
#include "cpu_passes.h"
#include "frame_capture.h"

namespace ilk::display {

bool PresentWindowImage(SurfaceId surface, int width, int height, const WindowImageWriter &write) {
  bool shown = CurrentDesktop().ShowImage(surface, width, height, write);
  Trace("PresentWindowImage(%p, %dx%d) = %d", reinterpret_cast<void *>(surface), width, height, shown);
  return shown;
}

bool PresentWindowImage(SurfaceId surface, const WindowImage &image) {
  return PresentWindowImage(surface, image.width, image.height,
                            [&image](uint8_t *bgra) { std::copy(image.bgra.begin(), image.bgra.end(), bgra); });
}

bool PresentFrame(SurfaceId surface, int width, int height, const uint8_t *rgba, size_t row_pitch) {
  struct Frame {
    int width, height;
    const uint8_t *rgba;
    size_t row_pitch;
  } frame = {width, height, rgba, row_pitch};
  // One pass over the frame's pixels into the window's packed rows. The writer holds only a
  // reference, which std::function keeps without allocating.
  auto compose = [&frame](uint8_t *bgra) {
    NoteCpuPassOverPixels();
    size_t packed_pitch = (size_t)frame.width * 4;
    if (frame.row_pitch == packed_pitch) return ComposeOverBlack(frame.rgba, (size_t)frame.width * frame.height, bgra);
    for (int y = 0; y < frame.height; ++y) {
      ComposeOverBlack(frame.rgba + y * frame.row_pitch, (size_t)frame.width, bgra + y * packed_pitch);
    }
  };
  if (!PresentWindowImage(surface, width, height, compose)) return false;
  CaptureFrame(surface, width, height, rgba, row_pitch, ByteOrder::kRgba);
  return true;
}

std::shared_ptr<PixelMemory> DeviceFrameMemory(SurfaceId surface, const DeviceFrameLayout &layout) {
  return CurrentDesktop().DeviceFrameMemory(surface, layout);
}

bool PresentDeviceFrame(SurfaceId surface, const PixelMemory &memory, const DeviceFrameLayout &layout) {
  bool shown = CurrentDesktop().ShowDeviceFrame(surface, memory);
  Trace("PresentDeviceFrame(%p, %dx%d) = %d", reinterpret_cast<void *>(surface), layout.width, layout.height, shown);
  // Capture reads the very pixels the window shows.
  if (shown) CaptureFrame(surface, layout.width, layout.height, memory.Bytes(), layout.row_pitch, ByteOrder::kBgra);
  return shown;
}

void WaitForPresentedImages() { CurrentDesktop().Sync(); }

bool ReadWindowImage(SurfaceId surface, WindowImage *image) {
  return CurrentDesktop().ReadClientImage(surface, &image->width, &image->height, &image->bgra);
}

}  // namespace ilk::display
