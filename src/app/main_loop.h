// The message loop: polls messages without blocking and lets the first window's frame-latency
// object pace the forced repaints of both windows, until a quitting flag is raised.
#pragma once

#include <windows.h>

namespace interlock {

const DWORD kRunTimeLimit = 5000;  // milliseconds

// TRUE when more than the run-time limit has passed since `ticks`, across a wrap of the counter.
BOOL TimeLimitPassed(DWORD ticks, DWORD now);

void RunMainLoop();

}  // namespace interlock
