// The interop devices and registered objects behind WGL_NV_DX_interop's handles (dx_registry.h).
// Handles count upwards and are never reused, so a closed device's or an unregistered object's
// handle stays invalid; devices and objects share one count, so neither passes for the other.
#include "dx_registry.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "common/platform_state.h"
#include "d3d11/d3d11_internal.h"
#include "contexts.h"

namespace ilk::opengl32 {
namespace {

// Mesa, Vulkan and Direct3D are called outside the lock.
struct Registry {
  std::mutex mutex;
  std::map<HANDLE, std::shared_ptr<InteropDevice>> devices;
  std::map<HANDLE, std::shared_ptr<InteropObject>> objects;
};

PlatformState<Registry> registry;
Registry &State() { return registry.Get(); }

// Under the registry's lock.
HANDLE NextHandle() {
  static uintptr_t next = 0x20000;
  next += 1;
  return reinterpret_cast<HANDLE>(next);
}

// Under the registry's lock: whether the object is locked, or unlocked but not yet back with
// Direct3D; it can be neither locked nor unregistered then.
bool Busy(const InteropObject &object) { return object.storage.locked || object.handing_back; }

// What unregistering does once the object has left the tables.
void Unregister(const InteropObject &object) {
  Undesignate(object.share_group, object.kind, object.name, &object.storage);
  if (CurrentShareGroup() == object.share_group) DeleteImport(object.imported);
  ilk::d3d11::HoldTexture(object.texture, false);
}

}  // namespace

HANDLE AddDevice(ID3D11Device *direct3d) {
  ilk::d3d11::HoldDevice(direct3d, true);
  std::lock_guard<std::mutex> lock(State().mutex);
  HANDLE handle = NextHandle();
  State().devices[handle] = std::make_shared<InteropDevice>(InteropDevice{direct3d});
  return handle;
}

std::shared_ptr<InteropDevice> FindDevice(HANDLE device) {
  std::lock_guard<std::mutex> lock(State().mutex);
  auto found = State().devices.find(device);
  return found == State().devices.end() ? nullptr : found->second;
}

DWORD RemoveDevice(HANDLE device) {
  std::shared_ptr<InteropDevice> removed;
  std::vector<std::shared_ptr<InteropObject>> objects;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto found = State().devices.find(device);
    if (found == State().devices.end()) return ERROR_INVALID_HANDLE;
    for (const auto &[handle, object] : State().objects) {
      if (object->device == device && Busy(*object)) return ERROR_BUSY;
    }
    removed = found->second;
    State().devices.erase(found);
    for (auto object = State().objects.begin(); object != State().objects.end();) {
      if (object->second->device != device) {
        ++object;
        continue;
      }
      objects.push_back(object->second);
      object = State().objects.erase(object);
    }
  }
  for (const auto &object : objects) Unregister(*object);
  ilk::d3d11::HoldDevice(removed->direct3d, false);
  return 0;
}

HANDLE AddObject(std::unique_ptr<InteropObject> object) {
  ilk::d3d11::HoldTexture(object->texture, true);
  std::lock_guard<std::mutex> lock(State().mutex);
  HANDLE handle = NextHandle();
  State().objects[handle] = std::move(object);
  return handle;
}

DWORD RemoveObject(HANDLE device, HANDLE handle, HGLRC share_group) {
  std::shared_ptr<InteropObject> removed;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto found = State().objects.find(handle);
    if (found == State().objects.end() || found->second->device != device) return ERROR_INVALID_DATA;
    if (found->second->share_group != share_group) return ERROR_INVALID_HANDLE;
    if (Busy(*found->second)) return ERROR_BUSY;
    removed = found->second;
    State().objects.erase(found);
  }
  Unregister(*removed);
  return 0;
}

DWORD SetLocks(HANDLE device, HGLRC share_group, GLint count, const HANDLE *handles, bool lock,
               std::vector<ID3D11Texture2D *> *textures) {
  std::lock_guard<std::mutex> guard(State().mutex);
  for (GLint i = 0; i < count; ++i) {
    auto found = State().objects.find(handles[i]);
    if (found == State().objects.end() || found->second->device != device) return ERROR_INVALID_DATA;
    if (found->second->share_group != share_group) return ERROR_INVALID_HANDLE;
    bool repeated = std::find(handles, handles + i, handles[i]) != handles + i;
    if (lock && (repeated || Busy(*found->second))) return ERROR_BUSY;
    if (!lock && (repeated || !found->second->storage.locked)) return ERROR_NOT_LOCKED;
  }
  textures->clear();
  for (GLint i = 0; i < count; ++i) {
    InteropObject &object = *State().objects[handles[i]];
    object.storage.locked = lock;
    object.handing_back = !lock;
    textures->push_back(object.texture);
  }
  return 0;
}

void EndHandBack(GLint count, const HANDLE *handles) {
  std::lock_guard<std::mutex> guard(State().mutex);
  for (GLint i = 0; i < count; ++i) State().objects[handles[i]]->handing_back = false;
}

}  // namespace ilk::opengl32
