// The command-line switches: defaults, every switch, overriding, repetition, unknown and
// wrong-case arguments, and "--help" wherever it stands.
#include <gtest/gtest.h>

#include <vector>

#include "app/options.h"
#include "support/scoped_knobs.h"

namespace interlock {
namespace {

class Options : public testing::Test {
 protected:
  void SetUp() override { SetDefaultOptions(); }

  // Examines the arguments; returns what ExamineArguments returned and what went to stderr.
  BOOL Examine(std::vector<const wchar_t *> arguments, std::string *box = nullptr) {
    std::vector<LPWSTR> argv;
    for (const wchar_t *argument : arguments) argv.push_back(const_cast<LPWSTR>(argument));
    ScopedKnobs knobs({{"INTERLOCK_MSGBOX", "console"}, {"INTERLOCK_DISPLAY", "headless"}});
    testing::internal::CaptureStderr();
    BOOL go_on = ExamineArguments((int)argv.size(), argv.data());
    std::string err = testing::internal::GetCapturedStderr();
    if (box) *box = err;
    return go_on;
  }
};

TEST_F(Options, DefaultsWithNoSwitch) {
  EXPECT_TRUE(Examine({L"C:\\interlock.exe"}));
  EXPECT_EQ(render_kind, RENDER_BUFFER);
  EXPECT_FALSE(compat_gl);
  EXPECT_FALSE(no_decorations);
  EXPECT_FALSE(share_objects);
  EXPECT_FALSE(allocate_renderbuffers_storage);
  EXPECT_FALSE(bind_renderbuffers);
  EXPECT_FALSE(fatal_gl_erros);
  EXPECT_EQ(deviceflags, 0x20u);
  EXPECT_EQ(factoryflags, 0u);
}

TEST_F(Options, EverySwitchHasItsEffect) {
  EXPECT_TRUE(Examine({L"--render-texture", L"--share-objects", L"--alloc-rb-storage", L"--bind-rb", L"--compat-gl",
                       L"--fatal-gl-errors", L"--debug-device", L"--debug-factory", L"--no-decorations"}));
  EXPECT_EQ(render_kind, RENDER_TEXTURE);
  EXPECT_TRUE(share_objects);
  EXPECT_TRUE(allocate_renderbuffers_storage);
  EXPECT_TRUE(bind_renderbuffers);
  EXPECT_TRUE(compat_gl);
  EXPECT_TRUE(fatal_gl_erros);
  EXPECT_EQ(deviceflags, 0x22u);
  EXPECT_EQ(factoryflags, 1u);
  EXPECT_TRUE(no_decorations);
}

TEST_F(Options, LaterSwitchesOverrideAndRepeatsChangeNothing) {
  EXPECT_TRUE(Examine({L"--render-texture", L"--render-buffer", L"--compat-gl", L"--core-gl", L"--debug-device",
                       L"--debug-device", L"--debug-factory", L"--debug-factory"}));
  EXPECT_EQ(render_kind, RENDER_BUFFER);
  EXPECT_FALSE(compat_gl);
  EXPECT_EQ(deviceflags, 0x22u);
  EXPECT_EQ(factoryflags, 1u);
}

TEST_F(Options, UnknownAndWrongCaseArgumentsAreIgnoredSilently) {
  std::string box;
  EXPECT_TRUE(Examine({L"--HELP", L"--Compat-gl", L"-compat-gl", L"--compat-gl=1", L"", L"help"}, &box));
  EXPECT_FALSE(compat_gl);
  EXPECT_EQ(box, "");
}

TEST_F(Options, HelpShowsTheBoxAndStopsTheExamination) {
  std::string box;
  EXPECT_FALSE(Examine({L"--fatal-gl-errors", L"--help", L"--compat-gl"}, &box));
  EXPECT_TRUE(fatal_gl_erros);
  EXPECT_FALSE(compat_gl);
  EXPECT_NE(box.find("Commandline arguments"), std::string::npos);
  EXPECT_NE(box.find("--no-decorations   - turns of window decorations (disabled by default)"), std::string::npos);

  SetDefaultOptions();
  EXPECT_FALSE(Examine({L"--help", L"--fatal-gl-errors"}));
  EXPECT_FALSE(fatal_gl_erros);
}

TEST(HelpText, SwitchLinesArePaddedTo19Characters) {
  std::wstring text = help_text;
  EXPECT_EQ(text.back(), L'\n');
  size_t start = 0;
  int switch_lines = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    std::wstring line = text.substr(start, end - start);
    if (line.rfind(L"  --", 0) == 0) {
      ++switch_lines;
      EXPECT_EQ(line.substr(21, 2), L"- ") << std::string(line.begin(), line.end());
    }
    start = end + 1;
  }
  EXPECT_EQ(switch_lines, 12);
}

}  // namespace
}  // namespace interlock
