// CommandLineToArgvW against Windows' splitting rules, and the start-up code's quoting, which
// must give the process's own arguments back.
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "command_line_quoting.h"
#include "common/log.h"
#include "support/scoped_knobs.h"

namespace {

std::vector<std::wstring> Split(const wchar_t *line) {
  int count = -1;
  LPWSTR *argv = CommandLineToArgvW(line, &count);
  EXPECT_NE(argv, nullptr);
  std::vector<std::wstring> arguments;
  if (!argv) return arguments;
  for (int i = 0; i < count; ++i) arguments.emplace_back(argv[i]);
  EXPECT_EQ(argv[count], nullptr);
  EXPECT_EQ(LocalFree(argv), nullptr);
  return arguments;
}

using Args = std::vector<std::wstring>;

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

TEST(StartUpQuoting, ArgumentsSurviveTheRoundTrip) {
  const std::vector<Args> cases = {
      {L"--help"},
      {L"--render-texture", L"--compat-gl"},
      {L"", L"", L"x"},
      {L"first blank", L"with blank", L"tab\there"},
      {L"q\"uote", L"q\"uote", L"\"", L"\\\"", L"end\\", L"end with blank\\", L"\\\\server\\share"},
  };
  for (const Args &arguments : cases) {
    std::wstring line = QuoteCommandLine(arguments);
    EXPECT_EQ(Split(line.c_str()), arguments) << "line: " << std::string(line.begin(), line.end());
  }
}

TEST(StartUpQuoting, WidensUtf8) {
  EXPECT_EQ(WidenUtf8("plain"), L"plain");
  EXPECT_EQ(WidenUtf8("gr\xC3\xBC\xC3\x9F"), L"gr\u00FC\u00DF");
  EXPECT_EQ(WidenUtf8("\xE2\x82\xAC"), L"\u20AC");
  EXPECT_EQ(WidenUtf8("bad\xFF"), std::wstring(L"bad") + wchar_t(0xFF));
}

TEST(PlatformOutput, WideTextIsWrittenAsUtf8) {
  for (const char *text : {"plain", "h\xC3\xA9llo", "\xE2\x82\xAC 5", "\xF0\x9F\x98\x80"}) {
    EXPECT_EQ(ilk::Utf8(WidenUtf8(text)), text);
  }
}

}  // namespace
