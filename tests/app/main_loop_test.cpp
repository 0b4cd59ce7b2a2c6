// The message loop: the run-time limit, its other ends, and the frame-latency object of the
// first window pacing forced repaints of both windows.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/main_loop.h"
#include "renderer/window_renderer.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

TEST(TimeLimit, OnlyMoreThan5000MillisecondsEndsTheRun) {
  EXPECT_FALSE(TimeLimitPassed(1000, 1000));
  EXPECT_FALSE(TimeLimitPassed(1000, 6000));  // exactly 5000
  EXPECT_TRUE(TimeLimitPassed(1000, 6001));
}

TEST(TimeLimit, AWrapOfTheTickCounterDoesNoHarm) {
  EXPECT_FALSE(TimeLimitPassed(0xFFFFFF00u, 0x00001000u));  // 4352 ms across the wrap
  EXPECT_TRUE(TimeLimitPassed(0xFFFFFF00u, 0x00001289u));   // 5001 ms across the wrap
}

const UINT kQuitNow = WM_USER + 1;  // its handler raises the first record's quitting flag
const UINT kLater = WM_USER + 2;

// What the test windows received, in order: "paint 1", "later 2"...
std::vector<std::string> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  std::string which = window == wr1.window ? "1" : "2";
  if (message == WM_PAINT) received.push_back("paint " + which);
  if (message == kLater) received.push_back("later " + which);
  if (message == kQuitNow) wr1.quitting = TRUE;
  return DefWindowProcW(window, message, wparam, lparam);
}

// Two visible, already painted windows on the records, and no waitable objects yet.
class MainLoop : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = L"main loop test";
    RegisterClassW(&wc);
    memset(&wr1, 0, sizeof wr1);
    memset(&wr2, 0, sizeof wr2);
    wr1.window = CreateWindowExW(0, wc.lpszClassName, L"one", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    wr2.window = CreateWindowExW(0, wc.lpszClassName, L"two", WS_POPUP | WS_VISIBLE, 60, 0, 50, 50, NULL, NULL, NULL, NULL);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&message);  // paints both
    received.clear();
  }

  void TearDown() override {
    DestroyWindow(wr1.window);
    DestroyWindow(wr2.window);
    for (HANDLE waiter : {wr1.waiter, wr2.waiter}) {
      if (waiter) CloseHandle(waiter);
    }
    memset(&wr1, 0, sizeof wr1);
    memset(&wr2, 0, sizeof wr2);
  }

  static HANDLE Waitable(bool signalled) { return CreateEventW(NULL, FALSE, signalled, NULL); }
};

TEST_F(MainLoop, OnlyTheFirstWindowsObjectForcesRepaintsOfBothInOrder) {
  wr1.waiter = Waitable(false);
  wr2.waiter = Waitable(true);
  PostMessageW(wr1.window, kQuitNow, 0, 0);
  RunMainLoop();
  EXPECT_TRUE(received.empty());  // the second window's signalled object paces nothing

  wr1.quitting = FALSE;
  SetEvent(wr1.waiter);
  PostMessageW(wr1.window, kQuitNow, 0, 0);
  RunMainLoop();
  EXPECT_EQ(received, (std::vector<std::string>{"paint 1", "paint 2"}));
}

TEST_F(MainLoop, AMessageRemovedAfterQuittingIsDropped) {
  PostMessageW(wr1.window, kQuitNow, 0, 0);
  PostMessageW(wr2.window, kLater, 0, 0);
  RunMainLoop();
  EXPECT_TRUE(received.empty());
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, NULL, 0, 0, PM_REMOVE));  // it was taken off the queue
}

TEST_F(MainLoop, AFailedFetchEndsTheLoopWithBothFlagsRaised) {
  PostMessageW(wr2.window, kLater, 0, 0);
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "PeekMessageA#1"}});
  RunMainLoop();
  EXPECT_TRUE(wr1.quitting);
  EXPECT_TRUE(wr2.quitting);
  EXPECT_TRUE(received.empty());  // the failed fetch dispatches nothing, the next is dropped
}

}  // namespace
}  // namespace interlock
