// kernel32: kernel object handles (events and semaphores) and waiting on them.
//
// Handle values are small multiples of four, as on Windows, and are never reused, so a stale
// handle stays invalid. Waits may come from any thread; each object wakes its waiters itself.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "kernel32_internal.h"

#include "common/log.h"
#include "common/platform_state.h"

namespace {

class KernelObject {
 public:
  virtual ~KernelObject() = default;

  // Waits until the object is signalled, taking the signal as the object's kind defines.
  DWORD Wait(DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto acquired = [this] { return TryAcquire(); };
    if (milliseconds == INFINITE) {
      changed_.wait(lock, acquired);
      return WAIT_OBJECT_0;
    }
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), acquired) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
  }

 protected:
  // Called with the mutex held: consumes the signal if there is one.
  virtual bool TryAcquire() = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
};

class Event : public KernelObject {
 public:
  Event(bool manual_reset, bool signalled) : manual_reset_(manual_reset), signalled_(signalled) {}

  void Set(bool signalled) {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = signalled;
    changed_.notify_all();
  }

 private:
  bool TryAcquire() override {
    if (!signalled_) return false;
    if (!manual_reset_) signalled_ = false;
    return true;
  }

  const bool manual_reset_;
  bool signalled_;
};

class Semaphore : public KernelObject {
 public:
  Semaphore(LONG count, LONG maximum) : count_(count), maximum_(maximum) {}

  // Adds `release` to the count; fails without change when the maximum would be passed.
  bool Release(LONG release, LONG *previous) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (release <= 0 || release > maximum_ - count_) return false;
    if (previous) *previous = count_;
    count_ += release;
    changed_.notify_all();
    return true;
  }

 private:
  bool TryAcquire() override {
    if (count_ == 0) return false;
    --count_;
    return true;
  }

  LONG count_;
  const LONG maximum_;
};

struct HandleTable {
  std::mutex mutex;
  std::map<HANDLE, std::shared_ptr<KernelObject>> objects;
};

ilk::PlatformState<HandleTable> handles;

HANDLE Insert(std::shared_ptr<KernelObject> object) {
  static uintptr_t next_handle = 0x100;  // under the table's lock; never reset, so never reused
  HandleTable &table = handles.Get();
  std::lock_guard<std::mutex> lock(table.mutex);
  HANDLE handle = reinterpret_cast<HANDLE>(next_handle);
  next_handle += 4;
  table.objects[handle] = std::move(object);
  return handle;
}

std::shared_ptr<KernelObject> Lookup(HANDLE handle) {
  HandleTable &table = handles.Get();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto found = table.objects.find(handle);
  return found == table.objects.end() ? nullptr : found->second;
}

std::shared_ptr<Semaphore> FindSemaphore(HANDLE handle) { return std::dynamic_pointer_cast<Semaphore>(Lookup(handle)); }

}  // namespace

HANDLE ilk::kernel32::CreateSemaphoreHandle(LONG initial, LONG maximum) {
  return Insert(std::make_shared<Semaphore>(initial, maximum));
}

bool ilk::kernel32::ReleaseSemaphoreOnce(HANDLE handle) {
  std::shared_ptr<Semaphore> semaphore = FindSemaphore(handle);
  return semaphore && semaphore->Release(1, nullptr);
}

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manual_reset, BOOL initial_state, LPCWSTR name) {
  if (name) ilk::Log("CreateEventW: named events are not shared between processes here");
  HANDLE handle = ilk::kernel32::FailsWithLastError("CreateEventW")
                      ? nullptr
                      : Insert(std::make_shared<Event>(manual_reset, initial_state));
  ilk::Trace("CreateEventW(manual %d, initial %d) = %p", manual_reset, initial_state, handle);
  return handle;
}

static BOOL ChangeEvent(const char *name, HANDLE handle, bool signalled) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError(name)) {
    auto event = std::dynamic_pointer_cast<Event>(Lookup(handle));
    if (event) {
      event->Set(signalled);
      result = TRUE;
    } else {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_HANDLE);
    }
  }
  ilk::Trace("%s(%p) = %d", name, handle, result);
  return result;
}

BOOL WINAPI SetEvent(HANDLE event) { return ChangeEvent("SetEvent", event, true); }
BOOL WINAPI ResetEvent(HANDLE event) { return ChangeEvent("ResetEvent", event, false); }

HANDLE WINAPI CreateSemaphoreW(LPSECURITY_ATTRIBUTES, LONG initial_count, LONG maximum_count, LPCWSTR name) {
  HANDLE handle = nullptr;
  if (!ilk::kernel32::FailsWithLastError("CreateSemaphoreW")) {
    if (maximum_count <= 0 || initial_count < 0 || initial_count > maximum_count) {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_PARAMETER);
    } else {
      if (name) ilk::Log("CreateSemaphoreW: named semaphores are not shared between processes here");
      handle = ilk::kernel32::CreateSemaphoreHandle(initial_count, maximum_count);
    }
  }
  ilk::Trace("CreateSemaphoreW(initial %d, maximum %d) = %p", initial_count, maximum_count, handle);
  return handle;
}

BOOL WINAPI ReleaseSemaphore(HANDLE handle, LONG release_count, LPLONG previous_count) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("ReleaseSemaphore")) {
    std::shared_ptr<Semaphore> semaphore = FindSemaphore(handle);
    if (!semaphore) {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_HANDLE);
    } else if (!semaphore->Release(release_count, previous_count)) {
      ilk::kernel32::SetThreadLastError(release_count <= 0 ? ERROR_INVALID_PARAMETER : ERROR_TOO_MANY_POSTS);
    } else {
      result = TRUE;
    }
  }
  ilk::Trace("ReleaseSemaphore(%p, %d) = %d", handle, release_count, result);
  return result;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  BOOL result = FALSE;
  if (!ilk::kernel32::FailsWithLastError("CloseHandle")) {
    HandleTable &table = handles.Get();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (table.objects.erase(handle)) {
      result = TRUE;
    } else {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_HANDLE);
    }
  }
  ilk::Trace("CloseHandle(%p) = %d", handle, result);
  return result;
}

DWORD WINAPI WaitForSingleObjectEx(HANDLE handle, DWORD milliseconds, BOOL alertable) {
  DWORD result = WAIT_FAILED;
  if (!ilk::kernel32::FailsWithLastError("WaitForSingleObjectEx")) {
    // Asynchronous procedure calls are never queued on this platform, so an alertable wait
    // never returns WAIT_IO_COMPLETION.
    if (std::shared_ptr<KernelObject> object = Lookup(handle)) {
      result = object->Wait(milliseconds);
    } else {
      ilk::kernel32::SetThreadLastError(ERROR_INVALID_HANDLE);
    }
  }
  ilk::Trace("WaitForSingleObjectEx(%p, %u, %d) = 0x%x", handle, milliseconds, alertable, result);
  return result;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForSingleObjectEx(handle, milliseconds, FALSE);
}
