// The list of states ShutDownPlatform destroys (platform_state.h).
#include "platform_state.h"

#include <stdlib.h>

#include <mutex>
#include <utility>
#include <vector>

#include "log.h"

namespace ilk {
namespace {

// Recursive: a state may use another as it is made.
std::recursive_mutex &SetUpMutex() {
  static auto *mutex = new std::recursive_mutex;  // the one state of the list itself
  return *mutex;
}

std::vector<std::pair<void (*)(void *), void *>> &Enrolled() {
  static auto *enrolled = new std::vector<std::pair<void (*)(void *), void *>>;
  return *enrolled;
}

}  // namespace

namespace platform_state {

void Enrol(void (*destroy)(void *owner), void *owner) { Enrolled().emplace_back(destroy, owner); }
void LockSetUp() { SetUpMutex().lock(); }
void UnlockSetUp() { SetUpMutex().unlock(); }

void RequireNoneLeft(size_t count, const char *what) {
  if (count == 0) return;
  Log("the platform shut down with %zu %s still in use", count, what);
  abort();
}

}  // namespace platform_state

void ShutDownPlatform() {
  std::lock_guard<std::recursive_mutex> lock(SetUpMutex());
  std::vector<std::pair<void (*)(void *), void *>> enrolled = std::move(Enrolled());
  Enrolled().clear();
  for (auto state = enrolled.rbegin(); state != enrolled.rend(); ++state) state->first(state->second);
}

}  // namespace ilk
