// A host-visible Vulkan buffer for moving texels between the host and images.
#include "staging_buffer.h"

namespace ilk::d3d11 {

StagingBuffer::StagingBuffer(VulkanDevice &device, VkDeviceSize size, StagingUse use) : device_(device) {
  VkDevice vk = device.Handle();
  VkBufferCreateInfo info = {VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
  info.size = size;
  info.usage = VK_BUFFER_USAGE_TRANSFER_SRC_BIT | VK_BUFFER_USAGE_TRANSFER_DST_BIT;
  info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
  if (vkCreateBuffer(vk, &info, nullptr, &buffer_) != VK_SUCCESS) {
    buffer_ = VK_NULL_HANDLE;
    return;
  }
  VkMemoryRequirements requirements;
  vkGetBufferMemoryRequirements(vk, buffer_, &requirements);
  VkMemoryPropertyFlags preferred =
      use == StagingUse::kReadBack ? VK_MEMORY_PROPERTY_HOST_CACHED_BIT : VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;
  int type = device.MemoryType(requirements.memoryTypeBits, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT, preferred);
  if (type >= 0) coherent_ = device.MemoryTypeProperties(type) & VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;
  VkMemoryAllocateInfo allocate = {VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
  allocate.allocationSize = requirements.size;
  allocate.memoryTypeIndex = (uint32_t)type;
  if (type < 0 || vkAllocateMemory(vk, &allocate, nullptr, &memory_) != VK_SUCCESS) {
    memory_ = VK_NULL_HANDLE;
    return;
  }
  if (vkBindBufferMemory(vk, buffer_, memory_, 0) != VK_SUCCESS ||
      vkMapMemory(vk, memory_, 0, VK_WHOLE_SIZE, 0, &mapped_) != VK_SUCCESS) {
    mapped_ = nullptr;
  }
}

StagingBuffer::~StagingBuffer() {
  VkDevice vk = device_.Handle();
  // The buffer goes before the memory bound to it.
  if (mapped_) vkUnmapMemory(vk, memory_);
  if (buffer_) vkDestroyBuffer(vk, buffer_, nullptr);
  if (memory_) vkFreeMemory(vk, memory_, nullptr);
}

void StagingBuffer::FlushHostWrites() const {
  if (!coherent_) device_.FlushMapped(memory_);
}

void StagingBuffer::InvalidateHostCopy() const {
  if (!coherent_) device_.InvalidateMapped(memory_);
}

}  // namespace ilk::d3d11
