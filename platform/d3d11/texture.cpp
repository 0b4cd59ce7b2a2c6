// 2-D textures: Vulkan images in memory that can be exported to OpenGL.
//
// Every image rests in VK_IMAGE_LAYOUT_GENERAL between commands: any texture may be registered
// with OpenGL at any time, and OpenGL, which imports the memory without semaphores, knows
// nothing of Vulkan layouts, so GENERAL is the only layout it can rely on. A transfer command
// moves its images into the transfer layouts for the copy and back, inside the barriers the
// device records around every command anyway (VulkanDevice::Run). While OpenGL holds a texture
// (locked), Vulkan's queue does not own it: the lock releases it to VK_QUEUE_FAMILY_EXTERNAL in
// GENERAL and the unlock acquires it back (Handover), as external memory must be handed over
// for a driver to resolve compressed or cached state for the other one. Shared handles
// (D3D11_RESOURCE_MISC_SHARED) are values of their own, not kernel handles, as the legacy
// shared handles of Windows are: nothing closes them.
#include "texture.h"

#include <string.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "common/log.h"
#include "device.h"
#include "staging_buffer.h"

namespace ilk::d3d11 {
namespace {

HANDLE NextSharedHandle() {
  static std::atomic<uintptr_t> next{0};
  return reinterpret_cast<HANDLE>(0x40000002u + (next++ << 6));
}

VkImageSubresourceRange WholeImage(const Texture &texture) {
  return {texture.Format().aspects, 0, texture.Desc().MipLevels, 0, texture.Desc().ArraySize};
}

UINT MipSize(UINT size, UINT level) { return size >> level ? size >> level : 1; }

// Copies rows of texels, swapping the red and blue bytes when the layouts differ in that.
void CopyTexels(uint8_t *to, size_t to_pitch, const uint8_t *from, size_t from_pitch, UINT width, UINT height,
                const TextureFormat &format) {
  size_t row_bytes = (size_t)width * format.texel_bytes;
  for (UINT y = 0; y < height; ++y) {
    uint8_t *row = to + y * to_pitch;
    memcpy(row, from + y * from_pitch, row_bytes);
    if (!format.swap_red_blue) continue;
    for (size_t x = 0; x < row_bytes; x += 4) std::swap(row[x], row[x + 2]);
  }
}

// What may be written to an image in `layout`, and what may access it there: transfers in the
// transfer layouts, anything in GENERAL.
VkAccessFlags WritesIn(VkImageLayout layout) {
  switch (layout) {
    case VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL: return VK_ACCESS_TRANSFER_WRITE_BIT;
    case VK_IMAGE_LAYOUT_GENERAL: return VK_ACCESS_MEMORY_WRITE_BIT;
    default: return 0;
  }
}

VkAccessFlags AccessesIn(VkImageLayout layout) {
  switch (layout) {
    case VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL: return VK_ACCESS_TRANSFER_READ_BIT;
    case VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL: return VK_ACCESS_TRANSFER_WRITE_BIT;
    default: return VK_ACCESS_MEMORY_READ_BIT | VK_ACCESS_MEMORY_WRITE_BIT;
  }
}

// A 32-bit float depth as Direct3D's 24-bit normalised depth.
uint32_t UnormDepth(uint32_t float_bits) {
  float depth;
  memcpy(&depth, &float_bits, sizeof depth);
  return (uint32_t)std::lround(std::clamp((double)depth, 0.0, 1.0) * 0xFFFFFF);
}

}  // namespace

Texture::Texture(Device *device, const D3D11_TEXTURE2D_DESC &desc, const TextureFormat &format)
    : ComObject(ObjectApi::D3D11, "ID3D11Texture2D"), device_(device), desc_(desc), format_(format) {
  device_->AddRefInternal();
  if (desc.MiscFlags & D3D11_RESOURCE_MISC_SHARED) shared_handle_ = NextSharedHandle();
}

Texture::~Texture() {
  VkDevice vk = device_->Vulkan().Handle();
  if (image_) {
    device_->Vulkan().ForgetImage(image_);
    vkDestroyImage(vk, image_, nullptr);
  }
  if (host_texels_) vkUnmapMemory(vk, memory_);
  if (memory_) vkFreeMemory(vk, memory_, nullptr);
  device_->ReleaseInternal();
}

HRESULT Texture::Create(Device *device, const D3D11_TEXTURE2D_DESC &desc, const ChosenFormat &format,
                        const D3D11_SUBRESOURCE_DATA *initial_data, TextureMemoryKind kind, Texture **texture) {
  Texture *created = new Texture(device, desc, *format.format);
  if (kind == TextureMemoryKind::kExportable && !format.sharable) kind = TextureMemoryKind::kPlain;
  if (!created->Allocate(kind) || !created->Fill(initial_data)) {
    created->Release();
    return E_OUTOFMEMORY;
  }
  *texture = created;
  return S_OK;
}

bool Texture::Allocate(TextureMemoryKind kind) {
  exportable_ = kind == TextureMemoryKind::kExportable;
  bool host_readable = kind == TextureMemoryKind::kHostReadable;
  VulkanDevice &vulkan = device_->Vulkan();
  usage_ = ImageUsage(format_);
  VkExternalMemoryImageCreateInfo external = {VK_STRUCTURE_TYPE_EXTERNAL_MEMORY_IMAGE_CREATE_INFO};
  external.handleTypes = VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT;
  VkImageCreateInfo info = {VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO};
  info.pNext = exportable_ ? &external : nullptr;
  info.imageType = VK_IMAGE_TYPE_2D;
  info.format = format_.backing;
  info.extent = {desc_.Width, desc_.Height, 1};
  info.mipLevels = desc_.MipLevels;
  info.arrayLayers = desc_.ArraySize;
  info.samples = VK_SAMPLE_COUNT_1_BIT;
  info.tiling = host_readable ? VK_IMAGE_TILING_LINEAR : VK_IMAGE_TILING_OPTIMAL;
  info.usage = usage_;
  info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
  info.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
  VkDevice vk = vulkan.Handle();
  if (vkCreateImage(vk, &info, nullptr, &image_) != VK_SUCCESS) {
    image_ = VK_NULL_HANDLE;
    return false;
  }
  VkImageMemoryRequirementsInfo2 requirements_info = {VK_STRUCTURE_TYPE_IMAGE_MEMORY_REQUIREMENTS_INFO_2};
  requirements_info.image = image_;
  VkMemoryDedicatedRequirements dedication = {VK_STRUCTURE_TYPE_MEMORY_DEDICATED_REQUIREMENTS};
  VkMemoryRequirements2 requirements = {VK_STRUCTURE_TYPE_MEMORY_REQUIREMENTS_2};
  requirements.pNext = &dedication;
  vkGetImageMemoryRequirements2(vk, &requirements_info, &requirements);
  // The host reads host-readable memory again and again: cached memory is the fast kind for it.
  int type = host_readable ? vulkan.MemoryType(requirements.memoryRequirements.memoryTypeBits,
                                               VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT, VK_MEMORY_PROPERTY_HOST_CACHED_BIT)
                           : vulkan.MemoryType(requirements.memoryRequirements.memoryTypeBits, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT);
  if (type < 0) return false;
  // Exported memory is a dedicated allocation, as OpenGL imports it (GL_DEDICATED_MEMORY_OBJECT_EXT);
  // other memory is one where the device requires or prefers it.
  VkMemoryDedicatedAllocateInfo dedicated = {VK_STRUCTURE_TYPE_MEMORY_DEDICATED_ALLOCATE_INFO};
  dedicated.image = image_;
  bool dedicate = dedication.requiresDedicatedAllocation || dedication.prefersDedicatedAllocation;
  VkExportMemoryAllocateInfo export_info = {VK_STRUCTURE_TYPE_EXPORT_MEMORY_ALLOCATE_INFO};
  export_info.pNext = &dedicated;
  export_info.handleTypes = VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT;
  VkMemoryAllocateInfo allocate = {VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
  allocate.pNext = exportable_ ? static_cast<void *>(&export_info) : dedicate ? &dedicated : nullptr;
  allocate.allocationSize = requirements.memoryRequirements.size;
  allocate.memoryTypeIndex = (uint32_t)type;
  if (vkAllocateMemory(vk, &allocate, nullptr, &memory_) != VK_SUCCESS) {
    memory_ = VK_NULL_HANDLE;
    return false;
  }
  memory_size_ = allocate.allocationSize;
  if (vkBindImageMemory(vk, image_, memory_, 0) != VK_SUCCESS) return false;
  return !host_readable || MapHostTexels(vulkan.MemoryTypeProperties(type) & VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
}

bool Texture::MapHostTexels(bool coherent) {
  VkDevice vk = device_->Vulkan().Handle();
  void *mapped = nullptr;
  if (vkMapMemory(vk, memory_, 0, VK_WHOLE_SIZE, 0, &mapped) != VK_SUCCESS) return false;
  VkImageSubresource level0 = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0};
  VkSubresourceLayout layout;
  vkGetImageSubresourceLayout(vk, image_, &level0, &layout);
  host_texels_ = static_cast<uint8_t *>(mapped) + layout.offset;
  host_row_pitch_ = (size_t)layout.rowPitch;
  host_coherent_ = coherent;
  return true;
}

bool Texture::Fill(const D3D11_SUBRESOURCE_DATA *initial_data) {
  VulkanDevice &vulkan = device_->Vulkan();
  if (!initial_data) {
    // Direct3D leaves the contents undefined: the image only has to reach its resting layout
    // before any command or OpenGL uses it, in the device's next submission.
    vulkan.ChangeLayoutLater(image_, WholeImage(*this), VK_IMAGE_LAYOUT_GENERAL);
    return true;
  }
  // Staging space for every subresource of the initial data, in the backing layout.
  std::vector<VkBufferImageCopy> regions;
  VkDeviceSize staging_size = 0;
  for (UINT layer = 0; layer < desc_.ArraySize; ++layer) {
    for (UINT level = 0; level < desc_.MipLevels; ++level) {
      VkBufferImageCopy region = {};
      region.bufferOffset = staging_size;
      region.imageSubresource = {format_.aspects, level, layer, 1};
      region.imageExtent = {MipSize(desc_.Width, level), MipSize(desc_.Height, level), 1};
      staging_size += (VkDeviceSize)region.imageExtent.width * region.imageExtent.height * format_.texel_bytes;
      regions.push_back(region);
    }
  }
  StagingBuffer staging(vulkan, staging_size, StagingUse::kUpload);
  if (!staging.Data()) return false;
  for (size_t i = 0; i < regions.size(); ++i) {
    const VkBufferImageCopy &region = regions[i];
    CopyTexels(staging.Data() + region.bufferOffset, (size_t)region.imageExtent.width * format_.texel_bytes,
               static_cast<const uint8_t *>(initial_data[i].pSysMem), initial_data[i].SysMemPitch,
               region.imageExtent.width, region.imageExtent.height, format_);
  }
  staging.FlushHostWrites();
  // A new image has no contents to keep; after its first fill it rests in GENERAL.
  return vulkan.Run({LayoutChange(VK_IMAGE_LAYOUT_UNDEFINED, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL)},
                    {LayoutChange(VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_IMAGE_LAYOUT_GENERAL)},
                    [&](VkCommandBuffer commands) {
                      vkCmdCopyBufferToImage(commands, staging.Handle(), image_, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL,
                                             (uint32_t)regions.size(), regions.data());
                    });
}

VkImageMemoryBarrier Texture::LayoutChange(VkImageLayout from, VkImageLayout to) const {
  VkImageMemoryBarrier barrier = {VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER};
  barrier.srcAccessMask = WritesIn(from);
  barrier.dstAccessMask = AccessesIn(to);
  barrier.oldLayout = from;
  barrier.newLayout = to;
  barrier.srcQueueFamilyIndex = barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
  barrier.image = image_;
  barrier.subresourceRange = WholeImage(*this);
  return barrier;
}

VkImageMemoryBarrier Texture::Handover(bool to_opengl) const {
  VkImageMemoryBarrier barrier = LayoutChange(VK_IMAGE_LAYOUT_GENERAL, VK_IMAGE_LAYOUT_GENERAL);
  uint32_t direct3d = device_->Vulkan().QueueFamily();
  // A release makes writes available; the acquisition makes them visible.
  barrier.srcAccessMask = to_opengl ? VK_ACCESS_MEMORY_WRITE_BIT : 0;
  barrier.dstAccessMask = to_opengl ? 0 : VK_ACCESS_MEMORY_READ_BIT | VK_ACCESS_MEMORY_WRITE_BIT;
  barrier.srcQueueFamilyIndex = to_opengl ? direct3d : VK_QUEUE_FAMILY_EXTERNAL;
  barrier.dstQueueFamilyIndex = to_opengl ? VK_QUEUE_FAMILY_EXTERNAL : direct3d;
  return barrier;
}

bool Texture::CountOpenGLLock(bool lock) { return lock ? opengl_locks_++ == 0 : --opengl_locks_ == 0; }

VkDeviceSize Texture::PackedSize() const {
  bool depth_stencil = format_.aspects == (VK_IMAGE_ASPECT_DEPTH_BIT | VK_IMAGE_ASPECT_STENCIL_BIT);
  return (VkDeviceSize)desc_.Width * desc_.Height * (depth_stencil ? 5 : format_.texel_bytes);
}

bool Texture::CopyPacked(const StagingBuffer &staging) {
  VkDeviceSize texel_count = (VkDeviceSize)desc_.Width * desc_.Height;
  bool depth_stencil = format_.aspects == (VK_IMAGE_ASPECT_DEPTH_BIT | VK_IMAGE_ASPECT_STENCIL_BIT);
  VkBufferImageCopy regions[2] = {};
  regions[0].imageExtent = regions[1].imageExtent = {desc_.Width, desc_.Height, 1};
  regions[0].imageSubresource = {depth_stencil ? (VkImageAspectFlags)VK_IMAGE_ASPECT_DEPTH_BIT : format_.aspects, 0, 0, 1};
  regions[1].bufferOffset = texel_count * 4;
  regions[1].imageSubresource = {VK_IMAGE_ASPECT_STENCIL_BIT, 0, 0, 1};
  bool copied = device_->Vulkan().Run({LayoutChange(VK_IMAGE_LAYOUT_GENERAL, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL)},
                                      {LayoutChange(VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_IMAGE_LAYOUT_GENERAL)},
                                      [&](VkCommandBuffer commands) {
                                        vkCmdCopyImageToBuffer(commands, image_, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL,
                                                               staging.Handle(), depth_stencil ? 2 : 1, regions);
                                      });
  if (copied) staging.InvalidateHostCopy();
  return copied;
}

const uint8_t *Texture::HostTexels(size_t *row_pitch) {
  if (!host_texels_ || !device_->Vulkan().WaitIdle()) return nullptr;
  if (!host_coherent_) device_->Vulkan().InvalidateMapped(memory_);
  *row_pitch = host_row_pitch_;
  return host_texels_;
}

bool Texture::Read(std::vector<uint8_t> *texels) {
  StagingBuffer staging(device_->Vulkan(), PackedSize(), StagingUse::kReadBack);
  if (!staging.Data() || !CopyPacked(staging)) return false;
  VkDeviceSize texel_count = (VkDeviceSize)desc_.Width * desc_.Height;
  texels->resize(texel_count * format_.texel_bytes);
  if (format_.aspects == (VK_IMAGE_ASPECT_DEPTH_BIT | VK_IMAGE_ASPECT_STENCIL_BIT)) {
    const uint8_t *stencil = staging.Data() + texel_count * 4;
    bool float_depth = format_.backing == VK_FORMAT_D32_SFLOAT_S8_UINT;
    for (VkDeviceSize i = 0; i < texel_count; ++i) {
      uint32_t word;
      memcpy(&word, staging.Data() + i * 4, 4);
      word = (float_depth ? UnormDepth(word) : word & 0xFFFFFFu) | (uint32_t)stencil[i] << 24;
      memcpy(texels->data() + i * 4, &word, 4);
    }
  } else {
    size_t pitch = (size_t)desc_.Width * format_.texel_bytes;
    CopyTexels(texels->data(), pitch, staging.Data(), pitch, desc_.Width, desc_.Height, format_);
  }
  return true;
}

void Texture::GetDevice(ID3D11Device **device) {
  device_->AddRef();
  *device = device_;
}

void Texture::GetDesc(D3D11_TEXTURE2D_DESC *desc) { *desc = desc_; }

HRESULT Texture::GetDevice(REFIID riid, void **device) { return device_->QueryInterface(riid, device); }

HRESULT Texture::GetSharedHandle(HANDLE *shared_handle) {
  HRESULT hr = S_OK;
  if (std::optional<uint32_t> code = Fail("GetSharedHandle", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (!shared_handle) {
    hr = E_INVALIDARG;
  } else if (!shared_handle_) {
    *shared_handle = nullptr;
    hr = device_->Refuse("IDXGIResource::GetSharedHandle", "the resource was not created with D3D11_RESOURCE_MISC_SHARED");
  } else {
    *shared_handle = shared_handle_;
  }
  Trace("IDXGIResource::GetSharedHandle(%p) = 0x%08x", Address(), (unsigned)hr);
  return hr;
}

}  // namespace ilk::d3d11
