// Environment knobs of the stand-in platform.
#include "knobs.h"

#include <stdlib.h>
#include <strings.h>

#include <mutex>
#include <string>
#include <vector>

#include "log.h"

namespace ilk {
namespace {

struct FailureRule {
  std::string text;            // the entry as written, for the note when it matches nothing
  std::string interface_name;  // empty: any interface, or a plain function
  std::string name;
  uint32_t nth = 0;  // 0: every call
  std::optional<uint32_t> code;
  uint32_t calls = 0;  // calls that matched the rule
};

struct HiddenName {
  std::string name;
  bool asked = false;  // whether the platform asked about it
};

struct Knobs {
  DisplayBackend display = DisplayBackend::Headless;
  MessageBoxBackend message_box = MessageBoxBackend::Console;
  EglPlatformChoice egl_platform;
  bool debugger = false;
  bool trace = false;
  std::string capture_directory;
  VulkanDeviceChoice vulkan_device;
  PresentPath present = PresentPath::PerDevice;
  std::vector<HiddenName> hidden;
  std::vector<FailureRule> failures;
};

std::mutex knobs_mutex;
// Read without the lock on every call: which reading of the knobs is current (0: none yet), and
// INTERLOCK_TRACE.
std::atomic<uint32_t> knobs_generation{0};
std::atomic<bool> trace_enabled{false};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view Env(const char *name) {
  const char *value = getenv(name);
  return value ? value : "";
}

std::vector<std::string> SplitList(std::string_view list) {
  std::vector<std::string> items;
  while (!list.empty()) {
    size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    if (!item.empty()) items.emplace_back(item);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return items;
}

std::optional<uint32_t> ParseNumber(const std::string &text) {
  if (text.empty()) return std::nullopt;
  char *end = nullptr;
  unsigned long long value = strtoull(text.c_str(), &end, 0);
  if (*end != '\0' || value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::optional<FailureRule> ParseFailureRule(const std::string &text) {
  FailureRule rule;
  rule.text = text;
  std::string entry = text;
  size_t equals = entry.find('=');
  if (equals != std::string::npos) {
    rule.code = ParseNumber(entry.substr(equals + 1));
    if (!rule.code) return std::nullopt;
    entry.resize(equals);
  }
  size_t hash = entry.find('#');
  if (hash != std::string::npos) {
    std::optional<uint32_t> nth = ParseNumber(entry.substr(hash + 1));
    if (!nth || *nth == 0) return std::nullopt;
    rule.nth = *nth;
    entry.resize(hash);
  }
  size_t scope = entry.find("::");
  if (scope != std::string::npos) {
    rule.interface_name = entry.substr(0, scope);
    entry.erase(0, scope + 2);
  }
  if (entry.empty()) return std::nullopt;
  rule.name = entry;
  return rule;
}

// The platform functions the program may call that never fail, as on Windows (they have no
// failure to report) or by this platform's choice (README): a rule can never fail them.
const char *const kFunctionsThatCannotFail[] = {
    "ClientToScreen", "DebugBreak", "DeleteObject", "EndPaint", "FreeLibrary", "GetActiveWindow",
    "GetFocus", "GetForegroundWindow", "GetLastError", "GetPixelFormat", "GetProcessDpiAwareness",
    "GetSystemMetrics", "GetTickCount", "glGetError", "IsDebuggerPresent", "IsWindow",
    "IsWindowVisible", "LocalFree", "OutputDebugStringA", "PostQuitMessage", "SetActiveWindow",
    "SetFocus", "SetLastError", "Sleep", "wglGetCurrentContext", "wglGetCurrentDC",
};

// The spelling of `name` in kFunctionsThatCannotFail, or null when a rule can fail it.
const char *FunctionThatCannotFail(std::string_view name) {
  for (const char *function : kFunctionsThatCannotFail) {
    if (EqualsNoCase(function, name)) return function;
  }
  return nullptr;
}

// A decimal number is an index, anything else part of a name.
VulkanDeviceChoice ParseVulkanDevice(std::string_view text) {
  VulkanDeviceChoice choice;
  bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
  if (digits) {
    choice.index = static_cast<uint32_t>(strtoul(std::string(text).c_str(), nullptr, 10));
  } else {
    choice.name_part = text;
  }
  return choice;
}

// "surfaceless", "device" or "device:N"; none for anything else.
std::optional<EglPlatformChoice> ParseEglPlatform(std::string_view text) {
  EglPlatformChoice choice;
  choice.given = true;
  if (text == "surfaceless") return choice;
  std::string_view device = "device";
  if (text.substr(0, device.size()) != device) return std::nullopt;
  choice.platform = EglPlatform::Device;
  text.remove_prefix(device.size());
  if (text.empty()) return choice;
  if (text[0] != ':') return std::nullopt;
  text.remove_prefix(1);
  bool decimal = !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string_view::npos;
  if (!decimal) return std::nullopt;
  choice.device_index = static_cast<uint32_t>(strtoul(std::string(text).c_str(), nullptr, 10));
  return choice;
}

Knobs ReadKnobs() {
  Knobs knobs;
  std::string_view display = Env("INTERLOCK_DISPLAY");
  if (display == "x11") {
    knobs.display = DisplayBackend::X11;
  } else if (display == "headless") {
    knobs.display = DisplayBackend::Headless;
  } else {
    if (!display.empty()) Log("unknown INTERLOCK_DISPLAY '%.*s', using the default", (int)display.size(), display.data());
    knobs.display = Env("DISPLAY").empty() ? DisplayBackend::Headless : DisplayBackend::X11;
  }
  std::string_view message_box = Env("INTERLOCK_MSGBOX");
  if (message_box == "console") {
    knobs.message_box = MessageBoxBackend::Console;
  } else if (message_box == "x11") {
    knobs.message_box = MessageBoxBackend::X11;
  } else {
    if (!message_box.empty()) Log("unknown INTERLOCK_MSGBOX '%.*s', using the default", (int)message_box.size(), message_box.data());
    knobs.message_box = knobs.display == DisplayBackend::X11 ? MessageBoxBackend::X11 : MessageBoxBackend::Console;
  }
  std::string_view egl_platform = Env("INTERLOCK_EGL_PLATFORM");
  if (std::optional<EglPlatformChoice> choice = ParseEglPlatform(egl_platform)) {
    knobs.egl_platform = *choice;
  } else if (!egl_platform.empty()) {
    Log("unknown INTERLOCK_EGL_PLATFORM '%.*s', using the default", (int)egl_platform.size(), egl_platform.data());
  }
  std::string_view debugger = Env("INTERLOCK_DEBUGGER");
  knobs.debugger = debugger == "continue";
  if (!debugger.empty() && !knobs.debugger) Log("unknown INTERLOCK_DEBUGGER '%.*s' ignored", (int)debugger.size(), debugger.data());
  std::string_view trace = Env("INTERLOCK_TRACE");
  knobs.trace = trace == "1";
  if (!trace.empty() && trace != "1" && trace != "0") Log("unknown INTERLOCK_TRACE '%.*s' ignored", (int)trace.size(), trace.data());
  knobs.capture_directory = Env("INTERLOCK_CAPTURE");
  knobs.vulkan_device = ParseVulkanDevice(Env("INTERLOCK_VULKAN_DEVICE"));
  std::string_view present = Env("INTERLOCK_PRESENT");
  if (present == "device") {
    knobs.present = PresentPath::Device;
  } else if (present == "readback") {
    knobs.present = PresentPath::ReadBack;
  } else if (!present.empty()) {
    Log("unknown INTERLOCK_PRESENT '%.*s', using the default", (int)present.size(), present.data());
  }
  for (std::string &name : SplitList(Env("INTERLOCK_HIDE"))) knobs.hidden.push_back({std::move(name)});
  for (const std::string &item : SplitList(Env("INTERLOCK_FAIL"))) {
    std::optional<FailureRule> rule = ParseFailureRule(item);
    const char *unfailable = rule && rule->interface_name.empty() ? FunctionThatCannotFail(rule->name) : nullptr;
    if (unfailable) {
      Log("INTERLOCK_FAIL entry '%s' ignored: %s cannot be failed", item.c_str(), unfailable);
    } else if (rule) {
      knobs.failures.push_back(*rule);
    } else {
      Log("malformed INTERLOCK_FAIL entry '%s' ignored", item.c_str());
    }
  }
  return knobs;
}

// At exit: a name in INTERLOCK_FAIL or INTERLOCK_HIDE that no platform call matched did nothing,
// most likely a misspelt one; say so rather than stay silent.
void NoteUnmatchedNames();

// Makes `knobs` the current reading for the lock-free readers.
void Publish(const Knobs &knobs) {
  trace_enabled.store(knobs.trace, std::memory_order_relaxed);
  knobs_generation.fetch_add(1, std::memory_order_release);
}

// The knobs, read on first use; knobs_mutex is held.
Knobs &CurrentKnobs() {
  static Knobs knobs = ReadKnobs();
  static bool published = (Publish(knobs), std::atexit(NoteUnmatchedNames) == 0);  // runs before `knobs` goes
  (void)published;
  return knobs;
}

// The current generation, reading the knobs first if nothing has yet.
uint32_t Generation() {
  uint32_t generation = knobs_generation.load(std::memory_order_acquire);
  if (generation) return generation;
  std::lock_guard<std::mutex> lock(knobs_mutex);
  CurrentKnobs();
  return knobs_generation.load(std::memory_order_acquire);
}

bool AnyRuleNames(std::string_view name) {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  for (const FailureRule &rule : CurrentKnobs().failures) {
    if (EqualsNoCase(rule.name, name)) return true;
  }
  return false;
}

void NoteUnmatchedNames() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  for (const FailureRule &rule : CurrentKnobs().failures) {
    if (!rule.calls) Log("INTERLOCK_FAIL entry '%s' matched no platform function or method called in this run", rule.text.c_str());
  }
  for (const HiddenName &entry : CurrentKnobs().hidden) {
    if (!entry.asked) Log("INTERLOCK_HIDE name '%s' matched no DLL, export or extension asked for in this run", entry.name.c_str());
  }
}

}  // namespace

DisplayBackend SelectedDisplay() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  return CurrentKnobs().display;
}

MessageBoxBackend SelectedMessageBox() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  return CurrentKnobs().message_box;
}

EglPlatformChoice SelectedEglPlatform() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  return CurrentKnobs().egl_platform;
}

bool EmulatedDebugger() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  return CurrentKnobs().debugger;
}

bool TraceEnabled() {
  Generation();
  return trace_enabled.load(std::memory_order_relaxed);
}

std::string CaptureDirectory() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  return CurrentKnobs().capture_directory;
}

VulkanDeviceChoice SelectedVulkanDevice() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  return CurrentKnobs().vulkan_device;
}

PresentPath SelectedPresentPath() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  return CurrentKnobs().present;
}

bool IsHidden(std::string_view name) {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  bool hidden = false;
  for (HiddenName &entry : CurrentKnobs().hidden) {
    if (!EqualsNoCase(entry.name, name)) continue;
    entry.asked = true;
    hidden = true;
  }
  return hidden;
}

std::optional<uint32_t> InjectedFailure(std::string_view name, uint32_t default_code,
                                        const std::string_view *interfaces, size_t interface_count) {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  std::optional<uint32_t> failure;
  for (FailureRule &rule : CurrentKnobs().failures) {
    if (!EqualsNoCase(rule.name, name)) continue;
    if (!rule.interface_name.empty()) {
      bool implemented = false;
      for (size_t i = 0; i < interface_count; ++i) implemented |= EqualsNoCase(interfaces[i], rule.interface_name);
      if (!implemented) continue;
    }
    ++rule.calls;
    bool fires = rule.nth == 0 || rule.calls == rule.nth;
    if (fires && !failure) failure = rule.code.value_or(default_code);
  }
  return failure;
}

std::optional<uint32_t> FailurePoint::Check(uint32_t default_code) {
  uint32_t generation = Generation();
  uint32_t resolved = resolved_.load(std::memory_order_relaxed);
  if (resolved >> 1 != (generation & 0x7FFFFFFF)) {
    resolved = (generation << 1) | (AnyRuleNames(name_) ? 1 : 0);
    resolved_.store(resolved, std::memory_order_relaxed);
  }
  if (!(resolved & 1)) return std::nullopt;
  return InjectedFailure(name_, default_code);
}

void ReloadKnobs() {
  std::lock_guard<std::mutex> lock(knobs_mutex);
  Knobs &knobs = CurrentKnobs();
  knobs = ReadKnobs();
  Publish(knobs);
}

}  // namespace ilk
