// A test suite whose windows are X11 windows on a private Xvfb server: the server starts once
// for the suite, the platform's windows go there (INTERLOCK_DISPLAY=x11), each test has an XTest
// driver that acts as the person at the screen, and every test is skipped, with the reason,
// where no server can start.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "common/knobs.h"
#include "platform/display/xtest_driver.h"
#include "platform/display/xvfb_server.h"

class X11Fixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new XvfbServer;
    if (!server_->Start(&why_)) return;
    setenv("INTERLOCK_DISPLAY", "x11", 1);
    ilk::ReloadKnobs();
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  // A suite's own SetUp calls this first and returns when IsSkipped() or HasFatalFailure().
  void SetUp() override {
    if (!why_.empty()) GTEST_SKIP() << why_;
    ASSERT_TRUE(driver_.connected());
  }

  static bool ServerRunning() { return why_.empty(); }

  inline static XvfbServer *server_ = nullptr;
  inline static std::string why_;
  XTestDriver driver_;
};

// The same, with message boxes shown as X11 dialogs on that server.
class X11DialogFixture : public X11Fixture {
 protected:
  static void SetUpTestSuite() {
    X11Fixture::SetUpTestSuite();
    if (!ServerRunning()) return;
    setenv("INTERLOCK_MSGBOX", "x11", 1);
    ilk::ReloadKnobs();
  }
};
