// Message sequences of the window manager against those Windows produces (as Wine's user32
// conformance tests record them): creation, showing and activation, destruction, SetWindowPos
// with its fix-ups and the flags it refuses, closing, and the move/size command without a held
// button.
#include <gtest/gtest.h>
#include <algorithm>
#include <windows.h>

#include "platform/user32/message_recorder.h"

namespace {

using Numbers = std::vector<UINT>;

class WindowMessages : public ::testing::Test {
 protected:
  void TearDown() override {
    recorder_.intercept = nullptr;  // it may refer to the finished test's locals
    for (HWND hwnd : windows_) DestroyWindow(hwnd);
    DrainMessages();
  }

  HWND Make(DWORD style, int x = 100, int y = 100, int width = 300, int height = 300) {
    HWND hwnd = recorder_.Create(style, x, y, width, height);
    EXPECT_NE(hwnd, nullptr);
    windows_.push_back(hwnd);
    return hwnd;
  }

  const RecordedMessage *Find(UINT message) {
    for (const RecordedMessage &m : recorder_.messages()) {
      if (m.message == message) return &m;
    }
    return nullptr;
  }

  MessageRecorder recorder_;
  std::vector<HWND> windows_;
};

// The second WM_WINDOWPOSCHANGING is the activation's raise, which changes nothing more.
const Numbers kShowAndActivate = {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGING, WM_ACTIVATEAPP,
                                  WM_NCACTIVATE, WM_ACTIVATE,          WM_SETFOCUS,          WM_NCPAINT,
                                  WM_ERASEBKGND, WM_WINDOWPOSCHANGED};

Numbers Concat(Numbers head, const Numbers &tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TEST_F(WindowMessages, VisibleOverlappedCreationShowsActivatesAndSizes) {
  Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_EQ(recorder_.Numbers(), Concat(Concat({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE},
                                               kShowAndActivate),
                                        {WM_SIZE, WM_MOVE}));
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGING)->pos_flags, (UINT)(SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE));
  // A new window is on top already: its Z order does not change.
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGED)->pos_flags,
            (UINT)(SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE));
  EXPECT_EQ(Find(WM_NCCALCSIZE)->wparam, (WPARAM)FALSE);
  EXPECT_EQ(Find(WM_ACTIVATE)->wparam, (WPARAM)WA_ACTIVE);
}

TEST_F(WindowMessages, PopupCreationAsksNoLimitsAndHiddenCreationStopsAtCreate) {
  Make(WS_POPUP | WS_VISIBLE);
  // A popup learns its size and place right after WM_CREATE.
  EXPECT_EQ(recorder_.Numbers(), Concat({WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}, kShowAndActivate));
  recorder_.Clear();
  Make(WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
}

TEST_F(WindowMessages, SecondWindowTakesActivationAndFocusFromTheFirst) {
  HWND first = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  recorder_.Clear();
  HWND second = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400);
  EXPECT_EQ(recorder_.Numbers(first), Numbers({WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS}));
  EXPECT_EQ(recorder_.Numbers(second),
            Numbers({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING,
                     WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_NCPAINT, WM_ERASEBKGND,
                     WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}));
  // The old window is deactivated before the new one is raised and activated; focus moves after
  // both.
  Numbers all = recorder_.Numbers();
  Numbers middle(all.begin() + 6, all.begin() + 14);
  EXPECT_EQ(middle, Numbers({WM_NCACTIVATE, WM_ACTIVATE, WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE,
                             WM_KILLFOCUS, WM_SETFOCUS, WM_NCPAINT}));
  EXPECT_EQ(GetActiveWindow(), second);
  EXPECT_EQ(GetForegroundWindow(), second);
}

TEST_F(WindowMessages, DestroyingAnInactiveWindowHidesItThenDestroys) {
  HWND first = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400);
  recorder_.Clear();
  EXPECT_TRUE(DestroyWindow(first));
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_DESTROY, WM_NCDESTROY}));
  UINT hide = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGING)->pos_flags, hide);
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGED)->pos_flags, hide | SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE);
}

TEST_F(WindowMessages, DestroyingTheLastActiveWindowDeactivatesTheApplication) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  recorder_.Clear();
  DestroyWindow(hwnd);
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE,
                                          WM_ACTIVATEAPP, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(Find(WM_ACTIVATEAPP)->wparam, (WPARAM)FALSE);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(WindowMessages, DestroyingTheActiveWindowActivatesTheNextOne) {
  HWND first = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND second = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400);
  recorder_.Clear();
  DestroyWindow(second);
  EXPECT_EQ(recorder_.Numbers(second), Numbers({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE,
                                                WM_ACTIVATE, WM_KILLFOCUS, WM_DESTROY, WM_NCDESTROY}));
  // The next window is raised to the top (a change of Z order) as it is activated.
  EXPECT_EQ(recorder_.Numbers(first),
            Numbers({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
  EXPECT_EQ(GetActiveWindow(), first);
}

TEST_F(WindowMessages, ActivationPassesDownTheZOrder) {
  HWND a = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND b = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200);
  HWND c = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300);  // order: c, b, a
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // c, a, b
  DestroyWindow(c);
  EXPECT_EQ(GetActiveWindow(), a);
  SetWindowPos(b, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // still a, b
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // b, a
  DestroyWindow(a);
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(WindowMessages, ResizeFollowsWindowsSequence) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  DrainMessages();
  recorder_.Clear();
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE;
  EXPECT_TRUE(SetWindowPos(hwnd, NULL, 0, 0, 250, 250, flags));  // smaller: nothing to erase
  EXPECT_EQ(recorder_.Numbers(),
            Numbers({WM_WINDOWPOSCHANGING, WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_NCPAINT, WM_WINDOWPOSCHANGED, WM_SIZE}));
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGING)->pos_flags, flags);
  EXPECT_EQ(Find(WM_NCCALCSIZE)->wparam, (WPARAM)TRUE);
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGED)->pos_flags, flags | SWP_NOCLIENTMOVE);
  recorder_.Clear();
  SetWindowPos(hwnd, NULL, 0, 0, 400, 400, flags);  // larger: the uncovered part is erased
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_WINDOWPOSCHANGING, WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_NCPAINT,
                                          WM_ERASEBKGND, WM_WINDOWPOSCHANGED, WM_SIZE}));
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 400 - 16);
  EXPECT_EQ(client.bottom, 400 - 39);
}

TEST_F(WindowMessages, MoveSendsOnlyPositionMessages) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  recorder_.Clear();
  SetWindowPos(hwnd, NULL, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGED)->pos_flags, (UINT)(SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCLIENTSIZE));
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.left, 150);
  EXPECT_EQ(rect.top, 120);
  EXPECT_EQ(rect.right, 450);
}

TEST_F(WindowMessages, UnchangedSizeAndPositionChangeNothing) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  recorder_.Clear();
  SetWindowPos(hwnd, NULL, 100, 100, 300, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  // WM_WINDOWPOSCHANGING carries the request as made, so DefWindowProcW asks the limits of the
  // size; nothing changes and nothing more is sent.
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_WINDOWPOSCHANGING, WM_GETMINMAXINFO}));
  EXPECT_EQ(Find(WM_WINDOWPOSCHANGING)->pos_flags, (UINT)(SWP_NOZORDER | SWP_NOACTIVATE));
}

TEST_F(WindowMessages, ProcedureMayChangeTheRequestAndNegativeSizesBecomeZero) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE);
  int seen_cx = -1;
  recorder_.intercept = [&](HWND, UINT message, WPARAM, LPARAM lparam, LRESULT *) {
    if (message == WM_WINDOWPOSCHANGING) {
      WINDOWPOS *pos = reinterpret_cast<WINDOWPOS *>(lparam);
      seen_cx = pos->cx;
      pos->cy = 77;
    }
    return false;
  };
  SetWindowPos(hwnd, NULL, 0, 0, -5, 10, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(seen_cx, 0);
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 77);
}

TEST_F(WindowMessages, ZeroFlagsRaiseAndActivate) {
  HWND first = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400);
  recorder_.Clear();
  SetWindowPos(first, NULL, 90, 90, 310, 310, 0);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(recorder_.Numbers(first),
            Numbers({WM_WINDOWPOSCHANGING, WM_GETMINMAXINFO, WM_NCCALCSIZE, WM_WINDOWPOSCHANGING, WM_NCACTIVATE,
                     WM_ACTIVATE, WM_SETFOCUS, WM_NCPAINT, WM_ERASEBKGND, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
}

// Windows sends nothing for a caller's SWP_NOCLIENTSIZE or SWP_NOCLIENTMOVE; the call fails
// here with ERROR_INVALID_FLAGS and leaves the window as it was.
TEST_F(WindowMessages, CallersInternalFlagsFailAndChangeNothing) {
  HWND hwnd = Make(WS_POPUP);
  recorder_.Clear();
  for (UINT internal : {SWP_NOCLIENTSIZE, SWP_NOCLIENTMOVE}) {
    SetLastError(0);
    EXPECT_FALSE(SetWindowPos(hwnd, HWND_TOPMOST, 10, 20, 30, 40, internal | SWP_SHOWWINDOW));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_FLAGS);
  }
  EXPECT_TRUE(recorder_.Numbers().empty());
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_NE(GetActiveWindow(), hwnd);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.right, 400);
}

TEST_F(WindowMessages, CloseDestroysPurgesTheQueueAndHandlesAreNeverReused) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  PostMessageW(hwnd, WM_USER, 0, 0);
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  MSG msg;
  EXPECT_EQ(PeekMessageA(&msg, NULL, WM_USER, WM_USER, PM_REMOVE), 0);
  EXPECT_FALSE(IsWindow(hwnd));
  RECT rect;
  SetLastError(0);
  EXPECT_FALSE(GetWindowRect(hwnd, &rect));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(DestroyWindow(hwnd));
  EXPECT_FALSE(PostMessageW(hwnd, WM_USER, 0, 0));
  HWND next = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  EXPECT_NE(next, hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowMessages, RefusedOrDestroyedCreationFails) {
  recorder_.intercept = [](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT *result) {
    if (message == WM_CREATE) DestroyWindow(hwnd);
    *result = 0;
    return message == WM_CREATE;
  };
  EXPECT_EQ(recorder_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200), nullptr);
  recorder_.Clear();
  recorder_.intercept = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *result) {
    *result = FALSE;
    return message == WM_NCCREATE;
  };
  EXPECT_EQ(recorder_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200), nullptr);
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCDESTROY}));
}

TEST_F(WindowMessages, CaptionPressWithoutAHeldButtonStartsNoMoveLoop) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  recorder_.Clear();
  SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(150, 110));
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_NCLBUTTONDOWN, WM_SYSCOMMAND}));
  EXPECT_EQ(recorder_.messages()[1].wparam, (WPARAM)(SC_MOVE + HTCAPTION));
}

TEST_F(WindowMessages, KeyboardLoopMovesBySteppedArrowsAndReturnKeepsTheResult) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  DrainMessages();
  recorder_.Clear();
  PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 1);
  PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MOVE, 0);
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.left, 108);
  EXPECT_EQ(rect.top, 108);
  EXPECT_EQ(rect.right - rect.left, 300);
  Numbers numbers = recorder_.Numbers();
  EXPECT_EQ(std::count(numbers.begin(), numbers.end(), (UINT)WM_MOVING), 2);
  EXPECT_EQ(numbers.back(), (UINT)WM_EXITSIZEMOVE);
}

TEST_F(WindowMessages, KeyboardSizeLoopSizesTheFirstArrowsEdgeAndEscapePutsItBack) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  DrainMessages();
  RECT sized = {};
  recorder_.intercept = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT *) {
    if (message == WM_SIZING) GetWindowRect(hwnd, &sized);
    return false;
  };
  PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 1);
  PostMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 1);
  PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_SIZE, 0);
  EXPECT_EQ(sized.right - sized.left, 308);  // the first step had been made when the second came
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.right - rect.left, 300);
  EXPECT_EQ(rect.left, 100);
}

}  // namespace
