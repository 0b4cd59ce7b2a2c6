// Windows belong to the thread that created them (platform/README.md): another thread that uses
// one, or uses the message queue while the windows' thread has windows, is caught as an
// assertion is; asking whether a window lives and finding a DC's window are for any thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

namespace {

class WindowThreads : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

  static HWND MakeWindow() {
    return CreateWindowExA(0, "STATIC", "owned", 0, 0, 0, 32, 32, nullptr, nullptr, nullptr, nullptr);
  }
};

template <typename Body>
void OnAnotherThread(Body body) {
  std::thread(body).join();
}

const char kCaught[] = "interlock: window .* used by a thread that does not own it";

TEST_F(WindowThreads, AWindowUsedByAnotherThreadIsCaught) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_DEATH(OnAnotherThread([&] {
                 RECT rect;
                 GetClientRect(window, &rect);
               }),
               kCaught);
  EXPECT_DEATH(OnAnotherThread([&] { SendMessageW(window, WM_NULL, 0, 0); }), kCaught);
  EXPECT_DEATH(OnAnotherThread([&] { PostMessageW(window, WM_NULL, 0, 0); }), kCaught);
  EXPECT_DEATH(OnAnotherThread([&] { DestroyWindow(window); }), kCaught);
  EXPECT_TRUE(DestroyWindow(window));
}

TEST_F(WindowThreads, AnyThreadMayAskWhetherAWindowLivesAndWhichWindowADCBelongsTo) {
  HWND window = MakeWindow();
  HDC dc = GetDC(window);
  BOOL alive = FALSE;
  HWND found = nullptr;
  OnAnotherThread([&] {
    alive = IsWindow(window);
    found = WindowFromDC(dc);
  });
  EXPECT_TRUE(alive);
  EXPECT_EQ(found, window);
  ReleaseDC(window, dc);
  DestroyWindow(window);
}

TEST_F(WindowThreads, WhileOneThreadHasWindowsNoOtherMakesOneOrUsesTheQueue) {
  HWND window = MakeWindow();
  EXPECT_DEATH(OnAnotherThread([] { MakeWindow(); }), kCaught);
  EXPECT_DEATH(OnAnotherThread([] {
                 MSG msg;
                 PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
               }),
               "interlock: the message queue used by a thread that has no windows while another has");
  DestroyWindow(window);
}

TEST_F(WindowThreads, OnceItsWindowsAreGoneAnotherThreadMayHaveWindows) {
  DestroyWindow(MakeWindow());
  bool made = false;
  OnAnotherThread([&] {
    HWND window = MakeWindow();
    made = window != nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    DestroyWindow(window);
  });
  EXPECT_TRUE(made);
}

}  // namespace
