#include "shuffle/core/OutputName.h"

#include <algorithm>
#include <cwctype>

#include "foundation/ErrorText.h"

namespace swirlo {

const wchar_t* OutputExtension(int nConvertWpl) {
    return nConvertWpl == 0 ? L".wpl" : nConvertWpl == 1 ? L".m3u" : L".m3u8";
}

bool SameTextNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

namespace {

void AppendSpaced(std::wstring& part, const std::wstring& piece) {
    if (!part.empty()) part += L' ';
    part += piece;
}

}  // namespace

std::wstring DefaultOutputName(const OutputNameOptions& opt, const std::wstring* firstRowName) {
    const std::wstring ext = OutputExtension(opt.nConvertWpl);
    if (!opt.bAddSrcName && !opt.bAddLabel && !opt.bAddDate) return L"*" + ext;
    std::wstring before, after;
    if (opt.bAddLabel) (opt.bLabelAfter ? after : before) = opt.sLabel;
    if (opt.bAddDate) AppendSpaced(opt.bDateAfter ? after : before, opt.sDateMMdd);
    if (opt.bAddSrcName) {
        if (!firstRowName) return L"*" + ext;
        std::wstring src = firstRowName->substr(0, 1000);
        std::size_t cut = src.find(L" <");
        if (cut != std::wstring::npos) src.resize(cut);
        for (wchar_t& c : src)
            if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
        AppendSpaced(before, src);
    }
    std::wstring name = before;
    if (!after.empty()) AppendSpaced(name, after);
    return name + ext;
}

std::wstring SettleExtension(const std::wstring& sPath, const std::wstring& ext, const std::wstring& defaultExt) {
    const std::wstring bare = ext.empty() || ext[0] != L'.' ? ext : ext.substr(1);
    if (SameTextNoCase(bare, defaultExt)) return sPath;
    for (const wchar_t* known : {L".wpl", L".m3u", L".m3u8"})
        if (SameTextNoCase(ext, known)) return sPath;
    return sPath + L"." + defaultExt;
}

int FormatOfExtension(const std::wstring& ext) {
    if (SameTextNoCase(ext, L".wpl")) return 0;
    if (SameTextNoCase(ext, L".m3u")) return 1;
    return 2;
}

bool RenameForType(std::wstring& name, const std::wstring& newExt) {
    std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    if (SameTextNoCase(name.substr(dot), newExt)) return false;
    name = name.substr(0, dot) + newExt;
    return true;
}

int LeadingNumber(const std::wstring& text, std::size_t maxChars) {
    const std::wstring s = text.substr(0, maxChars);
    std::size_t i = 0;
    while (i < s.size() && s[i] == L' ') ++i;
    int v = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) v = v * 10 + (s[i] - L'0');
    return v;
}

int EffectiveLimit(int nLimit, bool bNoReps, bool bLarger, int nMinSegment) {
    if (!bNoReps) return nLimit;
    if (nLimit == -1) return nMinSegment;
    return bLarger ? std::max(nLimit, nMinSegment) : std::min(nLimit, nMinSegment);
}

std::wstring TruncationText(int nLimit, int nEffective, bool bNoReps, int nMinSegment, unsigned long long total) {
    if (nEffective == -1 || static_cast<unsigned long long>(nEffective) >= total) return std::wstring();
    if (!bNoReps) return FormatW(L"\nTruncated to %d songs as requested.", nEffective);
    if (nEffective == nMinSegment)
        return FormatW(L"\nTruncated to %d songs to prevent any repetitions as requested.", nEffective);
    return FormatW(L"\nTruncated to %d songs per specified options.\n\nBoth absolute limit and limit to no repetitions "
                   L"were checked.\nTruncated to the %ls absolute limit as requested.\nLimit to ensure no repetitions "
                   L"would have been %d songs.",
                   nEffective, nLimit < nMinSegment ? L"smaller" : L"larger", nMinSegment);
}

}  // namespace swirlo
