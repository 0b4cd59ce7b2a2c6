// The live-object tracker and COM reference counts.
//
// Report format (IDXGIDebug::ReportLiveObjects), one line per object on the debugger channel,
// oldest object first, in the manner of the Windows debug layer:
//   "<API> WARNING: Live <interface> at 0x<address>, Refcount: <n>, IntRef: <m> [ STATE_CREATION WARNING #0: LIVE_OBJECT]"
// with DXGI_DEBUG_RLO_DETAIL, and one line per API that has live objects with
// DXGI_DEBUG_RLO_SUMMARY:
//   "<API> WARNING: Live Object : <count> [ STATE_CREATION WARNING #0: LIVE_OBJECT_SUMMARY]"
// <API> is DXGI, D3D11 or DCOMP; <address> is 16 upper-case hexadecimal digits; Refcount counts
// the application's references and IntRef those other platform objects hold. With
// DXGI_DEBUG_RLO_IGNORE_INTERNAL objects without application references are left out.
#include "live_objects.h"

#include <stdio.h>

#include <map>
#include <vector>

#include "log.h"
#include "platform_state.h"

namespace ilk {
namespace {

struct Tracker {
  std::mutex mutex;
  uint64_t next = 0;
  std::map<uint64_t, TrackedObject *> objects;  // by creation order: a report lists the oldest first
  std::map<const TrackedObject *, uint64_t> sequence;

  ~Tracker() { platform_state::RequireNoneLeft(objects.size(), "COM object(s)"); }
};

PlatformState<Tracker> tracker;

const char *ApiName(ObjectApi api) {
  switch (api) {
    case ObjectApi::Dxgi: return "DXGI";
    case ObjectApi::D3D11: return "D3D11";
    case ObjectApi::DComp: return "DCOMP";
  }
  return "?";
}

}  // namespace

TrackedObject::TrackedObject(ObjectApi api, const char *interface_name, const void *address)
    : api_(api), interface_name_(interface_name), address_(address) {
  Tracker &state = tracker.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.objects[state.next] = this;
  state.sequence[this] = state.next++;
}

TrackedObject::~TrackedObject() = default;

void TrackedObject::Destroy(TrackedObject *object) {
  {
    Tracker &state = tracker.Get();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.sequence.find(object);
    if (found != state.sequence.end()) {  // not when it outlived a shut-down of the platform
      state.objects.erase(found->second);
      state.sequence.erase(found);
    }
  }
  delete object;
}

ULONG TrackedObject::AddRefExternal() {
  ULONG external;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    external = ++external_;
  }
  if (external == 1) ExternalRefsRevived();
  return external;
}

ULONG TrackedObject::ReleaseExternal() {
  ULONG external, internal;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (external_ == 0) {
      Log("%s at %p released more often than referenced", interface_name_, Address());
      return 0;
    }
    external = --external_;
    internal = internal_;
  }
  if (external == 0 && internal == 0) Unreferenced();  // the last use of the object here
  return external;
}

void TrackedObject::AddRefInternal() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++internal_;
}

void TrackedObject::ReleaseInternal() {
  ULONG external, internal;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    internal = --internal_;
    external = external_;
  }
  if (internal == 0 && external == 0) Unreferenced();
}

ULONG TrackedObject::ExternalRefs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return external_;
}

ULONG TrackedObject::InternalRefs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return internal_;
}

void ReportLiveObjects(const ObjectApi *api, unsigned flags) {
  std::vector<std::string> lines;
  std::map<ObjectApi, size_t> counts;
  {
    Tracker &state = tracker.Get();
    std::lock_guard<std::mutex> lock(state.mutex);
    for (const auto &entry : state.objects) {
      const TrackedObject *object = entry.second;
      if (api && object->Api() != *api) continue;
      ULONG external = object->ExternalRefs();
      if ((flags & kReportIgnoreInternal) && external == 0) continue;
      ++counts[object->Api()];
      if (!(flags & kReportDetail)) continue;
      char line[256];
      snprintf(line, sizeof line,
               "%s WARNING: Live %s at 0x%016llX, Refcount: %u, IntRef: %u [ STATE_CREATION WARNING #0: LIVE_OBJECT]\n",
               ApiName(object->Api()), object->InterfaceName(), (unsigned long long)(uintptr_t)object->Address(),
               external, object->InternalRefs());
      lines.push_back(line);
    }
  }
  if (flags & kReportSummary) {
    for (const auto &count : counts) {
      char line[128];
      snprintf(line, sizeof line, "%s WARNING: Live Object : %zu [ STATE_CREATION WARNING #0: LIVE_OBJECT_SUMMARY]\n",
               ApiName(count.first), count.second);
      lines.push_back(line);
    }
  }
  for (const std::string &line : lines) DebuggerOutput(line.c_str());
}

}  // namespace ilk
