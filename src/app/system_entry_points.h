// Entry points of system libraries looked up at run time, and the declarations the program
// carries itself because no header it can count on provides them.
#pragma once

#include <windows.h>
#include <unknwn.h>

struct IDXGIDevice;

namespace interlock {

typedef enum PROCESS_DPI_AWARENESS {
  PROCESS_DPI_UNAWARE = 0,
  PROCESS_SYSTEM_DPI_AWARE = 1,
  PROCESS_PER_MONITOR_DPI_AWARE = 2
} PROCESS_DPI_AWARENESS;

typedef enum DXGI_DEBUG_RLO_FLAGS {
  DXGI_DEBUG_RLO_SUMMARY = 0x1,
  DXGI_DEBUG_RLO_DETAIL = 0x2,
  DXGI_DEBUG_RLO_IGNORE_INTERNAL = 0x4,
  DXGI_DEBUG_RLO_ALL = 0x7
} DXGI_DEBUG_RLO_FLAGS;

struct IDXGIDebug : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ReportLiveObjects(GUID apiid, DXGI_DEBUG_RLO_FLAGS flags) = 0;
};

extern const IID IID_IDXGIDebug;
extern const GUID DXGI_DEBUG_ALL;

typedef HRESULT(WINAPI *CreateDXGIFactory2func)(UINT flags, REFIID riid, void **factory);
typedef HRESULT(WINAPI *DCompositionCreateDevicefunc)(IDXGIDevice *dxgiDevice, REFIID riid, void **device);
typedef HRESULT(WINAPI *DXGIGetDebugInterfacefunc)(REFIID riid, void **debug);
typedef HRESULT(WINAPI *SetProcessDpiAwarenessfunc)(PROCESS_DPI_AWARENESS value);

extern CreateDXGIFactory2func CreateDXGIFactory2;
extern DCompositionCreateDevicefunc DCompositionCreateDevice;
extern DXGIGetDebugInterfacefunc DXGIGetDebugInterface;
extern SetProcessDpiAwarenessfunc SetProcessDpiAwareness;

// Loads the libraries and looks the four entry points up, checking the required ones.
void ResolveSystemEntryPoints();

}  // namespace interlock
