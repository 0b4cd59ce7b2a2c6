// Building a Windows command line from the arguments of a Linux process.
#include "command_line_quoting.h"

namespace {

bool NeedsQuotes(const std::wstring &argument) {
  return argument.empty() || argument.find_first_of(L" \t\"") != std::wstring::npos;
}

// The first element ends at a blank, or inside quotes at the next quote, with no escapes; an
// argument holding both a blank and a quote has no exact form and loses its quotes.
std::wstring QuoteFirst(const std::wstring &argument) {
  bool plain = !argument.empty() && argument[0] != L'"' && argument.find_first_of(L" \t") == std::wstring::npos;
  if (plain) return argument;
  std::wstring quoted = L"\"";
  for (wchar_t c : argument) {
    if (c != L'"') quoted += c;
  }
  return quoted + L"\"";
}

std::wstring QuoteOther(const std::wstring &argument) {
  if (!NeedsQuotes(argument)) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

}  // namespace

std::wstring QuoteCommandLine(const std::vector<std::wstring> &arguments) {
  std::wstring line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += L' ';
    line += i == 0 ? QuoteFirst(arguments[i]) : QuoteOther(arguments[i]);
  }
  return line;
}

std::wstring WidenUtf8(const char *text) {
  std::wstring wide;
  const unsigned char *s = reinterpret_cast<const unsigned char *>(text);
  while (*s) {
    unsigned char lead = *s;
    int extra = lead >= 0xF0 && lead < 0xF8 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0xF8) extra = 0;
    wchar_t code = extra == 3 ? lead & 0x07 : extra == 2 ? lead & 0x0F : extra == 1 ? lead & 0x1F : lead;
    int taken = 1;
    for (; taken <= extra && (s[taken] & 0xC0) == 0x80; ++taken) code = (code << 6) | (s[taken] & 0x3F);
    if (taken != extra + 1) {
      code = lead;
      taken = 1;
    }
    wide += code;
    s += taken;
  }
  return wide;
}
