// The run-time limit of the message loop.
#include <gtest/gtest.h>

#include "app/main_loop.h"

namespace interlock {
namespace {

TEST(TimeLimit, OnlyMoreThan5000MillisecondsEndsTheRun) {
  EXPECT_FALSE(TimeLimitPassed(1000, 1000));
  EXPECT_FALSE(TimeLimitPassed(1000, 6000));  // exactly 5000
  EXPECT_TRUE(TimeLimitPassed(1000, 6001));
}

TEST(TimeLimit, AWrapOfTheTickCounterDoesNoHarm) {
  EXPECT_FALSE(TimeLimitPassed(0xFFFFFF00u, 0x00001000u));   // 4352 ms across the wrap
  EXPECT_TRUE(TimeLimitPassed(0xFFFFFF00u, 0x00001289u));    // 5001 ms across the wrap
}

}  // namespace
}  // namespace interlock
