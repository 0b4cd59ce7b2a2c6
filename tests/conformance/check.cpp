// The harness: the list of cases, the checks' reports, and the program that runs them.
#include "conformance/check.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace conformance {
namespace {

struct Case {
  const char *name;
  CaseFunction function;
};

std::vector<Case> &Cases() {
  static std::vector<Case> cases;
  return cases;
}

int failures_in_case = 0;
bool skipped = false;

bool Selected(const char *name, int argc, char **argv) {
  if (argc < 2) return true;
  for (int i = 1; i < argc; ++i) {
    if (strncmp(name, argv[i], strlen(argv[i])) == 0) return true;
  }
  return false;
}

}  // namespace

bool Register(const char *name, CaseFunction function) {
  Cases().push_back({name, function});
  return true;
}

void Fail(const char *file, int line, const std::string &what) {
  const char *base = strrchr(file, '/');
  printf("  %s:%d: %s\n", base ? base + 1 : file, line, what.c_str());
  ++failures_in_case;
}

bool UnderWine() {
  static const bool wine = [] {
    HMODULE ntdll = LoadLibraryA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

bool SkipOnWine(const char *reason) {
  if (!UnderWine()) return false;
  printf("  skipped on Wine: %s\n", reason);
  skipped = true;
  return true;
}

std::string Describe(long long value) {
  char text[64];
  snprintf(text, sizeof text, value < -9 || value > 9 ? "%lld (0x%llx)" : "%lld", value, (unsigned long long)value);
  return text;
}

std::string Describe(unsigned long long value) {
  char text[64];
  snprintf(text, sizeof text, value > 9 ? "%llu (0x%llx)" : "%llu", value, value);
  return text;
}

std::string Describe(const void *value) {
  char text[32];
  snprintf(text, sizeof text, "0x%llx", (unsigned long long)(uintptr_t)value);
  return text;
}

std::string Describe(const std::wstring &value) {
  std::string text = "\"";
  for (wchar_t c : value) text += c < 0x80 ? static_cast<char>(c) : '?';
  return text + "\"";
}

std::string Describe(const wchar_t *value) { return value ? Describe(std::wstring(value)) : "null"; }

}  // namespace conformance

int main(int argc, char **argv) {
  using namespace conformance;
  setvbuf(stdout, nullptr, _IONBF, 0);
  int passed = 0, failed = 0, skipped_count = 0;
  for (const Case &one : Cases()) {
    if (!Selected(one.name, argc, argv)) continue;
    failures_in_case = 0;
    skipped = false;
    printf("%s\n", one.name);
    one.function();
    if (skipped) {
      ++skipped_count;
    } else if (failures_in_case) {
      printf("  FAILED\n");
      ++failed;
    } else {
      ++passed;
    }
  }
  if (skipped_count) printf("%d skipped as known Wine differences\n", skipped_count);
  printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
