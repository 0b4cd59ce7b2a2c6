// The Vulkan instance, device and queue behind one Direct3D 11 device.
#pragma once

#include <vulkan/vulkan.h>

#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "d3d11_internal.h"
#include "format_choice.h"

namespace ilk::d3d11 {

class VulkanDevice {
 public:
  // The device INTERLOCK_VULKAN_DEVICE names (an index into the physical devices, or a part of
  // a device name, compared case-insensitively), else the first one that can export memory as
  // file descriptors. `validation` adds the Khronos validation layer when it is installed, its
  // messages going to the debugger channel. Null when there is no such device.
  static std::unique_ptr<VulkanDevice> Open(bool validation);
  // The identity of the physical device Open would choose now: that of a device open now, else
  // asked of a Vulkan instance made for the question. False when there is none.
  static bool ChosenIdentity(DeviceIdentity *identity);
  ~VulkanDevice();

  VkDevice Handle() const { return device_; }
  VkPhysicalDevice Physical() const { return physical_; }
  uint32_t QueueFamily() const { return queue_family_; }
  const DeviceIdentity &Identity() const { return identity_; }

  // The alignment of host memory the device imports for presentation to write windows' pixels
  // in (VK_EXT_external_memory_host), address and size alike; 0 when presentation reads frames
  // back instead (no such import, or INTERLOCK_PRESENT, by default on a CPU device).
  VkDeviceSize HostImportAlignment() const { return host_import_alignment_; }

  // A memory type among `type_bits` with the `required` properties, the first that also has
  // the `preferred` ones if any does; -1 when none has the required ones.
  int MemoryType(uint32_t type_bits, VkMemoryPropertyFlags required, VkMemoryPropertyFlags preferred = 0) const;
  VkMemoryPropertyFlags MemoryTypeProperties(int type) const { return memory_.memoryTypes[type].propertyFlags; }
  // The backing of `format` on this device, chosen when it opened from what it reports; null
  // when the device can make no texture of that format.
  const ChosenFormat *Format(DXGI_FORMAT format) const;
  // For mapped memory that is not host-coherent, the whole allocation: makes the host's writes
  // visible to the device (before it reads them), or the device's writes, which the host waited
  // for, visible to the host (before it reads them).
  void FlushMapped(VkDeviceMemory memory) const;
  void InvalidateMapped(VkDeviceMemory memory) const;

  // Layout changes of whole images (from Texture::LayoutChange), recorded in one pipeline barrier.
  using LayoutChanges = std::initializer_list<VkImageMemoryBarrier>;
  // Ownership transfers of whole images (from Texture::Handover).
  using Handovers = std::vector<VkImageMemoryBarrier>;

  // Records commands with `record(VkCommandBuffer)` and runs them, together with whatever was
  // recorded to run later, to completion. Every recording starts with the layout changes asked
  // for since the last one and one barrier that makes it see whatever was recorded or run before
  // it and what the host wrote, and that moves its images to the layouts it uses (`before`);
  // `after` moves them back to where they rest, in the barrier that makes the results visible to
  // the host. Each image appears at most once in `before` and once in `after`. False on device
  // loss.
  template <typename Record>
  bool Run(LayoutChanges before, LayoutChanges after, const Record &record) {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    VkCommandBuffer commands = Open(before);
    if (commands) record(commands);
    return commands && Submit(after.begin(), after.size());
  }
  // As Run, but the commands run with the next Run, Release or WaitIdle, as the immediate context
  // queues work on Windows: a copy and the present that reads its result then make one
  // submission.
  template <typename Record>
  void RunLater(LayoutChanges before, LayoutChanges after, const Record &record) {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    if (VkCommandBuffer commands = Open(before)) {
      record(commands);
      RecordLayoutChanges(after);
    }
  }
  // Runs what was recorded to run later and the layout changes asked for, if any, and waits for
  // them. Every run waits for itself, so afterwards the device has no work left. False on
  // device loss.
  bool WaitIdle();

  // Moves a new image from VK_IMAGE_LAYOUT_UNDEFINED to `layout` at the start of the next
  // submission, together with every other such change.
  void ChangeLayoutLater(VkImage image, const VkImageSubresourceRange &range, VkImageLayout layout);
  // Runs what was recorded to run later and then `releases` (Texture::Handover to OpenGL), and
  // waits for them. False on device loss.
  bool Release(const Handovers &releases);
  // Records `acquisitions` (Texture::Handover from OpenGL) at the start of the next submission,
  // with the layout changes above.
  void AcquireLater(const Handovers &acquisitions);
  // Runs the work recorded to run later, which may use `image`, and drops the image's pending
  // layout change: it is about to be destroyed.
  void ForgetImage(VkImage image);

 private:
  VulkanDevice() = default;
  bool Init(bool validation);
  bool PickPhysicalDevice();
  // Under `queue_mutex_`: the one command buffer, begun unless it is recording already, with the
  // pending layout changes and the leading barrier (with `before`) recorded; null when it cannot
  // be begun.
  VkCommandBuffer Open(LayoutChanges before);
  // Under `queue_mutex_`: records `changes` between everything before and after them.
  void RecordLayoutChanges(LayoutChanges changes);
  // Under `queue_mutex_`: records the `count` barriers `after` with the barrier that makes the
  // device's writes visible to the host, ends the recording command buffer, submits it and waits
  // for it.
  bool Submit(const VkImageMemoryBarrier *after, size_t count);

  VkInstance instance_ = VK_NULL_HANDLE;
  VkDebugUtilsMessengerEXT messenger_ = VK_NULL_HANDLE;
  VkPhysicalDevice physical_ = VK_NULL_HANDLE;
  VkDevice device_ = VK_NULL_HANDLE;
  uint32_t queue_family_ = 0;
  VkQueue queue_ = VK_NULL_HANDLE;
  VkCommandPool pool_ = VK_NULL_HANDLE;
  VkCommandBuffer commands_ = VK_NULL_HANDLE;  // begun again after every submission
  bool recording_ = false;                      // whether `commands_` holds work not yet submitted
  VkFence fence_ = VK_NULL_HANDLE;
  VkPhysicalDeviceMemoryProperties memory_ = {};
  DeviceIdentity identity_;
  std::vector<ChosenFormat> formats_;
  VkDeviceSize host_import_alignment_ = 0;
  std::mutex queue_mutex_;  // the queue, the pool, the command buffer and its state, the fence and the pending layout changes
  std::vector<VkImageMemoryBarrier> pending_layouts_;
};

}  // namespace ilk::d3d11
