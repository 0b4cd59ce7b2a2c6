// One window of the native program: an OpenGL context drawing the triangle into Vulkan images
// it imports, a two-image chain the frame is copied into, and the window's pixels, BGRA as an
// X server's TrueColor visual keeps them, filled from the presented image.
#pragma once

#include <stdint.h>

#include <vector>

#include "native_gl.h"
#include "native_vulkan.h"

namespace native {

class Window {
 public:
  Window(Vulkan &vulkan, Egl &egl) : vulkan_(vulkan), egl_(egl), gl_(egl.Functions()) {}
  Window(const Window &) = delete;
  Window &operator=(const Window &) = delete;
  ~Window() { Close(); }

  // The context, program, vertex data and framebuffer, then the targets of this size.
  bool Open(uint32_t width, uint32_t height);
  // Draws, copies into the next chain image, reads it back and fills the window's pixels.
  bool Frame();
  // New targets and chain images of this size in place of the old.
  bool Resize(uint32_t width, uint32_t height);
  void Close();

  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  const std::vector<uint8_t> &Pixels() const { return pixels_; }
  // The passes over a frame's pixels this window's CPU code has made: one per frame.
  uint64_t CpuPasses() const { return cpu_passes_; }

 private:
  bool MakeProgram();
  bool MakeTargets();
  void DropTargets();
  bool Import(const Image &image, GLenum format, GLuint *memory, GLuint *texture);

  Vulkan &vulkan_;
  Egl &egl_;
  const GL &gl_;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint program_ = 0, vertex_array_ = 0, vertex_buffer_ = 0, framebuffer_ = 0;
  uint32_t width_ = 0, height_ = 0;
  Image color_, depth_, chain_[2];
  GLuint color_memory_ = 0, color_texture_ = 0, depth_memory_ = 0, depth_texture_ = 0;
  int next_ = 0;  // the chain image the next frame goes to
  HostBuffer readback_;
  std::vector<uint8_t> pixels_;
  uint64_t cpu_passes_ = 0;
};

}  // namespace native
