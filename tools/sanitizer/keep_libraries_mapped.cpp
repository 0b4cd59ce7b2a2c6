// Linked into every executable of the sanitizer builds: a library closed with dlclose stays mapped
// until the process ends. Drivers are loaded and unloaded with the objects that use them (the
// Vulkan loader at vkCreateInstance and vkDestroyInstance, EGL at eglInitialize and eglTerminate).
// Unmapped, a block a driver allocated would be reported at exit as lost, with its frames in
// "<unknown module>", which no suppression can tell from a leak of ours; mapped, the block stays
// reachable from the driver's own data, and a block the driver really lost is reported with the
// driver's name, so that leak-suppressions.txt can name the driver.
#include <dlfcn.h>
#include <link.h>

extern "C" __attribute__((visibility("default"))) int dlclose(void *handle) {
  using Close = int (*)(void *);
  static const Close close_library = reinterpret_cast<Close>(dlsym(RTLD_NEXT, "dlclose"));
  // Promoted in place to RTLD_NODELETE (RTLD_NOLOAD); the reference this takes is given back.
  struct link_map *library = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &library) == 0 && library->l_name[0] == '/') {
    if (void *kept = dlopen(library->l_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) close_library(kept);
  }
  return close_library(handle);
}
