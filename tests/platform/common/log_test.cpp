// The platform's log writes wide text as UTF-8.
#include <gtest/gtest.h>

#include "command_line_quoting.h"
#include "common/log.h"

namespace {

TEST(PlatformOutput, WideTextIsWrittenAsUtf8) {
  for (const char *text : {"plain", "h\xC3\xA9llo", "\xE2\x82\xAC 5", "\xF0\x9F\x98\x80"}) {
    EXPECT_EQ(ilk::Utf8(WidenUtf8(text)), text);
  }
}

}  // namespace
