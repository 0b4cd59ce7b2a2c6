/* shcore: process DPI awareness. */
#pragma once

#include "windef.h"

typedef enum PROCESS_DPI_AWARENESS {
  PROCESS_DPI_UNAWARE = 0,
  PROCESS_SYSTEM_DPI_AWARE = 1,
  PROCESS_PER_MONITOR_DPI_AWARE = 2
} PROCESS_DPI_AWARENESS;

STDAPI SetProcessDpiAwareness(PROCESS_DPI_AWARENESS value);
STDAPI GetProcessDpiAwareness(HANDLE process, PROCESS_DPI_AWARENESS *value);
