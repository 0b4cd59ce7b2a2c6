// INTERLOCK_FAIL for functions that report failure through the last-error code: a call chosen
// to fail sets the code (the rule's, or ERROR_GEN_FAILURE) and reports failure.
#pragma once

#include <windows.h>

#include "knobs.h"

namespace ilk {

inline bool FailsWithLastError(const char *name) {
  if (std::optional<uint32_t> code = ilk::InjectedFailure(name, ERROR_GEN_FAILURE)) {
    SetLastError(*code);
    return true;
  }
  return false;
}

}  // namespace ilk
