// DirectComposition objects: a device, targets bound to windows, visuals. What is set on
// targets and visuals takes effect when their device commits.
#pragma once

#include <dcomp.h>

#include <optional>
#include <vector>

#include "common/com_object.h"
#include "dcomp_iids.h"
#include "dxgi/dxgi_internal.h"

namespace ilk::dcomp {

class CompositionDevice;

class Visual final : public ComObject<Visual, IDCompositionVisual> {
 public:
  static constexpr ComInterface kInterfaces[] = {{&IID_IDCompositionVisual, "IDCompositionVisual", 0}};

  explicit Visual(CompositionDevice *device);
  ~Visual() override;

  HRESULT STDMETHODCALLTYPE SetContent(IUnknown *content) override;

  void CommitContent();
  IUnknown *CommittedContent() const { return committed_content_; }

 private:
  CompositionDevice *const device_;
  IUnknown *content_ = nullptr;  // swap chains, each held as IntRef
  IUnknown *committed_content_ = nullptr;
};

class Target final : public ComObject<Target, IDCompositionTarget>, public dxgi::PresentationSink {
 public:
  static constexpr ComInterface kInterfaces[] = {{&IID_IDCompositionTarget, "IDCompositionTarget", 0}};

  Target(CompositionDevice *device, HWND window, bool topmost);
  ~Target() override;

  HRESULT STDMETHODCALLTYPE SetRoot(IDCompositionVisual *visual) override;

  // Takes the root set last and shows the swap chain that its committed content is.
  void CommitRoot();
  void Show(const dxgi::PresentedImage &image) override;
  dxgi::WindowPixels PixelsToWrite(UINT width, UINT height, const d3d11::HostImageLayout &layout) override;
  void ShowWritten(const dxgi::WindowPixels &pixels, UINT width, UINT height,
                   const d3d11::HostImageLayout &layout) override;
  // Whether a live target composes `window` in that layer.
  static bool Composes(HWND window, bool topmost);

 private:
  void SetShown(IUnknown *swap_chain);

  CompositionDevice *const device_;
  const HWND window_;
  const bool topmost_;
  Visual *root_ = nullptr;  // each held as IntRef
  Visual *committed_root_ = nullptr;
  IUnknown *shown_ = nullptr;  // the swap chain presenting into this target, held as IntRef
};

class CompositionDevice final : public ComObject<CompositionDevice, IDCompositionDevice> {
 public:
  static constexpr ComInterface kInterfaces[] = {{&IID_IDCompositionDevice, "IDCompositionDevice", 0}};

  explicit CompositionDevice(ID3D11Device *direct3d);
  ~CompositionDevice() override;

  HRESULT STDMETHODCALLTYPE Commit() override;
  HRESULT STDMETHODCALLTYPE CreateTargetForHwnd(HWND hwnd, BOOL topmost, IDCompositionTarget **target) override;
  HRESULT STDMETHODCALLTYPE CreateVisual(IDCompositionVisual **visual) override;

  // Targets and visuals hold their device (IntRef) and tell it when they go.
  void Forget(Target *target);
  void Forget(Visual *visual);

 private:
  ID3D11Device *const direct3d_;
  std::vector<Target *> targets_;
  std::vector<Visual *> visuals_;
};

}  // namespace ilk::dcomp
