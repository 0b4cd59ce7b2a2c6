// Bringing the window manager down and up again in one process: after a shut-down the desktop
// opens afresh, on whatever X server DISPLAY names then, and the windows of before are gone.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/knobs.h"
#include "common/platform_state.h"
#include "platform/user32/message_recorder.h"
#include "platform/display/xtest_driver.h"
#include "platform/display/xvfb_server.h"

namespace {

TEST(X11PlatformState, AfterAShutDownTheDesktopOpensOnTheNextServer) {
  setenv("INTERLOCK_DISPLAY", "x11", 1);
  ilk::ReloadKnobs();
  std::string why;
  auto first = std::make_unique<XvfbServer>();
  if (!first->Start(&why)) GTEST_SKIP() << why;
  HWND before = nullptr;
  {
    MessageRecorder recorder;
    before = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
    ASSERT_NE(before, nullptr);
    XTestDriver person;
    EXPECT_NE(person.WaitForWindow("recorded", 3000), 0u);
    EXPECT_TRUE(DestroyWindow(before));
    DrainMessages();
  }
  ilk::ShutDownPlatform();
  first.reset();  // the first server goes: nothing of the platform may still talk to it

  XvfbServer second;
  ASSERT_TRUE(second.Start(&why)) << why;
  MessageRecorder recorder;
  HWND after = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before);  // handles keep counting upwards
  EXPECT_FALSE(IsWindow(before));
  XTestDriver person;
  EXPECT_NE(person.WaitForWindow("recorded", 3000), 0u);
  EXPECT_TRUE(DestroyWindow(after));
  DrainMessages();
  ilk::ShutDownPlatform();
}

}  // namespace
