// The platform knobs: environment variables that configure the stand-in platform (never the
// program). Read once on first use; tests may re-read them with ReloadKnobs().
#pragma once

#include <stdint.h>

#include <initializer_list>
#include <optional>
#include <string_view>

#define ILK_API __attribute__((visibility("default")))

namespace ilk {

enum class DisplayBackend { Headless, X11 };
enum class MessageBoxBackend { Console, X11 };

// INTERLOCK_DISPLAY=headless|x11; x11 by default when DISPLAY is set.
ILK_API DisplayBackend SelectedDisplay();
// INTERLOCK_MSGBOX=console|x11; x11 by default with the x11 display.
ILK_API MessageBoxBackend SelectedMessageBox();
// INTERLOCK_DEBUGGER=continue: an emulated debugger that continues after every trap.
ILK_API bool EmulatedDebugger();
// INTERLOCK_TRACE=1: every platform call is traced on stderr.
ILK_API bool TraceEnabled();

// INTERLOCK_HIDE=name,...: a DLL, an export or an extension that this system lacks.
// Names compare case-insensitively.
ILK_API bool IsHidden(std::string_view name);

// INTERLOCK_FAIL=name[#n][=code],...: when the call `name` must fail this time, returns the code
// to fail with (the rule's code, or `default_code`). Every call of a checked platform function
// passes through here exactly once. For a COM method, `name` is the method and `interfaces`
// lists the interfaces the object implements: a rule "IFoo::Method" matches when IFoo is among
// them, a bare "Method" matches every interface.
ILK_API std::optional<uint32_t> InjectedFailure(std::string_view name, uint32_t default_code,
                                                std::initializer_list<std::string_view> interfaces = {});

// Re-reads every knob from the environment and restarts the INTERLOCK_FAIL call counts.
ILK_API void ReloadKnobs();

}  // namespace ilk
