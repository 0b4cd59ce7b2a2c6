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
};

// The registry's tables have a lock of their own, held only inside these functions. What they
// hand out stays valid while the caller holds it, even when another thread removes it meanwhile.

// Holds `direct3d` (its IntRef) while the device is open.
HANDLE AddDevice(ID3D11Device *direct3d);
std::shared_ptr<InteropDevice> FindDevice(HANDLE device);
// Closes the device: lets go of its Direct3D device and of every object still registered. False
// when it is no open device (closed meanwhile by another thread).
bool RemoveDevice(HANDLE device);

// Holds the object's texture (its IntRef) while it is registered.
HANDLE AddObject(std::unique_ptr<InteropObject> object);
// The object registered under `object` with `device`; null for any other handle.
std::shared_ptr<InteropObject> FindObject(HANDLE device, HANDLE object);
std::vector<std::shared_ptr<InteropObject>> ObjectsOf(HANDLE device);
// Unregisters: the name designates its own object again, the import is deleted (when its share
// group is current; otherwise it goes with the contexts) and the texture is let go. False when
// it is not registered (unregistered meanwhile by another thread).
bool RemoveObject(HANDLE object);

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
