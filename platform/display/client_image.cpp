// The content of a client area as the desktop composes it: the presented image over the class
// brush.
#include <algorithm>

#include "display.h"

namespace ilk::display {

void ComposeClientImage(const SurfaceLook &look, int image_width, int image_height, const uint8_t *image,
                        size_t image_pitch, int *width, int *height, std::vector<uint8_t> *bgra) {
  *width = std::max(0, look.client.Width());
  *height = std::max(0, look.client.Height());
  uint32_t color = look.has_background ? look.background : 0;
  const uint8_t background[4] = {(uint8_t)(color >> 16), (uint8_t)(color >> 8), (uint8_t)color, 0xFF};
  bgra->resize((size_t)*width * *height * 4);
  for (int y = 0; y < *height; ++y) {
    for (int x = 0; x < *width; ++x) {
      uint8_t *out = &(*bgra)[((size_t)y * *width + x) * 4];
      if (x < image_width && y < image_height) {
        // The window is opaque: a device writes the presented alpha into the byte X ignores.
        std::copy_n(&image[(size_t)y * image_pitch + (size_t)x * 4], 3, out);
        out[3] = 0xFF;
      } else {
        std::copy_n(background, 4, out);
      }
    }
  }
}

}  // namespace ilk::display
