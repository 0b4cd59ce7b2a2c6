// The process DPI awareness can be set once.
#include <gtest/gtest.h>
#include <shellscalingapi.h>
#include <windows.h>

TEST(SetProcessDpiAwareness, SecondCallIsRefused) {
  EXPECT_EQ(SetProcessDpiAwareness((PROCESS_DPI_AWARENESS)3), E_INVALIDARG);  // no such awareness
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE), S_OK);
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_SYSTEM_DPI_AWARE), E_ACCESSDENIED);
  EXPECT_EQ(SetProcessDpiAwareness(PROCESS_PER_MONITOR_DPI_AWARE), E_ACCESSDENIED);
  PROCESS_DPI_AWARENESS awareness = PROCESS_DPI_UNAWARE;
  EXPECT_EQ(GetProcessDpiAwareness(nullptr, &awareness), S_OK);
  EXPECT_EQ(awareness, PROCESS_SYSTEM_DPI_AWARE);
}
