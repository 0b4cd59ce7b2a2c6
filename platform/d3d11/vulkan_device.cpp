// The Vulkan instance, device and queue behind one Direct3D 11 device.
#include "vulkan_device.h"

#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "common/knobs.h"
#include "common/log.h"

namespace ilk::d3d11 {
namespace {

const char *const kValidationLayer = "VK_LAYER_KHRONOS_validation";

// Every command the device records is a copy, so its barriers wait for and on transfers only.
const VkPipelineStageFlags kCommandStage = VK_PIPELINE_STAGE_TRANSFER_BIT;

bool LayerInstalled(const char *name) {
  uint32_t count = 0;
  vkEnumerateInstanceLayerProperties(&count, nullptr);
  std::vector<VkLayerProperties> layers(count);
  vkEnumerateInstanceLayerProperties(&count, layers.data());
  for (const VkLayerProperties &layer : layers) {
    if (strcmp(layer.layerName, name) == 0) return true;
  }
  return false;
}

bool HasDeviceExtension(VkPhysicalDevice device, const char *name) {
  uint32_t count = 0;
  vkEnumerateDeviceExtensionProperties(device, nullptr, &count, nullptr);
  std::vector<VkExtensionProperties> extensions(count);
  vkEnumerateDeviceExtensionProperties(device, nullptr, &count, extensions.data());
  for (const VkExtensionProperties &extension : extensions) {
    if (strcmp(extension.extensionName, name) == 0) return true;
  }
  return false;
}

VkDeviceSize HostPointerAlignment(VkPhysicalDevice device) {
  VkPhysicalDeviceExternalMemoryHostPropertiesEXT host = {
      VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_EXTERNAL_MEMORY_HOST_PROPERTIES_EXT};
  VkPhysicalDeviceProperties2 properties = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2};
  properties.pNext = &host;
  vkGetPhysicalDeviceProperties2(device, &properties);
  return host.minImportedHostPointerAlignment;
}

// Whether presentation has the device write windows' pixels, host memory it imports. On a CPU
// device (lavapipe) the device's blit is itself a pass of the CPU, and a slower one than reading
// the frame back and composing it, so there only INTERLOCK_PRESENT=device asks for it.
bool PresentsIntoHostMemory(VkPhysicalDevice device) {
  if (!HasDeviceExtension(device, VK_EXT_EXTERNAL_MEMORY_HOST_EXTENSION_NAME) ||
      IsHidden(VK_EXT_EXTERNAL_MEMORY_HOST_EXTENSION_NAME)) {
    return false;
  }
  switch (SelectedPresentPath()) {
    case PresentPath::Device:
      return true;
    case PresentPath::ReadBack:
      return false;
    case PresentPath::PerDevice:
      break;
  }
  VkPhysicalDeviceProperties properties;
  vkGetPhysicalDeviceProperties(device, &properties);
  return properties.deviceType != VK_PHYSICAL_DEVICE_TYPE_CPU;
}

VKAPI_ATTR VkBool32 VKAPI_CALL ValidationMessage(VkDebugUtilsMessageSeverityFlagBitsEXT,
                                                 VkDebugUtilsMessageTypeFlagsEXT,
                                                 const VkDebugUtilsMessengerCallbackDataEXT *data, void *) {
  std::string text = std::string("Vulkan validation: ") + (data->pMessage ? data->pMessage : "") + "\n";
  DebuggerOutput(text.c_str());
  return VK_FALSE;
}

// The device's DRM render node; none where it does not offer VK_EXT_physical_device_drm or has
// no render node.
std::optional<RenderNode> RenderNodeOf(VkPhysicalDevice device) {
  if (!HasDeviceExtension(device, VK_EXT_PHYSICAL_DEVICE_DRM_EXTENSION_NAME)) return std::nullopt;
  VkPhysicalDeviceDrmPropertiesEXT drm = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DRM_PROPERTIES_EXT};
  VkPhysicalDeviceProperties2 properties = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2};
  properties.pNext = &drm;
  vkGetPhysicalDeviceProperties2(device, &properties);
  if (!drm.hasRender) return std::nullopt;
  return RenderNode{(uint32_t)drm.renderMajor, (uint32_t)drm.renderMinor};
}

bool Chosen(const char *device_name, size_t index, const VulkanDeviceChoice &choice) {
  if (choice.index) return *choice.index == index;
  const std::string &wanted = choice.name_part;
  std::string name = device_name;
  for (size_t at = 0; at + wanted.size() <= name.size(); ++at) {
    if (strncasecmp(name.c_str() + at, wanted.c_str(), wanted.size()) == 0) return true;
  }
  return false;
}

struct PhysicalChoice {
  VkPhysicalDevice device;
  uint32_t queue_family;
  size_t index;  // in Vulkan's enumeration
  DeviceIdentity identity;
};

// The device INTERLOCK_VULKAN_DEVICE names, else the first one that can export memory as file
// descriptors, with a queue family that can copy; none when there is no such device.
std::optional<PhysicalChoice> ChoosePhysicalDevice(VkInstance instance) {
  uint32_t count = 0;
  vkEnumeratePhysicalDevices(instance, &count, nullptr);
  std::vector<VkPhysicalDevice> devices(count);
  vkEnumeratePhysicalDevices(instance, &count, devices.data());
  const VulkanDeviceChoice wanted = SelectedVulkanDevice();
  for (size_t index = 0; index < devices.size(); ++index) {
    VkPhysicalDeviceIDProperties id = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_ID_PROPERTIES};
    VkPhysicalDeviceProperties2 properties = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2};
    properties.pNext = &id;
    vkGetPhysicalDeviceProperties2(devices[index], &properties);
    if (!Chosen(properties.properties.deviceName, index, wanted)) continue;
    if (properties.properties.apiVersion < VK_API_VERSION_1_1 ||
        !HasDeviceExtension(devices[index], VK_KHR_EXTERNAL_MEMORY_FD_EXTENSION_NAME)) {
      Trace("Vulkan device %zu (%s) cannot export memory; skipped", index, properties.properties.deviceName);
      continue;
    }
    uint32_t family_count = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(devices[index], &family_count, nullptr);
    std::vector<VkQueueFamilyProperties> families(family_count);
    vkGetPhysicalDeviceQueueFamilyProperties(devices[index], &family_count, families.data());
    for (uint32_t family = 0; family < family_count; ++family) {
      // Copies need a transfer queue; graphics and compute queues can transfer as well.
      if (!(families[family].queueFlags & (VK_QUEUE_GRAPHICS_BIT | VK_QUEUE_COMPUTE_BIT | VK_QUEUE_TRANSFER_BIT))) continue;
      PhysicalChoice choice = {devices[index], family, index, {}};
      choice.identity.name = properties.properties.deviceName;
      memcpy(choice.identity.device_uuid, id.deviceUUID, VK_UUID_SIZE);
      memcpy(choice.identity.driver_uuid, id.driverUUID, VK_UUID_SIZE);
      choice.identity.render_node = RenderNodeOf(devices[index]);
      return choice;
    }
  }
  return std::nullopt;
}

// A Vulkan 1.1 instance with `layers` and `extensions`; null when it cannot be made.
VkInstance NewInstance(const std::vector<const char *> &layers, const std::vector<const char *> &extensions) {
  VkApplicationInfo app = {VK_STRUCTURE_TYPE_APPLICATION_INFO};
  app.pApplicationName = "interlock";
  app.pEngineName = "interlock d3d11";
  app.apiVersion = VK_API_VERSION_1_1;
  VkInstanceCreateInfo info = {VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO};
  info.pApplicationInfo = &app;
  info.enabledLayerCount = (uint32_t)layers.size();
  info.ppEnabledLayerNames = layers.data();
  info.enabledExtensionCount = (uint32_t)extensions.size();
  info.ppEnabledExtensionNames = extensions.data();
  VkInstance instance = VK_NULL_HANDLE;
  return vkCreateInstance(&info, nullptr, &instance) == VK_SUCCESS ? instance : VK_NULL_HANDLE;
}

// The devices open now, oldest first: every one was chosen by the same rule from the same
// devices, so any of them answers ChosenIdentity without a Vulkan instance made for it.
std::mutex live_mutex;
std::vector<const VulkanDevice *> live_devices;

}  // namespace

std::unique_ptr<VulkanDevice> VulkanDevice::Open(bool validation) {
  std::unique_ptr<VulkanDevice> device(new VulkanDevice);
  if (!device->Init(validation)) return nullptr;
  std::lock_guard<std::mutex> lock(live_mutex);
  live_devices.push_back(device.get());
  return device;
}

bool VulkanDevice::Init(bool validation) {
  std::vector<const char *> layers, extensions;
  if (validation) {
    if (LayerInstalled(kValidationLayer)) {
      layers.push_back(kValidationLayer);
      extensions.push_back(VK_EXT_DEBUG_UTILS_EXTENSION_NAME);
    } else {
      Log("D3D11_CREATE_DEVICE_DEBUG: %s is not installed, the device runs without it", kValidationLayer);
    }
  }
  instance_ = NewInstance(layers, extensions);
  if (!instance_) return false;
  if (!layers.empty()) {
    auto create_messenger = reinterpret_cast<PFN_vkCreateDebugUtilsMessengerEXT>(
        vkGetInstanceProcAddr(instance_, "vkCreateDebugUtilsMessengerEXT"));
    VkDebugUtilsMessengerCreateInfoEXT messenger_info = {VK_STRUCTURE_TYPE_DEBUG_UTILS_MESSENGER_CREATE_INFO_EXT};
    messenger_info.messageSeverity =
        VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT;
    messenger_info.messageType = VK_DEBUG_UTILS_MESSAGE_TYPE_GENERAL_BIT_EXT |
                                 VK_DEBUG_UTILS_MESSAGE_TYPE_VALIDATION_BIT_EXT |
                                 VK_DEBUG_UTILS_MESSAGE_TYPE_PERFORMANCE_BIT_EXT;
    messenger_info.pfnUserCallback = ValidationMessage;
    if (create_messenger) create_messenger(instance_, &messenger_info, nullptr, &messenger_);
  }
  if (!PickPhysicalDevice()) return false;

  float priority = 1.0f;
  VkDeviceQueueCreateInfo queue_info = {VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
  queue_info.queueFamilyIndex = queue_family_;
  queue_info.queueCount = 1;
  queue_info.pQueuePriorities = &priority;
  std::vector<const char *> device_extensions = {VK_KHR_EXTERNAL_MEMORY_FD_EXTENSION_NAME};
  if (PresentsIntoHostMemory(physical_)) {
    device_extensions.push_back(VK_EXT_EXTERNAL_MEMORY_HOST_EXTENSION_NAME);
    host_import_alignment_ = HostPointerAlignment(physical_);
  }
  VkDeviceCreateInfo device_info = {VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
  device_info.queueCreateInfoCount = 1;
  device_info.pQueueCreateInfos = &queue_info;
  device_info.enabledExtensionCount = (uint32_t)device_extensions.size();
  device_info.ppEnabledExtensionNames = device_extensions.data();
  if (vkCreateDevice(physical_, &device_info, nullptr, &device_) != VK_SUCCESS) {
    device_ = VK_NULL_HANDLE;
    return false;
  }
  vkGetDeviceQueue(device_, queue_family_, 0, &queue_);
  // One command buffer, its pool reset before it is begun again for every run.
  VkCommandPoolCreateInfo pool_info = {VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
  pool_info.queueFamilyIndex = queue_family_;
  if (vkCreateCommandPool(device_, &pool_info, nullptr, &pool_) != VK_SUCCESS) {
    pool_ = VK_NULL_HANDLE;
    return false;
  }
  VkCommandBufferAllocateInfo allocate = {VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
  allocate.commandPool = pool_;
  allocate.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
  allocate.commandBufferCount = 1;
  VkFenceCreateInfo fence_info = {VK_STRUCTURE_TYPE_FENCE_CREATE_INFO};
  return vkAllocateCommandBuffers(device_, &allocate, &commands_) == VK_SUCCESS &&
         vkCreateFence(device_, &fence_info, nullptr, &fence_) == VK_SUCCESS;
}

bool VulkanDevice::PickPhysicalDevice() {
  std::optional<PhysicalChoice> chosen = ChoosePhysicalDevice(instance_);
  if (!chosen) return false;
  physical_ = chosen->device;
  queue_family_ = chosen->queue_family;
  identity_ = chosen->identity;
  vkGetPhysicalDeviceMemoryProperties(physical_, &memory_);
  formats_ = ChooseFormats(physical_);
  Trace("Direct3D 11 on Vulkan device %zu: %s", chosen->index, identity_.name.c_str());
  return true;
}

bool VulkanDevice::ChosenIdentity(DeviceIdentity *identity) {
  {
    std::lock_guard<std::mutex> lock(live_mutex);
    if (!live_devices.empty()) {
      *identity = live_devices.front()->Identity();
      return true;
    }
  }
  VkInstance instance = NewInstance({}, {});
  if (!instance) return false;
  std::optional<PhysicalChoice> chosen = ChoosePhysicalDevice(instance);
  if (chosen) *identity = chosen->identity;
  vkDestroyInstance(instance, nullptr);
  return chosen.has_value();
}

VulkanDevice::~VulkanDevice() {
  {
    std::lock_guard<std::mutex> lock(live_mutex);
    live_devices.erase(std::remove(live_devices.begin(), live_devices.end(), this), live_devices.end());
  }
  if (device_) {
    vkDeviceWaitIdle(device_);
    if (fence_) vkDestroyFence(device_, fence_, nullptr);
    if (pool_) vkDestroyCommandPool(device_, pool_, nullptr);
    vkDestroyDevice(device_, nullptr);
  }
  if (messenger_) {
    auto destroy_messenger = reinterpret_cast<PFN_vkDestroyDebugUtilsMessengerEXT>(
        vkGetInstanceProcAddr(instance_, "vkDestroyDebugUtilsMessengerEXT"));
    if (destroy_messenger) destroy_messenger(instance_, messenger_, nullptr);
  }
  if (instance_) vkDestroyInstance(instance_, nullptr);
}

int VulkanDevice::MemoryType(uint32_t type_bits, VkMemoryPropertyFlags required, VkMemoryPropertyFlags preferred) const {
  int found = -1;
  for (uint32_t type = 0; type < memory_.memoryTypeCount; ++type) {
    VkMemoryPropertyFlags properties = memory_.memoryTypes[type].propertyFlags;
    if (!(type_bits & (1u << type)) || (properties & required) != required) continue;
    if ((properties & preferred) == preferred) return (int)type;
    if (found < 0) found = (int)type;
  }
  return found;
}

const ChosenFormat *VulkanDevice::Format(DXGI_FORMAT format) const {
  for (const ChosenFormat &chosen : formats_) {
    if (chosen.format->dxgi == format) return &chosen;
  }
  return nullptr;
}

VkCommandBuffer VulkanDevice::Open(LayoutChanges before) {
  if (!recording_) {
    // The last submission was waited for: nothing of the pool is in use.
    vkResetCommandPool(device_, pool_, 0);
    VkCommandBufferBeginInfo begin = {VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    if (vkBeginCommandBuffer(commands_, &begin) != VK_SUCCESS) return VK_NULL_HANDLE;
    recording_ = true;
  }
  // A barrier of its own: a new image may also be among `before`, and the changes of one barrier
  // are not ordered among themselves.
  if (!pending_layouts_.empty()) {
    vkCmdPipelineBarrier(commands_, VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT, kCommandStage, 0, 0, nullptr, 0, nullptr,
                         (uint32_t)pending_layouts_.size(), pending_layouts_.data());
    pending_layouts_.clear();
  }
  VkMemoryBarrier barrier = {VK_STRUCTURE_TYPE_MEMORY_BARRIER};
  barrier.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT | VK_ACCESS_HOST_WRITE_BIT;
  barrier.dstAccessMask = VK_ACCESS_TRANSFER_READ_BIT | VK_ACCESS_TRANSFER_WRITE_BIT;
  vkCmdPipelineBarrier(commands_, kCommandStage | VK_PIPELINE_STAGE_HOST_BIT, kCommandStage, 0, 1, &barrier, 0, nullptr,
                       (uint32_t)before.size(), before.begin());
  return commands_;
}

void VulkanDevice::RecordLayoutChanges(LayoutChanges changes) {
  if (changes.size() == 0) return;
  vkCmdPipelineBarrier(commands_, kCommandStage, kCommandStage, 0, 0, nullptr, 0, nullptr, (uint32_t)changes.size(),
                       changes.begin());
}

bool VulkanDevice::Submit(const VkImageMemoryBarrier *after, size_t count) {
  VkMemoryBarrier barrier = {VK_STRUCTURE_TYPE_MEMORY_BARRIER};
  barrier.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
  barrier.dstAccessMask = VK_ACCESS_HOST_READ_BIT;
  vkCmdPipelineBarrier(commands_, kCommandStage, kCommandStage | VK_PIPELINE_STAGE_HOST_BIT, 0, 1, &barrier, 0, nullptr,
                       (uint32_t)count, after);
  VkSubmitInfo submit = {VK_STRUCTURE_TYPE_SUBMIT_INFO};
  submit.commandBufferCount = 1;
  submit.pCommandBuffers = &commands_;
  recording_ = false;
  bool ok = vkEndCommandBuffer(commands_) == VK_SUCCESS && vkQueueSubmit(queue_, 1, &submit, fence_) == VK_SUCCESS &&
            vkWaitForFences(device_, 1, &fence_, VK_TRUE, UINT64_MAX) == VK_SUCCESS;
  vkResetFences(device_, 1, &fence_);
  if (!ok) Log("Vulkan submission on %s failed", identity_.name.c_str());
  return ok;
}

bool VulkanDevice::WaitIdle() { return Release({}); }

namespace {

// The whole allocation: a range from 0 to VK_WHOLE_SIZE needs no alignment to nonCoherentAtomSize.
VkMappedMemoryRange WholeMemory(VkDeviceMemory memory) {
  VkMappedMemoryRange range = {VK_STRUCTURE_TYPE_MAPPED_MEMORY_RANGE};
  range.memory = memory;
  range.size = VK_WHOLE_SIZE;
  return range;
}

}  // namespace

void VulkanDevice::FlushMapped(VkDeviceMemory memory) const {
  VkMappedMemoryRange range = WholeMemory(memory);
  vkFlushMappedMemoryRanges(device_, 1, &range);
}

void VulkanDevice::InvalidateMapped(VkDeviceMemory memory) const {
  VkMappedMemoryRange range = WholeMemory(memory);
  vkInvalidateMappedMemoryRanges(device_, 1, &range);
}

void VulkanDevice::ChangeLayoutLater(VkImage image, const VkImageSubresourceRange &range, VkImageLayout layout) {
  VkImageMemoryBarrier barrier = {VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
  barrier.dstAccessMask = VK_ACCESS_MEMORY_READ_BIT | VK_ACCESS_MEMORY_WRITE_BIT;
  barrier.oldLayout = VK_IMAGE_LAYOUT_UNDEFINED;
  barrier.newLayout = layout;
  barrier.srcQueueFamilyIndex = barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
  barrier.image = image;
  barrier.subresourceRange = range;
  std::lock_guard<std::mutex> lock(queue_mutex_);
  pending_layouts_.push_back(barrier);
}

bool VulkanDevice::Release(const Handovers &releases) {
  std::lock_guard<std::mutex> lock(queue_mutex_);
  // Nothing to hand over and nothing queued: the device is idle already.
  if (releases.empty() && !recording_ && pending_layouts_.empty()) return true;
  return Open({}) && Submit(releases.data(), releases.size());
}

void VulkanDevice::AcquireLater(const Handovers &acquisitions) {
  std::lock_guard<std::mutex> lock(queue_mutex_);
  pending_layouts_.insert(pending_layouts_.end(), acquisitions.begin(), acquisitions.end());
}

void VulkanDevice::ForgetImage(VkImage image) {
  std::lock_guard<std::mutex> lock(queue_mutex_);
  pending_layouts_.erase(std::remove_if(pending_layouts_.begin(), pending_layouts_.end(),
                                        [image](const VkImageMemoryBarrier &barrier) { return barrier.image == image; }),
                         pending_layouts_.end());
  if (recording_) Submit(nullptr, 0);
}

}  // namespace ilk::d3d11
