// kernel32: debugger detection, breakpoints and the debugger output channel.
//
// A debugger is present when a real tracer (gdb, strace) is attached, read from TracerPid in
// /proc/self/status, or when INTERLOCK_DEBUGGER=continue emulates one that continues after every
// trap. A breakpoint that no debugger catches ends the process, as the unhandled breakpoint
// exception (0x80000003) does on Windows; its exit status is that code's low byte, 3.
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <windows.h>

#include "common/log.h"

static bool TracerAttached() {
  FILE *status = fopen("/proc/self/status", "r");
  if (!status) return false;
  char line[256];
  bool traced = false;
  while (fgets(line, sizeof line, status)) {
    if (strncmp(line, "TracerPid:", 10) == 0) {
      traced = atoi(line + 10) != 0;
      break;
    }
  }
  fclose(status);
  return traced;
}

BOOL WINAPI IsDebuggerPresent(void) {
  BOOL present = ilk::EmulatedDebugger() || TracerAttached();
  ilk::Trace("IsDebuggerPresent() = %d", present);
  return present;
}

void WINAPI DebugBreak(void) {
  ilk::Trace("DebugBreak()");
  if (ilk::EmulatedDebugger()) {
    ilk::Log("debugger break");
    return;
  }
  if (TracerAttached()) {
    raise(SIGTRAP);
    return;
  }
  ilk::Log("unhandled breakpoint, the process ends");
  fflush(NULL);
  _exit(3);
}

void WINAPI OutputDebugStringA(LPCSTR output) {
  if (output) ilk::DebuggerOutput(output);
}
