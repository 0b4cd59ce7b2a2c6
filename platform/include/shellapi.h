/* Shell services the program uses. On Windows this is shell32; the stand-in keeps it in kernel32. */
#pragma once

#include "windef.h"

WINBASEAPI LPWSTR *WINAPI CommandLineToArgvW(LPCWSTR cmd_line, int *num_args);
