// Entry points of system libraries looked up at run time.
#include "app/system_entry_points.h"

#include "diag/checks.h"

namespace interlock {

const IID IID_IDXGIDebug = {0x119E7452, 0xDE9E, 0x40FE, {0x88, 0x06, 0x88, 0xF9, 0x0C, 0x12, 0xB4, 0x41}};
const GUID DXGI_DEBUG_ALL = {0xE48AE283, 0xDA80, 0x490B, {0x87, 0xE6, 0x43, 0xE9, 0xA9, 0xCF, 0xDA, 0x08}};

CreateDXGIFactory2func CreateDXGIFactory2;
DCompositionCreateDevicefunc DCompositionCreateDevice;
DXGIGetDebugInterfacefunc DXGIGetDebugInterface;
SetProcessDpiAwarenessfunc SetProcessDpiAwareness;

namespace {

// The library's result is not checked: a missing library shows as a missing entry point.
template <typename Function>
Function Lookup(const char *library, const char *name) {
  HMODULE module = LoadLibraryA(library);
  return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

}  // namespace

void ResolveSystemEntryPoints() {
  CreateDXGIFactory2 = Lookup<CreateDXGIFactory2func>("Dxgi.dll", "CreateDXGIFactory2");
  CheckGLE(CreateDXGIFactory2, "GetProcAddress for CreateDXGIFactory2 @1786");
  DCompositionCreateDevice = Lookup<DCompositionCreateDevicefunc>("DComp.dll", "DCompositionCreateDevice");
  CheckGLE(DCompositionCreateDevice, "GetProcAddress for DCompositionCreateDevice @1789");
  DXGIGetDebugInterface = Lookup<DXGIGetDebugInterfacefunc>("Dxgidebug.dll", "DXGIGetDebugInterface");
  SetProcessDpiAwareness = Lookup<SetProcessDpiAwarenessfunc>("shcore.dll", "SetProcessDpiAwareness");
  CheckGLE(SetProcessDpiAwareness, "GetProcAddress for SetProcessDpiAwareness @1794");
}

}  // namespace interlock
