// Frame metrics of Windows 10 at 96 DPI, and the client area as WM_NCCALCSIZE answers it.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/user32/message_recorder.h"

namespace {

RECT Adjusted(DWORD style, DWORD ex_style = 0) {
  RECT rect = {0, 0, 0, 0};
  EXPECT_TRUE(AdjustWindowRectEx(&rect, style, FALSE, ex_style));
  return rect;
}

TEST(Metrics, FramesOfTheStyles) {
  RECT overlapped = Adjusted(WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(overlapped.left, -8);
  EXPECT_EQ(overlapped.top, -31);
  EXPECT_EQ(overlapped.right, 8);
  EXPECT_EQ(overlapped.bottom, 8);
  RECT popup = Adjusted(WS_POPUP);
  EXPECT_EQ(popup.left, 0);
  EXPECT_EQ(popup.top, 0);
  RECT dialog = Adjusted(WS_POPUP | WS_CAPTION);
  EXPECT_EQ(dialog.left, -3);
  EXPECT_EQ(dialog.top, -26);
  EXPECT_EQ(Adjusted(WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE).left, -3);
  EXPECT_FALSE(AdjustWindowRectEx(NULL, WS_POPUP, FALSE, 0));
}

TEST(Metrics, SystemMetricsAt96Dpi) {
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 23);
  EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CXPADDEDBORDER), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CXMINTRACK), 136);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);  // the headless screen
  EXPECT_EQ(GetSystemMetrics(SM_CYMAXTRACK), GetSystemMetrics(SM_CYSCREEN) + 20);
  EXPECT_EQ(GetSystemMetrics(12345), 0);
}

TEST(Metrics, ClientAreaIsWhatTheProcedureAnswers) {
  MessageRecorder recorder;
  HWND decorated = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1024, 1024);
  RECT client;
  ASSERT_TRUE(GetClientRect(decorated, &client));
  EXPECT_EQ(client.right, 1008);
  EXPECT_EQ(client.bottom, 985);
  HWND popup = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, 1024, 1024);
  GetClientRect(popup, &client);
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 1024);
  // A procedure that answers WM_NCCALCSIZE itself with 0 keeps the whole window as client.
  recorder.intercept = [](HWND, UINT message, WPARAM, LPARAM, LRESULT *result) {
    *result = 0;
    return message == WM_NCCALCSIZE;
  };
  HWND frameless = recorder.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400);
  GetClientRect(frameless, &client);
  EXPECT_EQ(client.right, 500);
  EXPECT_EQ(client.bottom, 400);
  SetWindowPos(frameless, NULL, 0, 0, 600, 450, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(frameless, &client);
  EXPECT_EQ(client.right, 600);
  recorder.intercept = nullptr;
  // Sizable windows are held to the minimum tracking size.
  HWND tiny = recorder.Create(WS_OVERLAPPEDWINDOW, 0, 0, 10, 10);
  RECT rect;
  GetWindowRect(tiny, &rect);
  EXPECT_EQ(rect.right - rect.left, 136);
  EXPECT_EQ(rect.bottom - rect.top, 39);
  for (HWND hwnd : {decorated, popup, frameless, tiny}) DestroyWindow(hwnd);
  DrainMessages();
}

}  // namespace
