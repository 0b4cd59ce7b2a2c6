// INTERLOCK_CAPTURE: presented buffers as PNG files.
#include "frame_capture.h"

#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <string>

#include "common/log.h"
#include "common/platform_state.h"

namespace ilk::dcomp {

namespace {

// The last frame number written per window.
struct FrameNumbers {
  std::mutex mutex;
  std::map<HWND, unsigned> last;
};

PlatformState<FrameNumbers> frame_numbers;

// The window's title, read from the window manager by the default handling of WM_GETTEXT:
// unlike GetWindowText, this sends nothing to the program's window procedure.
std::string FileTitle(HWND window) {
  WCHAR title[256] = {};
  DefWindowProcW(window, WM_GETTEXT, sizeof title / sizeof title[0], reinterpret_cast<LPARAM>(title));
  std::string name;
  for (const WCHAR *c = title; *c; ++c) {
    bool letter_or_digit = (*c >= L'a' && *c <= L'z') || (*c >= L'A' && *c <= L'Z') || (*c >= L'0' && *c <= L'9');
    name += letter_or_digit ? (char)*c : '_';
  }
  return name;
}

}  // namespace

void CaptureFrame(HWND window, const dxgi::PresentedImage &image) {
  const std::string directory = CaptureDirectory();
  if (directory.empty()) return;
  unsigned number;
  {
    FrameNumbers &numbers = frame_numbers.Get();
    std::lock_guard<std::mutex> lock(numbers.mutex);
    number = ++numbers.last[window];
  }
  char suffix[16];
  snprintf(suffix, sizeof suffix, "-%04u.png", number);
  std::string path = directory + "/" + FileTitle(window) + suffix;
  mkdir(directory.c_str(), 0777);  // an existing directory is fine
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.rgba, 0, nullptr)) {
    Log("INTERLOCK_CAPTURE: cannot write %s: %s", path.c_str(), png.message);
    return;
  }
  Trace("captured %s", path.c_str());
}

}  // namespace ilk::dcomp
