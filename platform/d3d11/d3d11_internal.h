// What the other DLLs of the platform use of Direct3D 11 objects: DXGI makes swap-chain
// buffers and reads them back for presentation, OpenGL (WGL_NV_DX_interop) imports a texture's
// Vulkan memory through a file descriptor (GL_EXT_memory_object_fd) and waits for Direct3D work
// before touching it. None of these calls is a Direct3D call of the program: INTERLOCK_FAIL
// does not apply to them.
#pragma once

#include <d3d11.h>
#include <vulkan/vulkan.h>

#include <vector>

#include "common/knobs.h"

namespace ilk::d3d11 {

// The Vulkan image behind a texture. The image is VK_IMAGE_TILING_OPTIMAL, in
// VK_IMAGE_LAYOUT_GENERAL whenever no Direct3D command runs, in a dedicated allocation exportable as
// VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT. `format` is the backing format: DXGI
// B8G8R8A8_UNORM is VK_FORMAT_R8G8B8A8_UNORM (OpenGL's GL_RGBA8 byte order), D24_UNORM_S8_UINT
// is VK_FORMAT_D24_UNORM_S8_UINT (GL_DEPTH24_STENCIL8).
struct TextureMemory {
  VkImage image;
  VkDeviceMemory memory;
  VkDeviceSize size;  // of the allocation, as glImportMemoryFdEXT wants it
  VkFormat format;
  VkImageUsageFlags usage;
  D3D11_TEXTURE2D_DESC desc;
  HANDLE shared_handle;  // IDXGIResource::GetSharedHandle's value; null unless MISC_SHARED
};

// False when `texture` is not a texture of this platform.
INTERLOCK_EXPORT bool DescribeTextureMemory(ID3D11Texture2D *texture, TextureMemory *memory);
// A new file descriptor for the texture's memory, owned by the caller (an import takes it
// over); -1 on failure.
INTERLOCK_EXPORT int ExportTextureMemory(ID3D11Texture2D *texture);
// The Vulkan device UUID (VkPhysicalDeviceIDProperties::deviceUUID) of `device`, to compare
// with OpenGL's GL_DEVICE_UUID_EXT. False when `device` is not a device of this platform.
INTERLOCK_EXPORT bool DeviceUuid(ID3D11Device *device, uint8_t uuid[VK_UUID_SIZE]);
// Waits until the device's queue has finished all work (vkQueueWaitIdle).
INTERLOCK_EXPORT void WaitForDirect3DWork(ID3D11Device *device);

// The Direct3D device behind a DXGI device (or any interface of it); no reference added. Null
// when `unknown` is no device of this platform.
INTERLOCK_EXPORT ID3D11Device *Direct3DDevice(IUnknown *unknown);
// Holds or lets go of `device` on behalf of another platform object (its IntRef).
INTERLOCK_EXPORT void HoldDevice(ID3D11Device *device, bool hold);
// Creates a texture for a swap chain's buffer.
INTERLOCK_EXPORT HRESULT CreateBufferTexture(ID3D11Device *device, const D3D11_TEXTURE2D_DESC &desc, ID3D11Texture2D **texture);
// QueryInterface on a texture without INTERLOCK_FAIL, for handing out a swap chain's buffer.
INTERLOCK_EXPORT HRESULT QueryTexture(ID3D11Texture2D *texture, REFIID riid, void **object);
// Holds or lets go of `texture` on behalf of another platform object (its IntRef).
INTERLOCK_EXPORT void HoldTexture(ID3D11Texture2D *texture, bool hold);
// Every reference to `texture`: the application's and those of other objects (its views).
INTERLOCK_EXPORT ULONG TextureRefs(ID3D11Texture2D *texture);
// Mip level 0 of slice 0, rows packed, in the DXGI layout: colour texels as Direct3D sees them
// (B, G, R, A bytes for B8G8R8A8_UNORM); for D24_UNORM_S8_UINT one 32-bit word per texel with
// depth in the low 24 bits and stencil in the high 8. False on failure.
INTERLOCK_EXPORT bool ReadTexture(ID3D11Texture2D *texture, std::vector<uint8_t> *texels);

}  // namespace ilk::d3d11
