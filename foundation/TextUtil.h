// Text and path helpers that need no operating system. Failures follow the utilities' convention:
// 0 and a text in gsErrorText (SplitPath: in dirOut).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace swirlo {

// The utilities' global error text (2,047 characters of content).
extern std::wstring gsErrorText;

int SplitPath(const std::wstring& sPath, std::wstring& dirOut, std::wstring& nameOut,
              std::wstring& extOut, bool requireExt);

// Replaces occurrences of find in source (left to right, each search after the previous
// occurrence; only the first with firstOnly; ignoring letter case unless caseSensitive). The result
// goes to out, or replaces source when out is null. Nonzero when something was replaced; 0 when
// nothing was (result = source) or on failure (gsErrorText says which).
int ReplaceSubStr(std::wstring& source, const wchar_t* find, const wchar_t* replacement,
                  std::wstring* out, bool firstOnly, bool caseSensitive);
// The same, 1 also when nothing was found; 0 only on failure.
int ReplaceSubStrOk(std::wstring& source, const wchar_t* find, const wchar_t* replacement,
                    std::wstring* out, bool firstOnly, bool caseSensitive);

// Appends the items in order to out, separator between pieces of a non-empty text, while the result
// stays within maxLen characters; stops at the first item that does not fit. Returns the number
// appended.
int JoinWithin(std::wstring& out, std::size_t maxLen, const std::vector<std::wstring>& items,
               std::wstring_view separator);

void ConcatParts(std::wstring& out, const wchar_t* p1, const wchar_t* p2 = nullptr,
                 const wchar_t* p3 = nullptr, const wchar_t* p4 = nullptr, const wchar_t* p5 = nullptr);

}  // namespace swirlo
