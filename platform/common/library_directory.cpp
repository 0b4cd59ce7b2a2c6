// Where the platform's own shared libraries are (library_directory.h).
#include "library_directory.h"

#include <dlfcn.h>

namespace ilk {

std::string LibraryDirectory(const void *address) {
  Dl_info info;
  if (!dladdr(address, &info) || !info.dli_fname) return ".";
  std::string path = info.dli_fname;
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace ilk
