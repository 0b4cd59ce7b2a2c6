// The native program's Vulkan (native_vulkan.h).
#include "native_vulkan.h"

#include <string.h>

#include <vector>

namespace native {
namespace {

bool ExportsMemory(VkPhysicalDevice device) {
  uint32_t count = 0;
  vkEnumerateDeviceExtensionProperties(device, nullptr, &count, nullptr);
  std::vector<VkExtensionProperties> extensions(count);
  vkEnumerateDeviceExtensionProperties(device, nullptr, &count, extensions.data());
  for (const VkExtensionProperties &extension : extensions) {
    if (strcmp(extension.extensionName, VK_KHR_EXTERNAL_MEMORY_FD_EXTENSION_NAME) == 0) return true;
  }
  return false;
}

}  // namespace

Vulkan::~Vulkan() {
  if (device_) {
    vkDeviceWaitIdle(device_);
    vkDestroyFence(device_, fence_, nullptr);
    vkDestroyCommandPool(device_, pool_, nullptr);
    vkDestroyDevice(device_, nullptr);
  }
  if (instance_) vkDestroyInstance(instance_, nullptr);
}

bool Vulkan::Open() {
  VkApplicationInfo application = {VK_STRUCTURE_TYPE_APPLICATION_INFO};
  application.pApplicationName = "interlock-native";
  application.apiVersion = VK_API_VERSION_1_1;
  VkInstanceCreateInfo instance_info = {VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO};
  instance_info.pApplicationInfo = &application;
  if (vkCreateInstance(&instance_info, nullptr, &instance_) != VK_SUCCESS) return false;
  uint32_t count = 0;
  vkEnumeratePhysicalDevices(instance_, &count, nullptr);
  std::vector<VkPhysicalDevice> devices(count);
  vkEnumeratePhysicalDevices(instance_, &count, devices.data());
  uint32_t family = 0;
  for (VkPhysicalDevice device : devices) {
    if (!ExportsMemory(device)) continue;
    uint32_t family_count = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(device, &family_count, nullptr);
    std::vector<VkQueueFamilyProperties> families(family_count);
    vkGetPhysicalDeviceQueueFamilyProperties(device, &family_count, families.data());
    for (family = 0; family < family_count; ++family) {
      if (families[family].queueFlags & (VK_QUEUE_GRAPHICS_BIT | VK_QUEUE_COMPUTE_BIT | VK_QUEUE_TRANSFER_BIT)) break;
    }
    if (family < family_count) {
      physical_ = device;
      break;
    }
  }
  if (!physical_) return false;
  VkPhysicalDeviceIDProperties id = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_ID_PROPERTIES};
  VkPhysicalDeviceProperties2 properties = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2};
  properties.pNext = &id;
  vkGetPhysicalDeviceProperties2(physical_, &properties);
  memcpy(uuid_, id.deviceUUID, VK_UUID_SIZE);
  vkGetPhysicalDeviceMemoryProperties(physical_, &memory_);

  const float priority = 1.0f;
  VkDeviceQueueCreateInfo queue_info = {VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
  queue_info.queueFamilyIndex = family;
  queue_info.queueCount = 1;
  queue_info.pQueuePriorities = &priority;
  const char *extensions[] = {VK_KHR_EXTERNAL_MEMORY_FD_EXTENSION_NAME};
  VkDeviceCreateInfo device_info = {VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
  device_info.queueCreateInfoCount = 1;
  device_info.pQueueCreateInfos = &queue_info;
  device_info.enabledExtensionCount = 1;
  device_info.ppEnabledExtensionNames = extensions;
  if (vkCreateDevice(physical_, &device_info, nullptr, &device_) != VK_SUCCESS) return false;
  vkGetDeviceQueue(device_, family, 0, &queue_);
  get_memory_fd_ = reinterpret_cast<PFN_vkGetMemoryFdKHR>(vkGetDeviceProcAddr(device_, "vkGetMemoryFdKHR"));

  VkCommandPoolCreateInfo pool_info = {VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
  pool_info.flags = VK_COMMAND_POOL_CREATE_RESET_COMMAND_BUFFER_BIT;
  pool_info.queueFamilyIndex = family;
  VkCommandBufferAllocateInfo allocate = {VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
  allocate.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
  allocate.commandBufferCount = 1;
  VkFenceCreateInfo fence_info = {VK_STRUCTURE_TYPE_FENCE_CREATE_INFO};
  if (vkCreateCommandPool(device_, &pool_info, nullptr, &pool_) != VK_SUCCESS) return false;
  allocate.commandPool = pool_;
  return get_memory_fd_ && vkAllocateCommandBuffers(device_, &allocate, &commands_) == VK_SUCCESS &&
         vkCreateFence(device_, &fence_info, nullptr, &fence_) == VK_SUCCESS;
}

int Vulkan::MemoryType(uint32_t type_bits, VkMemoryPropertyFlags properties) const {
  for (uint32_t type = 0; type < memory_.memoryTypeCount; ++type) {
    if ((type_bits & (1u << type)) && (memory_.memoryTypes[type].propertyFlags & properties) == properties) return (int)type;
  }
  return -1;
}

bool Vulkan::MakeImage(VkFormat format, VkImageUsageFlags usage, bool exportable, uint32_t width, uint32_t height,
                       Image *image) {
  VkExternalMemoryImageCreateInfo external = {VK_STRUCTURE_TYPE_EXTERNAL_MEMORY_IMAGE_CREATE_INFO};
  external.handleTypes = VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT;
  VkImageCreateInfo info = {VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO};
  info.pNext = exportable ? &external : nullptr;
  info.imageType = VK_IMAGE_TYPE_2D;
  info.format = format;
  info.extent = {width, height, 1};
  info.mipLevels = 1;
  info.arrayLayers = 1;
  info.samples = VK_SAMPLE_COUNT_1_BIT;
  info.tiling = VK_IMAGE_TILING_OPTIMAL;
  info.usage = usage;
  info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
  info.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
  if (vkCreateImage(device_, &info, nullptr, &image->image) != VK_SUCCESS) return false;
  VkMemoryRequirements requirements;
  vkGetImageMemoryRequirements(device_, image->image, &requirements);
  int type = MemoryType(requirements.memoryTypeBits, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT);
  VkMemoryDedicatedAllocateInfo dedicated = {VK_STRUCTURE_TYPE_MEMORY_DEDICATED_ALLOCATE_INFO};
  dedicated.image = image->image;
  VkExportMemoryAllocateInfo export_info = {VK_STRUCTURE_TYPE_EXPORT_MEMORY_ALLOCATE_INFO};
  export_info.pNext = &dedicated;
  export_info.handleTypes = VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT;
  VkMemoryAllocateInfo allocate = {VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
  allocate.pNext = exportable ? &export_info : nullptr;
  allocate.allocationSize = requirements.size;
  allocate.memoryTypeIndex = (uint32_t)type;
  if (type < 0 || vkAllocateMemory(device_, &allocate, nullptr, &image->memory) != VK_SUCCESS) return false;
  image->size = requirements.size;
  return vkBindImageMemory(device_, image->image, image->memory, 0) == VK_SUCCESS;
}

void Vulkan::Free(Image *image) {
  if (image->image) vkDestroyImage(device_, image->image, nullptr);
  if (image->memory) vkFreeMemory(device_, image->memory, nullptr);
  *image = Image();
}

int Vulkan::Export(const Image &image) {
  VkMemoryGetFdInfoKHR info = {VK_STRUCTURE_TYPE_MEMORY_GET_FD_INFO_KHR};
  info.memory = image.memory;
  info.handleType = VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT;
  int fd = -1;
  return get_memory_fd_(device_, &info, &fd) == VK_SUCCESS ? fd : -1;
}

bool Vulkan::MakeHostBuffer(VkDeviceSize size, HostBuffer *buffer) {
  VkBufferCreateInfo info = {VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
  info.size = size;
  info.usage = VK_BUFFER_USAGE_TRANSFER_DST_BIT;
  info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
  if (vkCreateBuffer(device_, &info, nullptr, &buffer->buffer) != VK_SUCCESS) return false;
  VkMemoryRequirements requirements;
  vkGetBufferMemoryRequirements(device_, buffer->buffer, &requirements);
  int type = MemoryType(requirements.memoryTypeBits,
                        VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
  VkMemoryAllocateInfo allocate = {VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
  allocate.allocationSize = requirements.size;
  allocate.memoryTypeIndex = (uint32_t)type;
  void *mapped = nullptr;
  if (type < 0 || vkAllocateMemory(device_, &allocate, nullptr, &buffer->memory) != VK_SUCCESS ||
      vkBindBufferMemory(device_, buffer->buffer, buffer->memory, 0) != VK_SUCCESS ||
      vkMapMemory(device_, buffer->memory, 0, VK_WHOLE_SIZE, 0, &mapped) != VK_SUCCESS) {
    return false;
  }
  buffer->size = size;
  buffer->data = static_cast<const uint8_t *>(mapped);
  return true;
}

void Vulkan::Free(HostBuffer *buffer) {
  if (buffer->buffer) vkDestroyBuffer(device_, buffer->buffer, nullptr);
  if (buffer->memory) vkFreeMemory(device_, buffer->memory, nullptr);  // unmaps it too
  *buffer = HostBuffer();
}

VkCommandBuffer Vulkan::Begin() {
  VkCommandBufferBeginInfo begin = {VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
  begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
  vkBeginCommandBuffer(commands_, &begin);
  return commands_;
}

bool Vulkan::Finish() {
  vkEndCommandBuffer(commands_);
  VkSubmitInfo submit = {VK_STRUCTURE_TYPE_SUBMIT_INFO};
  submit.commandBufferCount = 1;
  submit.pCommandBuffers = &commands_;
  bool ok = vkQueueSubmit(queue_, 1, &submit, fence_) == VK_SUCCESS &&
            vkWaitForFences(device_, 1, &fence_, VK_TRUE, UINT64_MAX) == VK_SUCCESS;
  vkResetFences(device_, 1, &fence_);
  return ok;
}

}  // namespace native
