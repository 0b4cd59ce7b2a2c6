// Painting and the message queue: WM_PAINT only when nothing else waits, RedrawWindow's
// immediate update, BeginPaint's erasing, character translation, device contexts, injected
// failures and the console message box.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/user32/message_recorder.h"
#include "support/scoped_knobs.h"

namespace {

using Numbers = std::vector<UINT>;

class Painting : public ::testing::Test {
 protected:
  void SetUp() override {
    hwnd_ = recorder_.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 300);
    ASSERT_NE(hwnd_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(hwnd_);
    DrainMessages();
  }

  MessageRecorder recorder_;
  HWND hwnd_ = nullptr;
};

TEST_F(Painting, PaintComesAfterPostedMessagesAndStopsOnceValidated) {
  PostMessageW(hwnd_, WM_USER, 1, 2);
  MSG msg;
  ASSERT_GT(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
  EXPECT_EQ(msg.message, (UINT)WM_USER);
  EXPECT_EQ(msg.wParam, (WPARAM)1);
  ASSERT_GT(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE), 0);
  EXPECT_EQ(msg.message, (UINT)WM_PAINT);
  EXPECT_EQ(msg.hwnd, hwnd_);
  ASSERT_GT(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
  DispatchMessageW(&msg);  // DefWindowProcW validates
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
}

TEST_F(Painting, UnvalidatedWindowKeepsGettingPaint) {
  DrainMessages();
  recorder_.intercept = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *result) {
    *result = 0;
    return message == WM_PAINT;  // swallowed: the window stays invalid
  };
  InvalidateRect(hwnd_, NULL, FALSE);
  MSG msg;
  for (int i = 0; i < 3; ++i) {
    ASSERT_GT(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
    EXPECT_EQ(msg.message, (UINT)WM_PAINT);
    DispatchMessageW(&msg);
  }
  recorder_.intercept = nullptr;
  ValidateRect(hwnd_, NULL);
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
}

TEST_F(Painting, RedrawWithUpdateNowPaintsBeforeReturning) {
  DrainMessages();
  recorder_.Clear();
  EXPECT_TRUE(RedrawWindow(hwnd_, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN));
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_PAINT}));
  MSG msg;
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);

  recorder_.Clear();
  RedrawWindow(hwnd_, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  EXPECT_TRUE(recorder_.Numbers().empty());  // without RDW_UPDATENOW it waits for the loop
  EXPECT_GT(DrainMessages(), 0);
  EXPECT_EQ(recorder_.Numbers(), Numbers({WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}));  // from BeginPaint
}

TEST_F(Painting, BeginPaintReportsTheUpdateRectangle) {
  DrainMessages();
  RECT part = {10, 20, 30, 40};
  InvalidateRect(hwnd_, &part, TRUE);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  EXPECT_EQ(dc, GetDC(hwnd_));
  EXPECT_EQ(paint.rcPaint.left, 10);
  EXPECT_EQ(paint.rcPaint.bottom, 40);
  EXPECT_FALSE(paint.fErase);  // the class brush erased it
  EXPECT_TRUE(EndPaint(hwnd_, &paint));
  MSG msg;
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
}

TEST_F(Painting, HiddenWindowsAreNeverPainted) {
  HWND hidden = recorder_.Create(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
  DrainMessages();
  EXPECT_TRUE(InvalidateRect(hidden, NULL, TRUE));
  MSG msg;
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
  DestroyWindow(hidden);
}

TEST_F(Painting, KeyDownTranslatesToTheUsLayoutCharacter) {
  DrainMessages();
  MSG key = {hwnd_, WM_KEYDOWN, VK_OEM_PLUS, 1, 0, {0, 0}};
  EXPECT_TRUE(TranslateMessage(&key));
  MSG msg;
  ASSERT_GT(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
  EXPECT_EQ(msg.message, (UINT)WM_CHAR);
  EXPECT_EQ(msg.wParam, (WPARAM)'=');
  key.wParam = 'Q';
  TranslateMessage(&key);
  PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
  EXPECT_EQ(msg.wParam, (WPARAM)'q');
  key.wParam = VK_SHIFT;
  TranslateMessage(&key);
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), 0);
}

TEST_F(Painting, DeviceContextsLeadBackToTheirWindow) {
  HDC dc = GetDC(hwnd_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(WindowFromDC(dc), hwnd_);
  EXPECT_EQ(ReleaseDC(hwnd_, dc), 1);
  HDC screen = GetDC(NULL);
  EXPECT_NE(screen, nullptr);
  EXPECT_EQ(WindowFromDC(screen), nullptr);
  EXPECT_EQ(ReleaseDC(NULL, screen), 1);
  HWND other = recorder_.Create(WS_POPUP, 0, 0, 10, 10);
  EXPECT_NE(GetDC(other), dc);
  DestroyWindow(other);
  EXPECT_EQ(WindowFromDC(GetDC(other)), nullptr);
}

TEST_F(Painting, InjectedFailuresSetTheLastError) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "GetDC,CreateWindowExW#1=1400"}});
  SetLastError(0);
  EXPECT_EQ(GetDC(hwnd_), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_GEN_FAILURE);
  recorder_.Clear();
  EXPECT_EQ(recorder_.Create(WS_POPUP, 0, 0, 10, 10), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)1400);
  EXPECT_TRUE(recorder_.Numbers().empty());
}

TEST(MessageBoxConsole, WritesCaptionAndEachLineThenAnswersTheFirstButton) {
  ScopedKnobs knobs({{"INTERLOCK_MSGBOX", "console"}});
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(NULL, "first line\nsecond line\n", "Caption", MB_OK), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "interlock: Caption\ninterlock: first line\ninterlock: second line\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxW(NULL, L"question", L"Wide", MB_YESNO), IDYES);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "interlock: Wide\ninterlock: question\n");
}

}  // namespace
