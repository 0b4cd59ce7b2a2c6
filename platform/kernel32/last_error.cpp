// kernel32: the per-thread last-error code.
#include <windows.h>

#include "common/log.h"

static thread_local DWORD last_error = 0;

DWORD WINAPI GetLastError(void) { return last_error; }

void WINAPI SetLastError(DWORD error) {
  ilk::Trace("SetLastError(%u)", error);
  last_error = error;
}
