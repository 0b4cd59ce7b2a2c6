// WGL_NV_DX_interop: wglDXRegisterObjectNV, wglDXUnregisterObjectNV, wglDXLockObjectsNV and
// wglDXUnlockObjectsNV.
//
// Error codes, as the extension gives them where it does: an unknown device handle, or no
// current context of the share group an object lives in, is ERROR_INVALID_HANDLE; a bad name,
// type or access, or an object handle not registered with the device, is ERROR_INVALID_DATA; a
// resource OpenGL cannot open (not a texture of the device, a format or layout without OpenGL
// equivalent) is ERROR_OPEN_FAILED; locking a locked object is ERROR_BUSY and unlocking an
// unlocked one ERROR_NOT_LOCKED, and unregistering a locked one is ERROR_BUSY. Locks are all
// or nothing: a failure changes no object. Registering a name that is still registered moves
// the name to the new registration; the earlier one keeps its storage until unregistered.
#include <GL/wglext.h>

#include <string>
#include <vector>

#include "common/log.h"
#include "d3d11/d3d11_internal.h"
#include "contexts.h"
#include "dx_interop.h"
#include "dx_registry.h"

namespace ilk::opengl32 {
namespace {

bool KnownAccess(GLenum access) {
  return access == WGL_ACCESS_READ_ONLY_NV || access == WGL_ACCESS_READ_WRITE_NV ||
         access == WGL_ACCESS_WRITE_DISCARD_NV;
}

DWORD Register(HANDLE hDevice, void *dxObject, GLuint name, GLenum type, GLenum access, HANDLE *registered) {
  std::shared_ptr<InteropDevice> device = FindDevice(hDevice);
  if (!device || !CurrentContext()) return ERROR_INVALID_HANDLE;
  if ((type != GL_RENDERBUFFER && type != GL_TEXTURE_2D) || !KnownAccess(access)) return ERROR_INVALID_DATA;
  NameKind kind = type == GL_RENDERBUFFER ? NameKind::Renderbuffer : NameKind::Texture;
  if (!IsNameOf(kind, name)) return ERROR_INVALID_DATA;
  auto *texture = static_cast<ID3D11Texture2D *>(dxObject);
  auto object = std::make_unique<InteropObject>();
  if (!ImportTexture(texture, device->direct3d, &object->imported)) return ERROR_OPEN_FAILED;
  object->device = hDevice;
  object->share_group = CurrentShareGroup();
  object->texture = texture;
  object->kind = kind;
  object->name = name;
  object->storage.texture = object->imported.texture;
  object->storage.writable = access != WGL_ACCESS_READ_ONLY_NV;
  Designate(kind, name, &object->storage);
  *registered = AddObject(std::move(object));
  return 0;
}

// Checks and changes every object in one step (SetLocks), then hands the memory over: to OpenGL
// once Direct3D's work is done, or back to Direct3D once OpenGL's is. A handle names one object,
// so an object named twice is a handle given twice.
DWORD SetLocked(HANDLE hDevice, GLint count, HANDLE *hObjects, bool lock) {
  std::shared_ptr<InteropDevice> device = FindDevice(hDevice);
  if (!device) return ERROR_INVALID_HANDLE;
  if (count < 0 || (count > 0 && !hObjects)) return ERROR_INVALID_PARAMETER;
  if (count == 0) return 0;
  thread_local std::vector<ID3D11Texture2D *> textures;  // kept, so that a steady frame's locks allocate nothing
  if (DWORD error = SetLocks(hDevice, CurrentShareGroup(), count, hObjects, lock, &textures)) return error;
  if (lock) {
    ilk::d3d11::HandTexturesToOpenGL(device->direct3d, textures.data(), textures.size());
  } else {
    FinishOpenGLWork();
    ilk::d3d11::TakeTexturesFromOpenGL(device->direct3d, textures.data(), textures.size());
    EndHandBack(count, hObjects);
  }
  return 0;
}

std::string HandleList(GLint count, const HANDLE *handles) {
  std::string list = "{";
  for (GLint i = 0; handles && i < count; ++i) {
    char text[32];
    snprintf(text, sizeof text, i ? ", %p" : "%p", handles[i]);
    list += text;
  }
  return list + "}";
}

}  // namespace

HANDLE WINAPI DXRegisterObject(HANDLE hDevice, void *dxObject, GLuint name, GLenum type, GLenum access) {
  HANDLE object = nullptr;
  RunInteropCall("wglDXRegisterObjectNV", [&] { return Register(hDevice, dxObject, name, type, access, &object); });
  ilk::Trace("wglDXRegisterObjectNV(%p, %p, %u, 0x%04X, %u) = %p", hDevice, dxObject, name, type, access, object);
  return object;
}

BOOL WINAPI DXUnregisterObject(HANDLE hDevice, HANDLE hObject) {
  bool unregistered = RunInteropCall("wglDXUnregisterObjectNV", [&]() -> DWORD {
    if (!FindDevice(hDevice)) return ERROR_INVALID_HANDLE;
    return RemoveObject(hDevice, hObject, CurrentShareGroup());
  });
  ilk::Trace("wglDXUnregisterObjectNV(%p, %p) = %d", hDevice, hObject, unregistered);
  return unregistered;
}

BOOL WINAPI DXLockObjects(HANDLE hDevice, GLint count, HANDLE *hObjects) {
  bool locked = RunInteropCall("wglDXLockObjectsNV", [&] { return SetLocked(hDevice, count, hObjects, true); });
  if (ilk::TraceEnabled()) {
    ilk::Trace("wglDXLockObjectsNV(%p, %d, %s) = %d", hDevice, count, HandleList(count, hObjects).c_str(), locked);
  }
  return locked;
}

BOOL WINAPI DXUnlockObjects(HANDLE hDevice, GLint count, HANDLE *hObjects) {
  bool unlocked = RunInteropCall("wglDXUnlockObjectsNV", [&] { return SetLocked(hDevice, count, hObjects, false); });
  if (ilk::TraceEnabled()) {
    ilk::Trace("wglDXUnlockObjectsNV(%p, %d, %s) = %d", hDevice, count, HandleList(count, hObjects).c_str(), unlocked);
  }
  return unlocked;
}

}  // namespace ilk::opengl32
