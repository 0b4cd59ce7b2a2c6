// The Direct3D 11 device, which is also its DXGI device: texture and view creation with
// Direct3D's checks of their descriptions.
//
// Textures offered: DXGI_FORMAT_B8G8R8A8_UNORM and R8G8B8A8_UNORM with render-target and
// shader-resource binding, DXGI_FORMAT_D24_UNORM_S8_UINT with depth-stencil binding, usage
// DEFAULT without CPU access, single-sampled, optionally D3D11_RESOURCE_MISC_SHARED. Other
// descriptions, including ones Windows would accept for other formats, usages or flags, get
// E_INVALIDARG; with the debug layer the debugger channel says why.
#include "device.h"

#include <string.h>

#include <algorithm>

#include "common/log.h"
#include "device_context.h"
#include "texture.h"
#include "views.h"

namespace ilk::d3d11 {
namespace {

UINT FullMipChain(UINT width, UINT height) {
  UINT levels = 1;
  for (UINT size = std::max(width, height); size > 1; size >>= 1) ++levels;
  return levels;
}

// Why Direct3D refuses `desc`, or null when it accepts it.
const char *TextureDescProblem(const D3D11_TEXTURE2D_DESC &desc, const D3D11_SUBRESOURCE_DATA *initial_data) {
  const TextureFormat *format = FindTextureFormat(desc.Format);
  bool depth = format && (format->aspects & VK_IMAGE_ASPECT_DEPTH_BIT);
  if (desc.Width < 1 || desc.Width > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION) return "Width is 0 or above 16384";
  if (desc.Height < 1 || desc.Height > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION) return "Height is 0 or above 16384";
  if (desc.ArraySize < 1 || desc.ArraySize > D3D11_REQ_TEXTURE2D_ARRAY_AXIS_DIMENSION) return "ArraySize is 0 or above 2048";
  if (desc.MipLevels > FullMipChain(desc.Width, desc.Height)) return "MipLevels is above the full mip chain";
  if (!format) return "the format is not supported for textures";
  if (desc.SampleDesc.Count != 1 || desc.SampleDesc.Quality != 0) return "only single-sampled textures are supported";
  if (desc.Usage != D3D11_USAGE_DEFAULT) return "only D3D11_USAGE_DEFAULT is supported";
  if (desc.CPUAccessFlags != 0) return "CPUAccessFlags must be 0 with D3D11_USAGE_DEFAULT";
  UINT allowed_bind = depth ? D3D11_BIND_DEPTH_STENCIL : D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
  if (desc.BindFlags & ~allowed_bind) return "BindFlags has a bind the format does not support";
  if (desc.MiscFlags & ~(UINT)D3D11_RESOURCE_MISC_SHARED) return "MiscFlags has a flag that is not supported";
  if (depth && initial_data) return "depth-stencil textures cannot have initial data";
  if (initial_data) {
    UINT subresources = (desc.MipLevels ? desc.MipLevels : FullMipChain(desc.Width, desc.Height)) * desc.ArraySize;
    for (UINT i = 0; i < subresources; ++i) {
      if (!initial_data[i].pSysMem) return "pInitialData has a subresource without pSysMem";
    }
  }
  return nullptr;
}

}  // namespace

Device::Device(UINT flags, D3D_FEATURE_LEVEL level, std::unique_ptr<VulkanDevice> vulkan)
    : ComObject(ObjectApi::D3D11, "ID3D11Device"), flags_(flags), level_(level), vulkan_(std::move(vulkan)) {
  context_.reset(new ImmediateContext(this));
}

Device::~Device() = default;

HRESULT Device::Refuse(const char *method, const char *reason) const {
  ReportRefusal(flags_ & D3D11_CREATE_DEVICE_DEBUG, "D3D11", "STATE_CREATION", method, reason);
  return E_INVALIDARG;
}

HRESULT Device::CreateTexture(const D3D11_TEXTURE2D_DESC &desc, const D3D11_SUBRESOURCE_DATA *initial_data,
                              TextureMemoryKind kind, Texture **texture) {
  if (const char *problem = TextureDescProblem(desc, initial_data)) return Refuse("ID3D11Device::CreateTexture2D", problem);
  D3D11_TEXTURE2D_DESC full = desc;
  if (full.MipLevels == 0) full.MipLevels = FullMipChain(desc.Width, desc.Height);
  const ChosenFormat *format = vulkan_->Format(desc.Format);
  if (!format) return Refuse("ID3D11Device::CreateTexture2D", "the device cannot make textures of the format");
  if (!texture) return S_FALSE;
  return Texture::Create(this, full, *format, initial_data, kind, texture);
}

HRESULT Device::CreateTexture2D(const D3D11_TEXTURE2D_DESC *desc, const D3D11_SUBRESOURCE_DATA *initial_data,
                                ID3D11Texture2D **texture) {
  HRESULT hr;
  Texture *created = nullptr;
  if (texture) *texture = nullptr;
  if (std::optional<uint32_t> code = Fail("CreateTexture2D", E_OUTOFMEMORY)) {
    hr = (HRESULT)*code;
  } else if (!desc) {
    hr = Refuse("ID3D11Device::CreateTexture2D", "pDesc is null");
  } else {
    hr = CreateTexture(*desc, initial_data, TextureMemoryKind::kExportable, texture ? &created : nullptr);
    if (created) *texture = created;
  }
  Trace("ID3D11Device::CreateTexture2D(%ux%u, format %d) = 0x%08x, %p", desc ? desc->Width : 0, desc ? desc->Height : 0,
        desc ? (int)desc->Format : 0, (unsigned)hr, (void *)created);
  return hr;
}

namespace {

// A view made the way both kinds are: INTERLOCK_FAIL, creation and validation, trace.
template <typename Kind>
HRESULT CreateView(Device *device, ID3D11Resource *resource, const typename Kind::Desc *desc,
                   typename Kind::Interface **view) {
  HRESULT hr;
  TextureView<Kind> *created = nullptr;
  if (view) *view = nullptr;
  const char *method = strstr(Kind::kCreateMethod, "::") + 2;
  if (std::optional<uint32_t> code = Device::Fail(method, E_OUTOFMEMORY)) {
    hr = (HRESULT)*code;
  } else {
    hr = TextureView<Kind>::Create(device, resource, desc, view ? &created : nullptr);
    if (created) *view = created;
  }
  Trace("%s(%p) = 0x%08x, %p", Kind::kCreateMethod, (void *)resource, (unsigned)hr, (void *)created);
  return hr;
}

}  // namespace

HRESULT Device::CreateRenderTargetView(ID3D11Resource *resource, const D3D11_RENDER_TARGET_VIEW_DESC *desc,
                                       ID3D11RenderTargetView **view) {
  return CreateView<RenderTargetViewKind>(this, resource, desc, view);
}

HRESULT Device::CreateDepthStencilView(ID3D11Resource *resource, const D3D11_DEPTH_STENCIL_VIEW_DESC *desc,
                                       ID3D11DepthStencilView **view) {
  return CreateView<DepthStencilViewKind>(this, resource, desc, view);
}

void Device::GetImmediateContext(ID3D11DeviceContext **immediate_context) {
  context_->AddRef();
  *immediate_context = context_.get();
}

}  // namespace ilk::d3d11
