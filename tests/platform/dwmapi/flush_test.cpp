// DwmFlush: S_OK on an idle desktop, as on Windows with composition always on, and E_FAIL for
// the call INTERLOCK_FAIL names, traced as the call's result.
#include <gtest/gtest.h>
#include <windows.h>
#include <dwmapi.h>

#include <string>

#include "support/scoped_knobs.h"

namespace {

TEST(DwmFlush, SucceedsOnAnIdleDesktopAndFailsAsToldWithATrace) {
  EXPECT_EQ(DwmFlush(), S_OK);
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "DwmFlush#2"}, {"INTERLOCK_TRACE", "1"}});
  testing::internal::CaptureStderr();
  EXPECT_EQ(DwmFlush(), S_OK);
  EXPECT_EQ(DwmFlush(), E_FAIL);
  std::string trace = testing::internal::GetCapturedStderr();
  EXPECT_NE(trace.find("DwmFlush() = 0x00000000"), std::string::npos);
  EXPECT_NE(trace.find("DwmFlush() = 0x80004005"), std::string::npos);
}

}  // namespace
