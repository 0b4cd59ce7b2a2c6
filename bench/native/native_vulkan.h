// The native program's Vulkan: one device that can export memory, one queue, and the images
// and host buffers a window needs.
#pragma once

#include <vulkan/vulkan.h>

#include <stdint.h>

namespace native {

struct Image {
  VkImage image = VK_NULL_HANDLE;
  VkDeviceMemory memory = VK_NULL_HANDLE;
  VkDeviceSize size = 0;  // of the allocation
};

// Host-visible, coherent and mapped for its whole life.
struct HostBuffer {
  VkBuffer buffer = VK_NULL_HANDLE;
  VkDeviceMemory memory = VK_NULL_HANDLE;
  VkDeviceSize size = 0;
  const uint8_t *data = nullptr;
};

class Vulkan {
 public:
  Vulkan() = default;
  Vulkan(const Vulkan &) = delete;
  Vulkan &operator=(const Vulkan &) = delete;
  ~Vulkan();

  // The first device that exports memory as file descriptors. False when there is none.
  bool Open();
  const uint8_t *Uuid() const { return uuid_; }

  // A 2-D optimal-tiling image in a dedicated allocation, exportable when asked; its layout
  // is VK_IMAGE_LAYOUT_UNDEFINED until a command moves it.
  bool MakeImage(VkFormat format, VkImageUsageFlags usage, bool exportable, uint32_t width, uint32_t height,
                 Image *image);
  void Free(Image *image);
  // A new descriptor for an exportable image's memory, owned by the caller; -1 on failure.
  int Export(const Image &image);
  bool MakeHostBuffer(VkDeviceSize size, HostBuffer *buffer);
  void Free(HostBuffer *buffer);

  // The one command buffer, begun; Finish submits it and waits until it has run.
  VkCommandBuffer Begin();
  bool Finish();

 private:
  int MemoryType(uint32_t type_bits, VkMemoryPropertyFlags properties) const;

  VkInstance instance_ = VK_NULL_HANDLE;
  VkPhysicalDevice physical_ = VK_NULL_HANDLE;
  VkDevice device_ = VK_NULL_HANDLE;
  VkQueue queue_ = VK_NULL_HANDLE;
  VkCommandPool pool_ = VK_NULL_HANDLE;
  VkCommandBuffer commands_ = VK_NULL_HANDLE;
  VkFence fence_ = VK_NULL_HANDLE;
  PFN_vkGetMemoryFdKHR get_memory_fd_ = nullptr;
  VkPhysicalDeviceMemoryProperties memory_ = {};
  uint8_t uuid_[VK_UUID_SIZE] = {};
};

}  // namespace native
