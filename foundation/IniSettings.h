// The program's persistent options: one object holding every setting as a plain public field, the
// INI file they live in (five sections of key=value lines, read and written through the platform's
// profile functions), and the moves between those fields and the controls of the dialog currently
// bound to it. Every operation returns 1 on success and 0 on failure, leaving the reason in
// ErrorText(); nothing throws.
#pragma once
#include <windows.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

namespace swirlo {

// The five sections, in the order of loading and of the search of single-key saves.
enum class IniSect { ShuffleTab, ShuffleSettings, AlbumArtTab, AlbumArtSettings, LoggingSettings };
constexpr int kIniSectionCount = 5;
constexpr int kMaxIniVariables = 30;  // per section
constexpr int kIniValueChars = 1024;  // buffer of a value or an edit text, terminator included
constexpr int kIniPathChars = 260;    // the INI path and its folder, terminator included

// One key and the field it is bound to. Signed and unsigned keys are stored and written alike;
// the flag only records which kind was registered.
struct IniVariable {
    std::wstring sKey;
    int* pnValue = nullptr;          // signed key
    unsigned* puValue = nullptr;     // unsigned key
    std::wstring* psValue = nullptr; // string key
    // Integer keys: the values a loaded number may take, and the default that replaces one outside
    // them (a hand-edited choice must never index past a table).
    long long nMin = LLONG_MIN, nMax = LLONG_MAX, nDefault = 0;
};

struct IniSection {
    std::wstring sName;
    int nCount = 0;                  // registered keys, at most kMaxIniVariables
    std::vector<IniVariable> vars;   // registration order
};

class IniSettings {
public:
    IniSettings();
    IniSettings(const IniSettings&) = delete;
    IniSettings& operator=(const IniSettings&) = delete;

    // ---- "Shuffle Tab"
    unsigned RepeatsOption = 0;
    unsigned RepeatSepOnlySize = 0;
    unsigned RepeatSepDistSize = 0;
    int TruncateSize = 0;
    int TruncateOutput = 0;
    int TruncateNoReps = 0;
    int WhichTruncOpt = 0;

    // ---- "Shuffle Settings"
    int UseLastDir = 0;
    std::wstring LastDir;
    int WmpNotify = 0;
    int DefaultRating = 0;
    int AddSrcName = 0;
    int AddLabel = 0;
    unsigned LabelPlace = 0;
    std::wstring LabelText;
    int AddDate = 0;
    unsigned DatePlace = 0;
    int ConvertWpl = 0;
    int Frequency1 = 0, Frequency2 = 0, Frequency3 = 0, Frequency4 = 0, Frequency5 = 0;
    int FrequencySame = 0;
    int Frequency1Default = 0, Frequency2Default = 0, Frequency3Default = 0,
        Frequency4Default = 0, Frequency5Default = 0;
    int FrequencySameDefault = 0;
    unsigned RememberFrequency = 0;
    int DaysNew = 0;
    int ListboxOrder = 0;
    int DaysNewAsFixedDate = 0;
    int IncludeAutoPlists = 0;

    // ---- "Album Art Tab"
    unsigned SourceJpg = 0;
    unsigned TargetJpg = 0;
    std::wstring SourceJpgOther;
    std::wstring TargetJpgOther;
    std::wstring LastSourceFolder;

    // ---- "Album Art Settings"
    unsigned ArtSrcDir = 0;
    unsigned ArtTgtDir = 0;
    std::wstring ArtTgtDirOther;
    int ArtSaveHide = 0;
    int ArtHideNoImg = 0;
    int ArtHideNoSrc = 0;
    int ArtHideRed = 0;
    // Rows with no match in the target folders. Kept in the file like its three siblings, so that
    // ArtSaveHide can restore all four hide choices of the last session.
    int ArtHideNoTgt = 0;

    // ---- "Logging Settings"
    int SaveLog = 0;
    int FlushEachWrite = 0;
    int ShowElapsed = 0;
    int MatchLog = 0;
    int MatchLogDetail = 0;
    int MatchLogFlush = 0;

    // ---- Lifecycle and file
    // Sets the path (folder + program base name + ".ini"), registers every key with its default and
    // loads all five sections.
    int InitSettings(const wchar_t* sIniDirSlash);
    // folder must end in a backslash; with fileName the path is folder + fileName.
    int SetIniPath(const wchar_t* sIniDirSlash, const wchar_t* fileName);
    // minValue/maxValue bound what a load accepts; a value outside them gives the default and a note.
    int AddInt(IniSect section, const wchar_t* key, int& field, int defaultValue, int minValue = INT_MIN,
               int maxValue = INT_MAX);
    int AddUInt(IniSect section, const wchar_t* key, unsigned& field, unsigned defaultValue,
                unsigned minValue = 0, unsigned maxValue = UINT_MAX);
    int AddString(IniSect section, const wchar_t* key, std::wstring& field, const wchar_t* defaultValue);
    int LoadSection(IniSect section);
    int SaveSection(IniSect section);
    int SetIntAndSave(int& field, int value);
    int SetIntAndSave(unsigned& field, unsigned value);
    int SetStringAndSave(std::wstring& field, const std::wstring& text);

    // The start of a session: with RememberFrequency nonzero the last-used frequencies start from
    // the permanent defaults; with 0 they stay as loaded. Start-up calls this once after InitSettings.
    void StartSessionFrequencies();
    // Copies the six permanent default frequencies into the six last-used ones.
    void ApplyFrequencyDefaults();

    // ---- Dialog binding (control identifiers of the bound dialog)
    void SetDialog(HWND hDlg) { m_hDlg = hDlg; }
    HWND Dialog() const { return m_hDlg; }
    int ReadEditText(int control, std::wstring& text, bool allowEmpty, int maxChars);
    int ReadEditInt(int control, int& field, bool allowEmpty, int maxChars);
    int ReadEditString(int control, std::wstring& field, bool allowEmpty, int maxChars);
    int WriteEditString(int control, const std::wstring& text);
    int ReadCheck(int control, int& field, bool invert);
    int WriteCheck(int control, int value, bool invert);
    int ReadRadioRange(int& field, int firstControl, int lastControl, int base, int step);
    int ReadRadioRange(unsigned& field, int firstControl, int lastControl, int base, int step);
    int WriteRadioRange(int field, int firstControl, int lastControl, int base, int step);

    // ---- Errors
    // A warning box owned by the bound dialog: message, the error text and extra (when given), one
    // per line. Returns 0 for the caller to pass on as its failure.
    int ShowError(const wchar_t* caption, const wchar_t* message, const wchar_t* extra = nullptr);
    const std::wstring& ErrorText() const { return m_sErrorText; }
    // One line per loaded value that was out of range and replaced by its default, and one when the
    // file had to be rewritten to be readable (for the log).
    const std::vector<std::wstring>& LoadNotes() const { return m_vLoadNotes; }

    const std::wstring& IniPath() const { return m_sIniPath; }
    const std::wstring& IniDirSlash() const { return m_sIniDirSlash; }
    const IniSection& Section(IniSect section) const { return m_sections[Index(section)]; }

private:
    static int Index(IniSect section) { return static_cast<int>(section); }
    int Fail(const wchar_t* message, const wchar_t* detail = nullptr);
    int RegisterSections();
    int RegisterKeys();
    IniVariable* NewVariable(IniSect section, const wchar_t* key);
    IniVariable* FindVariable(const void* field, IniSection*& section);
    int LoadVariable(const IniSection& section, IniVariable& var);
    int SaveVariable(const IniSection& section, const IniVariable& var, const std::wstring& path);
    int EnsureUnicodeFile(const std::wstring& value, const std::wstring& path);
    // A rewrite goes to a copy of the file that replaces it only when complete.
    int BeginRewrite(std::wstring& tempPath);
    int CommitRewrite(const std::wstring& tempPath);
    int SaveOne(const IniSection& section, const IniVariable& var);
    HWND DialogControl(int control);
    int ReadEditNumber(int control, bool allowMinus, bool allowEmpty, int maxChars, long long& value,
                       const wchar_t* badText);
    int ReadRadioValue(int& value, int firstControl, int lastControl, int base, int step);

    std::array<IniSection, kIniSectionCount> m_sections;
    std::wstring m_sIniPath;
    std::wstring m_sIniDirSlash;
    HWND m_hDlg = nullptr;
    std::wstring m_sErrorText;
    std::vector<std::wstring> m_vLoadNotes;
};

}  // namespace swirlo
