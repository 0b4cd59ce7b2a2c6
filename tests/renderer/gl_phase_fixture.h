// A window record on a hidden window for running the OpenGL phases of Create under the emulated
// debugger, capturing what they write.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <d3d11.h>

#include "app/options.h"
#include "renderer/create_phases.h"
#include "renderer/gl_functions.h"
#include "support/captured_run.h"

namespace interlock {

struct PhaseOutput {
  std::string out;  // standard output
  std::string err;  // the debugger channel and platform lines

  // The failure reports, "<location> (GLE n)", in order.
  std::vector<std::string> Reports() const {
    std::vector<std::string> reports;
    std::istringstream lines(out);
    const std::string prefix = "Assertion failure: ";
    for (std::string line; std::getline(lines, line);) {
      if (line.compare(0, prefix.size(), prefix) == 0) {
        reports.push_back(line.substr(prefix.size()));
      }
    }
    return reports;
  }

  // The lines of `text` that contain `part`, in order.
  static std::vector<std::string> LinesWith(const std::string &text, const std::string &part) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (line.find(part) != std::string::npos) found.push_back(line);
    }
    return found;
  }
};

class GLPhases : public testing::Test {
 protected:
  void SetUp() override {
    SetDefaultOptions();
    wr_.window = CreateWindowExA(0, "STATIC", "Sample", 0, 0, 0, 200, 100, NULL, NULL, NULL, NULL);
    ASSERT_NE(wr_.window, nullptr);
    // The process-wide device the Direct3D phase would have made, for the interop device.
    ASSERT_EQ(D3D11CreateDevice(NULL, D3D_DRIVER_TYPE_HARDWARE, NULL, D3D11_CREATE_DEVICE_BGRA_SUPPORT, NULL, 0,
                                D3D11_SDK_VERSION, &direct3dDevice, NULL, NULL),
              S_OK);
  }
  void TearDown() override {
    if (wr_.dxDevice && wr_.gl_context && wglMakeCurrent(GetDC(wr_.window), wr_.gl_context)) {
      CallGL(wglDXCloseDeviceNV, wr_.dxDevice);
    }
    wglMakeCurrent(NULL, NULL);
    if (wr_.gl_context) wglDeleteContext(wr_.gl_context);
    DestroyWindow(wr_.window);
    direct3dDevice->Release();
    direct3dDevice = NULL;
    SetDefaultOptions();
  }

  // Runs `body` with the emulated debugger and the knobs `fail`, `hide` and `trace`.
  template <typename Body>
  PhaseOutput Run(Body body, const char *fail = nullptr, const char *hide = nullptr, bool trace = false) {
    CapturedOutput output = RunUnderDebugger(
        body, {{"INTERLOCK_FAIL", fail}, {"INTERLOCK_HIDE", hide}, {"INTERLOCK_TRACE", trace ? "1" : nullptr}});
    return PhaseOutput{output.out, output.err};
  }

  PhaseOutput RunContextPhase(const char *fail = nullptr, const char *hide = nullptr, bool trace = false) {
    return Run([this] { CreateGLContext(&wr_); }, fail, hide, trace);
  }

  // The context phase as a clean prerequisite, then the objects phase under the knobs.
  PhaseOutput RunObjectsPhase(const char *fail = nullptr, const char *hide = nullptr, bool trace = false) {
    EXPECT_TRUE(RunContextPhase().Reports().empty());
    return Run([this] { CreateGLObjects(&wr_); }, fail, hide, trace);
  }

  // Makes the window's context current on its DC (the tests' own block of OpenGL work).
  void MakeCurrent() { ASSERT_TRUE(wglMakeCurrent(GetDC(wr_.window), wr_.gl_context)); }

  window_renderer wr_ = {};
};

}  // namespace interlock
