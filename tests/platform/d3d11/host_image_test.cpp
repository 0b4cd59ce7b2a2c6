// Host images: memory of the host (a window's pixels) that the device imports and writes a
// colour texture into, red and blue swapped, in rows of the pitch the device asks for.
#include <stdlib.h>

#include <vector>

#include "d3d11/d3d11_internal.h"
#include "platform/d3d11/direct3d_fixture.h"

namespace {

class HostImageTest : public Direct3DTest {
 protected:
  ScopedKnobs knobs_{{"INTERLOCK_PRESENT", "device"}};
};

TEST_F(HostImageTest, TheDeviceWritesATextureIntoHostMemoryInTheWindowsByteOrder) {
  const UINT width = 5, height = 3;  // rows the device pads
  ilk::d3d11::HostImageLayout layout;
  ASSERT_TRUE(ilk::d3d11::HostImageLayoutFor(device_, width, height, &layout));
  EXPECT_GE(layout.row_pitch, width * 4);
  EXPECT_GE(layout.size, layout.row_pitch * height);
  EXPECT_EQ(layout.size % layout.alignment, 0u);
  uint8_t *pixels = static_cast<uint8_t *>(aligned_alloc(layout.alignment, layout.size));
  ilk::d3d11::HostImage *image = ilk::d3d11::ImportHostImage(device_, width, height, pixels, layout);
  ASSERT_NE(image, nullptr);

  std::vector<uint8_t> bgra;  // distinct B, G, R, A per pixel
  for (UINT i = 0; i < width * height * 4; ++i) bgra.push_back((uint8_t)(i * 7 + 1));
  ID3D11Texture2D *texture = ColorTexture(width, height, &bgra);
  ASSERT_TRUE(ilk::d3d11::WriteHostImage(image, texture));
  for (UINT y = 0; y < height; ++y) {
    std::vector<uint8_t> row(pixels + y * layout.row_pitch, pixels + y * layout.row_pitch + width * 4);
    EXPECT_EQ(row, std::vector<uint8_t>(bgra.begin() + y * width * 4, bgra.begin() + (y + 1) * width * 4)) << "row " << y;
  }
  // A texture of another size does not fit.
  ID3D11Texture2D *other = ColorTexture(width + 1, height);
  EXPECT_FALSE(ilk::d3d11::WriteHostImage(image, other));
  other->Release();
  texture->Release();
  ilk::d3d11::DestroyHostImage(image);
  free(pixels);
}

TEST_F(HostImageTest, ADeviceThatCannotImportHostMemoryGivesNoLayout) {
  ScopedKnobs hidden({{"INTERLOCK_HIDE", "VK_EXT_external_memory_host"}});
  ID3D11Device *device = nullptr;
  ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                              nullptr, nullptr),
            S_OK);
  ilk::d3d11::HostImageLayout layout;
  EXPECT_FALSE(ilk::d3d11::HostImageLayoutFor(device, 4, 4, &layout));
  device->Release();
}

}  // namespace
