// The platform knobs: environment variables that configure the stand-in platform (never the
// program). Read once on first use; tests may re-read them with ReloadKnobs().
#pragma once

#include <stdint.h>
#include <windef.h>  // INTERLOCK_EXPORT

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace ilk {

enum class DisplayBackend { Headless, X11 };
enum class MessageBoxBackend { Console, X11 };

// INTERLOCK_DISPLAY=headless|x11; x11 by default when DISPLAY is set.
INTERLOCK_EXPORT DisplayBackend SelectedDisplay();
// INTERLOCK_MSGBOX=console|x11; x11 by default with the x11 display.
INTERLOCK_EXPORT MessageBoxBackend SelectedMessageBox();
// INTERLOCK_DEBUGGER=continue: an emulated debugger that continues after every trap.
INTERLOCK_EXPORT bool EmulatedDebugger();
// INTERLOCK_TRACE=1: every platform call is traced on stderr.
INTERLOCK_EXPORT bool TraceEnabled();
// INTERLOCK_CAPTURE=DIR: the directory presented frames are written to; empty for none.
INTERLOCK_EXPORT std::string CaptureDirectory();

// INTERLOCK_VULKAN_DEVICE=N|name: the Vulkan device Direct3D 11 runs on.
struct VulkanDeviceChoice {
  std::optional<uint32_t> index;  // the device's place in Vulkan's enumeration
  std::string name_part;          // else part of its name (case-insensitive); empty: any device
};
INTERLOCK_EXPORT VulkanDeviceChoice SelectedVulkanDevice();

// INTERLOCK_HIDE=name,...: a DLL, an export or an extension that this system lacks.
// Names compare case-insensitively, in both INTERLOCK_HIDE and INTERLOCK_FAIL.
INTERLOCK_EXPORT bool IsHidden(std::string_view name);

// INTERLOCK_FAIL=name[#n][=code],...: when the call `name` must fail this time, returns the code
// to fail with (the rule's code, or `default_code`). Every call of a checked platform function
// passes through here exactly once. For a COM method, `name` is the method and `interfaces`
// lists the interfaces the object implements: a rule "IFoo::Method" matches when IFoo is among
// them, a bare "Method" matches every interface.
INTERLOCK_EXPORT std::optional<uint32_t> InjectedFailure(std::string_view name, uint32_t default_code,
                                                std::initializer_list<std::string_view> interfaces = {});

// Re-reads every knob from the environment and restarts the INTERLOCK_FAIL call counts.
INTERLOCK_EXPORT void ReloadKnobs();

}  // namespace ilk
