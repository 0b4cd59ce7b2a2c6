// kernel32: the per-thread last-error code, and INTERLOCK_FAIL for the functions that report
// failure through it.
#include <windows.h>

#include "common/log.h"
#include "kernel32_internal.h"

static thread_local DWORD last_error = 0;

void ilk::kernel32::SetThreadLastError(DWORD error) { last_error = error; }

bool ilk::kernel32::FailsWithLastError(const char *name) {
  if (std::optional<uint32_t> code = ilk::InjectedFailure(name, ERROR_GEN_FAILURE)) {
    last_error = *code;
    return true;
  }
  return false;
}

DWORD WINAPI GetLastError(void) { return last_error; }

void WINAPI SetLastError(DWORD error) {
  ilk::Trace("SetLastError(%u)", error);
  last_error = error;
}
