// A run whose X server goes away while the windows are up.
// gtest first: Xlib's macros (None, Bool...) would break its templates.
#include <gtest/gtest.h>

#include <thread>

#include "platform/display/xtest_driver.h"
#include "platform/display/xvfb_server.h"
#include "support/program_run.h"

namespace {

TEST(LostDisplay, EndsWithItsOwnStatusAndLineAndKeepsTheOutputWritten) {
  XvfbServer server;
  std::string why;
  if (!server.Start(&why)) GTEST_SKIP() << why;
  // Once both windows are up, the server goes. A run whose render targets fail never paints,
  // so the windows stay until the loop's time limit, long after the server has gone.
  std::thread kill_server([&server] {
    {
      XTestDriver person;
      if (person.connected()) person.WaitForWindow("Sample 2", 20000);
    }
    server.Stop();
  });
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {},
                              {{"INTERLOCK_DISPLAY", "x11"}, {"INTERLOCK_MSGBOX", "console"},
                               {"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", "CreateRenderTargetView"}});
  kill_server.join();
  EXPECT_EQ(run.exit_status, 4);
  EXPECT_NE(run.err.find("interlock: lost the connection to the X server :"), std::string::npos) << run.err;
  // The trace of both windows' creation, written to a file and so buffered, was kept.
  EXPECT_NE(run.out.find("(wr 2)"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("end\n"), std::string::npos);
}

}  // namespace
