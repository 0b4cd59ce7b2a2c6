// COM objects of the stand-in platform: IUnknown over the tracker's reference counts and
// QueryInterface by the published identifiers, with INTERLOCK_FAIL applied to it.
#pragma once

#include <unknwn.h>

#include <iterator>
#include <optional>
#include <string_view>

#include "live_objects.h"

namespace ilk {

// An interface a platform object answers QueryInterface for: its identifier, its name (for
// INTERLOCK_FAIL's "Interface::Method" rules), and which of the object's interface bases it is
// reached through (0: First, 1: the first of More, ...).
struct ComInterface {
  const IID *iid;
  const char *name;
  int base;
};

// Derived provides `static constexpr ComInterface kInterfaces[]`: every interface it implements
// but IUnknown. The first interface is the object's identity (IUnknown) and its reported address.
template <typename Derived, typename First, typename... More>
class ComObject : public First, public More..., public TrackedObject {
 public:
  // ilk::InjectedFailure for `method` of an object of this type, with the names of every
  // interface it implements.
  static std::optional<uint32_t> Fail(const char *method, HRESULT code) {
    constexpr size_t count = std::size(Derived::kInterfaces);
    std::string_view names[count + 1] = {"IUnknown"};
    for (size_t i = 0; i < count; ++i) names[i + 1] = Derived::kInterfaces[i].name;
    return InjectedFailure(method, (uint32_t)code, names, count + 1);
  }

  // The interface pointer for `riid` (not IUnknown), or null; adds no reference.
  void *FindInterface(REFIID riid) {
    void *bases[] = {static_cast<First *>(this), static_cast<More *>(this)...};
    for (const ComInterface &entry : Derived::kInterfaces) {
      if (*entry.iid == riid) return bases[entry.base];
    }
    return nullptr;
  }

  // First is constructed before TrackedObject, so its address is known here.
  ComObject(ObjectApi api, const char *interface_name)
      : TrackedObject(api, interface_name, static_cast<const First *>(this)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (std::optional<uint32_t> code = Derived::Fail("QueryInterface", E_NOINTERFACE)) return (HRESULT)*code;
    void *found = riid == IID_IUnknown ? static_cast<IUnknown *>(static_cast<First *>(this))
                                       : FindInterface(riid);
    if (!found) return E_NOINTERFACE;
    AddRefExternal();
    *object = found;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefExternal(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseExternal(); }
};

// The platform object of type T behind `unknown`, or null when `unknown` is null or any other
// object (the program's own, or another platform type). A type check by the object's dynamic
// type: it touches no reference count and calls no method of the object, so it is safe on any
// C++ object, as every COM object in this process is.
template <typename T>
T *PlatformObject(IUnknown *unknown) {
  return dynamic_cast<T *>(unknown);
}

// Takes or lets go of a reference that another platform object holds on the object of type T
// behind `unknown` (the tracker's IntRef); nothing when it is no such object.
template <typename T>
void HoldInternally(IUnknown *unknown, bool hold) {
  T *object = PlatformObject<T>(unknown);
  if (!object) return;
  if (hold) {
    object->AddRefInternal();
  } else {
    object->ReleaseInternal();
  }
}

}  // namespace ilk
