#include "foundation/TextUtil.h"

namespace swirlo {

std::wstring gsErrorText;

int SplitPath(const std::wstring& sPath, std::wstring& dirOut, std::wstring& nameOut,
              std::wstring& extOut, bool requireExt) {
    std::size_t dot = sPath.rfind(L'.');
    std::wstring rest;
    if (dot == std::wstring::npos) {
        if (requireExt) {
            dirOut = L"'.' not found in supplied sPath";
            return 0;
        }
        extOut.clear();
        rest = sPath;
    } else {
        extOut = sPath.substr(dot);
        rest = sPath.substr(0, dot);
    }
    std::size_t slash = rest.rfind(L'\\');
    if (slash == std::wstring::npos) {
        dirOut = L"'\\' not found in supplied sPath";
        return 0;
    }
    std::wstring dir = rest.substr(0, slash + 1);
    std::wstring name = rest.substr(slash + 1);
    if (dir.size() < 3 || name.empty()) {
        dirOut = L"Directory name less than 3 chars, or empty file name";
        return 0;
    }
    dirOut = dir;
    nameOut = name;
    return 1;
}

std::wstring ExtendedLengthPath(const std::wstring& sPath) {
    auto sep = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    std::wstring out;
    if (sPath.size() > 2 && sep(sPath[0]) && sep(sPath[1])) {
        if (sPath[2] == L'?' || sPath[2] == L'.') return sPath;  // "\\?\" or "\\.\" already
        out = L"\\\\?\\UNC" + sPath.substr(1);
    } else if (sPath.size() > 2 && sPath[1] == L':' && sep(sPath[2])) {
        out = L"\\\\?\\" + sPath;
    } else {
        return sPath;
    }
    for (wchar_t& c : out)
        if (c == L'/') c = L'\\';
    return out;
}

std::wstring FileApiPath(const std::wstring& sPath) {
    constexpr std::size_t kPlainLimit = 260;  // MAX_PATH, the terminating zero included
    return sPath.size() < kPlainLimit ? sPath : ExtendedLengthPath(sPath);
}

}  // namespace swirlo
