// COM objects of the stand-in platform: IUnknown over the tracker's reference counts and
// QueryInterface by the published identifiers, with INTERLOCK_FAIL applied to it.
#pragma once

#include <unknwn.h>

#include <optional>

#include "live_objects.h"

namespace ilk {

// Derived provides
//   void *FindInterface(REFIID riid): the interface pointer for riid, or null;
//   static std::optional<uint32_t> Fail(const char *method, HRESULT code): ilk::InjectedFailure
//     with the names of every interface the object implements.
// The first interface is the object's identity (IUnknown) and its reported address.
template <typename Derived, typename First, typename... More>
class ComObject : public First, public More..., public TrackedObject {
 public:
  // First is constructed before TrackedObject, so its address is known here.
  ComObject(ObjectApi api, const char *interface_name)
      : TrackedObject(api, interface_name, static_cast<const First *>(this)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (std::optional<uint32_t> code = Derived::Fail("QueryInterface", E_NOINTERFACE)) return (HRESULT)*code;
    void *found = riid == IID_IUnknown ? static_cast<IUnknown *>(static_cast<First *>(this))
                                       : static_cast<Derived *>(this)->FindInterface(riid);
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
