// printf's %p writes pointers as the Windows C runtime does.
#include <gtest/gtest.h>
#include <stdio.h>

TEST(PrintfPointer, SixteenUpperCaseDigitsWithoutPrefix) {
  char text[128];
  snprintf(text, sizeof text, "dxColor = 0x%p", reinterpret_cast<void *>(0x14fe30));
  EXPECT_STREQ(text, "dxColor = 0x000000000014FE30");
  snprintf(text, sizeof text, "[%p] [%p]", static_cast<void *>(nullptr), reinterpret_cast<void *>(~uintptr_t(0)));
  EXPECT_STREQ(text, "[0000000000000000] [FFFFFFFFFFFFFFFF]");
  snprintf(text, sizeof text, "message 0x%x for window %p (wr %d)", 0x46u, reinterpret_cast<void *>(0x10010), 2);
  EXPECT_STREQ(text, "message 0x46 for window 0000000000010010 (wr 2)");
}
