// Whole runs of the program that paint: the exact output of a plain run, the triangle in the
// captured frames of both windows for every sharing variant, and the location texts of the
// frame and the teardown.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <map>

#include "platform/display/xvfb_server.h"
#include "support/captured_frames.h"
#include "support/png_image.h"
#include "support/program_run.h"
#include "support/triangle_probe.h"

namespace {

TEST(Frames, PlainHeadlessRunWritesExactlyTheExpectedOutput) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(MaskAddresses(run.out), ReadText(GOLDEN_DIR "/headless_run.txt"));
}

// A borderless window is a popup: it learns its size and place (WM_SIZE, WM_MOVE) right after
// WM_CREATE, before it is shown, as on Windows.
TEST(Frames, BorderlessHeadlessRunWritesExactlyTheExpectedOutput) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {"--no-decorations"});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(MaskAddresses(run.out), ReadText(GOLDEN_DIR "/headless_no_decorations_run.txt"));
}

struct Variant {
  const char *argument;
  int width, height;  // the client size of a window
};

class FrameVariants : public testing::TestWithParam<Variant> {};

TEST_P(FrameVariants, BothWindowsShowTheTriangle) {
  CaptureDir capture;
  std::vector<std::string> arguments;
  if (*GetParam().argument) arguments.push_back(GetParam().argument);
  ProgramRun run = RunProgram(INTERLOCK_BINARY, arguments, {{"INTERLOCK_CAPTURE", capture.path()}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out.find("Assertion failure"), std::string::npos) << run.out;
  ExpectTriangle(capture.path() + "/Sample_1-0001.png", GetParam().width, GetParam().height);
  ExpectTriangle(capture.path() + "/Sample_2-0001.png", GetParam().width, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Sharing, FrameVariants,
                         testing::Values(Variant{"", 1008, 985}, Variant{"--compat-gl", 1008, 985},
                                         Variant{"--render-texture", 1008, 985}, Variant{"--share-objects", 1008, 985},
                                         Variant{"--alloc-rb-storage", 1008, 985}, Variant{"--bind-rb", 1008, 985},
                                         Variant{"--no-decorations", 1024, 1024}));

// The debugger channel and standard output in one stream, as a console shows them.
ProgramRun RunMerged(const std::vector<std::pair<std::string, std::string>> &environment) {
  return RunProgram("/bin/sh", {"-c", "exec \"$0\" 2>&1", INTERLOCK_BINARY}, environment);
}

TEST(Frames, TheReportAtExitFindsNothingLeftAlive) {
  ProgramRun run = RunMerged({});
  EXPECT_EQ(run.exit_status, 0);
  size_t end = run.out.rfind("\nend\n");
  ASSERT_NE(end, std::string::npos) << run.out;
  EXPECT_EQ(run.out.substr(end), "\nend\n");
  EXPECT_NE(run.out.find("Live ID3D11Device"), std::string::npos);  // frames and teardowns did report

  ProgramRun without_debug = RunMerged({{"INTERLOCK_HIDE", "dxgidebug.dll"}});
  EXPECT_EQ(without_debug.out.find("Live "), std::string::npos);
}

// Descriptors the program did not open for its output must never receive it: started without
// any standard descriptor, the run ends normally and presents the very frames a normal run does.
TEST(Frames, ClosedStandardDescriptorsChangeNothingButWhereTheTextGoes) {
  CaptureDir normal, closed, no_error;
  ProgramRun normal_run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_CAPTURE", normal.path()}});
  ProgramRun closed_run = RunProgram("/bin/sh", {"-c", "exec \"$0\" <&- >&- 2>&-", INTERLOCK_BINARY},
                                     {{"INTERLOCK_CAPTURE", closed.path()}});
  ProgramRun no_error_run =
      RunProgram("/bin/sh", {"-c", "exec \"$0\" 2>&-", INTERLOCK_BINARY}, {{"INTERLOCK_CAPTURE", no_error.path()}});
  EXPECT_EQ(normal_run.exit_status, 0) << normal_run.err;
  EXPECT_EQ(closed_run.exit_status, 0);
  EXPECT_EQ(no_error_run.exit_status, 0);
  EXPECT_EQ(closed_run.out, "");
  EXPECT_EQ(MaskAddresses(no_error_run.out), MaskAddresses(normal_run.out));
  std::map<std::string, std::string> frames = CapturedFrames(normal.path());
  EXPECT_FALSE(frames.empty());
  EXPECT_TRUE(CapturedFrames(closed.path()) == frames);
  EXPECT_TRUE(CapturedFrames(no_error.path()) == frames);
}

// OpenGL on EGL's device platform (a driver's way when it has no surfaceless one) shares the
// textures as on the surfaceless platform: the same output and the very same frames.
TEST(Frames, OpenGLOnAnEglDeviceDrawsTheSameFrames) {
  CaptureDir surfaceless, device;
  ProgramRun surfaceless_run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_CAPTURE", surfaceless.path()}});
  ProgramRun device_run = RunProgram(INTERLOCK_BINARY, {},
                                     {{"INTERLOCK_CAPTURE", device.path()}, {"INTERLOCK_EGL_PLATFORM", "device"}});
  EXPECT_EQ(device_run.exit_status, 0) << device_run.err;
  EXPECT_EQ(device_run.err.find("cannot open EGL"), std::string::npos) << device_run.err;
  EXPECT_EQ(MaskAddresses(device_run.out), MaskAddresses(surfaceless_run.out));
  std::map<std::string, std::string> frames = CapturedFrames(surfaceless.path());
  EXPECT_FALSE(frames.empty());
  EXPECT_TRUE(CapturedFrames(device.path()) == frames);
}

// Frames the device writes straight into the windows' pixels are the very frames a read-back
// gives, and the output is the same.
TEST(Frames, FramesWrittenByTheDeviceAreTheFramesReadBack) {
  CaptureDir read_back, written;
  ProgramRun read_back_run =
      RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_CAPTURE", read_back.path()}, {"INTERLOCK_PRESENT", "readback"}});
  ProgramRun written_run =
      RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_CAPTURE", written.path()}, {"INTERLOCK_PRESENT", "device"}});
  EXPECT_EQ(written_run.exit_status, 0) << written_run.err;
  EXPECT_EQ(MaskAddresses(written_run.out), MaskAddresses(read_back_run.out));
  std::map<std::string, std::string> frames = CapturedFrames(read_back.path());
  EXPECT_FALSE(frames.empty());
  EXPECT_TRUE(CapturedFrames(written.path()) == frames);
}

// A client rectangle that cannot be read is empty: the swap chains and textures are 1 by 1.
TEST(Frames, AFailedClientRectGivesFramesOfOnePixel) {
  CaptureDir capture;
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {},
                              {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", "GetClientRect"},
                               {"INTERLOCK_CAPTURE", capture.path()}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  for (const char *frame : {"/Sample_1-0001.png", "/Sample_2-0001.png"}) {
    RgbaImage image;
    ASSERT_TRUE(ReadRgbaPng(capture.path() + frame, &image)) << frame;
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 1);
  }
}

TEST(Frames, UnderXvfbBothWindowsShowTheTriangle) {
  XvfbServer server;
  std::string why;
  if (!server.Start(&why)) GTEST_SKIP() << why;
  CaptureDir capture;
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {},
                              {{"INTERLOCK_DISPLAY", "x11"}, {"INTERLOCK_MSGBOX", "console"},
                               {"INTERLOCK_CAPTURE", capture.path()}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.OutLines().back(), "end");
  EXPECT_EQ(run.out.find("Assertion failure"), std::string::npos) << run.out;
  ExpectTriangle(capture.path() + "/Sample_1-0001.png", 1008, 985);
  ExpectTriangle(capture.path() + "/Sample_2-0001.png", 1008, 985);
}

TEST(Frames, LegacyDrawingReportsTheErrorOfDrainsInsideBeginEnd) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {"--compat-gl"});
  EXPECT_NE(run.out.find("GL error 1282 in glEnd @949\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("GL error 1282 in glBegin @939"), std::string::npos) << run.out;
}

struct Location {
  const char *failing;  // INTERLOCK_FAIL
  std::vector<const char *> arguments;
  std::vector<const char *> lines;  // each expected on stdout
};

void PrintTo(const Location &location, std::ostream *os) { *os << location.failing; }
void PrintTo(const Variant &variant, std::ostream *os) { *os << "\"" << variant.argument << "\""; }

class FrameAndTeardownLocations : public testing::TestWithParam<Location> {};

// With a debugger attached checks report on stdout; OpenGL errors go to the debugger channel.
TEST_P(FrameAndTeardownLocations, AreReportedExactly) {
  std::vector<std::string> arguments(GetParam().arguments.begin(), GetParam().arguments.end());
  ProgramRun run = RunProgram(INTERLOCK_BINARY, arguments,
                              {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", GetParam().failing}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  for (const char *line : GetParam().lines) {
    bool gl_error = std::string(line).rfind("GL error", 0) == 0;
    const std::string &channel = gl_error ? run.err : run.out;
    EXPECT_NE(channel.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << channel;
  }
  EXPECT_EQ(run.OutLines().back(), "end");
}

INSTANTIATE_TEST_SUITE_P(
    Frame, FrameAndTeardownLocations,
    testing::Values(
        Location{"glBindFramebuffer", {}, {"GL error 1282 in glBindFramebuffer @929", "GL error 1282 in glBindFramebuffer @989"}},
        Location{"glClearColor", {}, {"GL error 1282 in glClearColor @932"}},
        Location{"glClear", {}, {"GL error 1282 in glClear @934"}},
        Location{"glBegin", {"--compat-gl"}, {"GL error 1282 in glBegin @939"}},
        Location{"glColor4f#1", {"--compat-gl"}, {"GL error 1282 in glColor4f @941"}},
        Location{"glVertex2f#1", {"--compat-gl"}, {"GL error 1282 in glVertex2f @943"}},
        Location{"glUseProgram", {}, {"GL error 1282 in glUseProgram @954", "GL error 1282 in glUseProgram @981"}},
        Location{"glBindVertexArray", {}, {"GL error 1282 in glBindVertexArray @957"}},
        Location{"glBindBuffer", {}, {"GL error 1282 in glBindBuffer @959", "GL error 1282 in glBindBuffer @978"}},
        Location{"glEnableVertexAttribArray",
                 {},
                 {"GL error 1282 in glEnableVertexAttribArray @962", "GL error 1282 in glEnableVertexAttribArray @966"}},
        Location{"glVertexAttribPointer",
                 {},
                 {"GL error 1282 in glVertexAttribPointer @964", "GL error 1282 in glVertexAttribPointer @968"}},
        Location{"glDrawArrays", {}, {"GL error 1282 in glDrawArrays @971"}},
        Location{"glDisableVertexAttribArray",
                 {},
                 {"GL error 1282 in glDisableVertexAttribArray @974", "GL error 1282 in glDisableVertexAttribArray @976"}},
        Location{"glFinish", {}, {"GL error 1282 in glFinish @983", "GL error 1282 in glFinish @1614"}},
        Location{"glFlush", {}, {"GL error 1282 in glFlush @985", "GL error 1282 in glFlush @1616"}}));

INSTANTIATE_TEST_SUITE_P(
    Teardown, FrameAndTeardownLocations,
    testing::Values(Location{"GetDC", {}, {"Assertion failure: GetDC @1563 (GLE 31)"}},
                    Location{"wglDXUnregisterObjectNV",
                             {},
                             {"Assertion failure: wglDXUnregisterObjectNV for color buffer @1588 (GLE 31)",
                              "Assertion failure: wglDXUnregisterObjectNV for depth buffer @1590 (GLE 31)"}},
                    Location{"wglDXCloseDeviceNV", {}, {"Assertion failure: wglDXCloseDeviceNV @1611 (GLE 31)"}}));

// Without an interop device every call that takes it is still made, and refused.
INSTANTIATE_TEST_SUITE_P(
    MissingInteropDevice, FrameAndTeardownLocations,
    testing::Values(Location{"wglDXOpenDeviceNV",
                             {},
                             {"Assertion failure: wglDXOpenDeviceNV for the D3D device @1466 (GLE 31)",
                              "Assertion failure: wglDXRegisterObjectNV for depth buffer @1155 (GLE 6)",
                              "Assertion failure: wglDXRegisterObjectNV for color buffer @1158 (GLE 6)",
                              "Assertion failure: wglDXUnregisterObjectNV for color buffer @1588 (GLE 6)",
                              "Assertion failure: wglDXUnregisterObjectNV for depth buffer @1590 (GLE 6)",
                              "Assertion failure: wglDXCloseDeviceNV @1611 (GLE 6)"}},
                    Location{"wglDXOpenDeviceNV",
                             {"--render-texture"},
                             {"Assertion failure: wglDXRegisterObjectNV for depth texture @1163 (GLE 6)",
                              "Assertion failure: wglDXRegisterObjectNV for color texture @1166 (GLE 6)"}}));

// Without a debugger a failed HRESULT check shows its box, and the unhandled trap ends the run.
TEST(FrameLocations, FailedGetBufferAndPresentShowTheirBoxes) {
  for (auto [failing, text] : {std::pair{"GetBuffer", "IDXGISwapChain1_GetBuffer @995 (HRESULT 0x80004005)"},
                               std::pair{"Present1=0x887A0001", "IDXGISwapChain1_Present1 @1006 (HRESULT 0x887a0001)"}}) {
    ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_MSGBOX", "console"}, {"INTERLOCK_FAIL", failing}});
    EXPECT_EQ(run.exit_status, 3) << failing;
    EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("locking...\nlocked\n"), std::string::npos) << run.out;
  }
}

TEST(Frames, AStatusWithoutANameWritesOnlyTheFramePartsOfTheMessage) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_DEBUGGER", "continue"},
                                                     {"INTERLOCK_HIDE", "glCheckFramebufferStatus"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("Assertion failure: Getting GL function glCheckFramebufferStatus (GLE 127)"),
            std::string::npos);
  // The lookup failed, so the status reads as 0, a value without a name.
  EXPECT_NE(run.err.find("Framebuffer not complete: \n"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("Framebuffer not complete: GL"), std::string::npos) << run.err;
}

// Texture names are not drained when made, so both of their errors reach the framebuffer's drain
// (each window makes two: the first fails with GL_INVALID_ENUM, the second GL_INVALID_VALUE).
const char kTwoTextureErrorsPerWindow[] =
    "glGenTextures#1=1280,glGenTextures#2=1281,glGenTextures#3=1280,glGenTextures#4=1281";

TEST(Drains, EveryPendingErrorInOrderThenOneTrap) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {"--render-texture", "--fatal-gl-errors"},
                              {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", kTwoTextureErrorsPerWindow}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  const std::string one_window =
      "GL error 1280 in glGenFramebuffers @1490\nGL error 1281 in glGenFramebuffers @1490\ninterlock: debugger break\n";
  EXPECT_NE(run.err.find(one_window + one_window), std::string::npos) << run.err;
  size_t traps = 0;
  for (size_t at = run.err.find("debugger break"); at != std::string::npos; at = run.err.find("debugger break", at + 1)) {
    ++traps;
  }
  EXPECT_EQ(traps, 3u);  // one per window's drain, and the shutdown's

}

TEST(Drains, FatalErrorsWithoutADebuggerEndTheRunAfterTheDrain) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {"--render-texture", "--fatal-gl-errors"},
                              {{"INTERLOCK_FAIL", kTwoTextureErrorsPerWindow}});
  EXPECT_EQ(run.exit_status, 3);
  EXPECT_NE(run.out.find("GL error 1280 in glGenFramebuffers @1490\nGL error 1281 in glGenFramebuffers @1490\n"),
            std::string::npos);
  EXPECT_EQ(run.out.find("end\n"), std::string::npos);
}

TEST(Frames, FailedGetBufferStillPresentsAndClosesTheFrame) {
  ProgramRun run = RunProgram(INTERLOCK_BINARY, {}, {{"INTERLOCK_DEBUGGER", "continue"}, {"INTERLOCK_FAIL", "GetBuffer"}});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.OutLines().back(), "end");
}

}  // namespace
