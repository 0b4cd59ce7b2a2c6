/* DirectComposition: a device, a target bound to a window, visuals. Interfaces declare the
 * methods the stand-in platform implements, in their published order. As in the platform's
 * own header, the interface identifiers are left to the program. */
#pragma once

#include "d3d11.h"
#include "dxgi1_3.h"

struct IDCompositionVisual : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetContent(IUnknown *content) = 0;
};

struct IDCompositionTarget : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetRoot(IDCompositionVisual *visual) = 0;
};

struct IDCompositionDevice : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Commit() = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateTargetForHwnd(HWND hwnd, BOOL topmost, IDCompositionTarget **target) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateVisual(IDCompositionVisual **visual) = 0;
};

STDAPI DCompositionCreateDevice(IDXGIDevice *dxgi_device, REFIID iid, void **dcomposition_device);
