// kernel32: the tick count and sleeping.
#include <time.h>
#include <windows.h>

#include "common/log.h"

// Milliseconds since boot as 32 bits, wrapping after 49.7 days as on Windows.
DWORD WINAPI GetTickCount(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  unsigned long long milliseconds = (unsigned long long)now.tv_sec * 1000ull + (unsigned long long)now.tv_nsec / 1000000ull;
  return (DWORD)milliseconds;
}

void WINAPI Sleep(DWORD milliseconds) {
  ilk::Trace("Sleep(%u)", milliseconds);
  struct timespec duration = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
  while (nanosleep(&duration, &duration) != 0) {
  }
}
