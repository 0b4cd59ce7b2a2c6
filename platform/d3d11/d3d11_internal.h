// What the other DLLs of the platform use of Direct3D 11 objects: DXGI makes swap-chain
// buffers and reads them back for presentation, OpenGL (WGL_NV_DX_interop) imports a texture's
// memory through a file descriptor (GL_EXT_memory_object_fd) and waits for Direct3D work
// before touching it. Memory crosses as a plain description, so no Vulkan object leaves this DLL.
// None of these calls is a Direct3D call of the program: INTERLOCK_FAIL does not apply to them.
#pragma once

#include <GL/gl.h>
#include <d3d11.h>
#include <stddef.h>

#include <optional>
#include <string>
#include <vector>

#include "common/knobs.h"

namespace ilk::d3d11 {

// The memory of a texture, exported for another API. It is one dedicated allocation holding one
// image in the driver's optimal tiling, in the byte order of `gl_format`: B8G8R8A8_UNORM and
// R8G8B8A8_UNORM textures are GL_RGBA8 memory (bytes R, G, B, A), D24_UNORM_S8_UINT is
// GL_DEPTH24_STENCIL8.
struct SharedMemory {
  int fd = -1;              // owned by whoever holds the description (an import takes it over)
  uint64_t size = 0;        // of the allocation, as glImportMemoryFdEXT wants it
  GLenum gl_format = 0;     // the OpenGL sized internal format with the memory's byte order
  UINT width = 0;
  UINT height = 0;
};

// Exports the memory of `texture` for registration with OpenGL on `device`. False, with no
// descriptor open, when `texture` is not a texture of this platform or not one of `device`, holds
// more than one image (mip levels, array slices, samples), is a swap chain's buffer (plain device
// memory, which nothing imports), or the export fails. No count of either object changes.
INTERLOCK_EXPORT bool ExportTextureMemory(ID3D11Texture2D *texture, ID3D11Device *device, SharedMemory *memory);
// IDXGIResource::GetSharedHandle's value for `texture` (null unless MISC_SHARED). False when
// `texture` is not a texture of this platform.
INTERLOCK_EXPORT bool TextureSharedHandle(ID3D11Texture2D *texture, HANDLE *shared_handle);

// The size of a UUID, VkPhysicalDeviceIDProperties' as OpenGL's (GL_UUID_SIZE_EXT).
constexpr size_t kDeviceUuidSize = 16;
// A DRM render node, by the major and minor numbers of its device file.
struct RenderNode {
  uint32_t device_major = 0;
  uint32_t device_minor = 0;
};
// The physical device behind a Direct3D device and the driver build that runs it
// (VkPhysicalDeviceIDProperties::deviceUUID and driverUUID). OpenGL can import the device's
// memory only when one of its GL_DEVICE_UUID_EXT equals `device_uuid` and its
// GL_DRIVER_UUID_EXT equals `driver_uuid`; where both APIs name a render node, on that node.
struct DeviceIdentity {
  std::string name;  // the Vulkan device's
  uint8_t device_uuid[kDeviceUuidSize] = {};
  uint8_t driver_uuid[kDeviceUuidSize] = {};
  // VkPhysicalDeviceDrmPropertiesEXT's render node; none where the device does not offer
  // VK_EXT_physical_device_drm or has no render node.
  std::optional<RenderNode> render_node;
};
// The identity of the physical device behind `device`. False when `device` is not a device of
// this platform.
INTERLOCK_EXPORT bool DeviceIdentityOf(ID3D11Device *device, DeviceIdentity *identity);
// The identity of the physical device a Direct3D device created now would run on
// (INTERLOCK_VULKAN_DEVICE, else the first that can export memory), for OpenGL to be paired
// with. False when there is none.
INTERLOCK_EXPORT bool ChosenDeviceIdentity(DeviceIdentity *identity);
// Waits until the device's queue has finished all work, layout changes still pending included.
INTERLOCK_EXPORT void WaitForDirect3DWork(ID3D11Device *device);
// OpenGL takes `count` exportable textures of `device` (wglDXLockObjectsNV): runs the work
// queued so far and hands each texture's memory over to OpenGL (ownership goes to
// VK_QUEUE_FAMILY_EXTERNAL, in VK_IMAGE_LAYOUT_GENERAL, OpenGL's GL_LAYOUT_GENERAL_EXT), and
// waits for it.
INTERLOCK_EXPORT void HandTexturesToOpenGL(ID3D11Device *device, ID3D11Texture2D *const *textures, size_t count);
// OpenGL gives the textures back (wglDXUnlockObjectsNV) once its work on them has finished:
// Direct3D takes them back, in the same layout, at the start of its next submission.
INTERLOCK_EXPORT void TakeTexturesFromOpenGL(ID3D11Device *device, ID3D11Texture2D *const *textures, size_t count);

// The Direct3D device behind a DXGI device (or any interface of it); no reference added. Null
// when `unknown` is no device of this platform.
INTERLOCK_EXPORT ID3D11Device *Direct3DDevice(IUnknown *unknown);
// Holds or lets go of `device` on behalf of another platform object (its IntRef). The calls
// below do nothing with an object that is not the platform's, or fail (E_INVALIDARG,
// E_NOINTERFACE, 0).
INTERLOCK_EXPORT void HoldDevice(ID3D11Device *device, bool hold);
// Creates a texture for a swap chain's buffer: where presentation reads frames on the host (no
// host-memory import), one the host reads in place (BufferTexels), else one in the device's own
// memory.
INTERLOCK_EXPORT HRESULT CreateBufferTexture(ID3D11Device *device, const D3D11_TEXTURE2D_DESC &desc, ID3D11Texture2D **texture);
// The texels of a swap chain's buffer the host reads in place, once every command queued so far
// has run: mip level 0 of slice 0 as its memory holds it (the bytes R, G, B, A for B8G8R8A8_UNORM
// and R8G8B8A8_UNORM alike), rows `*row_pitch` bytes apart, valid until the next command that
// writes the buffer. Null for any other texture (read it back instead) or when the device fails.
INTERLOCK_EXPORT const uint8_t *BufferTexels(ID3D11Texture2D *texture, size_t *row_pitch);
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

// Host memory that colour textures are read back into again and again: a Vulkan buffer mapped
// for its whole life, so that a steady read allocates nothing.
struct TextureReadback;
// Room for `bytes` bytes (4 per texel); null on failure.
INTERLOCK_EXPORT TextureReadback *CreateTextureReadback(ID3D11Device *device, size_t bytes);
INTERLOCK_EXPORT void DestroyTextureReadback(TextureReadback *readback);
INTERLOCK_EXPORT size_t TextureReadbackSize(const TextureReadback *readback);
// Mip level 0 of slice 0 of an 8-bit colour texture, rows packed, as its memory holds it: the
// bytes R, G, B, A for B8G8R8A8_UNORM and R8G8B8A8_UNORM alike. Valid until the next read into
// `readback`; null on failure or when the texture does not fit.
INTERLOCK_EXPORT const uint8_t *ReadTextureBack(TextureReadback *readback, ID3D11Texture2D *texture);

// Where the device puts the pixels of a `width` x `height` image it writes into host memory
// (a window's pixels): rows `row_pitch` bytes apart, B, G, R, A bytes per pixel, `size` bytes in
// all from an address aligned to `alignment` (`size` is a multiple of it).
struct HostImageLayout {
  size_t row_pitch = 0;
  size_t size = 0;
  size_t alignment = 0;
};
// The layout `device` gives a `width` x `height` host image. False when the device cannot
// import host memory (VK_EXT_external_memory_host) or write such an image.
INTERLOCK_EXPORT bool HostImageLayoutFor(ID3D11Device *device, UINT width, UINT height, HostImageLayout *layout);
// Host memory the device has imported as a `width` x `height` image.
class HostImage;
// Imports `pixels`, laid out as HostImageLayoutFor gave for this size, which must stay valid
// until DestroyHostImage. Null when the import fails.
INTERLOCK_EXPORT HostImage *ImportHostImage(ID3D11Device *device, UINT width, UINT height, uint8_t *pixels,
                                            const HostImageLayout &layout);
INTERLOCK_EXPORT void DestroyHostImage(HostImage *image);
// Writes mip level 0 of slice 0 of an 8-bit colour texture of the image's size into the host
// memory as B, G, R, A (the texture's memory holds R, G, B, A), after everything queued before
// it, and waits for it. False when the device fails or the texture does not fit.
INTERLOCK_EXPORT bool WriteHostImage(HostImage *image, ID3D11Texture2D *texture);

}  // namespace ilk::d3d11
