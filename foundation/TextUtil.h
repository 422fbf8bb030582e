// Text and path helpers that need no operating system. Failures follow the utilities' convention:
// 0 and a text in gsErrorText (SplitPath: in dirOut).
#pragma once
#include <string>

namespace swirlo {

// The utilities' global error text (2,047 characters of content).
extern std::wstring gsErrorText;

int SplitPath(const std::wstring& sPath, std::wstring& dirOut, std::wstring& nameOut,
              std::wstring& extOut, bool requireExt);

}  // namespace swirlo
