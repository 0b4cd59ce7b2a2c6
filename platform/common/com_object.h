// COM objects of the stand-in platform: IUnknown over the tracker's reference counts and
// QueryInterface by the published identifiers, with INTERLOCK_FAIL applied to it.
#pragma once

#include <string.h>
#include <unknwn.h>

#include <optional>

#include "common/live_objects.h"

namespace ilk {

// Identifiers the stand-in DLLs use among themselves to find their own object behind an
// interface pointer. They are never published, and a query for one is no call of the program,
// so INTERLOCK_FAIL leaves it alone.
constexpr GUID PrivateIid(DWORD n) { return GUID{n, 0x696c, 0x6b00, {'i', 'n', 't', 'e', 'r', 'l', 'c', 'k'}}; }
inline bool IsPrivateIid(REFIID iid) {
  GUID probe = PrivateIid(iid.Data1);
  return memcmp(&probe, &iid, sizeof probe) == 0;
}

// Derived provides
//   void *FindInterface(REFIID riid): the interface pointer for riid, or null;
//   static std::optional<uint32_t> Fail(const char *method, HRESULT code): ilk::InjectedFailure
//     with the names of every interface the object implements.
// The first interface is the object's identity (IUnknown) and its reported address.
template <typename Derived, typename First, typename... More>
class ComObject : public First, public More..., public TrackedObject {
 public:
  ComObject(ObjectApi api, const char *interface_name) : TrackedObject(api, interface_name) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsPrivateIid(riid)) {
      if (std::optional<uint32_t> code = Derived::Fail("QueryInterface", E_NOINTERFACE)) return (HRESULT)*code;
    }
    void *found = riid == IID_IUnknown ? static_cast<IUnknown *>(static_cast<First *>(this))
                                       : static_cast<Derived *>(this)->FindInterface(riid);
    if (!found) return E_NOINTERFACE;
    AddRefExternal();
    *object = found;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AddRefExternal(); }
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseExternal(); }

  const void *Address() const override { return static_cast<const First *>(this); }
};

// The platform object of type T behind `unknown` (found by T's private identifier), or null
// when `unknown` is null or not such an object. Adds no reference.
template <typename T>
T *PlatformObject(IUnknown *unknown) {
  void *object = nullptr;
  if (!unknown || FAILED(unknown->QueryInterface(T::kPrivateIid, &object))) return nullptr;
  static_cast<T *>(object)->ReleaseExternal();
  return static_cast<T *>(object);
}

// Takes or lets go of a reference that another platform object holds on the object of type T
// behind `unknown` (the tracker's IntRef).
template <typename T>
void HoldInternally(IUnknown *unknown, bool hold) {
  T *object = PlatformObject<T>(unknown);
  if (hold) {
    object->AddRefInternal();
  } else {
    object->ReleaseInternal();
  }
}

}  // namespace ilk
