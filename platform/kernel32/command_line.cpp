// kernel32 (shell32 on Windows): CommandLineToArgvW with Windows' splitting rules, and the local
// heap its result lives on.
//
// The first element follows the rules of a program name: it ends at the next blank, or, when it
// starts with a quote, at the next quote, with no backslash escapes. The remaining elements
// follow the C runtime rules: blanks separate arguments outside quotes; 2n backslashes before a
// quote give n backslashes and the quote toggles quoting; 2n+1 give n backslashes and a literal
// quote; a quote inside quotes followed by another quote gives a literal quote.
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <windows.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "kernel32_internal.h"
#include "common/log.h"
#include "common/platform_state.h"

namespace {

// Blocks handed out and not yet freed. The local heap belongs to the process and is reachable
// until the process ends, as on Windows.
struct LocalHeap {
  std::mutex mutex;
  std::set<void *> blocks;
};

ilk::PlatformState<LocalHeap> local_heap;

void *LocalAllocate(size_t size) {
  void *block = calloc(1, size);
  if (block) {
    LocalHeap &heap = local_heap.Get();
    std::lock_guard<std::mutex> lock(heap.mutex);
    heap.blocks.insert(block);
  }
  return block;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring ExecutablePath() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length < 0) return L"";
  path[length] = '\0';
  std::wstring wide;
  wide.resize(length + 1);
  size_t converted = mbstowcs(&wide[0], path, wide.size());
  if (converted == (size_t)-1) {
    wide.assign(path, path + length);  // bytes as they are
  } else {
    wide.resize(converted);
  }
  return wide;
}

std::vector<std::wstring> Split(const wchar_t *s) {
  std::vector<std::wstring> arguments;
  std::wstring current;
  if (*s == L'"') {
    ++s;
    while (*s && *s != L'"') current += *s++;
    if (*s == L'"') ++s;
  } else {
    while (*s && !IsBlank(*s)) current += *s++;
  }
  arguments.push_back(current);
  while (IsBlank(*s)) ++s;
  if (!*s) return arguments;

  current.clear();
  int quotes = 0;       // 0 outside quotes, 1 inside
  size_t backslashes = 0;
  while (*s) {
    if (IsBlank(*s) && quotes == 0) {
      arguments.push_back(current);
      current.clear();
      backslashes = 0;
      while (IsBlank(*s)) ++s;
      if (!*s) return arguments;
    } else if (*s == L'\\') {
      current += *s++;
      ++backslashes;
    } else if (*s == L'"') {
      current.resize(current.size() - backslashes / 2);
      if (backslashes % 2 == 0) {
        ++quotes;
      } else {
        current.back() = L'"';
      }
      ++s;
      backslashes = 0;
      while (*s == L'"') {
        if (++quotes == 3) {
          current += L'"';
          quotes = 0;
        }
        ++s;
      }
      if (quotes == 2) quotes = 0;
    } else {
      current += *s++;
      backslashes = 0;
    }
  }
  arguments.push_back(current);
  return arguments;
}

// The argument vector of `cmd_line` as one local-heap block; null with the last-error code set.
LPWSTR *MakeArgumentVector(LPCWSTR cmd_line, int *num_args) {
  if (!num_args) {
    ilk::kernel32::SetThreadLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<std::wstring> arguments =
      (!cmd_line || !*cmd_line) ? std::vector<std::wstring>{ExecutablePath()} : Split(cmd_line);
  // One block, as Windows gives it: the pointer array, then the strings.
  size_t size = (arguments.size() + 1) * sizeof(LPWSTR);
  for (const std::wstring &argument : arguments) size += (argument.size() + 1) * sizeof(WCHAR);
  LPWSTR *argv = static_cast<LPWSTR *>(LocalAllocate(size));
  if (!argv) {
    ilk::kernel32::SetThreadLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  WCHAR *text = reinterpret_cast<WCHAR *>(argv + arguments.size() + 1);
  for (size_t i = 0; i < arguments.size(); ++i) {
    argv[i] = text;
    memcpy(text, arguments[i].c_str(), (arguments[i].size() + 1) * sizeof(WCHAR));
    text += arguments[i].size() + 1;
  }
  argv[arguments.size()] = nullptr;
  *num_args = (int)arguments.size();
  return argv;
}

}  // namespace

LPWSTR *WINAPI CommandLineToArgvW(LPCWSTR cmd_line, int *num_args) {
  LPWSTR *argv =
      ilk::kernel32::FailsWithLastError("CommandLineToArgvW") ? nullptr : MakeArgumentVector(cmd_line, num_args);
  ilk::Trace("CommandLineToArgvW(\"%s\") = %p", ilk::Utf8(cmd_line ? cmd_line : L"(null)").c_str(), (void *)argv);
  return argv;
}

HANDLE WINAPI LocalFree(HANDLE mem) {
  if (!mem) return nullptr;
  LocalHeap &heap = local_heap.Get();
  std::lock_guard<std::mutex> lock(heap.mutex);
  if (!heap.blocks.erase(mem)) {
    ilk::kernel32::SetThreadLastError(ERROR_INVALID_HANDLE);
    return mem;
  }
  free(mem);
  return nullptr;
}
