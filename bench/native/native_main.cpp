// interlock-native: what a program written directly for Vulkan and EGL does to show the same
// triangle as Interlock, for interlock-bench to compare with.
//
//   interlock-native --run             a whole run: two 1008x985 windows, one frame each
//   interlock-native --frames [--quick]  the benchmark's frames, reported on descriptor 3
#include <stdio.h>
#include <string.h>

#include <memory>

#include "frame_protocol.h"
#include "native_window.h"

namespace native {
namespace {

const int kReportFd = 3;
const uint32_t kClientWidth = 1008, kClientHeight = 985;

bool ShowsTriangle(const Window &window) {
  return bench::ShowsTriangle("native window", (int)window.Width(), (int)window.Height(), window.Pixels());
}

class NativeSubject final : public bench::FrameSubject {
 public:
  NativeSubject(Vulkan &vulkan, Egl &egl) : vulkan_(vulkan), egl_(egl) {}

  bool Open(int width, int height) override {
    window_.reset(new Window(vulkan_, egl_));
    return window_->Open((uint32_t)width, (uint32_t)height);
  }
  bool Frame() override { return window_->Frame(); }
  bool Resize(int width, int height) override { return window_->Resize((uint32_t)width, (uint32_t)height); }
  bool WindowPixels(int *width, int *height, std::vector<uint8_t> *bgra) override {
    *width = (int)window_->Width();
    *height = (int)window_->Height();
    *bgra = window_->Pixels();
    return true;
  }
  uint64_t CpuPassesOverPixels() override { return window_ ? window_->CpuPasses() : 0; }
  void Close() override { window_.reset(); }

 private:
  Vulkan &vulkan_;
  Egl &egl_;
  std::unique_ptr<Window> window_;
};

// Both windows are made and sized, then each shows one frame, then both go, as in a run of
// the program.
int WholeRun(Vulkan &vulkan, Egl &egl) {
  Window first(vulkan, egl), second(vulkan, egl);
  bool ok = first.Open(kClientWidth, kClientHeight) && second.Open(kClientWidth, kClientHeight) && first.Frame() &&
            second.Frame() && ShowsTriangle(first) && ShowsTriangle(second);
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace native

int main(int argc, char **argv) {
  bool run = argc >= 2 && strcmp(argv[1], "--run") == 0;
  bool frames = argc >= 2 && strcmp(argv[1], "--frames") == 0;
  bool quick = argc >= 3 && strcmp(argv[2], "--quick") == 0;
  if (!run && !frames) {
    fprintf(stderr, "usage: interlock-native --run | --frames [--quick]\n");
    return 2;
  }
  native::Vulkan vulkan;
  native::Egl egl;
  if (!vulkan.Open() || !egl.Open()) {
    fprintf(stderr, "interlock-native: no Vulkan device that exports memory, or no EGL\n");
    return 1;
  }
  if (run) return native::WholeRun(vulkan, egl);
  FILE *report = fdopen(native::kReportFd, "w");
  if (!report) return 1;
  native::NativeSubject subject(vulkan, egl);
  int status = bench::MeasureFrames(subject, quick, report) ? 0 : 1;
  fclose(report);
  return status;
}
