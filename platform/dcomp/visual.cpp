// DirectComposition visuals: one content each (a composition swap chain); no children,
// offsets, transforms or clips are offered.
#include "common/log.h"
#include "composition_objects.h"
#include "dcomp_iids.h"

namespace ilk::dcomp {

Visual::Visual(CompositionDevice *device) : ComObject(ObjectApi::DComp, "IDCompositionVisual"), device_(device) {
  device_->AddRefInternal();
}

Visual::~Visual() {
  if (content_) dxgi::HoldSwapChain(content_, false);
  if (committed_content_) dxgi::HoldSwapChain(committed_content_, false);
  device_->Forget(this);
  device_->ReleaseInternal();
}

HRESULT Visual::SetContent(IUnknown *content) {
  HRESULT hr = S_OK;
  if (std::optional<uint32_t> code = Fail("SetContent", E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (content && !dxgi::IsCompositionSwapChain(content)) {
    hr = E_INVALIDARG;  // surfaces and other contents are not offered here
  } else {
    if (content) dxgi::HoldSwapChain(content, true);
    if (content_) dxgi::HoldSwapChain(content_, false);
    content_ = content;
  }
  Trace("IDCompositionVisual::SetContent(%p, %p) = 0x%08x", Address(), (void *)content, (unsigned)hr);
  return hr;
}

void Visual::CommitContent() {
  if (content_) dxgi::HoldSwapChain(content_, true);
  if (committed_content_) dxgi::HoldSwapChain(committed_content_, false);
  committed_content_ = content_;
}

}  // namespace ilk::dcomp
