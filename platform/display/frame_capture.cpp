// INTERLOCK_CAPTURE: presented frames as PNG files.
#include "frame_capture.h"

#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <string>

#include "common/log.h"
#include "common/platform_state.h"

namespace ilk::display {

namespace {

// The last frame number written per surface.
struct FrameNumbers {
  std::mutex mutex;
  std::map<SurfaceId, unsigned> last;
};

PlatformState<FrameNumbers> frame_numbers;

// The surface's title with every character other than an ASCII letter or digit as one '_'.
std::string FileTitle(SurfaceId surface) {
  SurfaceLook look;
  CurrentDesktop().Look(surface, &look);
  std::string name;
  for (char c : look.title) {
    if ((c & 0xC0) == 0x80) continue;  // a UTF-8 continuation byte: the same character
    bool letter_or_digit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    name += letter_or_digit ? c : '_';
  }
  return name;
}

}  // namespace

void CaptureFrame(SurfaceId surface, int width, int height, const uint8_t *pixels, size_t row_pitch, ByteOrder order) {
  const std::string directory = CaptureDirectory();
  if (directory.empty()) return;
  unsigned number;
  {
    FrameNumbers &numbers = frame_numbers.Get();
    std::lock_guard<std::mutex> lock(numbers.mutex);
    number = ++numbers.last[surface];
  }
  char suffix[16];
  snprintf(suffix, sizeof suffix, "-%04u.png", number);
  std::string path = directory + "/" + FileTitle(surface) + suffix;
  mkdir(directory.c_str(), 0777);  // an existing directory is fine
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  png.width = (png_uint_32)width;
  png.height = (png_uint_32)height;
  png.format = order == ByteOrder::kBgra ? PNG_FORMAT_BGRA : PNG_FORMAT_RGBA;
  // The stride counts components, one byte each.
  if (!png_image_write_to_file(&png, path.c_str(), 0, pixels, (png_int_32)row_pitch, nullptr)) {
    Log("INTERLOCK_CAPTURE: cannot write %s: %s", path.c_str(), png.message);
    return;
  }
  Trace("captured %s", path.c_str());
}

}  // namespace ilk::display
