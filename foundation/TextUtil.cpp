#include "foundation/TextUtil.h"

#include <cwctype>
#include <new>

#include "foundation/ErrorText.h"

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

namespace {
bool EqualAt(const std::wstring& s, std::size_t pos, std::wstring_view f, bool caseSensitive) {
    if (caseSensitive) return s.compare(pos, f.size(), f) == 0;
    for (std::size_t i = 0; i < f.size(); ++i)
        if (std::towlower(static_cast<wint_t>(s[pos + i])) != std::towlower(static_cast<wint_t>(f[i])))
            return false;
    return true;
}
}  // namespace

int ReplaceSubStr(std::wstring& source, const wchar_t* find, const wchar_t* replacement,
                  std::wstring* out, bool firstOnly, bool caseSensitive) {
    gsErrorText.clear();
    if (source.empty() || !find || !*find || !replacement) {
        AppendErrorPart(gsErrorText, kGlobalErrorCap, L"ReplaceSubStr: NULL or empty required string param(s)");
        return 0;
    }
    try {
        std::wstring_view f(find);
        std::wstring result;
        int n = 0;
        std::size_t i = 0;
        while (i + f.size() <= source.size()) {
            if ((!firstOnly || n == 0) && EqualAt(source, i, f, caseSensitive)) {
                result.append(replacement);
                i += f.size();
                ++n;
            } else {
                result.push_back(source[i++]);
            }
        }
        result.append(source, i, std::wstring::npos);
        if (out) *out = std::move(result);
        else source = std::move(result);
        return n;
    } catch (const std::bad_alloc&) {
        AppendErrorPart(gsErrorText, kGlobalErrorCap, L"ReplaceSubStr: Error allocating memory");
        return 0;
    }
}

int ReplaceSubStrOk(std::wstring& source, const wchar_t* find, const wchar_t* replacement,
                    std::wstring* out, bool firstOnly, bool caseSensitive) {
    if (ReplaceSubStr(source, find, replacement, out, firstOnly, caseSensitive)) return 1;
    return gsErrorText.empty() ? 1 : 0;
}

int JoinWithin(std::wstring& out, std::size_t maxLen, const std::vector<std::wstring>& items,
               std::wstring_view separator) {
    int n = 0;
    for (const std::wstring& item : items) {
        std::size_t add = item.size() + ((!out.empty() && !separator.empty()) ? separator.size() : 0);
        if (out.size() + add > maxLen) break;
        if (!out.empty()) out.append(separator);
        out.append(item);
        ++n;
    }
    return n;
}

void ConcatParts(std::wstring& out, const wchar_t* p1, const wchar_t* p2, const wchar_t* p3,
                 const wchar_t* p4, const wchar_t* p5) {
    for (const wchar_t* p : {p1, p2, p3, p4, p5})
        if (p) out.append(p);
}

}  // namespace swirlo
