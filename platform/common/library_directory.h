// Where the platform's own shared libraries are: the stand-in DLLs and the display's modules
// lie beside the library that loads them.
#pragma once

#include <string>

#include "knobs.h"

namespace ilk {

// The directory of the shared library that holds `address` (one of its functions); "." when
// the dynamic loader cannot tell.
INTERLOCK_EXPORT std::string LibraryDirectory(const void *address);

}  // namespace ilk
