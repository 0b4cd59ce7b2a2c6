// The immediate context of a device: render-target bindings and copies.
//
// CopyResource is queued, as Direct3D queues it: it is recorded into the device's command buffer
// and runs with the next submission, before anything can see its result (a read-back, an
// interop lock, the release of a texture it uses). Flush submits and waits for what is queued.
#include "device_context.h"

#include <algorithm>

#include "common/log.h"
#include "device.h"
#include "texture.h"
#include "views.h"

namespace ilk::d3d11 {

ImmediateContext::ImmediateContext(Device *device) : ComObject(ObjectApi::D3D11, "ID3D11DeviceContext"), device_(device) {
  device_->AddRefInternal();
}

ImmediateContext::~ImmediateContext() { Unbind(); }

void ImmediateContext::ExternalRefsRevived() { device_->AddRefInternal(); }

void ImmediateContext::Unreferenced() { device_->ReleaseInternal(); }

void ImmediateContext::GetDevice(ID3D11Device **device) {
  device_->AddRef();
  *device = device_;
}

void ImmediateContext::Unbind() {
  for (RenderTargetView *&view : render_targets_) {
    if (view) view->ReleaseInternal();
    view = nullptr;
  }
  if (depth_stencil_) depth_stencil_->ReleaseInternal();
  depth_stencil_ = nullptr;
}

void ImmediateContext::OMSetRenderTargets(UINT num_views, ID3D11RenderTargetView *const *render_target_views,
                                          ID3D11DepthStencilView *depth_stencil_view) {
  Trace("ID3D11DeviceContext::OMSetRenderTargets(%u, %p)", num_views, (void *)depth_stencil_view);
  if (num_views > D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT || (num_views && !render_target_views)) {
    device_->Refuse("ID3D11DeviceContext::OMSetRenderTargets", "NumViews or ppRenderTargetViews is invalid; call ignored");
    return;
  }
  // Hold the new views before dropping the old ones: they may be the same.
  RenderTargetView *targets[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT] = {};
  for (UINT i = 0; i < num_views; ++i) {
    targets[i] = PlatformObject<RenderTargetView>(render_target_views[i]);
    if (targets[i]) targets[i]->AddRefInternal();
  }
  DepthStencilView *depth_stencil = PlatformObject<DepthStencilView>(depth_stencil_view);
  if (depth_stencil) depth_stencil->AddRefInternal();
  Unbind();
  std::copy(targets, targets + D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT, render_targets_);
  depth_stencil_ = depth_stencil;
}

void ImmediateContext::OMGetRenderTargets(UINT num_views, ID3D11RenderTargetView **render_target_views,
                                          ID3D11DepthStencilView **depth_stencil_view) {
  for (UINT i = 0; render_target_views && i < num_views; ++i) {
    RenderTargetView *view = i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT ? render_targets_[i] : nullptr;
    if (view) view->AddRef();
    render_target_views[i] = view;
  }
  if (depth_stencil_view) {
    if (depth_stencil_) depth_stencil_->AddRef();
    *depth_stencil_view = depth_stencil_;
  }
}

void ImmediateContext::CopyResource(ID3D11Resource *dst_resource, ID3D11Resource *src_resource) {
  const char *method = "ID3D11DeviceContext::CopyResource";
  Trace("%s(%p, %p)", method, (void *)dst_resource, (void *)src_resource);
  Texture *dst = PlatformObject<Texture>(dst_resource);
  Texture *src = PlatformObject<Texture>(src_resource);
  // Direct3D ignores a copy it refuses; its debug layer says why.
  if (!dst || !src) {
    device_->Refuse(method, "a resource is null or not a texture; copy ignored");
    return;
  }
  const D3D11_TEXTURE2D_DESC &d = dst->Desc();
  const D3D11_TEXTURE2D_DESC &s = src->Desc();
  if (dst == src) {
    device_->Refuse(method, "source and destination are the same resource; copy ignored");
  } else if (dst->Owner() != device_ || src->Owner() != device_) {
    device_->Refuse(method, "a resource belongs to another device; copy ignored");
  } else if (d.Width != s.Width || d.Height != s.Height || d.MipLevels != s.MipLevels || d.ArraySize != s.ArraySize) {
    device_->Refuse(method, "the resources differ in dimensions; copy ignored");
  } else if (d.Format != s.Format) {
    device_->Refuse(method, "the resources differ in format; copy ignored");
  } else if (d.Usage == D3D11_USAGE_IMMUTABLE) {
    device_->Refuse(method, "the destination is immutable; copy ignored");
  } else {
    // Every mip level; a texture has at most D3D11_REQ_MIP_LEVELS.
    VkImageCopy regions[D3D11_REQ_MIP_LEVELS] = {};
    for (UINT level = 0; level < d.MipLevels; ++level) {
      regions[level].srcSubresource = {dst->Format().aspects, level, 0, d.ArraySize};
      regions[level].dstSubresource = regions[level].srcSubresource;
      regions[level].extent = {std::max(d.Width >> level, 1u), std::max(d.Height >> level, 1u), 1};
    }
    device_->Vulkan().RunLater({src->LayoutChange(VK_IMAGE_LAYOUT_GENERAL, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL),
                                dst->LayoutChange(VK_IMAGE_LAYOUT_GENERAL, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL)},
                               {src->LayoutChange(VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_IMAGE_LAYOUT_GENERAL),
                                dst->LayoutChange(VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_IMAGE_LAYOUT_GENERAL)},
                               [&](VkCommandBuffer commands) {
                                 vkCmdCopyImage(commands, src->Image(), VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL,
                                                dst->Image(), VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, d.MipLevels,
                                                regions);
                               });
  }
}

void ImmediateContext::ClearState() {
  Trace("ID3D11DeviceContext::ClearState()");
  Unbind();
}

void ImmediateContext::Flush() {
  Trace("ID3D11DeviceContext::Flush()");
  device_->Vulkan().WaitIdle();
}

}  // namespace ilk::d3d11
