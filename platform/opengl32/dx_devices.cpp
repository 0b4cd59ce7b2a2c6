// WGL_NV_DX_interop: wglDXOpenDeviceNV, wglDXCloseDeviceNV and wglDXSetResourceShareHandleNV.
//
// Error codes, as the extension gives them where it does: a device OpenGL cannot share memory
// with (not a Direct3D 11 device of this platform, the memory extensions missing, another
// adapter by its UUID) is ERROR_NOT_SUPPORTED; no current context or an unknown device handle is
// ERROR_INVALID_HANDLE; closing a device while any of its objects is locked is ERROR_BUSY.
// Closing a device unregisters what is still registered with it.
#include <GL/wglext.h>

#include "common/log.h"
#include "d3d11/d3d11_internal.h"
#include "contexts.h"
#include "dx_interop.h"
#include "dx_registry.h"

namespace ilk::opengl32 {

HANDLE WINAPI DXOpenDevice(void *dxDevice) {
  HANDLE device = nullptr;
  RunInteropCall("wglDXOpenDeviceNV", [&]() -> DWORD {
    if (!CurrentContext()) return ERROR_INVALID_HANDLE;
    ID3D11Device *direct3d = ilk::d3d11::Direct3DDevice(static_cast<IUnknown *>(dxDevice));
    if (DWORD error = CheckSharing(direct3d)) return error;
    device = AddDevice(direct3d);
    return 0;
  });
  ilk::Trace("wglDXOpenDeviceNV(%p) = %p", dxDevice, device);
  return device;
}

BOOL WINAPI DXCloseDevice(HANDLE hDevice) {
  bool closed = RunInteropCall("wglDXCloseDeviceNV", [&]() -> DWORD {
    return RemoveDevice(hDevice);
  });
  ilk::Trace("wglDXCloseDeviceNV(%p) = %d", hDevice, closed);
  return closed;
}

// Direct3D 11 textures bring their memory themselves; the call only checks that the handle is
// the resource's own shared handle (ERROR_INVALID_DATA otherwise), as the extension wants it
// before registration for resources that need it.
BOOL WINAPI DXSetResourceShareHandle(void *dxObject, HANDLE shareHandle) {
  bool set = RunInteropCall("wglDXSetResourceShareHandleNV", [&]() -> DWORD {
    HANDLE own = nullptr;
    bool texture = ilk::d3d11::TextureSharedHandle(static_cast<ID3D11Texture2D *>(dxObject), &own);
    return texture && shareHandle && own == shareHandle ? 0 : ERROR_INVALID_DATA;
  });
  ilk::Trace("wglDXSetResourceShareHandleNV(%p, %p) = %d", dxObject, shareHandle, set);
  return set;
}

}  // namespace ilk::opengl32
