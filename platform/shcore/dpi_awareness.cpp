// shcore: the process DPI awareness. It can be set once per process; later calls are refused
// with E_ACCESSDENIED, as on Windows. The stand-in display is always 96 DPI, so awareness
// changes no metric.
#include <shellscalingapi.h>
#include <windows.h>

#include <mutex>
#include <optional>

#include "common/log.h"
#include "common/platform_state.h"

namespace {

struct Awareness {
  std::mutex mutex;
  std::optional<PROCESS_DPI_AWARENESS> value;
};

ilk::PlatformState<Awareness> awareness;

}  // namespace

HRESULT WINAPI SetProcessDpiAwareness(PROCESS_DPI_AWARENESS value) {
  HRESULT hr;
  if (std::optional<uint32_t> code = ilk::InjectedFailure("SetProcessDpiAwareness", (uint32_t)E_FAIL)) {
    hr = (HRESULT)*code;
  } else if (value < PROCESS_DPI_UNAWARE || value > PROCESS_PER_MONITOR_DPI_AWARE) {
    hr = E_INVALIDARG;
  } else {
    Awareness &state = awareness.Get();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.value) {
      hr = E_ACCESSDENIED;
    } else {
      state.value = value;
      hr = S_OK;
    }
  }
  ilk::Trace("SetProcessDpiAwareness(%d) = 0x%08x", (int)value, (unsigned)hr);
  return hr;
}

HRESULT WINAPI GetProcessDpiAwareness(HANDLE process, PROCESS_DPI_AWARENESS *value) {
  if (!value) return E_INVALIDARG;
  (void)process;  // only the current process exists here
  Awareness &state = awareness.Get();
  std::lock_guard<std::mutex> lock(state.mutex);
  *value = state.value.value_or(PROCESS_DPI_UNAWARE);
  return S_OK;
}
