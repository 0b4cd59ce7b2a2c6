// dwmapi: DwmFlush waits until the display has taken every image presented so far (X11: the
// server has processed them); headless it returns at once.
#include <windows.h>
#include <dwmapi.h>

#include "common/log.h"
#include "display/display.h"

HRESULT WINAPI DwmFlush(void) {
  HRESULT hr = S_OK;
  if (std::optional<uint32_t> code = ilk::InjectedFailure("DwmFlush", (uint32_t)E_FAIL)) {
    hr = (HRESULT)*code;
  } else {
    ilk::display::WaitForPresentedImages();
  }
  ilk::Trace("DwmFlush() = 0x%08x", (unsigned)hr);
  return hr;
}
