// Platform-layer output on stderr. Every line begins with "interlock: " so it never mixes with
// the program's own output; the debugger channel (OutputDebugStringA) is stderr too, unprefixed.
#pragma once

#include <string>

#include "knobs.h"

namespace ilk {

// Writes "interlock: <text>\n" to stderr.
INTERLOCK_EXPORT void Log(const char *format, ...) __attribute__((format(printf, 1, 2)));

// With INTERLOCK_TRACE=1 writes "interlock: trace: <text>\n" to stderr; otherwise nothing.
INTERLOCK_EXPORT void Trace(const char *format, ...) __attribute__((format(printf, 1, 2)));

// A UTF-8 copy of wide text: platform output is UTF-8 whatever the C locale, so wide text is
// converted with this rather than formatted with %ls (which fails outside ASCII in the C locale).
INTERLOCK_EXPORT std::string Utf8(const std::wstring &text);

// Writes text unchanged to the debugger channel (stderr).
INTERLOCK_EXPORT void DebuggerOutput(const char *text);

// A call a debug layer refuses: traced as "<method> refused: <reason>" and, when the layer is on,
// written to the debugger channel in the layer's manner, as
// "<layer> ERROR: <method>: <reason> [ <category> ERROR ]" ("D3D11", "STATE_CREATION").
INTERLOCK_EXPORT void ReportRefusal(bool layer_on, const char *layer, const char *category, const char *method,
                                    const char *reason);

}  // namespace ilk
