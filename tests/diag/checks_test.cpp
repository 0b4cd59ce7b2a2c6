// The failure checks: report formats, the 1023-character cut, the debugger and box paths, the
// OpenGL error drain with nothing pending, and the debug callback.
#include <gtest/gtest.h>

#include <string>

#include "app/options.h"
#include "diag/checks.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

TEST(ReportFormats, LastErrorAsUnsignedDecimalAndHresultAsLowerCaseHex) {
  EXPECT_STREQ(fmtGLEmsg("GetDC @ 1409", 0), "GetDC @ 1409 (GLE 0)");
  EXPECT_STREQ(fmtGLEmsg("x", 0xFFFFFFFFu), "x (GLE 4294967295)");
  EXPECT_STREQ(fmtHR("IDXGISwapChain1_Present1 @1006", (HRESULT)0x887A0001), "IDXGISwapChain1_Present1 @1006 (HRESULT 0x887a0001)");
  EXPECT_STREQ(fmtHR("x", E_FAIL), "x (HRESULT 0x80004005)");
  EXPECT_EQ(fmtHR("x", E_FAIL), msgbuf);
}

TEST(ReportFormats, LongReportsAreCutToExactly1023Characters) {
  std::string location(2000, 'L');
  fmtGLEmsg(location.c_str(), 5);
  EXPECT_EQ(strlen(msgbuf), 1023u);
  EXPECT_EQ(std::string(msgbuf), location.substr(0, 1023));
  fmtHR(location.c_str(), E_FAIL);
  EXPECT_EQ(strlen(msgbuf), 1023u);
}

TEST(CheckGLE, WithDebuggerPrintsTheReportThenTrapsAndContinues) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", "continue"}});
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  SetLastError(1400);
  CheckGLE((HWND) nullptr, "CreateWindowA for a temp window @1310");
  SetLastError(0);
  CheckGLE(FALSE, "GetDC @ 1409");
  CheckGLE(TRUE, "never reported");
  CheckGLE(7, "never reported either");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Assertion failure: CreateWindowA for a temp window @1310 (GLE 1400)\n"
            "Assertion failure: GetDC @ 1409 (GLE 0)\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "interlock: debugger break\ninterlock: debugger break\n");
}

TEST(CheckHR, WithDebuggerTrapsSilently) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", "continue"}});
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  CheckHR(E_INVALIDARG, "D3D11CreateDevice @1225");
  CheckHR(S_FALSE, "not a failure");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "interlock: debugger break\n");
}

TEST(ChecksDeathTest, WithoutDebuggerShowTheBoxThenEndWithStatus3) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", nullptr}, {"INTERLOCK_MSGBOX", "console"}, {"INTERLOCK_DISPLAY", "headless"}});
  EXPECT_EXIT(CheckHR(E_FAIL, "CreateDXGIFactory2 @1233"), testing::ExitedWithCode(3),
              "Assertion failure(.|\n)*CreateDXGIFactory2 @1233 \\(HRESULT 0x80004005\\)");
  EXPECT_EXIT((SetLastError(31), CheckGLE(FALSE, "CommandLineToArgvW @1783")), testing::ExitedWithCode(3),
              "Assertion failure(.|\n)*CommandLineToArgvW @1783 \\(GLE 31\\)");
}

TEST(DumpGLErrors, EmptyQueuePrintsNothingAndNeverTraps) {
  ScopedKnobs knobs({{"INTERLOCK_DEBUGGER", "continue"}});
  fatal_gl_erros = TRUE;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  DumpGLErrors("glBindFramebuffer @929");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  fatal_gl_erros = FALSE;
}

TEST(DebugCallback, SendsTheMessageAndALineBreakToTheDebugger) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  DebugCallback(0, 0, 0, 0, 5, "hello", nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "hello\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
}  // namespace interlock
