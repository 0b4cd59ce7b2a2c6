// The platform knobs: environment variables that configure the stand-in platform (never the
// program). Read once on first use; tests may re-read them with ReloadKnobs().
#pragma once

#include <stdint.h>
#include <windef.h>  // INTERLOCK_EXPORT

#include <atomic>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace ilk {

enum class DisplayBackend { Headless, X11 };
enum class MessageBoxBackend { Console, X11 };
enum class EglPlatform { Surfaceless, Device };
enum class PresentPath { PerDevice, Device, ReadBack };

// INTERLOCK_DISPLAY=headless|x11; x11 by default when DISPLAY is set.
INTERLOCK_EXPORT DisplayBackend SelectedDisplay();
// INTERLOCK_MSGBOX=console|x11; x11 by default with the x11 display.
INTERLOCK_EXPORT MessageBoxBackend SelectedMessageBox();
// INTERLOCK_EGL_PLATFORM=surfaceless|device[:N]: the EGL platform OpenGL runs on; `device` is
// EGL device N (0 when not given) in EGL's enumeration. Not given, OpenGL runs where Direct3D's
// Vulkan device is (gdi32), else on Mesa's surfaceless platform.
struct EglPlatformChoice {
  EglPlatform platform = EglPlatform::Surfaceless;
  uint32_t device_index = 0;  // for EglPlatform::Device
  bool given = false;         // by the knob
};
INTERLOCK_EXPORT EglPlatformChoice SelectedEglPlatform();
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

// INTERLOCK_PRESENT=device|readback: how presented frames reach windows, written by the device
// into the window's pixels or read back and composed by the CPU; unset: chosen per device.
INTERLOCK_EXPORT PresentPath SelectedPresentPath();

// INTERLOCK_HIDE=name,...: a DLL, an export or an extension that this system lacks.
// Names compare case-insensitively, in both INTERLOCK_HIDE and INTERLOCK_FAIL.
INTERLOCK_EXPORT bool IsHidden(std::string_view name);

// INTERLOCK_FAIL=name[#n][=code],...: when the call `name` must fail this time, returns the code
// to fail with (the rule's code, or `default_code`). Every call of a checked platform function
// passes through here exactly once. For a COM method, `name` is the method and `interfaces`
// lists the interfaces the object implements: a rule "IFoo::Method" matches when IFoo is among
// them, a bare "Method" matches every interface.
INTERLOCK_EXPORT std::optional<uint32_t> InjectedFailure(std::string_view name, uint32_t default_code,
                                                         const std::string_view *interfaces, size_t interface_count);
inline std::optional<uint32_t> InjectedFailure(std::string_view name, uint32_t default_code,
                                               std::initializer_list<std::string_view> interfaces = {}) {
  return InjectedFailure(name, default_code, interfaces.begin(), interfaces.size());
}

// INTERLOCK_FAIL for a call made often (an OpenGL entry point): whether any rule names the call
// is found once, and again only after ReloadKnobs, so that a call no rule names takes no lock.
class INTERLOCK_EXPORT FailurePoint {
 public:
  explicit constexpr FailurePoint(const char *name) : name_(name) {}
  FailurePoint(const FailurePoint &) = delete;
  FailurePoint &operator=(const FailurePoint &) = delete;

  const char *Name() const { return name_; }
  // InjectedFailure(Name(), default_code).
  std::optional<uint32_t> Check(uint32_t default_code);

 private:
  const char *const name_;
  // The knobs' generation the answer is for, shifted left by one, and 1 when a rule names the
  // call; 0 before the first check.
  std::atomic<uint32_t> resolved_{0};
};

// Re-reads every knob from the environment and restarts the INTERLOCK_FAIL call counts.
INTERLOCK_EXPORT void ReloadKnobs();

}  // namespace ilk
