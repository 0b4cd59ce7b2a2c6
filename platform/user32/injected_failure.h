// INTERLOCK_FAIL for user32's exports: a call chosen to fail sets the last-error code.
#pragma once

#include <windows.h>

#include "common/knobs.h"

namespace ilk::user32 {

inline bool Injected(const char *name) {
  if (std::optional<uint32_t> code = ilk::InjectedFailure(name, ERROR_GEN_FAILURE)) {
    SetLastError(*code);
    return true;
  }
  return false;
}

}  // namespace ilk::user32
