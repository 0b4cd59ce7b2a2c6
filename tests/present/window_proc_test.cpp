// The window procedure through the headless window manager: WM_NCCALCSIZE with and without
// --no-decorations, trace lines with their record indexes, the handling of WM_DESTROY, and size
// changes with their "resizd" line.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <sstream>
#include <windows.h>

#include "app/options.h"
#include "present/window_proc_fixture.h"
#include "renderer/window_renderer.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

TEST_F(WindowProcTest, NcCalcSizeKeepsTheWholeWindowOnlyWithoutDecorations) {
  HWND window = OpenSampleWindow(&wr1, 0, 0, 1024, 1024);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 1008);
  EXPECT_EQ(client.bottom, 985);
  for (BOOL borderless : {TRUE, FALSE}) {
    no_decorations = borderless;
    RECT rect = {0, 0, 1024, 1024};
    EXPECT_EQ(SendMessageW(window, WM_NCCALCSIZE, FALSE, (LPARAM)&rect), 0);
    NCCALCSIZE_PARAMS params = {{{0, 0, 1024, 1024}, {0, 0, 1024, 1024}, {8, 31, 1016, 1016}}, nullptr};
    EXPECT_EQ(SendMessageW(window, WM_NCCALCSIZE, TRUE, (LPARAM)&params), 0);
    LONG expected_left = borderless ? 0 : 8, expected_top = borderless ? 0 : 31;
    EXPECT_EQ(rect.left, expected_left);
    EXPECT_EQ(rect.top, expected_top);
    EXPECT_EQ(params.rgrc[0].left, expected_left);
    EXPECT_EQ(params.rgrc[0].top, expected_top);
    EXPECT_EQ(params.rgrc[0].bottom, borderless ? 1024 : 1016);
  }
  no_decorations = TRUE;
  HWND borderless = OpenSampleWindow(&wr2, 1024, 1024, 1024, 1024);
  GetClientRect(borderless, &client);
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 1024);
}

TEST_F(WindowProcTest, TraceLinesCarryTheRecordIndex) {
  HWND first = OpenSampleWindow(&wr1, 0, 0, 400, 400);
  std::string trace = Output();
  std::string handle = PointerText(first);
  std::string before = "message 0x24 for window " + handle + " (wr 2)\nmessage 0x81 for window " + handle +
                       " (wr 2)\nmessage 0x83 for window " + handle + " (wr 2)\nmessage 0x18 for window " + handle +
                       " (wr 1)\n";
  EXPECT_EQ(trace.substr(0, before.size()), before);  // WM_CREATE (0x1) is not traced
  EXPECT_EQ(trace.find("message 0x1 "), std::string::npos);

  SendMessageW(first, WM_PAINT, 0, 0);
  EXPECT_EQ(Output(), "");

  HWND second = OpenSampleWindow(&wr2, 500, 0, 400, 400);
  trace = Output();
  EXPECT_NE(trace.find("message 0x6 for window " + handle + " (wr 1)"), std::string::npos);  // deactivated
  // Every message of the second window carries index 2, before and after WM_CREATE.
  std::istringstream lines(trace);
  int second_lines = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find(PointerText(second)) == std::string::npos) continue;
    ++second_lines;
    EXPECT_EQ(line.substr(line.size() - 6), "(wr 2)") << line;
  }
  EXPECT_GT(second_lines, 10);
}

TEST_F(WindowProcTest, DestroyRaisesQuittingAndIsNotPassedOn) {
  HWND window = OpenSampleWindow(&wr1, 0, 0, 400, 400);
  ScopedKnobs trace({{"INTERLOCK_TRACE", "1"}, {"INTERLOCK_DEBUGGER", "continue"}});
  Output();
  testing::internal::CaptureStderr();
  EXPECT_EQ(SendMessageW(window, WM_DESTROY, 0, 0), 0);
  std::string calls = testing::internal::GetCapturedStderr();
  std::string out = Output();
  EXPECT_EQ(out.rfind("message 0x2 for window " + PointerText(window) + " (wr 1)\n", 0), 0u);
  EXPECT_TRUE(wr1.quitting);
  EXPECT_EQ(calls.find("DefWindowProcW(" + PointerText(window) + ", 0x0002)"), std::string::npos);
}

TEST_F(WindowProcTest, OnlySizeChangesWriteResizd) {
  HWND window = OpenSampleWindow(&wr1, 0, 0, 400, 400);
  Output();
  SetWindowPos(window, NULL, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  std::string moved = Output();
  EXPECT_NE(moved.find("message 0x46 for window"), std::string::npos);
  EXPECT_EQ(moved.find("resizd"), std::string::npos);
  EXPECT_EQ(OuterRect(window).left, 50);

  SetWindowPos(window, NULL, 0, 0, 500, 450, SWP_NOMOVE | SWP_NOZORDER);
  std::string sized = Output();
  size_t first = sized.find("resizd " + PointerText(&wr1) + "\n");
  EXPECT_NE(first, std::string::npos);
  EXPECT_EQ(sized.find("resizd", first + 1), std::string::npos);
  EXPECT_EQ(OuterRect(window).right, 550);
}

}  // namespace
}  // namespace interlock
