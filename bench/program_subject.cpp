// The program's side of the benchmark: windows opened as start-up opens them, but borderless
// so that the client area has the size asked for, and frames painted by dxpaint.
#include "program_subject.h"

#include <windows.h>
#include <string.h>

#include "app/options.h"
#include "app/start_up.h"
#include "app/system_entry_points.h"
#include "present/frame.h"
#include "renderer/window_renderer.h"
#include "display/display.h"

namespace bench {
namespace {

using interlock::wr1;

class ProgramSubject final : public FrameSubject {
 public:
  bool Open(int width, int height) override {
    memset(&wr1, 0, sizeof wr1);
    wr1.window = CreateWindowExW(WS_EX_NOREDIRECTIONBITMAP | WS_EX_APPWINDOW, L"window", L"Sample 1",
                                 WS_POPUP | WS_VISIBLE, 0, 0, width, height, NULL, NULL, NULL, &wr1);
    if (!wr1.window) return false;
    interlock::Create(&wr1);
    RECT client;
    GetClientRect(wr1.window, &client);
    interlock::Resize(&wr1, (DWORD)(client.right - client.left), (DWORD)(client.bottom - client.top));
    return wr1.colorBufferView != nullptr;
  }

  // As the window procedure does for a size change, the repaint after a Resize waits for the
  // compositor.
  bool Frame() override {
    wr1.quitting = FALSE;
    wr1.resizing = resized_;
    interlock::dxpaint(&wr1);
    wr1.resizing = FALSE;
    resized_ = false;
    return wr1.quitting;
  }

  bool Resize(int width, int height) override {
    interlock::Resize(&wr1, (DWORD)width, (DWORD)height);
    resized_ = true;
    return wr1.colorBufferView != nullptr;
  }

  bool WindowPixels(int *width, int *height, std::vector<uint8_t> *bgra) override {
    ilk::display::WindowImage image;
    if (!ilk::display::ReadWindowImage(ilk::display::SurfaceOf(wr1.window), &image)) return false;
    *width = image.width;
    *height = image.height;
    *bgra = std::move(image.bgra);
    return true;
  }

  uint64_t CpuPassesOverPixels() override { return ilk::display::CpuPassesOverPresentedPixels(); }

  void Close() override { DestroyWindow(wr1.window); }

 private:
  bool resized_ = false;
};

}  // namespace

int MeasureProgram(bool quick, FILE *report) {
  interlock::SetDefaultOptions();
  interlock::no_decorations = TRUE;
  interlock::ResolveSystemEntryPoints();
  interlock::RegisterWindowClass(nullptr);
  ProgramSubject subject;
  return MeasureFrames(subject, quick, report) ? 0 : 1;
}

}  // namespace bench
