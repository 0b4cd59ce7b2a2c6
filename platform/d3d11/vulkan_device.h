// The Vulkan instance, device and queue behind one Direct3D 11 device.
#pragma once

#include <vulkan/vulkan.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ilk::d3d11 {

class VulkanDevice {
 public:
  // The device INTERLOCK_VULKAN_DEVICE names (an index into the physical devices, or a part of
  // a device name, compared case-insensitively), else the first one that can export memory as
  // file descriptors. `validation` adds the Khronos validation layer when it is installed, its
  // messages going to the debugger channel. Null when there is no such device.
  static std::unique_ptr<VulkanDevice> Open(bool validation);
  ~VulkanDevice();

  VkDevice Handle() const { return device_; }
  const uint8_t *Uuid() const { return uuid_; }

  // A memory type among `type_bits` with `properties`, or -1.
  int MemoryType(uint32_t type_bits, VkMemoryPropertyFlags properties) const;

  // Records commands with `record(VkCommandBuffer)` and runs them to completion. Every run
  // starts with the layout changes asked for since the last one and a full memory barrier, so
  // it sees whatever earlier runs and the host wrote. False on device loss.
  template <typename Record>
  bool Run(const Record &record) {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    VkCommandBuffer commands = Begin();
    if (commands) record(commands);
    return commands && Submit();
  }
  // Runs the layout changes asked for, if any, and waits until the queue has finished all work.
  // Every run waits for itself, so only a run on another thread can still be going.
  void WaitIdle();

  // Moves a new image from VK_IMAGE_LAYOUT_UNDEFINED to `layout` at the start of the next
  // submission, together with every other such change.
  void ChangeLayoutLater(VkImage image, const VkImageSubresourceRange &range, VkImageLayout layout);
  // Drops the pending layout change of an image about to be destroyed.
  void ForgetImage(VkImage image);

 private:
  VulkanDevice() = default;
  bool Init(bool validation);
  bool PickPhysicalDevice();
  // Under `queue_mutex_`: begins the one command buffer with the pending layout changes and
  // the leading barrier, or null when it cannot be begun.
  VkCommandBuffer Begin();
  // Under `queue_mutex_`: ends the command buffer, submits it and waits for it.
  bool Submit();

  VkInstance instance_ = VK_NULL_HANDLE;
  VkDebugUtilsMessengerEXT messenger_ = VK_NULL_HANDLE;
  VkPhysicalDevice physical_ = VK_NULL_HANDLE;
  VkDevice device_ = VK_NULL_HANDLE;
  uint32_t queue_family_ = 0;
  VkQueue queue_ = VK_NULL_HANDLE;
  VkCommandPool pool_ = VK_NULL_HANDLE;
  VkCommandBuffer commands_ = VK_NULL_HANDLE;  // re-recorded by every run
  VkFence fence_ = VK_NULL_HANDLE;
  VkPhysicalDeviceMemoryProperties memory_ = {};
  uint8_t uuid_[VK_UUID_SIZE] = {};
  std::string name_;
  std::mutex queue_mutex_;  // the queue, the pool, the command buffer, the fence and the pending layout changes
  std::vector<VkImageMemoryBarrier> pending_layouts_;
};

}  // namespace ilk::d3d11
