// INTERLOCK_CAPTURE: presented buffers as PNG files.
#include "dcomp/frame_capture.h"

#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <map>
#include <mutex>
#include <string>

#include "common/log.h"

namespace ilk {

// The window manager's title of a window (window_surface.h). Until user32 offers it, frames are
// named after the window handle, "window_<hex>".
ILK_API bool WindowTitle(HWND window, std::wstring *title) __attribute__((weak));

namespace {

std::mutex capture_mutex;
std::map<HWND, unsigned> &FrameNumbers() {
  static auto *numbers = new std::map<HWND, unsigned>;  // lives as long as the process
  return *numbers;
}

std::string FileTitle(HWND window) {
  std::wstring title;
  if (!WindowTitle || !WindowTitle(window, &title)) {
    char fallback[32];
    snprintf(fallback, sizeof fallback, "window %p", (void *)window);
    title.assign(fallback, fallback + strlen(fallback));
  }
  std::string name;
  for (wchar_t c : title) {
    bool letter_or_digit = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
    name += letter_or_digit ? (char)c : '_';
  }
  return name;
}

}  // namespace

void CaptureFrame(HWND window, const PresentedImage &image) {
  const char *directory = getenv("INTERLOCK_CAPTURE");
  if (!directory || !*directory) return;
  unsigned number;
  {
    std::lock_guard<std::mutex> lock(capture_mutex);
    number = ++FrameNumbers()[window];
  }
  char suffix[16];
  snprintf(suffix, sizeof suffix, "-%04u.png", number);
  std::string path = std::string(directory) + "/" + FileTitle(window) + suffix;
  mkdir(directory, 0777);  // an existing directory is fine
  std::vector<uint8_t> rgba = image.bgra;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr)) {
    Log("INTERLOCK_CAPTURE: cannot write %s: %s", path.c_str(), png.message);
    return;
  }
  Trace("captured %s", path.c_str());
}

}  // namespace ilk
