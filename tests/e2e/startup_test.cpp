// The program as a user runs it: the help text, a plain run, output that cannot be written,
// failure reports with and without a debugger, and a system without the DXGI debug library.
#include <gtest/gtest.h>

#include <chrono>

#include "support/program_run.h"

namespace {

const char kHelpText[] =
    "Possible arguments\n"
    "Rendering primitive (mutually exclusive):\n"
    "  --render-buffer    - use render buffers (nVidia, default)\n"
    "  --render-texture   - use textures (AMD)\n"
    "GL profile (mutually exclusive):\n"
    "  --compat-gl        - request WGL_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB\n"
    "  --core-gl          - request WGL_CONTEXT_CORE_PROFILE_BIT_ARB (default)\n"
    "Misc:\n"
    "  --share-objects    - set up objects for sharing (disabled by default)\n"
    "  --bind-rb          - bind render buffers when using them (disabled by default)\n"
    "  --alloc-rb-storage - allocate storage for render buffers when using them (disabled by default)\n"
    "  --debug-device     - enable device debugging (disabled by default)\n"
    "  --debug-factory    - enable factory debugging (disabled by default)\n"
    "  --fatal-gl-errors  - crash on any GL error (disabled by default)\n"
    "  --no-decorations   - turns of window decorations (disabled by default)\n"
    "  --help             - show this message\n";

// The console message box writes each line of caption and text behind "interlock: ".
std::string WithoutPrefixes(const std::string &text) {
  std::string plain;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (line.rfind("interlock: ", 0) == 0) line.erase(0, 11);
    plain += line + "\n";
    start = end + 1;
  }
  return plain;
}

TEST(Startup, HelpShowsTheTextAndEndsWithStatus1BeforeAnyWindow) {
  for (const auto &arguments : {std::vector<std::string>{"--help"}, {"--fatal-gl-errors", "--help", "--compat-gl"}}) {
    ProgramRun run = RunProgram(INTERLOCK_BINARY, arguments, {{"INTERLOCK_MSGBOX", "console"}});
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.out, "");  // no window, so no message trace and no "end"
    std::string box = WithoutPrefixes(run.err);
    EXPECT_NE(box.find("Commandline arguments"), std::string::npos) << run.err;
    EXPECT_NE(box.find(kHelpText), std::string::npos) << run.err;
  }
}

// Platform output is UTF-8 in any locale; the program's own output does not change.
TEST(Startup, NonAsciiArgumentsAreTracedWholeInTheCLocale) {
  ProgramRun plain = RunProgram(INTERLOCK_BINARY, {"h\xC3\xA9llo"}, {{"LC_ALL", "C"}});
  ProgramRun traced = RunProgram(INTERLOCK_BINARY, {"h\xC3\xA9llo"}, {{"LC_ALL", "C"}, {"INTERLOCK_TRACE", "1"}});
  EXPECT_EQ(traced.exit_status, 0);
  EXPECT_NE(traced.err.find("interlock: trace: CommandLineToArgvW(\"h\xC3\xA9llo\") = "), std::string::npos)
      << traced.err.substr(0, 2000);
  EXPECT_EQ(traced.out.size(), plain.out.size());
}

TEST(Startup, PlainRunEndsWithEndAndStatus0) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  std::vector<std::string> lines = run.OutLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "end");
  EXPECT_EQ(run.out.find("Assertion failure"), std::string::npos) << run.out;
}

// Output that could not be written is not passed over: a line on standard error says what was
// lost and why, and the run ends with a status of its own.
TEST(Startup, OutputThatCouldNotBeWrittenIsReportedWithStatus5) {
  ProgramRun full_output = RunProgram("/bin/sh", {"-c", "exec \"$0\" > /dev/full", INTERLOCK_BINARY});
  EXPECT_EQ(full_output.exit_status, 5);
  EXPECT_NE(full_output.err.find("interlock: could not write "), std::string::npos) << full_output.err;
  EXPECT_NE(full_output.err.find(" bytes to standard output (No space left on device); they are lost\n"),
            std::string::npos)
      << full_output.err;

  // Standard error cannot say so itself; the program's output is whole.
  ProgramRun full_error =
      RunProgram("/bin/sh", {"-c", "exec \"$0\" 2> /dev/full", INTERLOCK_BINARY}, {{"INTERLOCK_TRACE", "1"}});
  EXPECT_EQ(full_error.exit_status, 5);
  ASSERT_FALSE(full_error.OutLines().empty());
  EXPECT_EQ(full_error.OutLines().back(), "end");
}

TEST(Startup, FailedSplitIsReportedAndTheRunGoesOnWithDefaults) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {"--help"},
                              {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", "CommandLineToArgvW"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  std::vector<std::string> lines = run.OutLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Assertion failure: CommandLineToArgvW @1783 (GLE 31)");
  EXPECT_EQ(lines.back(), "end");
  EXPECT_NE(run.err.find("interlock: debugger break"), std::string::npos);
}

TEST(Startup, WithoutADebuggerAFailedCheckShowsTheBoxAndEndsWithStatus3) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {},
                              {{"INTERLOCK_MSGBOX", "console"}, {"INTERLOCK_FAIL", "CommandLineToArgvW=8"}});
  EXPECT_EQ(run.exit_status, 3);
  std::string box = WithoutPrefixes(run.err);
  EXPECT_NE(box.find("Assertion failure"), std::string::npos) << run.err;
  EXPECT_NE(box.find("CommandLineToArgvW @1783 (GLE 8)"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
}

TEST(Startup, MissingEntryPointsAreReportedInOrder) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {"--help"},
                              {{"INTERLOCK_DEBUGGER", "continue"},
                               {"INTERLOCK_MSGBOX", "console"},
                               {"INTERLOCK_HIDE", "CreateDXGIFactory2,dcomp.dll,SetProcessDpiAwareness"}});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out,
            "Assertion failure: GetProcAddress for CreateDXGIFactory2 @1786 (GLE 127)\n"
            "Assertion failure: GetProcAddress for DCompositionCreateDevice @1789 (GLE 127)\n"
            "Assertion failure: GetProcAddress for SetProcessDpiAwareness @1794 (GLE 127)\n");
}

TEST(Startup, MissingEntryPointsAreNeverCalled) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {},
                              {{"INTERLOCK_DEBUGGER", "continue"},
                               {"INTERLOCK_HIDE", "CreateDXGIFactory2,DCompositionCreateDevice,SetProcessDpiAwareness"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  std::vector<std::string> lines = run.OutLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Assertion failure: GetProcAddress for CreateDXGIFactory2 @1786 (GLE 127)");
  EXPECT_EQ(lines[1], "Assertion failure: GetProcAddress for DCompositionCreateDevice @1789 (GLE 127)");
  EXPECT_EQ(lines[2], "Assertion failure: GetProcAddress for SetProcessDpiAwareness @1794 (GLE 127)");
  EXPECT_EQ(lines.back(), "end");
}

TEST(Startup, NoDxgiDebugLibraryMeansNoReportAtAll) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {},
                              {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_HIDE", "dxgidebug.dll"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out.find("Assertion failure"), std::string::npos) << run.out;
  EXPECT_EQ(run.err.find("debugger break"), run.err.rfind("debugger break")) << run.err;  // only shutdown's
  EXPECT_EQ(run.err.find("Live "), std::string::npos) << run.err;  // no frame, teardown or exit report
  EXPECT_EQ(run.OutLines().back(), "end");
}

// With the debugger library present the same run does report, so the absence above is the
// library's doing.
TEST(Startup, TheDxgiDebugLibraryReportsAroundFramesTeardownsAndExit) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_DEBUGGER", "continue"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.err.find("Live ID3D11Device"), std::string::npos) << run.err;
}

// The loop's time limit: a run whose windows never paint (their render targets fail) ends
// on its own, after about five seconds, in the normal shutdown.
TEST(Startup, ARunThatNeverPaintsEndsAfterAboutFiveSeconds) {
  auto start = std::chrono::steady_clock::now();
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {},
                              {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", "CreateRenderTargetView"}});
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out.find("locking..."), std::string::npos) << run.out;
  EXPECT_EQ(run.OutLines().back(), "end");
  EXPECT_GT(seconds, 4.5);
  EXPECT_LT(seconds, 30.0);
}

}  // namespace
