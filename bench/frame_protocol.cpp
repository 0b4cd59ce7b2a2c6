// The measurement both sides run (frame_protocol.h).
#include "frame_protocol.h"

#include <math.h>
#include <sys/resource.h>
#include <time.h>

#include <string>

namespace bench {
namespace {

struct Size {
  int width, height;
  int frames, quick_frames;
};

// The program's client area at its start-up size, then two large squares.
const Size kSizes[] = {{1008, 985, 40, 12}, {2048, 2048, 16, 5}, {4096, 4096, 8, 3}};
// Mesa turns a vertex array object that changes on every frame (the program enables and disables
// its attributes per frame) into a dynamic one on its fifth change and compiles new vertex
// fetching for it once; steady frames come after that.
const int kWarmUpFrames = 6;
const int kResizes = 12, kQuickResizes = 4;

double NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

long PageFaults() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt + usage.ru_majflt;
}

void WriteSeries(FILE *report, const char *name, const Size &size, const std::vector<double> &values) {
  fprintf(report, "%s %dx%d", name, size.width, size.height);
  for (double value : values) fprintf(report, " %.4f", value);
  fprintf(report, "\n");
}

bool Fail(const char *what, const Size &size) {
  fprintf(stderr, "interlock-bench: %s at %dx%d failed\n", what, size.width, size.height);
  return false;
}

bool CheckWindow(FrameSubject &subject, const Size &size) {
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;
  if (!subject.WindowPixels(&width, &height, &bgra)) return Fail("reading the window", size);
  if (width != size.width || height != size.height) return Fail("the window's size", size);
  return ShowsTriangle("window", width, height, bgra);
}

// Resizes to the same size, each followed by a frame: the whole, its two parts, the faults.
bool MeasureResizes(FrameSubject &subject, const Size &size, bool quick, FILE *report) {
  int resizes = quick ? kQuickResizes : kResizes;
  std::vector<double> whole, targets, frame;
  long faults = PageFaults();
  for (int i = 0; i < resizes; ++i) {
    double start = NowMs();
    if (!subject.Resize(size.width, size.height)) return Fail("a resize", size);
    double resized = NowMs();
    if (!subject.Frame()) return Fail("the frame after a resize", size);
    double end = NowMs();
    whole.push_back(end - start);
    targets.push_back(resized - start);
    frame.push_back(end - resized);
  }
  faults = PageFaults() - faults;
  if (!CheckWindow(subject, size)) return false;
  WriteSeries(report, "resize", size, whole);
  WriteSeries(report, "resize-targets", size, targets);
  WriteSeries(report, "resize-frame", size, frame);
  WriteSeries(report, "resize-faults", size, {(double)faults / resizes});
  return true;
}

bool MeasureSize(FrameSubject &subject, const Size &size, bool quick, bool with_resizes, FILE *report) {
  if (!subject.Open(size.width, size.height)) return Fail("opening a window", size);
  for (int i = 0; i < kWarmUpFrames; ++i) {
    if (!subject.Frame()) return Fail("a frame", size);
  }
  int count = quick ? size.quick_frames : size.frames;
  std::vector<double> times;
  times.reserve(count);  // nothing is allocated between the frames measured
  long faults = PageFaults();
  uint64_t passes = subject.CpuPassesOverPixels();
  for (int i = 0; i < count; ++i) {
    double start = NowMs();
    if (!subject.Frame()) return Fail("a frame", size);
    times.push_back(NowMs() - start);
  }
  faults = PageFaults() - faults;
  passes = subject.CpuPassesOverPixels() - passes;
  if (!CheckWindow(subject, size)) return false;
  WriteSeries(report, "frame", size, times);
  WriteSeries(report, "faults", size, {(double)faults / count});
  WriteSeries(report, "passes", size, {(double)passes / count});
  if (with_resizes && !MeasureResizes(subject, size, quick, report)) return false;
  subject.Close();
  fflush(report);
  return true;
}

// The colour at (x, y) as fractions of 255, blue, green, red.
void At(int width, const std::vector<uint8_t> &bgra, int x, int y, double out[3]) {
  const uint8_t *pixel = &bgra[((size_t)y * width + x) * 4];
  for (int i = 0; i < 3; ++i) out[i] = pixel[i] / 255.0;
}

}  // namespace

bool MeasureFrames(FrameSubject &subject, bool quick, FILE *report) {
  bool first = true;
  for (const Size &size : kSizes) {
    if (!MeasureSize(subject, size, quick, first, report)) return false;
    first = false;
  }
  return true;
}

bool ShowsTriangle(const char *side, int width, int height, const std::vector<uint8_t> &bgra) {
  if (width < 8 || height < 8 || bgra.size() != (size_t)width * height * 4) {
    fprintf(stderr, "interlock-bench: %s: no %dx%d image\n", side, width, height);
    return false;
  }
  // The window shows the presented colour channels over black, opaque: the interpolated colour
  // in the centre, the clear colour's black in the top corners, the red vertex at the top.
  double centre[3], left[3], right[3], top[3];
  At(width, bgra, width / 2, height / 2, centre);
  At(width, bgra, 2, 2, left);
  At(width, bgra, width - 3, 2, right);
  At(width, bgra, width / 2, 4, top);
  bool ok = fabs(centre[2] - 0.5) < 0.03 && fabs(centre[1] - 0.25) < 0.03 && fabs(centre[0] - 0.25) < 0.03 &&
            left[0] == 0 && left[1] == 0 && left[2] == 0 && right[0] == 0 && right[1] == 0 && right[2] == 0 &&
            top[2] > 0.8 && top[1] < 0.1 && top[0] < 0.1;
  for (int y = 0; ok && y < height; y += height - 1) {  // the window shows it opaque
    for (int x = 0; ok && x < width; ++x) ok = bgra[((size_t)y * width + x) * 4 + 3] == 0xFF;
  }
  if (!ok) {
    fprintf(stderr,
            "interlock-bench: %s at %dx%d does not show the triangle: centre %.3f %.3f %.3f (r g b), top %.3f %.3f %.3f, "
            "corners %.3f %.3f\n",
            side, width, height, centre[2], centre[1], centre[0], top[2], top[1], top[0], left[2], right[2]);
  }
  return ok;
}

}  // namespace bench
