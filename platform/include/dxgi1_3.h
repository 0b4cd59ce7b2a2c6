/* DXGI 1.3: the frame-latency waitable object and CreateDXGIFactory2. */
#pragma once

#include "dxgi1_2.h"

#define DXGI_CREATE_FACTORY_DEBUG 0x1

/* Declared without a value, as the platform's own header does: programs define it themselves. */
extern INTERLOCK_EXPORT const IID IID_IDXGISwapChain2;

struct IDXGISwapChain2 : public IDXGISwapChain1 {
  virtual HRESULT STDMETHODCALLTYPE GetMaximumFrameLatency(UINT *max_latency) = 0;
  virtual HANDLE STDMETHODCALLTYPE GetFrameLatencyWaitableObject() = 0;
};

STDAPI CreateDXGIFactory2(UINT flags, REFIID riid, void **factory);
