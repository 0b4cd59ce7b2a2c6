// A small self-contained test harness for the conformance suite. The suite builds from the same
// sources as a Linux test against the stand-in platform and as a Windows program, so it depends
// on nothing but the Win32 API and the C++ standard library.
//
//   CONFORMANCE_CASE(Group, Name) { CHECK(...); CHECK_EQ(actual, expected); }
//
// Every case runs in order in one process; the run ends with the line "N passed, N failed" and
// exits with status 1 when a case failed. Arguments select the cases whose names start with one
// of them ("Painting." runs a group).
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <type_traits>

namespace conformance {

using CaseFunction = void (*)();

// Adds a case to the run; called by CONFORMANCE_CASE at static initialisation.
bool Register(const char *name, CaseFunction function);

// Records a failed check of the current case (the case goes on, as GoogleTest's EXPECT does).
void Fail(const char *file, int line, const std::string &what);

// True when the suite runs on Wine (ntdll exports wine_get_version), the second implementation
// the suite is checked against.
bool UnderWine();

// Ends the current case as skipped when it runs on Wine: Wine is known to differ from Windows
// here, and `reason` says how. Windows and the stand-in still run the case.
bool SkipOnWine(const char *reason);

std::string Describe(long long value);
std::string Describe(unsigned long long value);
std::string Describe(const void *value);
std::string Describe(const std::wstring &value);
std::string Describe(const wchar_t *value);
template <typename T>
std::string Describe(T value) {
  if constexpr (std::is_pointer_v<T>) {
    return Describe(static_cast<const void *>(value));
  } else if constexpr (std::is_signed_v<T>) {
    return Describe(static_cast<long long>(value));
  } else {
    return Describe(static_cast<unsigned long long>(value));
  }
}

template <typename A, typename B>
void CheckEqual(const A &actual, const B &expected, const char *actual_text, const char *expected_text,
                const char *file, int line) {
  if (actual == expected) return;
  Fail(file, line, std::string(actual_text) + " is " + Describe(actual) + ", expected " + expected_text + " (" +
                       Describe(expected) + ")");
}

}  // namespace conformance

#define CONFORMANCE_CASE(group, name)                                                                      \
  static void group##_##name();                                                                            \
  static const bool group##_##name##_registered = conformance::Register(#group "." #name, group##_##name); \
  static void group##_##name()

#define CHECK(condition) \
  ((condition) ? (void)0 : conformance::Fail(__FILE__, __LINE__, "CHECK(" #condition ") failed"))
#define CHECK_EQ(actual, expected) conformance::CheckEqual((actual), (expected), #actual, #expected, __FILE__, __LINE__)

// At the start of a case: the case does not run on Wine, for the reason given.
#define KNOWN_WINE_DIFFERENCE(reason) \
  do {                                \
    if (conformance::SkipOnWine(reason)) return; \
  } while (0)
