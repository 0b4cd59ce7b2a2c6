// LoadLibraryA and GetProcAddress over the stand-in DLLs, with Windows' error codes.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/scoped_knobs.h"

namespace {

TEST(LoadLibraryA, FindsStandInDllsByAnyCase) {
  HMODULE shcore = LoadLibraryA("shcore.dll");
  ASSERT_NE(shcore, nullptr);
  EXPECT_EQ(LoadLibraryA("SHCORE.DLL"), shcore);
  EXPECT_EQ(LoadLibraryA("ShCore"), shcore);
}

TEST(LoadLibraryA, UnknownOrHiddenDllIsNotFound) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("nosuch.dll"), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);

  ScopedKnobs knobs({{"INTERLOCK_HIDE", "shcore.dll"}});
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("Shcore.dll"), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);
}

TEST(GetProcAddress, FindsOnlyTheDllsOwnExports) {
  HMODULE shcore = LoadLibraryA("shcore.dll");
  ASSERT_NE(shcore, nullptr);
  EXPECT_NE(GetProcAddress(shcore, "SetProcessDpiAwareness"), nullptr);

  SetLastError(0);
  EXPECT_EQ(GetProcAddress(shcore, "GetTickCount"), nullptr);  // kernel32's, reachable through shcore
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(shcore, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
}

TEST(GetProcAddress, HiddenExportAndNullModule) {
  HMODULE shcore = LoadLibraryA("shcore.dll");
  {
    ScopedKnobs knobs({{"INTERLOCK_HIDE", "SetProcessDpiAwareness"}});
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(shcore, "SetProcessDpiAwareness"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
  }
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(nullptr, "SetProcessDpiAwareness"), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
}

TEST(GetProcAddress, InjectedFailureUsesTheGivenCode) {
  HMODULE shcore = LoadLibraryA("shcore.dll");
  ScopedKnobs knobs({{"INTERLOCK_FAIL", "GetProcAddress"}});
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(shcore, "SetProcessDpiAwareness"), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_GEN_FAILURE);
}

}  // namespace
