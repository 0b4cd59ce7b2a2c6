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

}  // namespace
