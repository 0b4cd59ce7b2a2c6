// The platform's state: every table a DLL keeps lives in a PlatformState, made on first use (the
// platform sets itself up as it is used, as a Windows DLL does once loaded) and destroyed by
// ShutDownPlatform, after which the next use sets it up afresh. The program never shuts the
// platform down, so its state lasts until the process ends and nothing that runs after main
// finds it gone; tests shut it down to start again in the same process.
#pragma once

#include <stddef.h>

#include <atomic>

#include <windef.h>  // INTERLOCK_EXPORT

namespace ilk {

namespace platform_state {
// Takes part in the next ShutDownPlatform: `destroy(owner)` runs once, newest first.
INTERLOCK_EXPORT void Enrol(void (*destroy)(void *owner), void *owner);
// Held while a state is made (states may use others as they are made).
INTERLOCK_EXPORT void LockSetUp();
INTERLOCK_EXPORT void UnlockSetUp();
// For the destructor of a state whose entries the program owns: a shut-down that finds `count`
// of them (`what`, as "window(s)") still in use is caught, as an assertion does: it writes
// "interlock: the platform shut down with <count> <what> still in use" and aborts.
INTERLOCK_EXPORT void RequireNoneLeft(size_t count, const char *what);
}  // namespace platform_state

template <typename T>
class PlatformState {
 public:
  // Constant-initialised, so that it is ready before any static initialiser could use it.
  constexpr PlatformState() : make_(&MakeDefault) {}
  // `make` sets the state up.
  constexpr explicit PlatformState(T *(*make)()) : make_(make) {}
  PlatformState(const PlatformState &) = delete;
  PlatformState &operator=(const PlatformState &) = delete;

  T &Get() {
    if (T *state = state_.load(std::memory_order_acquire)) return *state;
    platform_state::LockSetUp();
    T *state = state_.load(std::memory_order_relaxed);
    if (!state) {
      state = make_();
      state_.store(state, std::memory_order_release);
      platform_state::Enrol(&Destroy, this);
    }
    platform_state::UnlockSetUp();
    return *state;
  }

 private:
  static T *MakeDefault() { return new T(); }
  static void Destroy(void *owner) { delete static_cast<PlatformState *>(owner)->state_.exchange(nullptr); }

  T *(*const make_)();
  std::atomic<T *> state_{nullptr};
};

// Destroys every DLL's state, newest first. Only for a quiet platform: no window, COM object,
// OpenGL context or kernel handle the program still uses, and no platform call in flight on any
// thread; a window, COM object or OpenGL context still there is caught (RequireNoneLeft). Handles
// keep counting upwards across it, so none made before is ever valid again.
INTERLOCK_EXPORT void ShutDownPlatform();

}  // namespace ilk
