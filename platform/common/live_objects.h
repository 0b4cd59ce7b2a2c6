// The live-object tracker and the reference counts of every COM object of the stand-in
// platform. An object has two counts, as the Windows debug layer reports them: "Refcount", the
// references the application holds (AddRef/Release), and "IntRef", the references other
// platform objects hold (a view holds its texture, a swap chain its buffers and its device). It
// lives while either count is non-zero. The tracker lists an object from its construction until
// its destruction begins, and a report reads only what this class holds, so it never calls into
// a half-made or dying object.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "knobs.h"

namespace ilk {

// The API an object belongs to, which selects it in a live-object report.
enum class ObjectApi { Dxgi, D3D11, DComp };

class INTERLOCK_EXPORT TrackedObject {
 public:
  // One application reference. `address` is the object's first interface, the address the
  // application knows it by.
  TrackedObject(ObjectApi api, const char *interface_name, const void *address);
  virtual ~TrackedObject();
  TrackedObject(const TrackedObject &) = delete;
  TrackedObject &operator=(const TrackedObject &) = delete;

  ULONG AddRefExternal();
  ULONG ReleaseExternal();
  void AddRefInternal();
  void ReleaseInternal();

  ULONG ExternalRefs() const;
  ULONG InternalRefs() const;
  ObjectApi Api() const { return api_; }
  const char *InterfaceName() const { return interface_name_; }
  const void *Address() const { return address_; }

  // Takes `object` off the tracker's list, then deletes it. Every platform object ends so.
  static void Destroy(TrackedObject *object);
  struct Deleter {
    void operator()(TrackedObject *object) const { Destroy(object); }
  };

 protected:
  // The application's references went from 0 to 1 again; an object that its owner keeps (the
  // immediate context) holds that owner while the application holds it.
  virtual void ExternalRefsRevived() {}
  // Neither count is left: the object goes, or tells its owner.
  virtual void Unreferenced() { Destroy(this); }

 private:
  const ObjectApi api_;
  const char *const interface_name_;
  const void *const address_;
  mutable std::mutex mutex_;
  ULONG external_ = 1;
  ULONG internal_ = 0;
};

// RLO flags as IDXGIDebug::ReportLiveObjects takes them.
enum : unsigned { kReportSummary = 1, kReportDetail = 2, kReportIgnoreInternal = 4 };

// Writes the live objects of `api` (every API when empty) to the debugger channel; the format
// is described in live_objects.cpp.
INTERLOCK_EXPORT void ReportLiveObjects(const ObjectApi *api, unsigned flags);

}  // namespace ilk
