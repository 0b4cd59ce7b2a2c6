// kernel32 and shell32 services the program relies on: splitting a command line, loading
// libraries and looking up their exports, events, semaphores and waits.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "conformance/check.h"

using namespace conformance;

namespace {

std::vector<std::wstring> Split(const wchar_t *command_line) {
  int count = -1;
  LPWSTR *argv = CommandLineToArgvW(command_line, &count);
  std::vector<std::wstring> arguments;
  if (!argv) return arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(argv[i]);
  LocalFree(argv);
  return arguments;
}

}  // namespace

CONFORMANCE_CASE(CommandLine, BlanksSeparateAndQuotesGroup) {
  std::vector<std::wstring> arguments = Split(L"program one \"two three\"  four");
  CHECK_EQ(arguments.size(), (size_t)4);
  if (arguments.size() == 4) {
    CHECK_EQ(arguments[0], std::wstring(L"program"));
    CHECK_EQ(arguments[1], std::wstring(L"one"));
    CHECK_EQ(arguments[2], std::wstring(L"two three"));
    CHECK_EQ(arguments[3], std::wstring(L"four"));
  }
}

CONFORMANCE_CASE(CommandLine, BackslashesCountOnlyBeforeAQuote) {
  // Arguments after the first: 2n backslashes and a quote give n backslashes and toggle the
  // quoting; 2n+1 give n backslashes and a literal quote; other backslashes are literal.
  std::vector<std::wstring> arguments = Split(L"p a\\\\b \"c\\\\\" d\\\"e \"f\\\\\\\"g\"");
  CHECK_EQ(arguments.size(), (size_t)5);
  if (arguments.size() == 5) {
    CHECK_EQ(arguments[1], std::wstring(L"a\\\\b"));
    CHECK_EQ(arguments[2], std::wstring(L"c\\"));
    CHECK_EQ(arguments[3], std::wstring(L"d\"e"));
    CHECK_EQ(arguments[4], std::wstring(L"f\\\"g"));
  }
}

CONFORMANCE_CASE(CommandLine, FirstElementTakesBackslashesLiterally) {
  std::vector<std::wstring> arguments = Split(L"\"C:\\dir name\\prog.exe\" x");
  CHECK_EQ(arguments.size(), (size_t)2);
  if (arguments.size() == 2) CHECK_EQ(arguments[0], std::wstring(L"C:\\dir name\\prog.exe"));
  arguments = Split(L"C:\\dir\\prog.exe\\\" y");
  CHECK_EQ(arguments.size(), (size_t)2);
  if (!arguments.empty()) CHECK_EQ(arguments[0], std::wstring(L"C:\\dir\\prog.exe\\\""));  // the quote too
}

CONFORMANCE_CASE(CommandLine, EmptyLineGivesTheProgramPath) {
  std::vector<std::wstring> arguments = Split(L"");
  CHECK_EQ(arguments.size(), (size_t)1);
  if (!arguments.empty()) CHECK(!arguments[0].empty());
}

CONFORMANCE_CASE(CommandLine, MissingCountIsAnInvalidParameter) {
  SetLastError(0);
  CHECK(CommandLineToArgvW(L"a b", nullptr) == nullptr);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

CONFORMANCE_CASE(Modules, MissingLibraryAndExportSetTheirErrors) {
  SetLastError(0);
  CHECK(LoadLibraryA("no-such-library.dll") == nullptr);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);
  HMODULE user32 = LoadLibraryA("user32.dll");
  CHECK(user32 != nullptr);
  CHECK(GetProcAddress(user32, "CreateWindowExW") != nullptr);
  SetLastError(0);
  CHECK(GetProcAddress(user32, "NoSuchExport") == nullptr);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND);
  CHECK(FreeLibrary(user32));
}

CONFORMANCE_CASE(Modules, LoadingTwiceGivesTheSameModule) {
  HMODULE first = LoadLibraryA("user32.dll");
  HMODULE second = LoadLibraryA("USER32.DLL");
  CHECK(first != nullptr);
  CHECK_EQ(first, second);
  FreeLibrary(second);
  FreeLibrary(first);
}

CONFORMANCE_CASE(Waits, ManualResetEventStaysSignalledUntilReset) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CHECK(event != nullptr);
  CHECK_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_TIMEOUT);
  CHECK(SetEvent(event));
  CHECK_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_OBJECT_0);
  CHECK_EQ(WaitForSingleObjectEx(event, 0, TRUE), (DWORD)WAIT_OBJECT_0);
  CHECK(ResetEvent(event));
  CHECK_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_TIMEOUT);
  CHECK(CloseHandle(event));
}

CONFORMANCE_CASE(Waits, AutoResetEventReleasesOneWait) {
  HANDLE event = CreateEventW(nullptr, FALSE, TRUE, nullptr);
  CHECK_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_OBJECT_0);
  CHECK_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_TIMEOUT);
  SetEvent(event);
  CHECK_EQ(WaitForSingleObject(event, 10), (DWORD)WAIT_OBJECT_0);
  CloseHandle(event);
}

CONFORMANCE_CASE(Waits, SemaphoreCountsAndRefusesToExceedItsMaximum) {
  HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 1, nullptr);
  CHECK(semaphore != nullptr);
  CHECK_EQ(WaitForSingleObject(semaphore, 0), (DWORD)WAIT_OBJECT_0);
  CHECK_EQ(WaitForSingleObject(semaphore, 0), (DWORD)WAIT_TIMEOUT);
  LONG previous = -1;
  CHECK(ReleaseSemaphore(semaphore, 1, &previous));
  CHECK_EQ(previous, 0);
  SetLastError(0);
  CHECK(!ReleaseSemaphore(semaphore, 1, &previous));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_TOO_MANY_POSTS);
  CloseHandle(semaphore);
  SetLastError(0);
  CHECK(CreateSemaphoreW(nullptr, 2, 1, nullptr) == nullptr);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

CONFORMANCE_CASE(Waits, ClosedHandleFailsTheWait) {
  HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  CHECK(CloseHandle(event));
  SetLastError(0);
  CHECK_EQ(WaitForSingleObject(event, 0), (DWORD)WAIT_FAILED);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  SetLastError(0);
  CHECK(!CloseHandle(event));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}
