// The DXGI formats Direct3D resources can have here, the Vulkan formats behind them and the
// OpenGL formats that see the same memory: the one table of pixel formats of the platform.
//
// A texture's bytes are shared with OpenGL, which stores GL_RGBA8 as the bytes R, G, B, A. So
// DXGI_FORMAT_B8G8R8A8_UNORM is backed by VK_FORMAT_R8G8B8A8_UNORM: what OpenGL renders into
// the shared memory as red is red for Direct3D too, and copies between B8G8R8A8 resources move
// the bytes unchanged. Where Direct3D's bytes become visible outside the GPU they are turned into
// the DXGI byte order B, G, R, A: by the CPU after a read-back, or by the device's blit into a
// window's B8G8R8A8 pixels.
// D24_UNORM_S8_UINT is VK_FORMAT_D24_UNORM_S8_UINT, OpenGL's GL_DEPTH24_STENCIL8, where the
// device can share it; Vulkan does not promise that format, and where it cannot be shared the
// texture is VK_FORMAT_D32_SFLOAT_S8_UINT, OpenGL's GL_DEPTH32F_STENCIL8 (read back as 24-bit
// depth, as Direct3D holds it).
#pragma once

#include <GL/gl.h>
#include <d3d11.h>
#include <vulkan/vulkan.h>

#include <vector>

namespace ilk::d3d11 {

struct TextureFormat {
  DXGI_FORMAT dxgi;
  VkFormat backing;
  GLenum gl_format;  // the OpenGL sized internal format with the backing's byte order
  VkImageAspectFlags aspects;
  UINT texel_bytes;   // in the DXGI layout
  bool swap_red_blue;  // DXGI byte order B, G, R, A over backing R, G, B, A
};

// The first backing of `format` (the one its description is checked against); null for a
// format textures cannot have here.
const TextureFormat *FindTextureFormat(DXGI_FORMAT format);
// Every backing of `format`, the preferred first.
std::vector<const TextureFormat *> Backings(DXGI_FORMAT format);
// Every DXGI format textures can have here.
std::vector<DXGI_FORMAT> TextureDxgiFormats();

// How every image of `format` is used: copies, sampling and rendering.
VkImageUsageFlags ImageUsage(const TextureFormat &format);

}  // namespace ilk::d3d11
