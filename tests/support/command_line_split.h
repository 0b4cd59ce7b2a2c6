// A command line as CommandLineToArgvW splits it, for comparing with the arguments expected.
#pragma once

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <vector>

inline std::vector<std::wstring> Split(const wchar_t *line) {
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
