// kernel32: loading the stand-in DLLs and finding their exports.
//
// Each stand-in DLL is lib<name>.so beside libkernel32.so. DLL names compare case-insensitively
// and ".dll" may be left off, as on Windows. Only a DLL's own exports are found: a symbol that
// dlsym reaches through the DLL's dependencies is not one of its exports.
#include <dlfcn.h>
#include <link.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <string>

#include "kernel32_internal.h"
#include "common/library_directory.h"
#include "common/log.h"
#include "common/platform_state.h"

namespace {

const char *const kStandInDlls[] = {"kernel32", "user32", "gdi32",  "opengl32", "d3d11",
                                    "dxgi",     "dcomp",  "dwmapi", "shcore",   "dxgidebug"};

// "Dxgi.dll" -> "dxgi"; empty when the name is no stand-in DLL.
std::string StandInName(const char *file_name) {
  std::string name = file_name;
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) name.resize(name.size() - 4);
  for (const char *dll : kStandInDlls) {
    if (name == dll) return name;
  }
  return "";
}

struct LoadedModules {
  std::mutex mutex;
  std::map<HMODULE, std::string> paths;
};

ilk::PlatformState<LoadedModules> loaded;


}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR file_name) {
  HMODULE module = nullptr;
  if (!ilk::kernel32::FailsWithLastError("LoadLibraryA")) {
    std::string name = file_name ? StandInName(file_name) : "";
    if (name.empty() || ilk::IsHidden(file_name) || ilk::IsHidden(name + ".dll")) {
      ilk::kernel32::SetThreadLastError(ERROR_MOD_NOT_FOUND);
    } else {
      std::string path = ilk::LibraryDirectory(reinterpret_cast<void *>(&LoadLibraryA)) + "/lib" + name + ".so";
      module = static_cast<HMODULE>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
      if (module) {
        LoadedModules &modules = loaded.Get();
        std::lock_guard<std::mutex> lock(modules.mutex);
        modules.paths[module] = path;
      } else {
        ilk::Log("LoadLibraryA(\"%s\"): %s", file_name, dlerror());
        ilk::kernel32::SetThreadLastError(ERROR_MOD_NOT_FOUND);
      }
    }
  }
  ilk::Trace("LoadLibraryA(\"%s\") = %p", file_name ? file_name : "(null)", (void *)module);
  return module;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR proc_name) {
  FARPROC proc = nullptr;
  bool by_ordinal = reinterpret_cast<uintptr_t>(proc_name) < 0x10000;
  if (!ilk::kernel32::FailsWithLastError("GetProcAddress")) {
    std::string path;
    {
      LoadedModules &modules = loaded.Get();
      std::lock_guard<std::mutex> lock(modules.mutex);
      auto found = modules.paths.find(module);
      if (found != modules.paths.end()) path = found->second;
    }
    if (!module) {
      ilk::kernel32::SetThreadLastError(ERROR_PROC_NOT_FOUND);  // the executable itself, which exports nothing
    } else if (path.empty()) {
      ilk::kernel32::SetThreadLastError(ERROR_MOD_NOT_FOUND);
    } else if (by_ordinal || ilk::IsHidden(proc_name)) {
      ilk::kernel32::SetThreadLastError(ERROR_PROC_NOT_FOUND);
    } else {
      void *symbol = dlsym(module, proc_name);
      Dl_info info;
      struct link_map *map = nullptr;
      if (symbol && dladdr(symbol, &info) && dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 &&
          info.dli_fbase == reinterpret_cast<void *>(map->l_addr)) {
        proc = reinterpret_cast<FARPROC>(symbol);
      } else {
        ilk::kernel32::SetThreadLastError(ERROR_PROC_NOT_FOUND);
      }
    }
  }
  ilk::Trace("GetProcAddress(%p, \"%s\") = %p", (void *)module, by_ordinal ? "(ordinal)" : proc_name,
             reinterpret_cast<void *>(proc));
  return proc;
}

// The stand-in DLLs stay loaded for the life of the process, so freeing only checks the handle.
BOOL WINAPI FreeLibrary(HMODULE module) {
  BOOL result = FALSE;
  {
    LoadedModules &modules = loaded.Get();
    std::lock_guard<std::mutex> lock(modules.mutex);
    result = modules.paths.count(module) != 0;
  }
  if (!result) ilk::kernel32::SetThreadLastError(ERROR_INVALID_HANDLE);
  ilk::Trace("FreeLibrary(%p) = %d", (void *)module, result);
  return result;
}
