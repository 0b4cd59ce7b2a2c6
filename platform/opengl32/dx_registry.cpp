// The interop devices and registered objects behind WGL_NV_DX_interop's handles (dx_registry.h).
// Handles count upwards and are never reused, so a closed device's or an unregistered object's
// handle stays invalid; devices and objects share one count, so neither passes for the other.
#include "opengl32/dx_registry.h"

#include <map>

#include "d3d11/d3d11_interop.h"
#include "opengl32/contexts.h"

namespace opengl32 {
namespace {

struct Registry {
  std::map<HANDLE, InteropDevice> devices;
  std::map<HANDLE, std::unique_ptr<InteropObject>> objects;
};

Registry &State() {
  static auto *registry = new Registry;  // lives as long as the process
  return *registry;
}

HANDLE NextHandle() {
  static uintptr_t next = 0x20000;
  next += 1;
  return reinterpret_cast<HANDLE>(next);
}

}  // namespace

std::mutex &InteropMutex() {
  static auto *mutex = new std::mutex;
  return *mutex;
}

HANDLE AddDevice(ID3D11Device *direct3d) {
  ilk::HoldDevice(direct3d, true);
  HANDLE handle = NextHandle();
  State().devices[handle] = {direct3d};
  return handle;
}

InteropDevice *FindDevice(HANDLE device) {
  auto found = State().devices.find(device);
  return found == State().devices.end() ? nullptr : &found->second;
}

void RemoveDevice(HANDLE device) {
  for (HANDLE object : ObjectsOf(device)) RemoveObject(object);
  ilk::HoldDevice(State().devices.at(device).direct3d, false);
  State().devices.erase(device);
}

HANDLE AddObject(std::unique_ptr<InteropObject> object) {
  ilk::HoldTexture(object->texture, true);
  HANDLE handle = NextHandle();
  State().objects[handle] = std::move(object);
  return handle;
}

InteropObject *FindObject(HANDLE device, HANDLE object) {
  auto found = State().objects.find(object);
  return found == State().objects.end() || found->second->device != device ? nullptr : found->second.get();
}

std::vector<HANDLE> ObjectsOf(HANDLE device) {
  std::vector<HANDLE> handles;
  for (const auto &[handle, object] : State().objects) {
    if (object->device == device) handles.push_back(handle);
  }
  return handles;
}

void RemoveObject(HANDLE handle) {
  InteropObject &object = *State().objects.at(handle);
  Undesignate(object.share_group, object.kind, object.name, &object.storage);
  if (CurrentShareGroup() == object.share_group) DeleteImport(object.imported);
  ilk::HoldTexture(object.texture, false);
  State().objects.erase(handle);
}

}  // namespace opengl32
