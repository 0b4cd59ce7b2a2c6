// Reading a captured frame back.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // rows top first, 4 bytes per pixel

  // Channel values of pixel (x, y) scaled to 0..1: red, green, blue, alpha.
  std::vector<double> At(int x, int y) const;
};

// Reads an 8-bit RGBA PNG; false when the file is missing or of another kind.
bool ReadRgbaPng(const std::string &path, RgbaImage *image);
