// The rules of the output file choice that need no operating system: the proposed file name, the
// extension a chosen name ends up with, the playlist format it stands for, and the name box after a
// change of file type in the Save As dialog. OS-free.
#pragma once
#include <string>

namespace swirlo {

// ".wpl", ".m3u" or ".m3u8" for the ConvertWpl setting 0, 1 and any other value.
const wchar_t* OutputExtension(int nConvertWpl);

struct OutputNameOptions {
    int nConvertWpl = 0;
    bool bAddSrcName = false;
    bool bAddLabel = false;
    std::wstring sLabel;
    bool bLabelAfter = false;
    bool bAddDate = false;
    bool bDateAfter = true;
    std::wstring sDateMMdd;  // today as "MMdd"
};

// The proposed name. firstRowName is the name of the page's first row; null when it could not be had
// (the name is then the extension's pattern, as when no part is chosen).
std::wstring DefaultOutputName(const OutputNameOptions& opt, const std::wstring* firstRowName);

// The path after the extension rules: a path whose extension is neither the default one nor one of
// the three playlist extensions gets "." and the default extension appended. ext is the split
// extension with its dot; defaultExt has none.
std::wstring SettleExtension(const std::wstring& sPath, const std::wstring& ext, const std::wstring& defaultExt);

// PlaylistFormat of an extension with its dot: ".wpl" 0, ".m3u" 1, anything else 2 (any case).
int FormatOfExtension(const std::wstring& ext);

// The name box after the file type changed to newExt (with its dot): an extension that differs from
// it is replaced; a name without a dot is left alone. Returns whether the name changed.
bool RenameForType(std::wstring& name, const std::wstring& newExt);

// The run's output limit. The number at the start of at most maxChars characters of a box (leading
// spaces skipped); 0 when there is none, so an empty or non-numeric box reads as out of range.
int LeadingNumber(const std::wstring& text, std::size_t maxChars);

// The number of entries written: nLimit (-1 none) alone, or, when the no-repetitions limit is in force
// (even distribution only), combined with nMinSegment as the smaller/larger choice says.
int EffectiveLimit(int nLimit, bool bNoReps, bool bLarger, int nMinSegment);

// The summary's truncation text for a playlist of total plays; empty when nothing was cut.
std::wstring TruncationText(int nLimit, int nEffective, bool bNoReps, int nMinSegment, unsigned long long total);

// Case-insensitive comparison of two short ASCII-range texts (extensions).
bool SameTextNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace swirlo
