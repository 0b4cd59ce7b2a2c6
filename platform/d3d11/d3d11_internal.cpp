// What the other DLLs of the platform use of Direct3D 11 objects (d3d11_internal.h).
#include "d3d11_internal.h"

#include "common/log.h"
#include "device.h"
#include "host_image.h"
#include "staging_buffer.h"
#include "texture.h"

namespace ilk::d3d11 {

static_assert(kDeviceUuidSize == VK_UUID_SIZE, "a device UUID is Vulkan's");

bool ExportTextureMemory(ID3D11Texture2D *texture, ID3D11Device *device, SharedMemory *memory) {
  Texture *object = PlatformObject<Texture>(texture);
  if (!object || !memory || object->Owner() != PlatformObject<Device>(device)) return false;
  const D3D11_TEXTURE2D_DESC &desc = object->Desc();
  if (desc.MipLevels != 1 || desc.ArraySize != 1 || desc.SampleDesc.Count != 1 || !object->Exportable()) return false;
  VkDevice vk = object->Owner()->Vulkan().Handle();
  auto get_fd = reinterpret_cast<PFN_vkGetMemoryFdKHR>(vkGetDeviceProcAddr(vk, "vkGetMemoryFdKHR"));
  VkMemoryGetFdInfoKHR info = {VK_STRUCTURE_TYPE_MEMORY_GET_FD_INFO_KHR};
  info.memory = object->Memory();
  info.handleType = VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT;
  int fd = -1;
  if (!get_fd || get_fd(vk, &info, &fd) != VK_SUCCESS) {
    Log("exporting the memory of texture %p failed", (void *)texture);
    return false;
  }
  *memory = {fd, object->MemorySize(), object->Format().gl_format, desc.Width, desc.Height};
  return true;
}

bool TextureSharedHandle(ID3D11Texture2D *texture, HANDLE *shared_handle) {
  Texture *object = PlatformObject<Texture>(texture);
  if (!object) return false;
  *shared_handle = object->SharedHandle();
  return true;
}

bool DeviceIdentityOf(ID3D11Device *device, DeviceIdentity *identity) {
  Device *object = PlatformObject<Device>(device);
  if (!object) return false;
  *identity = object->Vulkan().Identity();
  return true;
}

bool ChosenDeviceIdentity(DeviceIdentity *identity) { return VulkanDevice::ChosenIdentity(identity); }

void WaitForDirect3DWork(ID3D11Device *device) {
  if (Device *object = PlatformObject<Device>(device)) object->Vulkan().WaitIdle();
}

namespace {

// The handovers of the textures that change hands with this lock or unlock. Kept per thread, so
// that a steady frame's locks allocate nothing.
const VulkanDevice::Handovers &Handovers(ID3D11Texture2D *const *textures, size_t count, bool to_opengl) {
  thread_local VulkanDevice::Handovers handovers;
  handovers.clear();
  for (size_t i = 0; i < count; ++i) {
    Texture *texture = PlatformObject<Texture>(textures[i]);
    if (texture && texture->Exportable() && texture->CountOpenGLLock(to_opengl)) {
      handovers.push_back(texture->Handover(to_opengl));
    }
  }
  return handovers;
}

}  // namespace

void HandTexturesToOpenGL(ID3D11Device *device, ID3D11Texture2D *const *textures, size_t count) {
  Device *object = PlatformObject<Device>(device);
  if (!object) return;
  object->Vulkan().Release(Handovers(textures, count, true));
}

void TakeTexturesFromOpenGL(ID3D11Device *device, ID3D11Texture2D *const *textures, size_t count) {
  if (Device *object = PlatformObject<Device>(device)) object->Vulkan().AcquireLater(Handovers(textures, count, false));
}

ID3D11Device *Direct3DDevice(IUnknown *unknown) { return PlatformObject<Device>(unknown); }

void HoldDevice(ID3D11Device *device, bool hold) { HoldInternally<Device>(device, hold); }

HRESULT CreateBufferTexture(ID3D11Device *device, const D3D11_TEXTURE2D_DESC &desc, ID3D11Texture2D **texture) {
  Texture *created = nullptr;
  Device *object = PlatformObject<Device>(device);
  if (!object) return E_INVALIDARG;
  const VulkanDevice &vulkan = object->Vulkan();
  const ChosenFormat *format = vulkan.Format(desc.Format);
  bool host_reads = vulkan.HostImportAlignment() == 0 && format && format->linear;
  HRESULT hr = object->CreateTexture(desc, nullptr, host_reads ? TextureMemoryKind::kHostReadable : TextureMemoryKind::kPlain,
                                     &created);
  // Without host-visible memory for it the buffer is read back, as from the device's own memory.
  if (host_reads && hr == E_OUTOFMEMORY) hr = object->CreateTexture(desc, nullptr, TextureMemoryKind::kPlain, &created);
  *texture = created;
  return hr;
}

const uint8_t *BufferTexels(ID3D11Texture2D *texture, size_t *row_pitch) {
  Texture *object = PlatformObject<Texture>(texture);
  return object ? object->HostTexels(row_pitch) : nullptr;
}

HRESULT QueryTexture(ID3D11Texture2D *texture, REFIID riid, void **object) {
  Texture *found = PlatformObject<Texture>(texture);
  *object = nullptr;
  if (!found) return E_NOINTERFACE;
  *object = riid == IID_IUnknown ? static_cast<ID3D11Texture2D *>(found) : found->FindInterface(riid);
  if (!*object) return E_NOINTERFACE;
  found->AddRef();
  return S_OK;
}

void HoldTexture(ID3D11Texture2D *texture, bool hold) { HoldInternally<Texture>(texture, hold); }

ULONG TextureRefs(ID3D11Texture2D *texture) {
  Texture *object = PlatformObject<Texture>(texture);
  return object ? object->ExternalRefs() + object->InternalRefs() : 0;
}

bool ReadTexture(ID3D11Texture2D *texture, std::vector<uint8_t> *texels) {
  Texture *object = PlatformObject<Texture>(texture);
  return object && object->Read(texels);
}

struct TextureReadback {
  TextureReadback(VulkanDevice &vulkan, size_t bytes) : buffer(vulkan, bytes, StagingUse::kReadBack), size(bytes) {}
  StagingBuffer buffer;
  const size_t size;
};

TextureReadback *CreateTextureReadback(ID3D11Device *device, size_t bytes) {
  Device *object = PlatformObject<Device>(device);
  if (!object) return nullptr;
  TextureReadback *readback = new TextureReadback(object->Vulkan(), bytes);
  if (readback->buffer.Data()) return readback;
  delete readback;
  return nullptr;
}

void DestroyTextureReadback(TextureReadback *readback) { delete readback; }

size_t TextureReadbackSize(const TextureReadback *readback) { return readback->size; }

const uint8_t *ReadTextureBack(TextureReadback *readback, ID3D11Texture2D *texture) {
  Texture *object = PlatformObject<Texture>(texture);
  if (!object || object->Format().texel_bytes != 4 || !(object->Format().aspects & VK_IMAGE_ASPECT_COLOR_BIT) ||
      object->PackedSize() > readback->size || !object->CopyPacked(readback->buffer)) {
    return nullptr;
  }
  return readback->buffer.Data();
}

bool HostImageLayoutFor(ID3D11Device *device, UINT width, UINT height, HostImageLayout *layout) {
  Device *object = PlatformObject<Device>(device);
  return object && HostImage::LayoutFor(object->Vulkan(), width, height, layout);
}

HostImage *ImportHostImage(ID3D11Device *device, UINT width, UINT height, uint8_t *pixels,
                           const HostImageLayout &layout) {
  Device *object = PlatformObject<Device>(device);
  return object ? HostImage::Import(object->Vulkan(), width, height, pixels, layout).release() : nullptr;
}

void DestroyHostImage(HostImage *image) { delete image; }

bool WriteHostImage(HostImage *image, ID3D11Texture2D *texture) {
  Texture *object = PlatformObject<Texture>(texture);
  return object && image->Write(*object);
}

}  // namespace ilk::d3d11
