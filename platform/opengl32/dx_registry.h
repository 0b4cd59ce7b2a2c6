// The interop devices and registered objects that WGL_NV_DX_interop's handles stand for, and
// the frame every one of its entry points runs in.
#pragma once

#include <d3d11.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "common/knobs.h"
#include "memory_import.h"
#include "name_storage.h"
#include "kernel32/kernel32_internal.h"

namespace ilk::opengl32 {

struct InteropDevice {
  ID3D11Device *direct3d;  // held (an internal reference) while the device is open
};

struct InteropObject {
  HANDLE device;
  HGLRC share_group;        // where the name and the import live
  ID3D11Texture2D *texture;  // held (an internal reference) while registered
  NameKind kind;
  GLuint name;
  ImportedTexture imported;
  SharedStorage storage;
  // Unlocked, but Direct3D has not taken the memory back yet: still busy (under the registry's
  // lock).
  bool handing_back = false;
};

// The registry's tables have a lock of their own, held only inside these functions. What they
// hand out stays valid while the caller holds it, even when another thread removes it meanwhile.

// Holds `direct3d` (its IntRef) while the device is open.
HANDLE AddDevice(ID3D11Device *direct3d);
std::shared_ptr<InteropDevice> FindDevice(HANDLE device);
// Closes the device: lets go of its Direct3D device and of every object still registered. 0, or
// the error that changed nothing: ERROR_INVALID_HANDLE when it is no open device (closed
// meanwhile by another thread), ERROR_BUSY while any of its objects is locked.
DWORD RemoveDevice(HANDLE device);

// Holds the object's texture (its IntRef) while it is registered.
HANDLE AddObject(std::unique_ptr<InteropObject> object);
// Unregisters: the name designates its own object again, the import is deleted (when its share
// group is current; otherwise it goes with the contexts) and the texture is let go. 0, or the
// error that changed nothing: ERROR_INVALID_DATA when it is not registered with `device`
// (unregistered meanwhile by another thread), ERROR_INVALID_HANDLE when it lives in another share
// group than `share_group`, ERROR_BUSY while it is locked.
DWORD RemoveObject(HANDLE device, HANDLE object, HGLRC share_group);
// Locks (or unlocks) `count` objects of `device` for `share_group`, checking them all and
// changing them in one step, so that of two threads locking one object exactly one succeeds. 0,
// or the error that changed nothing: ERROR_INVALID_DATA for a handle not registered with
// `device`, ERROR_INVALID_HANDLE for an object of another share group, ERROR_BUSY for one locked
// already (or still being handed back) or named twice (ERROR_NOT_LOCKED for one not locked, or
// named twice, when unlocking). Their textures go to `textures`, in the order named; they stay
// alive while the objects are locked or being handed back (neither can be unregistered).
// Unlocked objects are being handed back until EndHandBack.
DWORD SetLocks(HANDLE device, HGLRC share_group, GLint count, const HANDLE *objects, bool lock,
               std::vector<ID3D11Texture2D *> *textures);
// Direct3D has the memory of the objects SetLocks unlocked back.
void EndHandBack(GLint count, const HANDLE *objects);

// Runs one entry point `name`: INTERLOCK_FAIL first, then `body`, which returns 0 or the
// Win32 error it fails with. On failure sets the last-error code and returns false.
template <typename Body>
bool RunInteropCall(const char *name, Body body) {
  std::optional<uint32_t> injected = ilk::InjectedFailure(name, ERROR_GEN_FAILURE);
  DWORD error = injected ? *injected : body();
  if (!injected && !error) return true;
  ilk::kernel32::SetThreadLastError(error);
  return false;
}

}  // namespace ilk::opengl32
