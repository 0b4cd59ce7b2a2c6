// dwmapi: DwmFlush waits until the display has taken every image presented so far (X11: the
// server has processed them); headless it returns at once.
#include <dwmapi.h>

#include "common/log.h"
#include "user32/user32_internal.h"

HRESULT WINAPI DwmFlush(void) {
  HRESULT hr = S_OK;
  if (std::optional<uint32_t> code = ilk::InjectedFailure("DwmFlush", (uint32_t)E_FAIL)) {
    hr = (HRESULT)*code;
  } else {
    ilk::user32::WaitForPresentedImages();
  }
  ilk::Trace("DwmFlush() = 0x%08x", (unsigned)hr);
  return hr;
}
