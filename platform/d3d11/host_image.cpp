// An image in host memory that the device writes (host_image.h).
#include "host_image.h"

#include "common/log.h"
#include "texture.h"

namespace ilk::d3d11 {
namespace {

// The window's byte order: the blit from an R8G8B8A8 buffer swaps red and blue on the way.
const VkFormat kHostFormat = VK_FORMAT_B8G8R8A8_UNORM;

VkImage CreateLinearImage(VkDevice vk, uint32_t width, uint32_t height) {
  VkExternalMemoryImageCreateInfo external = {VK_STRUCTURE_TYPE_EXTERNAL_MEMORY_IMAGE_CREATE_INFO};
  external.handleTypes = VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT;
  VkImageCreateInfo info = {VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO};
  info.pNext = &external;
  info.imageType = VK_IMAGE_TYPE_2D;
  info.format = kHostFormat;
  info.extent = {width, height, 1};
  info.mipLevels = 1;
  info.arrayLayers = 1;
  info.samples = VK_SAMPLE_COUNT_1_BIT;
  info.tiling = VK_IMAGE_TILING_LINEAR;
  info.usage = VK_IMAGE_USAGE_TRANSFER_DST_BIT;
  info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
  info.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
  VkImage image = VK_NULL_HANDLE;
  return vkCreateImage(vk, &info, nullptr, &image) == VK_SUCCESS ? image : VK_NULL_HANDLE;
}

size_t RoundUp(size_t value, size_t alignment) { return (value + alignment - 1) / alignment * alignment; }

const VkImageSubresourceRange kColor = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};

}  // namespace

bool HostImage::LayoutFor(VulkanDevice &vulkan, uint32_t width, uint32_t height, HostImageLayout *layout) {
  VkFormatProperties features;
  vkGetPhysicalDeviceFormatProperties(vulkan.Physical(), kHostFormat, &features);
  size_t alignment = (size_t)vulkan.HostImportAlignment();
  if (!alignment || !(features.linearTilingFeatures & VK_FORMAT_FEATURE_BLIT_DST_BIT)) return false;
  VkDevice vk = vulkan.Handle();
  VkImage image = CreateLinearImage(vk, width, height);
  if (!image) return false;
  VkImageSubresource color = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0};
  VkSubresourceLayout placed;
  vkGetImageSubresourceLayout(vk, image, &color, &placed);
  VkMemoryRequirements requirements;
  vkGetImageMemoryRequirements(vk, image, &requirements);
  vkDestroyImage(vk, image, nullptr);
  // The window shows the pixels from the start of the memory.
  if (placed.offset != 0 || placed.rowPitch % 4) return false;
  layout->row_pitch = (size_t)placed.rowPitch;
  layout->size = RoundUp((size_t)requirements.size, alignment);
  layout->alignment = alignment;
  return true;
}

std::unique_ptr<HostImage> HostImage::Import(VulkanDevice &vulkan, uint32_t width, uint32_t height, uint8_t *pixels,
                                             const HostImageLayout &layout) {
  VkDevice vk = vulkan.Handle();
  std::unique_ptr<HostImage> host(new HostImage(vulkan, width, height));
  host->image_ = CreateLinearImage(vk, width, height);
  if (!host->image_) return nullptr;
  auto pointer_properties = reinterpret_cast<PFN_vkGetMemoryHostPointerPropertiesEXT>(
      vkGetDeviceProcAddr(vk, "vkGetMemoryHostPointerPropertiesEXT"));
  VkMemoryHostPointerPropertiesEXT usable = {VK_STRUCTURE_TYPE_MEMORY_HOST_POINTER_PROPERTIES_EXT};
  if (!pointer_properties ||
      pointer_properties(vk, VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT, pixels, &usable) != VK_SUCCESS) {
    return nullptr;
  }
  VkMemoryRequirements requirements;
  vkGetImageMemoryRequirements(vk, host->image_, &requirements);
  int type = vulkan.MemoryType(requirements.memoryTypeBits & usable.memoryTypeBits, 0);
  VkImportMemoryHostPointerInfoEXT import = {VK_STRUCTURE_TYPE_IMPORT_MEMORY_HOST_POINTER_INFO_EXT};
  import.handleType = VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT;
  import.pHostPointer = pixels;
  VkMemoryAllocateInfo allocate = {VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
  allocate.pNext = &import;
  allocate.allocationSize = layout.size;
  allocate.memoryTypeIndex = (uint32_t)type;
  if (type < 0 || requirements.size > layout.size ||
      vkAllocateMemory(vk, &allocate, nullptr, &host->memory_) != VK_SUCCESS) {
    host->memory_ = VK_NULL_HANDLE;
    Log("importing %ux%u host pixels failed", width, height);
    return nullptr;
  }
  if (vkBindImageMemory(vk, host->image_, host->memory_, 0) != VK_SUCCESS) return nullptr;
  return host;
}

HostImage::~HostImage() {
  VkDevice vk = vulkan_.Handle();
  if (image_) vkDestroyImage(vk, image_, nullptr);
  if (memory_) vkFreeMemory(vk, memory_, nullptr);
}

bool HostImage::Write(const Texture &source) {
  const D3D11_TEXTURE2D_DESC &desc = source.Desc();
  if (source.Format().texel_bytes != 4 || source.Format().aspects != VK_IMAGE_ASPECT_COLOR_BIT ||
      desc.Width != width_ || desc.Height != height_) {
    return false;
  }
  // Every write covers the whole image: what it held before does not matter.
  VkImageMemoryBarrier to_destination = {VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
  to_destination.dstAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
  to_destination.oldLayout = VK_IMAGE_LAYOUT_UNDEFINED;
  to_destination.newLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
  to_destination.srcQueueFamilyIndex = to_destination.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
  to_destination.image = image_;
  to_destination.subresourceRange = kColor;
  // The host reads a linear image in the general layout.
  VkImageMemoryBarrier to_host = to_destination;
  to_host.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
  to_host.dstAccessMask = VK_ACCESS_HOST_READ_BIT;
  to_host.oldLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
  to_host.newLayout = VK_IMAGE_LAYOUT_GENERAL;
  VkImageBlit region = {};
  region.srcSubresource = region.dstSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
  region.srcOffsets[1] = region.dstOffsets[1] = {(int32_t)width_, (int32_t)height_, 1};
  VkImage from = source.Image();
  VkImageMemoryBarrier source_to_transfer =
      source.LayoutChange(VK_IMAGE_LAYOUT_GENERAL, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL);
  VkImageMemoryBarrier source_back = source.LayoutChange(VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_IMAGE_LAYOUT_GENERAL);
  return vulkan_.Run({source_to_transfer, to_destination}, {source_back, to_host},
                     [&](VkCommandBuffer commands) {
                       vkCmdBlitImage(commands, from, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, image_,
                                      VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region, VK_FILTER_NEAREST);
                     });
}

}  // namespace ilk::d3d11
