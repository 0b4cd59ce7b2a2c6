// Platform-layer output on stderr. Every line begins with "interlock: " so it never mixes with
// the program's own output; the debugger channel (OutputDebugStringA) is stderr too, unprefixed.
#pragma once

#include "knobs.h"

namespace ilk {

// Writes "interlock: <text>\n" to stderr.
ILK_API void Log(const char *format, ...) __attribute__((format(printf, 1, 2)));

// With INTERLOCK_TRACE=1 writes "interlock: trace: <text>\n" to stderr; otherwise nothing.
ILK_API void Trace(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Writes text unchanged to the debugger channel (stderr).
ILK_API void DebuggerOutput(const char *text);

}  // namespace ilk
