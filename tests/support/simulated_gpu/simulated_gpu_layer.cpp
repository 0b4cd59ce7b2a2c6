// A Vulkan layer that makes the device under it report what a GPU reports, so that tests run
// the platform's real code paths for conditions a software driver never shows. SIMULATED_GPU
// lists the conditions, comma-separated:
//   uuids             device and driver UUIDs (and the name) differ from the driver's own, as
//                     for a GPU that Mesa's OpenGL does not run on;
//   uuids-on-first    the same for the first physical device the layer enumerates only: with two
//                     drivers (lavapipe and a copy of it), one "Simulated GPU" and Mesa's lavapipe
//                     beside it, as on a machine with a GPU and Mesa installed;
//   render-node       the device offers VK_EXT_physical_device_drm, with render node 226:128
//                     (/dev/dri/renderD128) and no primary node, over a driver that does not
//                     (the layer keeps the extension from the driver's devices);
//   unsharable-d24s8  VK_FORMAT_D24_UNORM_S8_UINT images cannot be exported or imported;
//   dedicated-only    external memory only in dedicated allocations: images report that they
//                     require one, and binding an external image to other memory fails;
//   discrete-memory   the memory types of a discrete GPU, in its order: device-local only,
//                     host-visible coherent (uncached), host-cached but not coherent (the layer
//                     keeps a copy of mapped memory that only flushes and invalidations
//                     synchronise, so a missing one shows), and device-local host-visible.
// All simulated memory types stand for the driver's first type, which must have every property.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vulkan/vk_layer.h>
#include <vulkan/vulkan.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#define LAYER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

bool Simulates(const char *condition) {
  const char *conditions = getenv("SIMULATED_GPU");
  if (!conditions) return false;
  std::string list = std::string(",") + conditions + ",";
  return list.find(std::string(",") + condition + ",") != std::string::npos;
}

void *DispatchKey(const void *handle) { return *(void **)handle; }

template <typename Struct>
Struct *FindInChain(void *chain, VkStructureType type) {
  for (auto *next = static_cast<VkBaseOutStructure *>(chain); next; next = next->pNext) {
    if (next->sType == type) return reinterpret_cast<Struct *>(next);
  }
  return nullptr;
}

struct InstanceFunctions {
  PFN_vkGetInstanceProcAddr get_proc;
  PFN_vkDestroyInstance destroy;
  PFN_vkGetPhysicalDeviceProperties properties;
  PFN_vkGetPhysicalDeviceProperties2 properties2;
  PFN_vkGetPhysicalDeviceImageFormatProperties2 image_format2;
  PFN_vkGetPhysicalDeviceMemoryProperties memory;
  PFN_vkGetPhysicalDeviceMemoryProperties2 memory2;
  PFN_vkEnumeratePhysicalDevices enumerate;
  PFN_vkEnumeratePhysicalDeviceGroups enumerate_groups;
  PFN_vkEnumerateDeviceExtensionProperties device_extensions;
  VkPhysicalDevice first = VK_NULL_HANDLE;  // the first the driver below enumerated
};

struct Mapping {
  uint8_t *real = nullptr;
  VkDeviceSize offset = 0;
  std::vector<uint8_t> copy;  // what the host sees of non-coherent memory
};

struct Allocation {
  bool non_coherent = false;
  VkImage dedicated_image = VK_NULL_HANDLE;
  VkDeviceSize size = 0;
  Mapping mapping;
};

struct DeviceFunctions {
  PFN_vkGetDeviceProcAddr get_proc;
  PFN_vkDestroyDevice destroy;
  PFN_vkGetImageMemoryRequirements image_requirements;
  PFN_vkGetImageMemoryRequirements2 image_requirements2;
  PFN_vkGetBufferMemoryRequirements buffer_requirements;
  PFN_vkGetBufferMemoryRequirements2 buffer_requirements2;
  PFN_vkGetDeviceImageMemoryRequirements device_image_requirements;
  PFN_vkGetDeviceBufferMemoryRequirements device_buffer_requirements;
  PFN_vkGetMemoryFdPropertiesKHR fd_properties;
  PFN_vkCreateImage create_image;
  PFN_vkDestroyImage destroy_image;
  PFN_vkAllocateMemory allocate;
  PFN_vkFreeMemory free;
  PFN_vkMapMemory map;
  PFN_vkUnmapMemory unmap;
  PFN_vkFlushMappedMemoryRanges flush;
  PFN_vkInvalidateMappedMemoryRanges invalidate;
  PFN_vkBindImageMemory bind_image;
  PFN_vkBindImageMemory2 bind_image2;
  std::set<VkImage> external_images;
  std::map<VkDeviceMemory, Allocation> allocations;
};

std::mutex mutex;  // the tables below and every device's image and allocation tables
std::map<void *, InstanceFunctions> instances;
std::map<void *, DeviceFunctions> devices;

// Drops `key` from one of the tables.
template <typename Table, typename Key>
void Forget(Table &table, const Key &key) {
  std::lock_guard<std::mutex> lock(mutex);
  table.erase(key);
}

InstanceFunctions &Instance(const void *handle) {
  std::lock_guard<std::mutex> lock(mutex);
  return instances.at(DispatchKey(handle));
}

DeviceFunctions &Device(const void *handle) {
  std::lock_guard<std::mutex> lock(mutex);
  return devices.at(DispatchKey(handle));
}

// The memory types of a discrete GPU, by their properties.
const VkMemoryPropertyFlags kDiscreteTypes[] = {
    VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT,
    VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT,
    VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_CACHED_BIT,
    VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT | VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT,
};
const uint32_t kNonCoherentType = 2;
const uint32_t kDiscreteTypeCount = sizeof kDiscreteTypes / sizeof kDiscreteTypes[0];

void SimulateMemoryTypes(VkPhysicalDeviceMemoryProperties *memory) {
  if (!Simulates("discrete-memory")) return;
  VkMemoryHeap heap = memory->memoryHeaps[memory->memoryTypes[0].heapIndex];
  memory->memoryHeapCount = 2;
  memory->memoryHeaps[0] = {heap.size, VK_MEMORY_HEAP_DEVICE_LOCAL_BIT};
  memory->memoryHeaps[1] = {heap.size, 0};
  memory->memoryTypeCount = kDiscreteTypeCount;
  for (uint32_t type = 0; type < kDiscreteTypeCount; ++type) {
    memory->memoryTypes[type] = {kDiscreteTypes[type], (kDiscreteTypes[type] & VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT) ? 0u : 1u};
  }
}

// The driver's first type allowed stands for every simulated type.
void SimulateTypeBits(uint32_t *type_bits) {
  if (Simulates("discrete-memory")) *type_bits = (*type_bits & 1u) ? (1u << kDiscreteTypeCount) - 1 : 0;
}

void SimulateRequirements(DeviceFunctions &device, VkImage image, VkMemoryRequirements2 *requirements) {
  SimulateTypeBits(&requirements->memoryRequirements.memoryTypeBits);
  auto *dedicated = FindInChain<VkMemoryDedicatedRequirements>(requirements, VK_STRUCTURE_TYPE_MEMORY_DEDICATED_REQUIREMENTS);
  std::lock_guard<std::mutex> lock(mutex);
  if (dedicated && Simulates("dedicated-only") && device.external_images.count(image)) {
    dedicated->prefersDedicatedAllocation = dedicated->requiresDedicatedAllocation = VK_TRUE;
  }
}

// --- Physical devices ---

const char kLayerName[] = "VK_LAYER_INTERLOCK_simulated_gpu";
const uint32_t kRenderMajor = 226, kRenderMinor = 128;

// Notes the first of the devices the driver below gave, once per instance.
void RememberFirst(VkInstance instance, VkPhysicalDevice physical) {
  std::lock_guard<std::mutex> lock(mutex);
  VkPhysicalDevice &first = instances.at(DispatchKey(instance)).first;
  if (!first) first = physical;
}

bool IsFirst(VkPhysicalDevice physical) {
  std::lock_guard<std::mutex> lock(mutex);
  return instances.at(DispatchKey(physical)).first == physical;
}

VKAPI_ATTR VkResult VKAPI_CALL EnumeratePhysicalDevices(VkInstance instance, uint32_t *count, VkPhysicalDevice *physicals) {
  VkResult result = Instance(instance).enumerate(instance, count, physicals);
  if (physicals && *count > 0 && (result == VK_SUCCESS || result == VK_INCOMPLETE)) RememberFirst(instance, physicals[0]);
  return result;
}

VKAPI_ATTR VkResult VKAPI_CALL EnumeratePhysicalDeviceGroups(VkInstance instance, uint32_t *count,
                                                             VkPhysicalDeviceGroupProperties *groups) {
  VkResult result = Instance(instance).enumerate_groups(instance, count, groups);
  if (groups && *count > 0 && groups[0].physicalDeviceCount > 0 && (result == VK_SUCCESS || result == VK_INCOMPLETE)) {
    RememberFirst(instance, groups[0].physicalDevices[0]);
  }
  return result;
}

void SimulateIdentity(VkPhysicalDevice physical, VkPhysicalDeviceProperties *properties, void *chain) {
  if (!Simulates("uuids") && !(Simulates("uuids-on-first") && IsFirst(physical))) return;
  snprintf(properties->deviceName, sizeof properties->deviceName, "Simulated GPU");
  auto flip = [](uint8_t *uuid) {
    for (uint32_t i = 0; i < VK_UUID_SIZE; ++i) uuid[i] ^= 0x5A;
  };
  if (auto *id = FindInChain<VkPhysicalDeviceIDProperties>(chain, VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_ID_PROPERTIES)) {
    flip(id->deviceUUID);
    flip(id->driverUUID);
  }
  if (auto *v11 = FindInChain<VkPhysicalDeviceVulkan11Properties>(chain, VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_1_PROPERTIES)) {
    flip(v11->deviceUUID);
    flip(v11->driverUUID);
  }
}

void SimulateRenderNode(void *chain) {
  auto *drm = FindInChain<VkPhysicalDeviceDrmPropertiesEXT>(chain, VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DRM_PROPERTIES_EXT);
  if (!drm || !Simulates("render-node")) return;
  drm->hasPrimary = VK_FALSE;
  drm->hasRender = VK_TRUE;
  drm->primaryMajor = drm->primaryMinor = 0;
  drm->renderMajor = kRenderMajor;
  drm->renderMinor = kRenderMinor;
}

// The driver's extensions, and VK_EXT_physical_device_drm where a render node is simulated.
VKAPI_ATTR VkResult VKAPI_CALL EnumerateDeviceExtensionProperties(VkPhysicalDevice physical, const char *layer,
                                                                  uint32_t *count, VkExtensionProperties *properties) {
  if (layer && strcmp(layer, kLayerName) == 0) {
    *count = 0;
    return VK_SUCCESS;
  }
  PFN_vkEnumerateDeviceExtensionProperties next = Instance(physical).device_extensions;
  if (layer || !Simulates("render-node")) return next(physical, layer, count, properties);
  uint32_t driver_count = 0;
  next(physical, nullptr, &driver_count, nullptr);
  std::vector<VkExtensionProperties> extensions(driver_count);
  next(physical, nullptr, &driver_count, extensions.data());
  extensions.resize(driver_count);
  extensions.push_back({VK_EXT_PHYSICAL_DEVICE_DRM_EXTENSION_NAME, VK_EXT_PHYSICAL_DEVICE_DRM_SPEC_VERSION});
  if (!properties) {
    *count = (uint32_t)extensions.size();
    return VK_SUCCESS;
  }
  uint32_t copied = std::min(*count, (uint32_t)extensions.size());
  std::copy(extensions.begin(), extensions.begin() + copied, properties);
  *count = copied;
  return copied < extensions.size() ? VK_INCOMPLETE : VK_SUCCESS;
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceProperties(VkPhysicalDevice physical, VkPhysicalDeviceProperties *properties) {
  Instance(physical).properties(physical, properties);
  SimulateIdentity(physical, properties, nullptr);
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceProperties2(VkPhysicalDevice physical, VkPhysicalDeviceProperties2 *properties) {
  Instance(physical).properties2(physical, properties);
  SimulateIdentity(physical, &properties->properties, properties);
  SimulateRenderNode(properties);
}

VKAPI_ATTR VkResult VKAPI_CALL GetPhysicalDeviceImageFormatProperties2(VkPhysicalDevice physical,
                                                                       const VkPhysicalDeviceImageFormatInfo2 *info,
                                                                       VkImageFormatProperties2 *properties) {
  auto *external = FindInChain<VkPhysicalDeviceExternalImageFormatInfo>(
      const_cast<void *>(info->pNext), VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_EXTERNAL_IMAGE_FORMAT_INFO);
  bool shared = external && external->handleType;
  if (shared && info->format == VK_FORMAT_D24_UNORM_S8_UINT && Simulates("unsharable-d24s8")) {
    return VK_ERROR_FORMAT_NOT_SUPPORTED;
  }
  VkResult result = Instance(physical).image_format2(physical, info, properties);
  auto *external_properties =
      FindInChain<VkExternalImageFormatProperties>(properties, VK_STRUCTURE_TYPE_EXTERNAL_IMAGE_FORMAT_PROPERTIES);
  if (result == VK_SUCCESS && shared && external_properties && Simulates("dedicated-only")) {
    external_properties->externalMemoryProperties.externalMemoryFeatures |= VK_EXTERNAL_MEMORY_FEATURE_DEDICATED_ONLY_BIT;
  }
  return result;
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceMemoryProperties(VkPhysicalDevice physical,
                                                             VkPhysicalDeviceMemoryProperties *memory) {
  Instance(physical).memory(physical, memory);
  SimulateMemoryTypes(memory);
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceMemoryProperties2(VkPhysicalDevice physical,
                                                              VkPhysicalDeviceMemoryProperties2 *memory) {
  Instance(physical).memory2(physical, memory);
  SimulateMemoryTypes(&memory->memoryProperties);
}

// --- Devices: memory requirements ---

VKAPI_ATTR void VKAPI_CALL GetImageMemoryRequirements(VkDevice vk, VkImage image, VkMemoryRequirements *requirements) {
  DeviceFunctions &device = Device(vk);
  device.image_requirements(vk, image, requirements);
  SimulateTypeBits(&requirements->memoryTypeBits);
}

VKAPI_ATTR void VKAPI_CALL GetImageMemoryRequirements2(VkDevice vk, const VkImageMemoryRequirementsInfo2 *info,
                                                       VkMemoryRequirements2 *requirements) {
  DeviceFunctions &device = Device(vk);
  device.image_requirements2(vk, info, requirements);
  SimulateRequirements(device, info->image, requirements);
}

VKAPI_ATTR void VKAPI_CALL GetBufferMemoryRequirements(VkDevice vk, VkBuffer buffer, VkMemoryRequirements *requirements) {
  Device(vk).buffer_requirements(vk, buffer, requirements);
  SimulateTypeBits(&requirements->memoryTypeBits);
}

VKAPI_ATTR void VKAPI_CALL GetBufferMemoryRequirements2(VkDevice vk, const VkBufferMemoryRequirementsInfo2 *info,
                                                        VkMemoryRequirements2 *requirements) {
  Device(vk).buffer_requirements2(vk, info, requirements);
  SimulateTypeBits(&requirements->memoryRequirements.memoryTypeBits);
}

VKAPI_ATTR void VKAPI_CALL GetDeviceImageMemoryRequirements(VkDevice vk, const VkDeviceImageMemoryRequirements *info,
                                                            VkMemoryRequirements2 *requirements) {
  Device(vk).device_image_requirements(vk, info, requirements);
  SimulateTypeBits(&requirements->memoryRequirements.memoryTypeBits);
}

VKAPI_ATTR void VKAPI_CALL GetDeviceBufferMemoryRequirements(VkDevice vk, const VkDeviceBufferMemoryRequirements *info,
                                                             VkMemoryRequirements2 *requirements) {
  Device(vk).device_buffer_requirements(vk, info, requirements);
  SimulateTypeBits(&requirements->memoryRequirements.memoryTypeBits);
}

VKAPI_ATTR VkResult VKAPI_CALL GetMemoryFdPropertiesKHR(VkDevice vk, VkExternalMemoryHandleTypeFlagBits type, int fd,
                                                        VkMemoryFdPropertiesKHR *properties) {
  VkResult result = Device(vk).fd_properties(vk, type, fd, properties);
  SimulateTypeBits(&properties->memoryTypeBits);
  return result;
}

// --- Devices: images and memory ---

VKAPI_ATTR VkResult VKAPI_CALL CreateImage(VkDevice vk, const VkImageCreateInfo *info, const VkAllocationCallbacks *callbacks,
                                           VkImage *image) {
  DeviceFunctions &device = Device(vk);
  VkResult result = device.create_image(vk, info, callbacks, image);
  bool external = FindInChain<VkExternalMemoryImageCreateInfo>(const_cast<void *>(info->pNext),
                                                               VK_STRUCTURE_TYPE_EXTERNAL_MEMORY_IMAGE_CREATE_INFO);
  std::lock_guard<std::mutex> lock(mutex);
  if (result == VK_SUCCESS && external) device.external_images.insert(*image);
  return result;
}

VKAPI_ATTR void VKAPI_CALL DestroyImage(VkDevice vk, VkImage image, const VkAllocationCallbacks *callbacks) {
  DeviceFunctions &device = Device(vk);
  Forget(device.external_images, image);
  device.destroy_image(vk, image, callbacks);
}

VKAPI_ATTR VkResult VKAPI_CALL AllocateMemory(VkDevice vk, const VkMemoryAllocateInfo *info,
                                              const VkAllocationCallbacks *callbacks, VkDeviceMemory *memory) {
  DeviceFunctions &device = Device(vk);
  VkMemoryAllocateInfo real = *info;
  bool discrete = Simulates("discrete-memory");
  if (discrete) {
    if (info->memoryTypeIndex >= kDiscreteTypeCount) return VK_ERROR_OUT_OF_DEVICE_MEMORY;
    real.memoryTypeIndex = 0;
  }
  VkResult result = device.allocate(vk, &real, callbacks, memory);
  if (result != VK_SUCCESS) return result;
  auto *dedicated = FindInChain<VkMemoryDedicatedAllocateInfo>(const_cast<void *>(info->pNext),
                                                               VK_STRUCTURE_TYPE_MEMORY_DEDICATED_ALLOCATE_INFO);
  std::lock_guard<std::mutex> lock(mutex);
  Allocation &allocation = device.allocations[*memory];
  allocation.non_coherent = discrete && info->memoryTypeIndex == kNonCoherentType;
  allocation.dedicated_image = dedicated ? dedicated->image : VK_NULL_HANDLE;
  allocation.size = info->allocationSize;
  return result;
}

VKAPI_ATTR void VKAPI_CALL FreeMemory(VkDevice vk, VkDeviceMemory memory, const VkAllocationCallbacks *callbacks) {
  DeviceFunctions &device = Device(vk);
  Forget(device.allocations, memory);
  device.free(vk, memory, callbacks);
}

VKAPI_ATTR VkResult VKAPI_CALL MapMemory(VkDevice vk, VkDeviceMemory memory, VkDeviceSize offset, VkDeviceSize size,
                                         VkMemoryMapFlags flags, void **data) {
  DeviceFunctions &device = Device(vk);
  VkResult result = device.map(vk, memory, offset, size, flags, data);
  std::lock_guard<std::mutex> lock(mutex);
  Allocation &allocation = device.allocations[memory];
  if (result != VK_SUCCESS || !allocation.non_coherent) return result;
  VkDeviceSize mapped = size == VK_WHOLE_SIZE ? allocation.size - offset : size;
  Mapping &mapping = allocation.mapping;
  mapping.real = static_cast<uint8_t *>(*data);
  mapping.offset = offset;
  // Starts as what the memory held, then drifts from it: the host's own copy.
  mapping.copy.assign(mapping.real, mapping.real + mapped);
  *data = mapping.copy.data();
  return result;
}

VKAPI_ATTR void VKAPI_CALL UnmapMemory(VkDevice vk, VkDeviceMemory memory) {
  DeviceFunctions &device = Device(vk);
  {
    std::lock_guard<std::mutex> lock(mutex);
    device.allocations[memory].mapping = Mapping();
  }
  device.unmap(vk, memory);
}

// Copies the mapped ranges between the host's copy and the memory, either way.
void Synchronise(DeviceFunctions &device, uint32_t count, const VkMappedMemoryRange *ranges, bool to_memory) {
  std::lock_guard<std::mutex> lock(mutex);
  for (uint32_t i = 0; i < count; ++i) {
    Mapping &mapping = device.allocations[ranges[i].memory].mapping;
    if (!mapping.real) continue;
    VkDeviceSize begin = ranges[i].offset - mapping.offset;
    VkDeviceSize end = ranges[i].size == VK_WHOLE_SIZE ? mapping.copy.size() : std::min<VkDeviceSize>(begin + ranges[i].size, mapping.copy.size());
    if (to_memory) {
      memcpy(mapping.real + begin, mapping.copy.data() + begin, end - begin);
    } else {
      memcpy(mapping.copy.data() + begin, mapping.real + begin, end - begin);
    }
  }
}

VKAPI_ATTR VkResult VKAPI_CALL FlushMappedMemoryRanges(VkDevice vk, uint32_t count, const VkMappedMemoryRange *ranges) {
  DeviceFunctions &device = Device(vk);
  Synchronise(device, count, ranges, true);
  return device.flush(vk, count, ranges);
}

VKAPI_ATTR VkResult VKAPI_CALL InvalidateMappedMemoryRanges(VkDevice vk, uint32_t count, const VkMappedMemoryRange *ranges) {
  DeviceFunctions &device = Device(vk);
  VkResult result = device.invalidate(vk, count, ranges);
  Synchronise(device, count, ranges, false);
  return result;
}

// An external image of a dedicated-only device binds only to memory dedicated to it.
bool BindAllowed(DeviceFunctions &device, VkImage image, VkDeviceMemory memory) {
  std::lock_guard<std::mutex> lock(mutex);
  return !Simulates("dedicated-only") || !device.external_images.count(image) ||
         device.allocations[memory].dedicated_image == image;
}

VKAPI_ATTR VkResult VKAPI_CALL BindImageMemory(VkDevice vk, VkImage image, VkDeviceMemory memory, VkDeviceSize offset) {
  DeviceFunctions &device = Device(vk);
  if (!BindAllowed(device, image, memory)) return VK_ERROR_OUT_OF_DEVICE_MEMORY;
  return device.bind_image(vk, image, memory, offset);
}

VKAPI_ATTR VkResult VKAPI_CALL BindImageMemory2(VkDevice vk, uint32_t count, const VkBindImageMemoryInfo *infos) {
  DeviceFunctions &device = Device(vk);
  for (uint32_t i = 0; i < count; ++i) {
    if (!BindAllowed(device, infos[i].image, infos[i].memory)) return VK_ERROR_OUT_OF_DEVICE_MEMORY;
  }
  return device.bind_image2(vk, count, infos);
}

// --- Instances and devices: the layer's chain ---

// The loader's link to the next layer in a create info's chain; null when there is none.
template <typename LinkInfo>
LinkInfo *LayerLink(const void *chain, VkStructureType type) {
  auto *link = static_cast<LinkInfo *>(const_cast<void *>(chain));
  while (link && !(link->sType == type && link->function == VK_LAYER_LINK_INFO)) {
    link = static_cast<LinkInfo *>(const_cast<void *>(link->pNext));
  }
  return link;
}

template <typename Function>
Function Next(PFN_vkGetInstanceProcAddr get_proc, VkInstance instance, const char *name) {
  return reinterpret_cast<Function>(get_proc(instance, name));
}

VKAPI_ATTR VkResult VKAPI_CALL CreateInstance(const VkInstanceCreateInfo *info, const VkAllocationCallbacks *callbacks,
                                              VkInstance *instance) {
  auto *link = LayerLink<VkLayerInstanceCreateInfo>(info->pNext, VK_STRUCTURE_TYPE_LOADER_INSTANCE_CREATE_INFO);
  if (!link) return VK_ERROR_INITIALIZATION_FAILED;
  PFN_vkGetInstanceProcAddr get_proc = link->u.pLayerInfo->pfnNextGetInstanceProcAddr;
  link->u.pLayerInfo = link->u.pLayerInfo->pNext;
  auto create = Next<PFN_vkCreateInstance>(get_proc, VK_NULL_HANDLE, "vkCreateInstance");
  VkResult result = create(info, callbacks, instance);
  if (result != VK_SUCCESS) return result;
  InstanceFunctions functions = {
      get_proc,
      Next<PFN_vkDestroyInstance>(get_proc, *instance, "vkDestroyInstance"),
      Next<PFN_vkGetPhysicalDeviceProperties>(get_proc, *instance, "vkGetPhysicalDeviceProperties"),
      Next<PFN_vkGetPhysicalDeviceProperties2>(get_proc, *instance, "vkGetPhysicalDeviceProperties2"),
      Next<PFN_vkGetPhysicalDeviceImageFormatProperties2>(get_proc, *instance, "vkGetPhysicalDeviceImageFormatProperties2"),
      Next<PFN_vkGetPhysicalDeviceMemoryProperties>(get_proc, *instance, "vkGetPhysicalDeviceMemoryProperties"),
      Next<PFN_vkGetPhysicalDeviceMemoryProperties2>(get_proc, *instance, "vkGetPhysicalDeviceMemoryProperties2"),
      Next<PFN_vkEnumeratePhysicalDevices>(get_proc, *instance, "vkEnumeratePhysicalDevices"),
      Next<PFN_vkEnumeratePhysicalDeviceGroups>(get_proc, *instance, "vkEnumeratePhysicalDeviceGroups"),
      Next<PFN_vkEnumerateDeviceExtensionProperties>(get_proc, *instance, "vkEnumerateDeviceExtensionProperties"),
  };
  std::lock_guard<std::mutex> lock(mutex);
  instances[DispatchKey(*instance)] = functions;
  return result;
}

VKAPI_ATTR void VKAPI_CALL DestroyInstance(VkInstance instance, const VkAllocationCallbacks *callbacks) {
  PFN_vkDestroyInstance destroy = Instance(instance).destroy;
  Forget(instances, DispatchKey(instance));
  destroy(instance, callbacks);
}

VKAPI_ATTR VkResult VKAPI_CALL CreateDevice(VkPhysicalDevice physical, const VkDeviceCreateInfo *info,
                                            const VkAllocationCallbacks *callbacks, VkDevice *vk) {
  auto *link = LayerLink<VkLayerDeviceCreateInfo>(info->pNext, VK_STRUCTURE_TYPE_LOADER_DEVICE_CREATE_INFO);
  if (!link) return VK_ERROR_INITIALIZATION_FAILED;
  PFN_vkGetInstanceProcAddr get_instance_proc = link->u.pLayerInfo->pfnNextGetInstanceProcAddr;
  PFN_vkGetDeviceProcAddr get_proc = link->u.pLayerInfo->pfnNextGetDeviceProcAddr;
  link->u.pLayerInfo = link->u.pLayerInfo->pNext;
  auto create = Next<PFN_vkCreateDevice>(get_instance_proc, VK_NULL_HANDLE, "vkCreateDevice");
  // The driver has no VK_EXT_physical_device_drm to enable: the layer offers it (render-node).
  std::vector<const char *> extensions;
  for (uint32_t i = 0; i < info->enabledExtensionCount; ++i) {
    if (strcmp(info->ppEnabledExtensionNames[i], VK_EXT_PHYSICAL_DEVICE_DRM_EXTENSION_NAME) != 0) {
      extensions.push_back(info->ppEnabledExtensionNames[i]);
    }
  }
  VkDeviceCreateInfo driver_info = *info;
  driver_info.enabledExtensionCount = (uint32_t)extensions.size();
  driver_info.ppEnabledExtensionNames = extensions.data();
  VkResult result = create(physical, Simulates("render-node") ? &driver_info : info, callbacks, vk);
  if (result != VK_SUCCESS) return result;
  auto next = [&](const char *name) { return get_proc(*vk, name); };
  DeviceFunctions functions;
  functions.get_proc = get_proc;
  functions.destroy = reinterpret_cast<PFN_vkDestroyDevice>(next("vkDestroyDevice"));
  functions.image_requirements = reinterpret_cast<PFN_vkGetImageMemoryRequirements>(next("vkGetImageMemoryRequirements"));
  functions.image_requirements2 = reinterpret_cast<PFN_vkGetImageMemoryRequirements2>(next("vkGetImageMemoryRequirements2"));
  functions.buffer_requirements = reinterpret_cast<PFN_vkGetBufferMemoryRequirements>(next("vkGetBufferMemoryRequirements"));
  functions.buffer_requirements2 = reinterpret_cast<PFN_vkGetBufferMemoryRequirements2>(next("vkGetBufferMemoryRequirements2"));
  functions.device_image_requirements =
      reinterpret_cast<PFN_vkGetDeviceImageMemoryRequirements>(next("vkGetDeviceImageMemoryRequirements"));
  functions.device_buffer_requirements =
      reinterpret_cast<PFN_vkGetDeviceBufferMemoryRequirements>(next("vkGetDeviceBufferMemoryRequirements"));
  functions.fd_properties = reinterpret_cast<PFN_vkGetMemoryFdPropertiesKHR>(next("vkGetMemoryFdPropertiesKHR"));
  functions.create_image = reinterpret_cast<PFN_vkCreateImage>(next("vkCreateImage"));
  functions.destroy_image = reinterpret_cast<PFN_vkDestroyImage>(next("vkDestroyImage"));
  functions.allocate = reinterpret_cast<PFN_vkAllocateMemory>(next("vkAllocateMemory"));
  functions.free = reinterpret_cast<PFN_vkFreeMemory>(next("vkFreeMemory"));
  functions.map = reinterpret_cast<PFN_vkMapMemory>(next("vkMapMemory"));
  functions.unmap = reinterpret_cast<PFN_vkUnmapMemory>(next("vkUnmapMemory"));
  functions.flush = reinterpret_cast<PFN_vkFlushMappedMemoryRanges>(next("vkFlushMappedMemoryRanges"));
  functions.invalidate = reinterpret_cast<PFN_vkInvalidateMappedMemoryRanges>(next("vkInvalidateMappedMemoryRanges"));
  functions.bind_image = reinterpret_cast<PFN_vkBindImageMemory>(next("vkBindImageMemory"));
  functions.bind_image2 = reinterpret_cast<PFN_vkBindImageMemory2>(next("vkBindImageMemory2"));
  std::lock_guard<std::mutex> lock(mutex);
  devices[DispatchKey(*vk)] = std::move(functions);
  return result;
}

VKAPI_ATTR void VKAPI_CALL DestroyDevice(VkDevice vk, const VkAllocationCallbacks *callbacks) {
  PFN_vkDestroyDevice destroy = Device(vk).destroy;
  Forget(devices, DispatchKey(vk));
  destroy(vk, callbacks);
}

#define INTERCEPT(name, function) \
  if (strcmp(requested, name) == 0) return reinterpret_cast<PFN_vkVoidFunction>(function)

PFN_vkVoidFunction DeviceFunction(const char *requested) {
  INTERCEPT("vkDestroyDevice", DestroyDevice);
  INTERCEPT("vkGetImageMemoryRequirements", GetImageMemoryRequirements);
  INTERCEPT("vkGetImageMemoryRequirements2", GetImageMemoryRequirements2);
  INTERCEPT("vkGetImageMemoryRequirements2KHR", GetImageMemoryRequirements2);
  INTERCEPT("vkGetBufferMemoryRequirements", GetBufferMemoryRequirements);
  INTERCEPT("vkGetBufferMemoryRequirements2", GetBufferMemoryRequirements2);
  INTERCEPT("vkGetBufferMemoryRequirements2KHR", GetBufferMemoryRequirements2);
  INTERCEPT("vkGetDeviceImageMemoryRequirements", GetDeviceImageMemoryRequirements);
  INTERCEPT("vkGetDeviceImageMemoryRequirementsKHR", GetDeviceImageMemoryRequirements);
  INTERCEPT("vkGetDeviceBufferMemoryRequirements", GetDeviceBufferMemoryRequirements);
  INTERCEPT("vkGetDeviceBufferMemoryRequirementsKHR", GetDeviceBufferMemoryRequirements);
  INTERCEPT("vkGetMemoryFdPropertiesKHR", GetMemoryFdPropertiesKHR);
  INTERCEPT("vkCreateImage", CreateImage);
  INTERCEPT("vkDestroyImage", DestroyImage);
  INTERCEPT("vkAllocateMemory", AllocateMemory);
  INTERCEPT("vkFreeMemory", FreeMemory);
  INTERCEPT("vkMapMemory", MapMemory);
  INTERCEPT("vkUnmapMemory", UnmapMemory);
  INTERCEPT("vkFlushMappedMemoryRanges", FlushMappedMemoryRanges);
  INTERCEPT("vkInvalidateMappedMemoryRanges", InvalidateMappedMemoryRanges);
  INTERCEPT("vkBindImageMemory", BindImageMemory);
  INTERCEPT("vkBindImageMemory2", BindImageMemory2);
  INTERCEPT("vkBindImageMemory2KHR", BindImageMemory2);
  return nullptr;
}

VKAPI_ATTR PFN_vkVoidFunction VKAPI_CALL GetDeviceProcAddr(VkDevice vk, const char *requested) {
  INTERCEPT("vkGetDeviceProcAddr", GetDeviceProcAddr);
  PFN_vkVoidFunction next = Device(vk).get_proc(vk, requested);
  PFN_vkVoidFunction own = DeviceFunction(requested);
  return own && next ? own : next;  // only what the device has
}

VKAPI_ATTR PFN_vkVoidFunction VKAPI_CALL GetInstanceProcAddr(VkInstance instance, const char *requested) {
  INTERCEPT("vkGetInstanceProcAddr", GetInstanceProcAddr);
  INTERCEPT("vkCreateInstance", CreateInstance);
  if (!instance) return nullptr;  // the loader answers the other global functions
  INTERCEPT("vkDestroyInstance", DestroyInstance);
  INTERCEPT("vkCreateDevice", CreateDevice);
  INTERCEPT("vkGetDeviceProcAddr", GetDeviceProcAddr);
  INTERCEPT("vkEnumeratePhysicalDevices", EnumeratePhysicalDevices);
  INTERCEPT("vkEnumeratePhysicalDeviceGroups", EnumeratePhysicalDeviceGroups);
  INTERCEPT("vkEnumeratePhysicalDeviceGroupsKHR", EnumeratePhysicalDeviceGroups);
  INTERCEPT("vkEnumerateDeviceExtensionProperties", EnumerateDeviceExtensionProperties);
  INTERCEPT("vkGetPhysicalDeviceProperties", GetPhysicalDeviceProperties);
  INTERCEPT("vkGetPhysicalDeviceProperties2", GetPhysicalDeviceProperties2);
  INTERCEPT("vkGetPhysicalDeviceProperties2KHR", GetPhysicalDeviceProperties2);
  INTERCEPT("vkGetPhysicalDeviceImageFormatProperties2", GetPhysicalDeviceImageFormatProperties2);
  INTERCEPT("vkGetPhysicalDeviceImageFormatProperties2KHR", GetPhysicalDeviceImageFormatProperties2);
  INTERCEPT("vkGetPhysicalDeviceMemoryProperties", GetPhysicalDeviceMemoryProperties);
  INTERCEPT("vkGetPhysicalDeviceMemoryProperties2", GetPhysicalDeviceMemoryProperties2);
  INTERCEPT("vkGetPhysicalDeviceMemoryProperties2KHR", GetPhysicalDeviceMemoryProperties2);
  if (PFN_vkVoidFunction device_function = DeviceFunction(requested)) return device_function;
  return Instance(instance).get_proc(instance, requested);
}

}  // namespace

LAYER_EXPORT VKAPI_ATTR VkResult VKAPI_CALL vkNegotiateLoaderLayerInterfaceVersion(VkNegotiateLayerInterface *version) {
  if (version->loaderLayerInterfaceVersion > 2) version->loaderLayerInterfaceVersion = 2;
  version->pfnGetInstanceProcAddr = GetInstanceProcAddr;
  version->pfnGetDeviceProcAddr = GetDeviceProcAddr;
  version->pfnGetPhysicalDeviceProcAddr = nullptr;
  return VK_SUCCESS;
}
