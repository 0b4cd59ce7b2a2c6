// What the other DLLs of the platform use of kernel32: the last-error code they report failures
// with, INTERLOCK_FAIL for their functions that fail that way, and semaphores made and released
// on their behalf (dxgi's frame-latency waitable objects, which the program then waits on and
// closes). None of these calls is a call of the program: they are not traced, INTERLOCK_FAIL
// does not apply to them, and only SetThreadLastError and FailsWithLastError change the
// last-error code.
#pragma once

#include <windows.h>

#include "common/knobs.h"

namespace ilk::kernel32 {

// Sets the calling thread's last-error code, which GetLastError returns, as Windows' own
// functions set it (SetLastError is the program's, and traced).
INTERLOCK_EXPORT void SetThreadLastError(DWORD error);

// INTERLOCK_FAIL for a function `name` that reports failure through the last-error code: true,
// with the code set (the rule's, or ERROR_GEN_FAILURE), when this call of it is chosen to fail.
INTERLOCK_EXPORT bool FailsWithLastError(const char *name);

// A new semaphore handle counting `initial` of at most `maximum` (0 <= initial <= maximum,
// maximum > 0), as CreateSemaphoreW makes one.
INTERLOCK_EXPORT HANDLE CreateSemaphoreHandle(LONG initial, LONG maximum);
// Adds one to the count of `semaphore`. False, with nothing changed, when the handle is no
// semaphore or the count is at its maximum.
INTERLOCK_EXPORT bool ReleaseSemaphoreOnce(HANDLE semaphore);

}  // namespace ilk::kernel32
