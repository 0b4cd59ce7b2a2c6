// Start-up and shutdown: run options, system entry points, the window class, the two windows
// with their renderers, the message loop and the shutdown.
#include "app/start_up.h"

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "app/main_loop.h"
#include "app/options.h"
#include "app/system_entry_points.h"
#include "diag/checks.h"
#include "present/window_proc.h"
#include "renderer/window_renderer.h"

namespace interlock {

namespace {

const DWORD kWindowExStyle = WS_EX_NOREDIRECTIONBITMAP | WS_EX_APPWINDOW;
const int kWindowSize = 1024;

}  // namespace

void RegisterWindowClass(HINSTANCE module) {
  WNDCLASSW wc;
  memset(&wc, 0, sizeof wc);
  wc.style = 0;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(0);
  wc.lpszClassName = L"window";
  RegisterClassW(&wc);
}

void OpenWindow(HINSTANCE module, window_renderer *wr, const wchar_t *title, int x, int y) {
  DWORD style = no_decorations ? (WS_POPUP | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  wr->window = CreateWindowExW(kWindowExStyle, L"window", title, style, x, y, kWindowSize, kWindowSize, NULL, NULL,
                               module, wr);
  Create(wr);
  // Empty unless GetClientRect fills it, as in the Direct3D phase.
  RECT window_size = {0, 0, 0, 0};
  GetClientRect(wr->window, &window_size);
  Resize(wr, (DWORD)(window_size.right - window_size.left), (DWORD)(window_size.bottom - window_size.top));
}

void ShutDown() {
  if (wr1.waiter) CloseHandle(wr1.waiter);
  if (wr2.waiter) CloseHandle(wr2.waiter);
  DestroyWindow(wr1.window);
  DestroyWindow(wr2.window);
  puts("end");
  if (debug) {
    debug->ReportLiveObjects(DXGI_DEBUG_ALL, DXGI_DEBUG_RLO_ALL);
    debug->Release();
  }
  fflush(stdout);
  fflush(stderr);
  if (IsDebuggerPresent()) DebugBreak();
}

int Run(HINSTANCE module, PWSTR commandline) {
  int wargc = 0;
  LPWSTR *wargv = CommandLineToArgvW(commandline, &wargc);
  CheckGLE(wargv, "CommandLineToArgvW @1783");

  ResolveSystemEntryPoints();
  if (SetProcessDpiAwareness) SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE);

  SetDefaultOptions();
  // After a failed split the vector is not valid: the run goes on with the defaults.
  if (wargv && !ExamineArguments(wargc, wargv)) return 1;

  RegisterWindowClass(module);

  debug = nullptr;
  if (DXGIGetDebugInterface) DXGIGetDebugInterface(IID_IDXGIDebug, reinterpret_cast<void **>(&debug));

  memset(&wr1, 0, sizeof wr1);
  memset(&wr2, 0, sizeof wr2);
  OpenWindow(module, &wr1, L"Sample 1", 0, 0);
  OpenWindow(module, &wr2, L"Sample 2", kWindowSize, kWindowSize);

  RunMainLoop();
  ShutDown();
  return 0;
}

}  // namespace interlock
