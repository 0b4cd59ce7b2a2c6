// Reading a captured frame back with libpng.
#include "support/png_image.h"

#include <png.h>
#include <string.h>

std::vector<double> RgbaImage::At(int x, int y) const {
  const uint8_t *pixel = &rgba[((size_t)y * width + x) * 4];
  return {pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0, pixel[3] / 255.0};
}

bool ReadRgbaPng(const std::string &path, RgbaImage *image) {
  png_image png;
  memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGBA;
  image->width = (int)png.width;
  image->height = (int)png.height;
  image->rgba.resize(PNG_IMAGE_SIZE(png));
  bool read = png_image_finish_read(&png, nullptr, image->rgba.data(), 0, nullptr) != 0;
  png_image_free(&png);
  return read;
}
