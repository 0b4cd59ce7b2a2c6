// 2-D textures: Vulkan images in memory that can be exported to OpenGL.
#pragma once

#include <d3d11.h>

#include <atomic>
#include <optional>
#include <vector>

#include "common/com_object.h"
#include "format_choice.h"

namespace ilk::d3d11 {

class Device;
class StagingBuffer;

// Where a texture's memory lives. Exportable memory OpenGL may import; only the swap chain's
// buffers, which the program cannot register, and textures of a format the device cannot share
// live in plain memory. A host-readable texture is a swap chain's buffer on a device whose
// presentation reads frames on the host: a linear image in host-visible memory, mapped for its
// life, which presentation reads in place instead of copying it into a read-back buffer first.
enum class TextureMemoryKind { kExportable, kPlain, kHostReadable };

class Texture final : public ComObject<Texture, ID3D11Texture2D, IDXGIResource> {
 public:
  static constexpr ComInterface kInterfaces[] = {
      {&IID_ID3D11DeviceChild, "ID3D11DeviceChild", 0}, {&IID_ID3D11Resource, "ID3D11Resource", 0},
      {&IID_ID3D11Texture2D, "ID3D11Texture2D", 0},      {&IID_IDXGIObject, "IDXGIObject", 1},
      {&IID_IDXGIDeviceSubObject, "IDXGIDeviceSubObject", 1}, {&IID_IDXGIResource, "IDXGIResource", 1}};

  // Creates the image for a description the device has validated; its contents start as
  // `initial_data`, or undefined, as Direct3D leaves them.
  static HRESULT Create(Device *device, const D3D11_TEXTURE2D_DESC &desc, const ChosenFormat &format,
                        const D3D11_SUBRESOURCE_DATA *initial_data, TextureMemoryKind kind, Texture **texture);
  ~Texture() override;

  void STDMETHODCALLTYPE GetDevice(ID3D11Device **device) override;
  void STDMETHODCALLTYPE GetDesc(D3D11_TEXTURE2D_DESC *desc) override;
  HRESULT STDMETHODCALLTYPE GetDevice(REFIID riid, void **device) override;
  HRESULT STDMETHODCALLTYPE GetSharedHandle(HANDLE *shared_handle) override;

  Device *Owner() const { return device_; }
  const D3D11_TEXTURE2D_DESC &Desc() const { return desc_; }
  const TextureFormat &Format() const { return format_; }
  VkImage Image() const { return image_; }
  VkDeviceMemory Memory() const { return memory_; }
  VkDeviceSize MemorySize() const { return memory_size_; }
  VkImageUsageFlags Usage() const { return usage_; }
  bool Exportable() const { return exportable_; }
  HANDLE SharedHandle() const { return shared_handle_; }

  // Mip level 0 of array slice 0 in the DXGI layout, rows packed: for colour formats the
  // texels as Direct3D sees them; for D24_UNORM_S8_UINT depth in the low 24 bits and stencil
  // in the high 8 bits of each 32-bit texel, whichever backing it has. False when the device
  // fails.
  bool Read(std::vector<uint8_t> *texels);
  // Bytes that CopyPacked writes: rows packed in the backing format (for depth-stencil formats
  // 32-bit depth words, then stencil bytes).
  VkDeviceSize PackedSize() const;
  // Copies mip level 0 of array slice 0 into `staging`, which holds at least PackedSize()
  // bytes, waits for it and makes it visible to the host. False when the device fails.
  bool CopyPacked(const StagingBuffer &staging);
  // For a host-readable texture: mip level 0 of array slice 0 as its memory holds it (the bytes
  // R, G, B, A for both 8-bit colour formats), rows `*row_pitch` bytes apart, once every command
  // queued so far has run and its writes are visible to the host. Valid until the next command
  // that writes the texture. Null for any other texture, or when the device fails.
  const uint8_t *HostTexels(size_t *row_pitch);

  // The barrier that moves the whole image from layout `from` to `to`, for VulkanDevice::Run.
  VkImageMemoryBarrier LayoutChange(VkImageLayout from, VkImageLayout to) const;
  // The barrier that hands the whole image over to OpenGL (its release to
  // VK_QUEUE_FAMILY_EXTERNAL) or takes it back from OpenGL (the acquisition from there), in its
  // resting layout VK_IMAGE_LAYOUT_GENERAL, which OpenGL knows as GL_LAYOUT_GENERAL_EXT.
  VkImageMemoryBarrier Handover(bool to_opengl) const;
  // Counts OpenGL's locks on the texture (one registration may be locked while another of the
  // same texture is too). True when the texture changes hands with this one: the first lock
  // hands the memory over, the last unlock takes it back.
  bool CountOpenGLLock(bool lock);

 private:
  Texture(Device *device, const D3D11_TEXTURE2D_DESC &desc, const TextureFormat &format);
  bool Allocate(TextureMemoryKind kind);
  // Maps a host-readable texture's memory and finds its texels there.
  bool MapHostTexels(bool coherent);
  bool Fill(const D3D11_SUBRESOURCE_DATA *initial_data);

  Device *const device_;
  const D3D11_TEXTURE2D_DESC desc_;
  const TextureFormat &format_;
  VkImage image_ = VK_NULL_HANDLE;
  VkDeviceMemory memory_ = VK_NULL_HANDLE;
  VkDeviceSize memory_size_ = 0;
  VkImageUsageFlags usage_ = 0;
  bool exportable_ = false;
  uint8_t *host_texels_ = nullptr;  // a host-readable texture's mip 0, in its mapped memory
  size_t host_row_pitch_ = 0;
  bool host_coherent_ = true;
  HANDLE shared_handle_ = nullptr;
  std::atomic<int> opengl_locks_{0};
};

}  // namespace ilk::d3d11
