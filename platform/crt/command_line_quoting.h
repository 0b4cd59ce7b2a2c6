// Building a Windows command line from the arguments of a Linux process.
#pragma once

#include <string>
#include <vector>

// Joins the arguments into the text that CommandLineToArgvW splits back into the same
// arguments: the first under the program-name rules, the others under the C runtime rules.
std::wstring QuoteCommandLine(const std::vector<std::wstring> &arguments);

// Decodes UTF-8 into wide characters; an invalid byte stands for itself.
std::wstring WidenUtf8(const char *text);
