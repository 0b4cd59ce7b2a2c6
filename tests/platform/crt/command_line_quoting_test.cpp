// The start-up code's quoting, which must give the process's own arguments back through
// CommandLineToArgvW, and its reading of UTF-8 arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line_quoting.h"
#include "support/command_line_split.h"

namespace {

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

}  // namespace
