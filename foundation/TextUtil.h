// Text and path helpers that need no operating system. Failures follow the utilities' convention:
// 0 and a text in gsErrorText (SplitPath: in dirOut).
#pragma once
#include <string>

namespace swirlo {

// The utilities' global error text (2,047 characters of content).
extern std::wstring gsErrorText;

int SplitPath(const std::wstring& sPath, std::wstring& dirOut, std::wstring& nameOut,
              std::wstring& extOut, bool requireExt);

// The extended-length form of an absolute path ("\\?\C:\...", "\\?\UNC\server\..."), which Windows
// takes whole and as it is, so its separators become backslashes. A relative path and one already
// prefixed ("\\?\", "\\.\") are returned unchanged.
std::wstring ExtendedLengthPath(const std::wstring& sPath);

// The form of an absolute path to hand to the file functions. Album paths run past the 259
// characters that the plain forms allow (deep Artist\Album names under a deep parent); such a path
// is given the extended-length form. A shorter path is returned unchanged.
std::wstring FileApiPath(const std::wstring& sPath);

}  // namespace swirlo
