// The platform knobs: failure injection rules, hidden names, backends.
#include <gtest/gtest.h>

#include "common/knobs.h"
#include "support/scoped_knobs.h"

namespace {

TEST(InjectedFailure, EveryCallOrTheNthWithDefaultOrGivenCode) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "GetDC,ChoosePixelFormat#2=0x2095,CreateTexture2D#1"}});
  EXPECT_EQ(ilk::InjectedFailure("GetDC", 31), 31u);
  EXPECT_EQ(ilk::InjectedFailure("GetDC", 31), 31u);
  EXPECT_EQ(ilk::InjectedFailure("ChoosePixelFormat", 31), std::nullopt);
  EXPECT_EQ(ilk::InjectedFailure("ChoosePixelFormat", 31), 0x2095u);
  EXPECT_EQ(ilk::InjectedFailure("ChoosePixelFormat", 31), std::nullopt);
  EXPECT_EQ(ilk::InjectedFailure("CreateTexture2D", 0x80004005u), 0x80004005u);
  EXPECT_EQ(ilk::InjectedFailure("CreateTexture2D", 0x80004005u), std::nullopt);
  EXPECT_EQ(ilk::InjectedFailure("ReleaseDC", 31), std::nullopt);
}

TEST(InjectedFailure, MethodsMatchByInterface) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "IDXGISwapChain1::QueryInterface=0x80004002"}});
  EXPECT_EQ(ilk::InjectedFailure("QueryInterface", 0x80004005u, {"IUnknown", "ID3D11Device"}), std::nullopt);
  EXPECT_EQ(ilk::InjectedFailure("QueryInterface", 0x80004005u, {"IUnknown", "IDXGISwapChain1", "IDXGISwapChain2"}),
            0x80004002u);
  EXPECT_EQ(ilk::InjectedFailure("QueryInterface", 0x80004005u), std::nullopt);  // a plain function
}

TEST(InjectedFailure, BareMethodNameMatchesEveryInterfaceAndCountsThemAll) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "QueryInterface#2"}});
  EXPECT_EQ(ilk::InjectedFailure("QueryInterface", 0x80004005u, {"ID3D11Device"}), std::nullopt);
  EXPECT_EQ(ilk::InjectedFailure("QueryInterface", 0x80004005u, {"IDXGISwapChain1"}), 0x80004005u);
}

TEST(InjectedFailure, MalformedEntriesAreIgnoredWithANote) {
  testing::internal::CaptureStderr();
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "GetDC#0,=5,GetDC=zz,ReleaseDC"}});
  std::string notes = testing::internal::GetCapturedStderr();
  EXPECT_NE(notes.find("interlock: malformed INTERLOCK_FAIL entry 'GetDC#0'"), std::string::npos);
  EXPECT_EQ(ilk::InjectedFailure("GetDC", 31), std::nullopt);
  EXPECT_EQ(ilk::InjectedFailure("ReleaseDC", 31), 31u);
}

// Both knobs compare names without case, so "getdc" fails GetDC as "GETDC" would.
TEST(InjectedFailure, NamesAndInterfacesCompareWithoutCase) {
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "getdc,idxgiswapchain1::present1"}});
  EXPECT_EQ(ilk::InjectedFailure("GetDC", 31), 31u);
  EXPECT_EQ(ilk::InjectedFailure("Present1", 0x80004005u, {"IUnknown", "IDXGISwapChain1"}), 0x80004005u);
  EXPECT_EQ(ilk::InjectedFailure("Present1", 0x80004005u, {"IUnknown", "ID3D11Device"}), std::nullopt);
}

// An entry point's own check answers as InjectedFailure does, and follows the knobs when they
// are read again.
TEST(InjectedFailure, AFailurePointFollowsReloadedKnobs) {
  ilk::FailurePoint point("glClear");
  {
    ScopedKnobs knobs({{"INTERLOCK_FAIL", "glFlush"}});
    EXPECT_EQ(point.Check(1282), std::nullopt);
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_FAIL", "GLCLEAR#2=5"}});
    EXPECT_EQ(point.Check(1282), std::nullopt);
    EXPECT_EQ(point.Check(1282), 5u);
    EXPECT_EQ(point.Check(1282), std::nullopt);
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_FAIL", "glClear"}});
    EXPECT_EQ(point.Check(1282), 1282u);
  }
}

// A name that no call matched by the end of the run did nothing: the run ends with a note.
TEST(InjectedFailureDeathTest, NamesNoCallMatchedAreNotedAtExit) {
  EXPECT_EXIT(
      {
        setenv("INTERLOCK_FAIL", "garbage,GetDC", 1);
        setenv("INTERLOCK_HIDE", "nothing.dll,dxgidebug.dll", 1);
        ilk::ReloadKnobs();
        ilk::InjectedFailure("GetDC", 31);
        ilk::IsHidden("DXGIDEBUG.DLL");
        exit(0);
      },
      testing::ExitedWithCode(0),
      "interlock: INTERLOCK_FAIL entry 'garbage' matched no platform function or method called in this run\n"
      "interlock: INTERLOCK_HIDE name 'nothing.dll' matched no DLL, export or extension asked for in this run\n$");
}

// A rule naming a function that never fails could never match: it is ignored with a note of
// its own when the knobs are read, and the end of the run does not call it unmatched.
TEST(InjectedFailureDeathTest, RulesForFunctionsThatCannotFailAreIgnoredWithANote) {
  EXPECT_EXIT(
      {
        setenv("INTERLOCK_FAIL", "gettickcount#2,GetDC", 1);
        setenv("INTERLOCK_HIDE", "", 1);
        ilk::ReloadKnobs();
        ilk::InjectedFailure("GetDC", 31);
        exit(0);
      },
      testing::ExitedWithCode(0), "interlock: INTERLOCK_FAIL entry 'gettickcount#2' ignored: GetTickCount cannot be failed\n$");
}

TEST(Hidden, NamesCompareWithoutCase) {
  ScopedKnobs knobs({{"INTERLOCK_HIDE", "dxgidebug.dll,WGL_NV_DX_interop"}});
  EXPECT_TRUE(ilk::IsHidden("Dxgidebug.dll"));
  EXPECT_TRUE(ilk::IsHidden("wgl_nv_dx_interop"));
  EXPECT_FALSE(ilk::IsHidden("dxgi.dll"));
}

TEST(Backends, DefaultsFollowTheDisplay) {
  {
    ScopedKnobs knobs({{"INTERLOCK_DISPLAY", nullptr}, {"INTERLOCK_MSGBOX", nullptr}, {"DISPLAY", nullptr}});
    EXPECT_EQ(ilk::SelectedDisplay(), ilk::DisplayBackend::Headless);
    EXPECT_EQ(ilk::SelectedMessageBox(), ilk::MessageBoxBackend::Console);
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_DISPLAY", nullptr}, {"INTERLOCK_MSGBOX", nullptr}, {"DISPLAY", ":99"}});
    EXPECT_EQ(ilk::SelectedDisplay(), ilk::DisplayBackend::X11);
    EXPECT_EQ(ilk::SelectedMessageBox(), ilk::MessageBoxBackend::X11);
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_DISPLAY", "headless"}, {"INTERLOCK_MSGBOX", "console"}, {"DISPLAY", ":99"}});
    EXPECT_EQ(ilk::SelectedDisplay(), ilk::DisplayBackend::Headless);
    EXPECT_EQ(ilk::SelectedMessageBox(), ilk::MessageBoxBackend::Console);
  }
}

TEST(Knobs, ValuesTheyDoNotUnderstandAreNoted) {
  testing::internal::CaptureStderr();
  {
    ScopedKnobs knobs({{"INTERLOCK_TRACE", "2"}, {"INTERLOCK_DISPLAY", "wayland"}, {"INTERLOCK_MSGBOX", "gtk"},
                       {"INTERLOCK_DEBUGGER", "yes"}, {"INTERLOCK_PRESENT", "gpu"}});
    EXPECT_FALSE(ilk::TraceEnabled());
    EXPECT_FALSE(ilk::EmulatedDebugger());
    EXPECT_EQ(ilk::SelectedPresentPath(), ilk::PresentPath::PerDevice);
  }
  std::string notes = testing::internal::GetCapturedStderr();
  for (const char *note : {"interlock: unknown INTERLOCK_TRACE '2' ignored", "interlock: unknown INTERLOCK_DISPLAY 'wayland'",
                           "interlock: unknown INTERLOCK_MSGBOX 'gtk'", "interlock: unknown INTERLOCK_DEBUGGER 'yes'",
                           "interlock: unknown INTERLOCK_PRESENT 'gpu'"}) {
    EXPECT_NE(notes.find(note), std::string::npos) << notes;
  }
  testing::internal::CaptureStderr();
  {
    ScopedKnobs knobs({{"INTERLOCK_TRACE", "0"}});
    EXPECT_FALSE(ilk::TraceEnabled());
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(Knobs, CaptureDirectoryAndVulkanDeviceAreReadWithTheOthers) {
  {
    ScopedKnobs knobs({{"INTERLOCK_CAPTURE", "/tmp/frames"}, {"INTERLOCK_VULKAN_DEVICE", "12"}});
    EXPECT_EQ(ilk::CaptureDirectory(), "/tmp/frames");
    EXPECT_EQ(ilk::SelectedVulkanDevice().index, 12u);
    EXPECT_EQ(ilk::SelectedVulkanDevice().name_part, "");
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_CAPTURE", nullptr}, {"INTERLOCK_VULKAN_DEVICE", "llvmpipe 2"}});
    EXPECT_EQ(ilk::CaptureDirectory(), "");
    EXPECT_EQ(ilk::SelectedVulkanDevice().index, std::nullopt);
    EXPECT_EQ(ilk::SelectedVulkanDevice().name_part, "llvmpipe 2");
  }
  {
    ScopedKnobs knobs({{"INTERLOCK_VULKAN_DEVICE", nullptr}});
    EXPECT_EQ(ilk::SelectedVulkanDevice().index, std::nullopt);
    EXPECT_EQ(ilk::SelectedVulkanDevice().name_part, "");
  }
}

TEST(Knobs, EglPlatformIsSurfacelessOrADeviceByIndex) {
  struct Case {
    const char *value;
    ilk::EglPlatform platform;
    uint32_t device_index;
  };
  for (const Case &c : {Case{nullptr, ilk::EglPlatform::Surfaceless, 0}, Case{"surfaceless", ilk::EglPlatform::Surfaceless, 0},
                        Case{"device", ilk::EglPlatform::Device, 0}, Case{"device:12", ilk::EglPlatform::Device, 12}}) {
    ScopedKnobs knobs({{"INTERLOCK_EGL_PLATFORM", c.value}});
    EXPECT_EQ(ilk::SelectedEglPlatform().platform, c.platform) << (c.value ? c.value : "unset");
    EXPECT_EQ(ilk::SelectedEglPlatform().device_index, c.device_index) << (c.value ? c.value : "unset");
  }
  for (const char *value : {"gbm", "device:", "device:-1", "device:0x1", "device2", "device:99999999999"}) {
    testing::internal::CaptureStderr();
    {
      ScopedKnobs knobs({{"INTERLOCK_EGL_PLATFORM", value}});
      EXPECT_EQ(ilk::SelectedEglPlatform().platform, ilk::EglPlatform::Surfaceless) << value;
    }
    std::string note = std::string("interlock: unknown INTERLOCK_EGL_PLATFORM '") + value + "', using the default";
    EXPECT_NE(testing::internal::GetCapturedStderr().find(note), std::string::npos) << value;
  }
}

}  // namespace
