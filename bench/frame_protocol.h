// What each side of the benchmark does in its own process: the same frames, resizes and pixel
// checks, on the program's platform or on the native program, reported to the driver.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <vector>

namespace bench {

// One window that shows the triangle, on either side.
class FrameSubject {
 public:
  virtual ~FrameSubject() = default;
  // Opens a window whose client area is `width` x `height` with render targets of that size.
  virtual bool Open(int width, int height) = 0;
  // One frame: clear, triangle, copy into the presented buffer, present to the window.
  virtual bool Frame() = 0;
  // Re-creates the render targets and presented buffers at this size; the next Frame is the
  // first on them.
  virtual bool Resize(int width, int height) = 0;
  // What the window's client area shows now: B, G, R, A rows, top first.
  virtual bool WindowPixels(int *width, int *height, std::vector<uint8_t> *bgra) = 0;
  // Passes the CPU has made over frames' pixels to show them, since Open.
  virtual uint64_t CpuPassesOverPixels() = 0;
  // Closes the window and everything made for it.
  virtual void Close() = 0;
};

// Frames at each benchmark size, resizes at the first, and the page faults of steady frames and
// of resizes, checking the window's pixels after each series. Writes one line per series to
// `report`: "frame WxH ms...", "resize WxH ms..." (new targets and the first frame on them),
// "resize-targets WxH ms..." and "resize-frame WxH ms..." (its two parts), "faults WxH
// per-frame", "passes WxH per-frame" (the CPU's passes over the pixels), "resize-faults WxH
// per-resize". False (with the reason on stderr) when a step or
// a pixel check fails.
bool MeasureFrames(FrameSubject &subject, bool quick, FILE *report);

// Whether `bgra` shows the triangle over the black window background: its interpolated
// colour in the centre, black in the top corners, red at the top. Says why not on stderr.
bool ShowsTriangle(const char *side, int width, int height, const std::vector<uint8_t> &bgra);

}  // namespace bench
