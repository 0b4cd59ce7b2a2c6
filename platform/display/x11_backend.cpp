// Loading the X11 backend (display.h, OpenX11Desktop): libdisplay_x11.so, beside this library,
// is loaded the first time an X11 desktop is opened and stays loaded until the process ends,
// since desktops it made may live until then.
#include <dlfcn.h>

#include <string>

#include "common/library_directory.h"
#include "common/log.h"
#include "display.h"

namespace ilk::display {
namespace {

using OpenDesktop = Desktop *(*)();

// The module's entry point; null, with a note, when it cannot be loaded.
OpenDesktop LoadX11Backend() {
  std::string module = ilk::LibraryDirectory(reinterpret_cast<void *>(&LoadX11Backend)) + "/libdisplay_x11.so";
  void *handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  void *entry = handle ? dlsym(handle, kOpenX11DesktopEntry) : nullptr;
  if (!entry) ilk::Log("cannot load the X11 backend %s: %s", module.c_str(), dlerror());
  return reinterpret_cast<OpenDesktop>(entry);
}

}  // namespace

std::unique_ptr<Desktop> OpenX11Desktop() {
  static const OpenDesktop open = LoadX11Backend();
  return std::unique_ptr<Desktop>(open ? open() : nullptr);
}

}  // namespace ilk::display
