// CommandLineToArgvW against Windows' splitting rules.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include "support/command_line_split.h"
#include "support/scoped_knobs.h"

namespace {

TEST(CommandLineToArgvW, FirstElementFollowsProgramNameRules) {
  EXPECT_EQ(Split(L"--help"), Args({L"--help"}));
  EXPECT_EQ(Split(L"a\\\"b c"), Args({L"a\\\"b", L"c"}));  // no escapes in the first element
  EXPECT_EQ(Split(L"\"with blank\" next"), Args({L"with blank", L"next"}));
  EXPECT_EQ(Split(L"\"a\\\" b"), Args({L"a\\", L"b"}));     // a quote ends it, backslash kept
  EXPECT_EQ(Split(L" lead"), Args({L"", L"lead"}));         // a leading blank gives an empty first
}

TEST(CommandLineToArgvW, LaterElementsFollowRuntimeRules) {
  EXPECT_EQ(Split(L"p a\tb   c"), Args({L"p", L"a", L"b", L"c"}));
  EXPECT_EQ(Split(L"p \"a b\" c"), Args({L"p", L"a b", L"c"}));
  EXPECT_EQ(Split(L"p a\\\\\\\"b"), Args({L"p", L"a\\\"b"}));  // 2n+1 backslashes: n and a quote
  EXPECT_EQ(Split(L"p a\\\\\"b c\""), Args({L"p", L"a\\b c"}));  // 2n backslashes: n, quote toggles
  EXPECT_EQ(Split(L"p a\\\\b"), Args({L"p", L"a\\\\b"}));        // backslashes not before a quote stay
  EXPECT_EQ(Split(L"p \"\""), Args({L"p", L""}));                // an empty quoted argument
  EXPECT_EQ(Split(L"p \"a\"\"b\""), Args({L"p", L"a\"b"}));       // a doubled quote inside quotes
  EXPECT_EQ(Split(L"p trailing "), Args({L"p", L"trailing"}));
}

TEST(CommandLineToArgvW, EmptyLineGivesTheProgramPath) {
  Args arguments = Split(L"");
  ASSERT_EQ(arguments.size(), 1u);
  EXPECT_NE(arguments[0].find(L"kernel32_test"), std::wstring::npos);
}

TEST(CommandLineToArgvW, InjectedFailureReturnsNullWithTheCode) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "CommandLineToArgvW#2=1234"}});
  int count = 0;
  LPWSTR *first = CommandLineToArgvW(L"a", &count);
  EXPECT_NE(first, nullptr);
  SetLastError(0);
  EXPECT_EQ(CommandLineToArgvW(L"a", &count), nullptr);
  EXPECT_EQ(GetLastError(), 1234u);
  EXPECT_NE(CommandLineToArgvW(L"a", &count), nullptr);
}

}  // namespace
