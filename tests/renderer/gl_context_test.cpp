// The OpenGL context phase of Create: the real context and its one retry, the legacy path,
// debug output, and the location text of each of its checks.
#include <GL/glext.h>
#include <GL/wglext.h>

#include "diag/checks.h"
#include "renderer/gl_phase_fixture.h"

namespace interlock {
namespace {

GLint GetInteger(GLenum name) {
  GLint value = -1;
  glGetIntegerv(name, &value);
  return value;
}

// The traced wglCreateContextAttribsARB requests: "<major>.<minor> flags 0x<f> profile 0x<p>".
std::vector<std::string> Requests(const PhaseOutput &output) {
  std::vector<std::string> requests;
  for (const std::string &line : PhaseOutput::LinesWith(output.err, "wglCreateContextAttribsARB(")) {
    size_t start = line.find(", ", line.find(", ") + 2) + 2;
    requests.push_back(line.substr(start, line.find(')', start) - start));
  }
  return requests;
}

TEST_F(GLPhases, CoreDebugContextIsGrantedWithoutRetryOrWarning) {
  PhaseOutput output = RunContextPhase(nullptr, nullptr, true);
  EXPECT_EQ(output.out, "");
  EXPECT_EQ(Requests(output), std::vector<std::string>{"3.2 flags 0x1 profile 0x1"});
  EXPECT_EQ(PhaseOutput::LinesWith(output.err, "wglDeleteContext(").size(), 1u);  // the temporary one
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  MakeCurrent();
  EXPECT_EQ(GetInteger(GL_CONTEXT_PROFILE_MASK), GL_CONTEXT_CORE_PROFILE_BIT);
  EXPECT_TRUE(GetInteger(GL_CONTEXT_FLAGS) & GL_CONTEXT_FLAG_DEBUG_BIT);
}

TEST_F(GLPhases, RefusedVersionIsRetriedOnceAsThreeZero) {
  for (const char *refusal : {"wglCreateContextAttribsARB#1=0x2095", "wglCreateContextAttribsARB#1=0xC0072095"}) {
    PhaseOutput output = RunContextPhase(refusal, nullptr, true);
    EXPECT_EQ(output.out, "") << refusal;
    EXPECT_EQ(Requests(output), (std::vector<std::string>{"3.2 flags 0x1 profile 0x1", "3.0 flags 0x1 profile 0x1"}))
        << refusal;
    EXPECT_NE(wr_.gl_context, nullptr);
    wglDeleteContext(wr_.gl_context);
  }
}

TEST_F(GLPhases, CompatibilityRequestIsNeverRetried) {
  compat_gl = TRUE;
  PhaseOutput granted = RunContextPhase(nullptr, nullptr, true);
  EXPECT_EQ(granted.out, "");
  EXPECT_EQ(Requests(granted), std::vector<std::string>{"3.0 flags 0x1 profile 0x2"});
  wglDeleteContext(wr_.gl_context);

  PhaseOutput refused = RunContextPhase("wglCreateContextAttribsARB=0x2095", nullptr, true);
  EXPECT_EQ(refused.out,
            "Assertion failure: wglCreateContextAttribsARB for the temp window @1374 (GLE 8341)\n"
            "WARNING: using legacy GL\n");
  EXPECT_EQ(Requests(refused).size(), 1u);
}

TEST_F(GLPhases, WithoutCreateContextAttribsTheTemporaryContextIsKept) {
  PhaseOutput output = RunContextPhase(nullptr, "wglCreateContextAttribsARB", true);
  EXPECT_EQ(output.out, "WARNING: using legacy GL\n");
  std::vector<std::string> created = PhaseOutput::LinesWith(output.err, "wglCreateContext(");
  ASSERT_EQ(created.size(), 1u);
  char handle[32];
  snprintf(handle, sizeof handle, "= %p", (void *)wr_.gl_context);
  EXPECT_NE(created[0].find(handle), std::string::npos) << created[0];
  EXPECT_TRUE(PhaseOutput::LinesWith(output.err, "wglDeleteContext(").empty());
  MakeCurrent();  // the window was given the context's pixel format
}

TEST_F(GLPhases, DebugOutputGoesToTheDebuggerThroughDebugCallback) {
  RunContextPhase();
  MakeCurrent();
  void *callback = nullptr;
  glGetPointerv(GL_DEBUG_CALLBACK_FUNCTION, &callback);
  EXPECT_EQ(callback, reinterpret_cast<void *>(&DebugCallback));
  EXPECT_TRUE(glIsEnabled(GL_DEBUG_OUTPUT_SYNCHRONOUS));
  EXPECT_TRUE(glIsEnabled(GL_DEBUG_OUTPUT));
  PhaseOutput output = Run([] { glEnable(0x1234); });
  EXPECT_EQ(output.out, "");
  std::vector<std::string> messages = PhaseOutput::LinesWith(output.err, "GL_INVALID_ENUM");
  EXPECT_EQ(messages.size(), 1u) << output.err;
  glGetError();
}

TEST_F(GLPhases, WithoutDebugMessageCallbackDebugOutputIsStillEnabled) {
  PhaseOutput output = RunContextPhase(nullptr, "glDebugMessageCallback");
  EXPECT_EQ(output.out, "");
  MakeCurrent();
  void *callback = nullptr;
  glGetPointerv(GL_DEBUG_CALLBACK_FUNCTION, &callback);
  EXPECT_EQ(callback, nullptr);
  EXPECT_TRUE(glIsEnabled(GL_DEBUG_OUTPUT_SYNCHRONOUS));
  EXPECT_TRUE(glIsEnabled(GL_DEBUG_OUTPUT));
}

// The first report when a call fails, and what the phase still leaves behind.
struct FailedCall {
  const char *fail;
  const char *hide;
  const char *first_report;
};

TEST_F(GLPhases, EachCheckReportsItsLocation) {
  const FailedCall cases[] = {
      {"CreateWindowExA", nullptr, "CreateWindowA for a temp window @1310 (GLE 31)"},
      {"GetDC#1", nullptr, "GetDC for the temp window @1314 (GLE 31)"},
      {"ChoosePixelFormat", nullptr, "ChoosePixelFormat for thetemp window @1327 (GLE 31)"},
      {"SetPixelFormat#1", nullptr, "SetPixelFormat for the temp window @1333 (GLE 31)"},
      {"wglCreateContext", nullptr, "wglCreateContext for the temp window @1337 (GLE 31)"},
      {"wglMakeCurrent#1", nullptr, "wglMakeCurrent for the temp window @1341 (GLE 31)"},
      {"SetPixelFormat#2", nullptr, "SetPixelFormat for the real window @1361 (GLE 31)"},
      {"wglCreateContextAttribsARB=0x2095", nullptr, "wglCreateContextAttribsARB for the temp window @1371 (GLE 8341)"},
      {"wglCreateContextAttribsARB=0x2096", nullptr, "wglCreateContextAttribsARB for the temp window @1374 (GLE 8342)"},
      {"wglMakeCurrent#2", nullptr, "wglMakeCurrent for the temp window @1381 (GLE 31)"},
      {"wglMakeCurrent#2", "wglCreateContextAttribsARB", "wglMakeCurrent for the temp window @1390 (GLE 31)"},
  };
  for (const FailedCall &c : cases) {
    std::vector<std::string> reports = RunContextPhase(c.fail, c.hide).Reports();
    ASSERT_FALSE(reports.empty()) << c.fail;
    EXPECT_EQ(reports[0], c.first_report);
    EXPECT_EQ(wglGetCurrentContext(), nullptr) << c.fail;
    if (wr_.gl_context) wglDeleteContext(wr_.gl_context);
    wr_.gl_context = NULL;
  }
}

}  // namespace
}  // namespace interlock
