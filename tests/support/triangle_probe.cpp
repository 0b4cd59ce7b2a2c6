// Checks that a captured frame shows the program's triangle.
#include "support/triangle_probe.h"

#include <gtest/gtest.h>

#include "support/png_image.h"

void ExpectTriangle(const std::string &file, int width, int height) {
  RgbaImage image;
  ASSERT_TRUE(ReadRgbaPng(file, &image)) << file;
  EXPECT_EQ(image.width, width) << file;
  EXPECT_EQ(image.height, height) << file;
  std::vector<double> centre = image.At(width / 2, height / 2);
  EXPECT_NEAR(centre[0], 0.5, 0.03) << file;
  EXPECT_NEAR(centre[1], 0.25, 0.03) << file;
  EXPECT_NEAR(centre[2], 0.25, 0.03) << file;
  EXPECT_NEAR(centre[3], 0.675, 0.03) << file;
  for (int x : {2, width - 3}) {
    std::vector<double> corner = image.At(x, 2);
    EXPECT_EQ(corner, (std::vector<double>{0.0, 0.0, 0.0, 102 / 255.0})) << file << " x " << x;
  }
  std::vector<double> top = image.At(width / 2, 4);
  EXPECT_GT(top[0], 0.8) << file;
  EXPECT_LT(top[1], 0.1) << file;
  EXPECT_LT(top[2], 0.1) << file;
}

