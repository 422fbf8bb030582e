#include "foundation/IniSettings.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <new>

#include "foundation/ErrorText.h"
#include "foundation/Utilities.h"
#include "foundation/WinHandles.h"

namespace swirlo {

namespace {

const wchar_t* const kSectionNames[kIniSectionCount] = {
    L"Shuffle Tab", L"Shuffle Settings", L"Album Art Tab", L"Album Art Settings", L"Logging Settings"};

const wchar_t kNoDialog[] = L"Attempt to access dialog controls with dialog not set";
const wchar_t kNoKey[] = L"Attempt to save INI value, key not specified";

// A radio walk gives up after this many buttons: the last control is then not in the group.
constexpr int kMaxRadioButtons = 500;

// Decimal text of an edit control: optional leading blanks, an optional sign (a minus only when
// allowMinus), at least one digit, nothing after. Values outside 32 bits are refused rather than
// clamped. Returns 1 with the value, 0 on malformed text, -1 when out of range.
int ParseDecimal(const std::wstring& text, bool allowMinus, long long& value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || (allowMinus && text[i] == L'-'))) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i == text.size()) return 0;
    long long n = 0;
    bool tooBig = false;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return 0;
        if (!tooBig) n = n * 10 + (text[i] - L'0');
        if (n > 0xFFFFFFFFLL) tooBig = true;
    }
    if (negative) n = -n;
    long long lo = allowMinus ? INT_MIN : 0;
    long long hi = allowMinus ? INT_MAX : UINT_MAX;
    if (tooBig || n < lo || n > hi) return -1;
    value = n;
    return 1;
}

// A profile value is one line: a line break inside it would start new keys or sections in the
// file, so only the text before the first one is written.
std::wstring OneLine(const std::wstring& text) {
    return text.substr(0, text.find_first_of(L"\r\n"));
}

bool FitsAnsi(const std::wstring& text) {
    // A UTF-8 code page holds every character, and refuses the flag and the default-used pointer.
    if (text.empty() || GetACP() == CP_UTF8) return true;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                nullptr, 0, nullptr, &usedDefault);
    return n > 0 && !usedDefault;
}

// Byte order marks the profile functions do not know. Windows reads a file as UTF-16LE after its
// mark and as ANSI otherwise, so a UTF-8 mark (Notepad may save one) becomes part of the first line
// and the first section is read under another name.
enum class ForeignMark { None, Utf8, Utf16BE };

ForeignMark MarkOf(const std::string& start) {
    if (start.rfind("\xEF\xBB\xBF", 0) == 0) return ForeignMark::Utf8;
    if (start.rfind("\xFE\xFF", 0) == 0) return ForeignMark::Utf16BE;
    return ForeignMark::None;
}

bool ReadAll(HANDLE h, std::string& bytes, std::size_t limit) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size) || size.QuadPart > 64 * 1024 * 1024) return false;
    bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(size.QuadPart), limit));
    DWORD got = 0;
    return bytes.empty() ||
           (ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
}

// The text of a file with a foreign mark, without the mark.
std::wstring DecodeMarked(const std::string& bytes, ForeignMark mark) {
    std::wstring text;
    if (mark == ForeignMark::Utf16BE) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<wchar_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                                static_cast<unsigned char>(bytes[i + 1])));
        return text;
    }
    const int len = static_cast<int>(bytes.size() - 3);
    int n = len > 0 ? MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, len, nullptr, 0) : 0;
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, len, text.data(), n);
    return text;
}

ForeignMark MarkOfFile(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string start;
    return file && ReadAll(file.Get(), start, 3) ? MarkOf(start) : ForeignMark::None;
}

// Rewrites a file with a foreign mark, in place, as UTF-16LE with its mark, which the profile
// functions of every Windows read: nothing of the text is lost. False when it could not be done.
bool ConvertForeignMark(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file || !ReadAll(file.Get(), bytes, std::string::npos)) return false;
    const ForeignMark mark = MarkOf(bytes);
    if (mark == ForeignMark::None) return true;
    std::wstring text = DecodeMarked(bytes, mark);
    text.insert(text.begin(), wchar_t(0xFEFF));
    DWORD put = 0, byteCount = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    return SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           WriteFile(file.Get(), text.data(), byteCount, &put, nullptr) && put == byteCount && SetEndOfFile(file.Get());
}

}  // namespace

IniSettings::IniSettings() = default;

int IniSettings::Fail(const wchar_t* message, const wchar_t* detail) {
    m_sErrorText = FormatW(L"INI settings class error:\r\n%ls%ls%ls", message, detail ? L"\r\n" : L"",
                           detail ? detail : L"");
    if (m_sErrorText.size() > kIniErrorCap) m_sErrorText.resize(kIniErrorCap);
    return 0;
}

// ---------------------------------------------------------------- lifecycle and file

int IniSettings::InitSettings(const wchar_t* sIniDirSlash) {
    if (!SetIniPath(sIniDirSlash, nullptr)) return 0;
    if (!RegisterSections() || !RegisterKeys()) return 0;
    m_vLoadNotes.clear();
    if (MarkOfFile(m_sIniPath) != ForeignMark::None) {
        // Rewritten before the first read, or its first section would load as defaults.
        std::wstring temp;
        if (BeginRewrite(temp) && CommitRewrite(temp)) {
            m_vLoadNotes.push_back(L"The file had a byte order mark Windows does not read: it is now saved as UTF-16");
        } else {
            std::wstring why = m_sErrorText.substr(m_sErrorText.find(L'\n') + 1);
            std::replace_if(
                why.begin(), why.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
            m_vLoadNotes.push_back(
                L"The file has a byte order mark Windows does not read and could not be rewritten: " + why);
        }
    }
    for (int i = 0; i < kIniSectionCount; ++i) {
        if (!LoadSection(static_cast<IniSect>(i))) return 0;
    }
    return 1;
}

int IniSettings::SetIniPath(const wchar_t* sIniDirSlash, const wchar_t* fileName) {
    if (!sIniDirSlash) return Fail(L"sIniDirSlash is null");
    std::wstring path;
    try {
        m_sIniDirSlash = sIniDirSlash;
        if (fileName) {
            path = m_sIniDirSlash + fileName;
        } else {
            std::wstring dir, name, ext;
            if (!GetModulePathParts(dir, name, ext)) return Fail(L"Error setting ini file path", dir.c_str());
            path = FormatW(L"%ls%ls.ini", sIniDirSlash, name.c_str());
        }
    } catch (const std::bad_alloc&) {
        return Fail(L"Error allocating memory for settings string");
    }
    // The profile functions and the folder lookups work with 260-character paths; a longer one
    // would be cut somewhere else and name a different file.
    if (path.size() >= static_cast<size_t>(kIniPathChars))
        return Fail(L"Error setting ini file path", L"INI file path longer than 259 characters");
    m_sIniPath = std::move(path);
    return 1;
}

// Starts from empty sections, so that a second InitSettings registers each key once again
// instead of overflowing the sections with copies.
int IniSettings::RegisterSections() {
    try {
        for (int i = 0; i < kIniSectionCount; ++i) {
            m_sections[i] = IniSection();
            m_sections[i].sName = kSectionNames[i];
            m_sections[i].vars.reserve(kMaxIniVariables);
        }
    } catch (const std::bad_alloc&) {
        return Fail(L"Error allocating memory for settings string");
    }
    return 1;
}

int IniSettings::RegisterKeys() {
    using S = IniSect;
    const S ss = S::ShuffleSettings;
    const S ls = S::LoggingSettings;
    return AddInt(ss, L"UseLastDir", UseLastDir, 1) && AddString(ss, L"LastDir", LastDir, L"") &&
           AddInt(ss, L"WmpNotify", WmpNotify, 1) && AddInt(ss, L"DefaultRating", DefaultRating, 2, 1, 5) &&
           AddInt(ss, L"AddSrcName", AddSrcName, 1) && AddInt(ss, L"AddLabel", AddLabel, 1) &&
           AddUInt(ss, L"LabelPlace", LabelPlace, 0, 0, 1) && AddString(ss, L"LabelText", LabelText, L"vxq") &&
           AddInt(ss, L"AddDate", AddDate, 0) && AddUInt(ss, L"DatePlace", DatePlace, 1, 0, 1) &&
           AddInt(ss, L"ConvertWpl", ConvertWpl, 0, 0, 2) &&
           AddInt(ls, L"SaveLog", SaveLog, 0) && AddInt(ls, L"FlushEachWrite", FlushEachWrite, 0) &&
           AddInt(ls, L"ShowElapsed", ShowElapsed, 0) &&
           AddInt(ss, L"Frequency1", Frequency1, 1, 0, 99) && AddInt(ss, L"Frequency2", Frequency2, 2, 0, 99) &&
           AddInt(ss, L"Frequency3", Frequency3, 3, 0, 99) && AddInt(ss, L"Frequency4", Frequency4, 5, 0, 99) &&
           AddInt(ss, L"Frequency5", Frequency5, 9, 0, 99) && AddInt(ss, L"FrequencySame", FrequencySame, 4, 0, 99) &&
           AddInt(ss, L"Frequency1Default", Frequency1Default, 1, 0, 99) &&
           AddInt(ss, L"Frequency2Default", Frequency2Default, 2, 0, 99) &&
           AddInt(ss, L"Frequency3Default", Frequency3Default, 3, 0, 99) &&
           AddInt(ss, L"Frequency4Default", Frequency4Default, 5, 0, 99) &&
           AddInt(ss, L"Frequency5Default", Frequency5Default, 9, 0, 99) &&
           AddInt(ss, L"FrequencySameDefault", FrequencySameDefault, 4, 1, 99) &&
           AddUInt(ss, L"RememberFrequency", RememberFrequency, 1, 0, 2) && AddInt(ss, L"DaysNew", DaysNew, 45) &&
           AddInt(ss, L"ListboxOrder", ListboxOrder, 1, 0, 1) &&
           AddInt(ss, L"DaysNewAsFixedDate", DaysNewAsFixedDate, 0, 0, 1) &&
           AddInt(ss, L"IncludeAutoPlists", IncludeAutoPlists, 0) &&
           AddUInt(S::ShuffleTab, L"RepeatsOption", RepeatsOption, 0, 0, 1) &&
           AddUInt(S::ShuffleTab, L"RepeatSepOnlySize", RepeatSepOnlySize, 30, 0, 99) &&
           AddUInt(S::ShuffleTab, L"RepeatSepDistSize", RepeatSepDistSize, 50, 1, 99) &&
           AddInt(S::ShuffleTab, L"TruncateSize", TruncateSize, 300, 1, 9999) &&
           AddInt(S::ShuffleTab, L"TruncateOutput", TruncateOutput, 1) &&
           AddInt(S::ShuffleTab, L"TruncateNoReps", TruncateNoReps, 1) &&
           AddInt(S::ShuffleTab, L"WhichTruncOpt", WhichTruncOpt, 0, 0, 1) &&
           AddUInt(S::AlbumArtTab, L"SourceJpg", SourceJpg, 0, 0, 3) &&
           AddUInt(S::AlbumArtTab, L"TargetJpg", TargetJpg, 0, 0, 3) &&
           AddString(S::AlbumArtTab, L"SourceJpgOther", SourceJpgOther, L"") &&
           AddString(S::AlbumArtTab, L"TargetJpgOther", TargetJpgOther, L"") &&
           AddString(S::AlbumArtTab, L"LastSourceFolder", LastSourceFolder, L"") &&
           AddUInt(S::AlbumArtSettings, L"ArtSrcDir", ArtSrcDir, 0, 0, 1) &&
           AddUInt(S::AlbumArtSettings, L"ArtTgtDir", ArtTgtDir, 0, 0, 1) &&
           AddString(S::AlbumArtSettings, L"ArtTgtDirOther", ArtTgtDirOther, L"") &&
           AddInt(S::AlbumArtSettings, L"ArtSaveHide", ArtSaveHide, 0) &&
           AddInt(S::AlbumArtSettings, L"ArtHideNoImg", ArtHideNoImg, 0) &&
           AddInt(S::AlbumArtSettings, L"ArtHideNoSrc", ArtHideNoSrc, 0) &&
           AddInt(S::AlbumArtSettings, L"ArtHideRed", ArtHideRed, 0) &&
           AddInt(S::AlbumArtSettings, L"ArtHideNoTgt", ArtHideNoTgt, 0) &&
           AddInt(ls, L"MatchLog", MatchLog, 0) && AddInt(ls, L"MatchLogDetail", MatchLogDetail, 0) &&
           AddInt(ls, L"MatchLogFlush", MatchLogFlush, 0);
}

IniVariable* IniSettings::NewVariable(IniSect section, const wchar_t* key) {
    IniSection& sect = m_sections[Index(section)];
    if (sect.nCount >= kMaxIniVariables) {
        Fail(L"Max number ini variables exceeded");
        return nullptr;
    }
    try {
        sect.vars.emplace_back();
    } catch (const std::bad_alloc&) {
        Fail(L"Error allocating memory for ini key");
        return nullptr;
    }
    try {
        sect.vars.back().sKey = key ? key : L"";
    } catch (const std::bad_alloc&) {
        sect.vars.pop_back();
        Fail(L"Error allocating memory for settings string");
        return nullptr;
    }
    ++sect.nCount;
    return &sect.vars.back();
}

int IniSettings::AddInt(IniSect section, const wchar_t* key, int& field, int defaultValue, int minValue,
                        int maxValue) {
    IniVariable* var = NewVariable(section, key);
    if (!var) return 0;
    var->pnValue = &field;
    var->nMin = minValue;
    var->nMax = maxValue;
    var->nDefault = defaultValue;
    field = defaultValue;
    return 1;
}

int IniSettings::AddUInt(IniSect section, const wchar_t* key, unsigned& field, unsigned defaultValue,
                         unsigned minValue, unsigned maxValue) {
    IniVariable* var = NewVariable(section, key);
    if (!var) return 0;
    var->puValue = &field;
    var->nMin = minValue;
    var->nMax = maxValue;
    var->nDefault = defaultValue;
    field = defaultValue;
    return 1;
}

int IniSettings::AddString(IniSect section, const wchar_t* key, std::wstring& field, const wchar_t* defaultValue) {
    IniVariable* var = NewVariable(section, key);
    if (!var) return 0;
    var->psValue = &field;
    field.clear();
    try {
        field = defaultValue ? defaultValue : L"";
    } catch (const std::bad_alloc&) {
        return Fail(L"Error allocating memory for settings string");
    }
    return 1;
}

int IniSettings::LoadVariable(const IniSection& section, IniVariable& var) {
    const wchar_t* path = m_sIniPath.c_str();
    if (var.psValue) {
        try {
            std::wstring buffer(kIniValueChars, L'\0');
            DWORD n = GetPrivateProfileStringW(section.sName.c_str(), var.sKey.c_str(), var.psValue->c_str(),
                                               buffer.data(), kIniValueChars, path);
            buffer.resize(n < static_cast<DWORD>(kIniValueChars) ? n : kIniValueChars - 1);
            *var.psValue = std::move(buffer);
        } catch (const std::bad_alloc&) {
            return Fail(L"Error allocating memory for settings string");
        }
    } else if (var.pnValue || var.puValue) {
        int current = var.pnValue ? *var.pnValue : static_cast<int>(*var.puValue);
        int read = static_cast<int>(GetPrivateProfileIntW(section.sName.c_str(), var.sKey.c_str(), current, path));
        // An unsigned key compares as unsigned: "-1" in the file is 4294967295, not below 0.
        long long value = var.puValue ? static_cast<long long>(static_cast<unsigned>(read)) : read;
        if (value < var.nMin || value > var.nMax) {
            m_vLoadNotes.push_back(FormatW(L"[%ls] %ls=%lld is outside %lld to %lld; the default %lld is used",
                                           section.sName.c_str(), var.sKey.c_str(), value, var.nMin, var.nMax,
                                           var.nDefault));
            value = var.nDefault;
        }
        if (var.pnValue) *var.pnValue = static_cast<int>(value);
        else *var.puValue = static_cast<unsigned>(value);
    } else {
        return Fail(L"Attempt to read null variable from ini file");
    }
    return 1;
}

int IniSettings::LoadSection(IniSect section) {
    IniSection& sect = m_sections[Index(section)];
    for (IniVariable& var : sect.vars) {
        if (!LoadVariable(sect, var)) return 0;
    }
    return 1;
}

// A value the ANSI code page cannot hold (a folder named in another script) would come back as
// question marks from an ANSI file. Such a value turns the file into UTF-16 with a byte order
// mark, which the profile functions then keep; a file of plain ANSI values stays ANSI.
int IniSettings::EnsureUnicodeFile(const std::wstring& value, const std::wstring& path) {
    if (FitsAnsi(value)) return 1;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    const HANDLE h = file.Get();
    if (!file) return Fail(L"Error writing to ini file", WinErrorText(0).c_str());
    std::string bytes;
    bool ok = ReadAll(h, bytes, std::string::npos);
    bool isUnicode = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                     static_cast<unsigned char>(bytes[1]) == 0xFE;
    if (ok && !isUnicode) {
        std::wstring text;
        if (!bytes.empty()) {
            int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
            text.resize(n > 0 ? n : 0);
            if (n > 0)
                MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
        }
        text.insert(text.begin(), wchar_t(0xFEFF));
        // UTF-16LE on disk whatever the width of wchar_t here (this file is Windows-only, where it is 2).
        DWORD put = 0;
        DWORD byteCount = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        ok = SetFilePointer(h, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
             WriteFile(h, text.data(), byteCount, &put, nullptr) && put == byteCount && SetEndOfFile(h);
    }
    DWORD err = ok ? 0 : GetLastError();
    if (!ok) return Fail(L"Error writing to ini file", WinErrorText(err).c_str());
    return 1;
}

int IniSettings::SaveVariable(const IniSection& section, const IniVariable& var, const std::wstring& path) {
    std::wstring text;
    if (var.psValue) {
        text = OneLine(*var.psValue);
        if (!EnsureUnicodeFile(text, path)) return 0;
    } else if (var.pnValue) {
        text = FormatW(L"%d", *var.pnValue);
    } else if (var.puValue) {
        text = FormatW(L"%d", static_cast<int>(*var.puValue));
    } else {
        return Fail(L"Tried to write null variable to ini file");
    }
    if (!WritePrivateProfileStringW(section.sName.c_str(), var.sKey.c_str(), text.c_str(), path.c_str()))
        return Fail(L"Error writing to ini file");
    return 1;
}

// The profile functions rewrite the whole file in place: a failure half-way (a full disk, a
// crash) would leave it cut short and lose every setting. So the keys are written into a copy
// beside it, which replaces the file only once it is complete; a failed save leaves the old file.
int IniSettings::BeginRewrite(std::wstring& tempPath) {
    tempPath = m_sIniPath + L".new";
    DeleteFileW(tempPath.c_str());
    if (GetFileAttributesW(m_sIniPath.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !CopyFileW(m_sIniPath.c_str(), tempPath.c_str(), FALSE))
        return Fail(L"Error writing to ini file", WinErrorText(0).c_str());
    // A file edited meanwhile may have gained a mark: the copy is made readable before keys go in.
    if (GetFileAttributesW(tempPath.c_str()) != INVALID_FILE_ATTRIBUTES && !ConvertForeignMark(tempPath)) {
        DWORD err = GetLastError();
        DeleteFileW(tempPath.c_str());
        return Fail(L"Error writing to ini file", WinErrorText(err).c_str());
    }
    return 1;
}

int IniSettings::CommitRewrite(const std::wstring& tempPath) {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, tempPath.c_str());  // flush the profile cache
    if (!MoveFileExW(tempPath.c_str(), m_sIniPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD err = GetLastError();
        DeleteFileW(tempPath.c_str());
        return Fail(L"Error writing to ini file", WinErrorText(err).c_str());
    }
    return 1;
}

int IniSettings::SaveSection(IniSect section) {
    const IniSection& sect = m_sections[Index(section)];
    std::wstring temp;
    if (!BeginRewrite(temp)) return 0;
    for (const IniVariable& var : sect.vars) {
        if (!SaveVariable(sect, var, temp)) {
            DeleteFileW(temp.c_str());
            return 0;
        }
    }
    return CommitRewrite(temp);
}

int IniSettings::SaveOne(const IniSection& section, const IniVariable& var) {
    std::wstring temp;
    if (!BeginRewrite(temp)) return 0;
    if (!SaveVariable(section, var, temp)) {
        DeleteFileW(temp.c_str());
        return 0;
    }
    return CommitRewrite(temp);
}

IniVariable* IniSettings::FindVariable(const void* field, IniSection*& section) {
    for (IniSection& sect : m_sections) {
        for (IniVariable& var : sect.vars) {
            if (var.pnValue == field || var.puValue == field || var.psValue == field) {
                section = &sect;
                return &var;
            }
        }
    }
    return nullptr;
}

int IniSettings::SetIntAndSave(int& field, int value) {
    IniSection* sect = nullptr;
    IniVariable* var = FindVariable(&field, sect);
    if (!var) return Fail(kNoKey);
    field = value;
    return SaveOne(*sect, *var);
}

int IniSettings::SetIntAndSave(unsigned& field, unsigned value) {
    IniSection* sect = nullptr;
    IniVariable* var = FindVariable(&field, sect);
    if (!var) return Fail(kNoKey);
    field = value;
    return SaveOne(*sect, *var);
}

int IniSettings::SetStringAndSave(std::wstring& field, const std::wstring& text) {
    IniSection* sect = nullptr;
    IniVariable* var = FindVariable(&field, sect);
    if (!var) return Fail(kNoKey);
    try {
        field = text;
    } catch (const std::bad_alloc&) {
        return Fail(L"Error allocating memory for settings string");
    }
    return SaveOne(*sect, *var);
}

void IniSettings::StartSessionFrequencies() {
    if (RememberFrequency != 0) ApplyFrequencyDefaults();
}

void IniSettings::ApplyFrequencyDefaults() {
    Frequency1 = Frequency1Default;
    Frequency2 = Frequency2Default;
    Frequency3 = Frequency3Default;
    Frequency4 = Frequency4Default;
    Frequency5 = Frequency5Default;
    FrequencySame = FrequencySameDefault;
}

// ---------------------------------------------------------------- dialog binding

HWND IniSettings::DialogControl(int control) {
    HWND h = GetDlgItem(m_hDlg, control);
    if (!h) Fail(L"Error getting HWND for dialog control", FormatW(L"Control ID %d", control).c_str());
    return h;
}

int IniSettings::ReadEditText(int control, std::wstring& text, bool allowEmpty, int maxChars) {
    if (!m_hDlg) return Fail(kNoDialog);
    HWND h = DialogControl(control);
    if (!h) return 0;
    // A text longer than the buffer is refused, not silently cut to 1023 characters.
    int length = GetWindowTextLengthW(h);
    if (length == 0) {
        if (!allowEmpty) return Fail(L"No text in input field");
        text.clear();
        return 1;
    }
    int limit = maxChars < kIniValueChars - 1 ? maxChars : kIniValueChars - 1;
    if (length > limit) return Fail(FormatW(L"Maximum allowed input text is %d characters", maxChars).c_str());
    std::wstring buffer(kIniValueChars, L'\0');
    int n = GetWindowTextW(h, buffer.data(), kIniValueChars);
    buffer.resize(n > 0 ? n : 0);
    text = std::move(buffer);
    return 1;
}

// The text of an edit as a number: empty (when allowed) gives 0; badText names what is allowed.
int IniSettings::ReadEditNumber(int control, bool allowMinus, bool allowEmpty, int maxChars, long long& value,
                                const wchar_t* badText) {
    std::wstring text;
    if (!ReadEditText(control, text, allowEmpty, maxChars)) return 0;
    value = 0;
    if (text.empty()) return 1;
    int r = ParseDecimal(text, allowMinus, value);
    if (r == 0) return Fail(badText);
    if (r < 0) return Fail(L"Number in input field is out of range", text.c_str());
    return 1;
}

int IniSettings::ReadEditInt(int control, int& field, bool allowEmpty, int maxChars) {
    long long value = 0;
    if (!ReadEditNumber(control, true, allowEmpty, maxChars, value,
                        L"Only digits, with optional minus sign, allowed in input field"))
        return 0;
    field = static_cast<int>(value);
    return 1;
}

int IniSettings::ReadEditString(int control, std::wstring& field, bool allowEmpty, int maxChars) {
    std::wstring text;
    if (!ReadEditText(control, text, allowEmpty, maxChars)) return 0;
    field = std::move(text);
    return 1;
}

int IniSettings::WriteEditString(int control, const std::wstring& text) {
    if (!m_hDlg) return Fail(kNoDialog);
    HWND h = DialogControl(control);
    if (!h) return 0;
    if (!SetWindowTextW(h, text.c_str())) return Fail(L"Error setting text of dialog control");
    return 1;
}

int IniSettings::ReadCheck(int control, int& field, bool invert) {
    if (!m_hDlg) return Fail(kNoDialog);
    HWND h = DialogControl(control);
    if (!h) return 0;
    bool checked = SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
    field = (checked != invert) ? 1 : 0;
    return 1;
}

int IniSettings::WriteCheck(int control, int value, bool invert) {
    if (!m_hDlg) return Fail(kNoDialog);
    bool check = (value != 0) != invert;
    HWND h = GetDlgItem(m_hDlg, control);
    if (!h) return Fail(L"Error setting check state in dialog button");
    SendMessageW(h, BM_SETCHECK, check ? BST_CHECKED : BST_UNCHECKED, 0);
    return 1;
}

// Walks the buttons from firstControl in the order of the dialog template; the k-th stands
// for base + k * step.
int IniSettings::ReadRadioValue(int& value, int firstControl, int lastControl, int base, int step) {
    if (!m_hDlg) return Fail(kNoDialog);
    HWND h = GetDlgItem(m_hDlg, firstControl);
    for (int k = 0; k < kMaxRadioButtons; ++k) {
        if (!h) return Fail(L"Error getting HWND for next control");
        if (SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            value = base + k * step;
            return 1;
        }
        if (GetDlgCtrlID(h) == lastControl) return Fail(L"Radio Button range has none checked");
        h = GetWindow(h, GW_HWNDNEXT);  // template order: disabled or hidden buttons count too
    }
    return Fail(L"Error finding checked Radio Button");
}

int IniSettings::ReadRadioRange(int& field, int firstControl, int lastControl, int base, int step) {
    int value = 0;
    if (!ReadRadioValue(value, firstControl, lastControl, base, step)) return 0;
    field = value;
    return 1;
}

int IniSettings::ReadRadioRange(unsigned& field, int firstControl, int lastControl, int base, int step) {
    int value = 0;
    if (!ReadRadioValue(value, firstControl, lastControl, base, step)) return 0;
    field = static_cast<unsigned>(value);
    return 1;
}

int IniSettings::WriteRadioRange(int field, int firstControl, int lastControl, int base, int step) {
    if (!m_hDlg) return Fail(kNoDialog);
    HWND h = GetDlgItem(m_hDlg, firstControl);
    for (int k = 0; k < kMaxRadioButtons; ++k) {
        if (!h) return Fail(L"Error getting HWND for next control");
        WPARAM state = (base + k * step == field) ? BST_CHECKED : BST_UNCHECKED;
        SendMessageW(h, BM_SETCHECK, state, 0);
        if (GetDlgCtrlID(h) == lastControl) return 1;
        h = GetWindow(h, GW_HWNDNEXT);  // template order: disabled or hidden buttons count too
    }
    return Fail(FormatW(L"Error setting Radio Button check state\nRadio Buttons ID range %d to %d", firstControl,
                        lastControl).c_str());
}

// ---------------------------------------------------------------- errors

int IniSettings::ShowError(const wchar_t* caption, const wchar_t* message, const wchar_t* extra) {
    MsgBoxParts(m_hDlg, caption, message, m_sErrorText.c_str(), extra, nullptr, nullptr, nullptr,
                MB_ICONWARNING | MB_OK);
    return 0;
}

}  // namespace swirlo
