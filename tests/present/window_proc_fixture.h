// A fixture for driving the window procedure through the headless window manager: the run
// options at their defaults, both records zeroed, and the message trace captured.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/options.h"
#include "present/sample_window.h"
#include "renderer/window_renderer.h"
#include "support/scoped_knobs.h"

namespace interlock {

// The headless desktop whatever DISPLAY says; knobs are read on first use.
inline const int kHeadless = setenv("INTERLOCK_DISPLAY", "headless", 1);

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultOptions();
    memset(&wr1, 0, sizeof wr1);
    memset(&wr2, 0, sizeof wr2);
    testing::internal::CaptureStdout();  // the message trace
  }
  void TearDown() override {
    for (HWND window : {wr1.window, wr2.window}) {
      if (window) DestroyWindow(window);
    }
    DispatchWaitingMessages();
    testing::internal::GetCapturedStdout();
    no_decorations = FALSE;
  }

  // What the program wrote since the last call (or the start of the test).
  static std::string Output() {
    fflush(stdout);
    std::string output = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    return output;
  }

  // Destroy on a record that Create never built reports its failed checks and goes on.
  ScopedKnobs debugger_{{"INTERLOCK_DEBUGGER", "continue"}};
};

}  // namespace interlock
