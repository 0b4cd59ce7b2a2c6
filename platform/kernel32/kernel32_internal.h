// What the other DLLs of the platform use of kernel32: semaphores made and released on their
// behalf (dxgi's frame-latency waitable objects, which the program then waits on and closes).
// None of these calls is a call of the program: they are not traced, INTERLOCK_FAIL does not
// apply to them, and they leave the last-error code alone.
#pragma once

#include <windows.h>

#include "common/knobs.h"

namespace ilk::kernel32 {

// A new semaphore handle counting `initial` of at most `maximum` (0 <= initial <= maximum,
// maximum > 0), as CreateSemaphoreW makes one.
INTERLOCK_EXPORT HANDLE CreateSemaphoreHandle(LONG initial, LONG maximum);
// Adds one to the count of `semaphore`. False, with nothing changed, when the handle is no
// semaphore or the count is at its maximum.
INTERLOCK_EXPORT bool ReleaseSemaphoreOnce(HANDLE semaphore);

}  // namespace ilk::kernel32
