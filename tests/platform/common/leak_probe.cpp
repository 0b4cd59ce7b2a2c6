// Loads the stand-in driver library, runs its one-time set-up and unloads it, the way the Vulkan
// loader and EGL treat a driver; with "--leak-here" it also loses a block of its own. Whether
// LeakSanitizer then fails the process is what leak_suppressions_test checks.
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <thread>

namespace {

// Runs on a thread of its own, so that no stale copy of the pointer stays on a live stack.
void LeakProbeOwnLeak() {
  void *volatile block = malloc(64);
  (void)block;
}

bool LoadStartAndUnloadDriver(const char *path) {
  void *driver = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!driver) return false;
  auto start = reinterpret_cast<void (*)()>(dlsym(driver, "LeakProbeDriverStart"));
  if (!start) return false;
  start();
  return dlclose(driver) == 0;
}

}  // namespace

int main(int argc, char **argv) {
  bool ok = false;
  std::thread([&] { ok = LoadStartAndUnloadDriver(LEAK_PROBE_DRIVER); }).join();
  if (!ok) {
    fprintf(stderr, "leak_probe: %s\n", dlerror());
    return 2;
  }
  if (argc > 1 && strcmp(argv[1], "--leak-here") == 0) std::thread(LeakProbeOwnLeak).join();
  return 0;
}
