#include "shuffle/page/UnattendedShuffle.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "foundation/AppPaths.h"
#include "foundation/IniSettings.h"
#include "foundation/LogFile.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "framework/MessagePump.h"
#include "library/MediaLibrary.h"
#include "shuffle/core/OutputName.h"
#include "shuffle/page/ShufflePage.h"
#include "shuffle/page/ShuffleRun.h"

namespace swirlo {

namespace {

constexpr wchar_t kCaption[] = L"Swirlo";

// The boxes answered so far, one line each, for the run's log line; and the run's usual log, which
// gets them in full while it is open.
std::mutex g_boxLock;
std::vector<std::wstring> g_boxes;
LogFile* g_pRunLog = nullptr;

// A box's text on one line: its lines joined by " / ".
std::wstring OneLine(const std::wstring& text) {
    std::wstring out, piece;
    auto flush = [&] {
        if (!piece.empty()) out += (out.empty() ? L"" : L" / ") + piece;
        piece.clear();
    };
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n') flush();
        else piece += c == L'\t' ? L' ' : c;
    }
    flush();
    return out;
}

int AnswerBox(HWND, const wchar_t* text, const wchar_t* caption, UINT flags) {
    static bool bInLog = false;  // a failing log write shows a box of its own
    {
        std::lock_guard<std::mutex> hold(g_boxLock);
        g_boxes.push_back(OneLine(text ? text : L""));
    }
    if (g_pRunLog && !bInLog) {
        bInLog = true;
        g_pRunLog->LogLine(L"Message box, answered without a click:", caption, text);
        bInLog = false;
    }
    switch (flags & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;
    }
}

std::wstring Joined(const std::vector<std::wstring>& parts, const wchar_t* between) {
    std::wstring out;
    for (const std::wstring& p : parts) out += (out.empty() ? L"" : between) + p;
    return out;
}

// Appends the run's line: time, result, file, counts, and the reason with every box answered.
int Finish(const AppPaths& paths, const std::wstring& sFile, int code, std::wstring reason,
           const ShuffleReport& r = ShuffleReport()) {
    std::wstring boxes;
    {
        std::lock_guard<std::mutex> hold(g_boxLock);
        boxes = Joined(g_boxes, L" | ");
        g_boxes.clear();
    }
    if (!boxes.empty()) reason += (reason.empty() ? L"" : L" | ") + boxes;
    SYSTEMTIME st;
    GetLocalTime(&st);
    const wchar_t* what = code == kUnattendedWritten ? L"written" : code == kUnattendedNothing ? L"nothing to shuffle" : L"failed";
    std::wstring line = FormatW(L"%04u-%02u-%02u %02u:%02u:%02u  %ls  %ls  %llu entries  %llu unique songs  %d shortfalls",
                                st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, what,
                                sFile.empty() ? L"(default name)" : sFile.c_str(),
                                static_cast<unsigned long long>(r.nEntries), static_cast<unsigned long long>(r.nUnique),
                                r.nShortfalls);
    if (!reason.empty()) line += L"  " + reason;
    // A line that cannot be written has nowhere else to go: the exit code still tells.
    AppendToFile(line + L"\r\n", paths.gsAppDocsDirSlash + L"unattended shuffle log.txt", true);
    return code;
}

// The playlist file: the one named (made absolute, a scheduled task starts in the system folder; a
// name without extension gets the default one, as in the Save As dialog), or the default name in
// the folder of the last save. False with the reason.
bool ResolveOutput(const IniSettings& set, const std::wstring& sFile, const std::wstring& firstName, OutputChoice& out,
                   std::wstring& reason) {
    const std::wstring defExt = OutputExtension(set.ConvertWpl) + 1;
    std::wstring path;
    if (sFile.empty()) {
        const std::wstring name = DefaultNameBySettings(set, &firstName);
        const DWORD attr = GetFileAttributesW(set.LastDir.c_str());
        if (name.empty() || name[0] == L'*')
            return reason = L"The name settings give no default file name: name the playlist file on the command line.", false;
        if (set.LastDir.empty() || attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY))
            return reason = L"No folder of a last save is known: name the playlist file on the command line.", false;
        path = set.LastDir + L"\\" + name;
    } else {
        std::vector<wchar_t> buf(GetFullPathNameW(sFile.c_str(), 0, nullptr, nullptr) + 1);
        if (buf.size() < 2 || !GetFullPathNameW(sFile.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr))
            return reason = L"Invalid playlist file name: " + sFile + L" / " + WinErrorText(0), false;
        path = buf.data();
        if (path.find(L'.', path.find_last_of(L'\\') + 1) == std::wstring::npos) path += L"." + defExt;
    }
    std::wstring dir, name, ext;
    bool ok = SplitPath(path, dir, name, ext, true);
    if (ok) path = SettleExtension(path, ext, defExt);
    if (!ok || !SplitPath(path, dir, name, ext, true))
        return reason = L"Error parsing folder and file name in output path: " + path + L" / " + dir, false;
    out = {path, FormatOfExtension(ext), name};
    return true;
}

// The run's status line is the text of a message-only window: never shown, but a tool can find it
// (FindWindowEx with HWND_MESSAGE and the class name) to see where a run that takes long stands.
HWND StatusWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SwirloUnattendedShuffle";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, kCaption, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

// The run's host without a window: the saved settings for the page's controls, the kept groups for
// its list, the chosen file for Save As; the status in the message-only window, no bar, no Stop.
class UnattendedHost final : public ShuffleHost {
public:
    UnattendedHost(const AppPaths& paths, IniSettings& set, MediaLibrary& lib, std::vector<const SongSelection*> groups,
                   OutputChoice out)
        : m_paths(paths), m_set(set), m_lib(lib), m_groups(std::move(groups)), m_out(std::move(out)),
          m_hStatus(StatusWindow()) {
        g_pRunLog = &m_log;
        std::wstring err;
        if (!GetVersionString(L"ProductVersion", m_sVersion, &err)) {
            ErrorBox(nullptr, kCaption, L"Non-fatal error getting version number (for .wpl playlist entry)", err.c_str(),
                     L"OK to continue");
            m_sVersion = L"3";
        }
    }
    ~UnattendedHost() override {
        g_pRunLog = nullptr;
        if (m_hStatus) DestroyWindow(m_hStatus);
    }
    UnattendedHost(const UnattendedHost&) = delete;
    UnattendedHost& operator=(const UnattendedHost&) = delete;

    IniSettings& Settings() override { return m_set; }
    const AppPaths* Paths() const override { return &m_paths; }
    LogFile& Log() override { return m_log; }
    ErrorRecord& Error() override { return m_error; }
    MediaLibrary* Library() override { return &m_lib; }
    const std::wstring& Version() const override { return m_sVersion; }
    // As the page loads them into its controls; the file is replaced without a question (the job).
    int ReadOptions(ShuffleOptions& opt) override {
        opt.nLimit = m_set.TruncateOutput ? m_set.TruncateSize : -1;
        const bool bEven = m_set.RepeatsOption == 0;
        opt.nSeparation = static_cast<int>(std::min(bEven ? m_set.RepeatSepDistSize : m_set.RepeatSepOnlySize, 99u));
        opt.method = bEven ? ShuffleMethod::Even : opt.nSeparation ? ShuffleMethod::Separated : ShuffleMethod::Random;
        opt.bNoReps = m_set.TruncateNoReps != 0;
        opt.bLarger = m_set.WhichTruncOpt != 0;
        return 1;
    }
    int ChooseOutput(const ShuffleOptions&, OutputChoice& out) override { return out = m_out, 1; }
    bool Groups(std::vector<const SongSelection*>& groups) override { return groups = m_groups, true; }
    void BeginRun() override { m_pump.Restart(); }
    void SetStatus(const std::wstring& text) override { SetWindowTextW(m_hStatus, text.c_str()); }
    void SetBar(int) override {}
    void Pump() override { m_pump.Pump(); }
    void ForcePump() override { m_pump.Force(); }
    bool StopAsked() const override { return false; }
    int ShowErrorBox(const wchar_t* p1, const wchar_t* p2, const wchar_t* p3, const wchar_t* p4) override {
        return ErrorBox(nullptr, L"Swirlo - ERROR", p1, p2, p3, p4);
    }

private:
    const AppPaths& m_paths;
    IniSettings& m_set;
    MediaLibrary& m_lib;
    std::vector<const SongSelection*> m_groups;
    OutputChoice m_out;
    HWND m_hStatus;
    LogFile m_log{&m_paths, kCaption};
    ErrorRecord m_error;
    MessagePump m_pump;
    std::wstring m_sVersion = L"3";
};

}  // namespace

void AnswerBoxesForLog() { SetMessageBoxHandler(AnswerBox); }

int UnattendedFailed(const AppPaths& paths, const std::wstring& sFile, const std::wstring& reason) {
    return Finish(paths, sFile, kUnattendedFailed, reason);
}

int ShuffleUnattended(const AppPaths& paths, IniSettings& set, const std::wstring& sFile) {
    const std::wstring groupsPath = paths.sIniDirSlash + L"shuffle groups.txt";
    const wchar_t* kNoGroups = L"No song groups are kept: add them on the shuffle page first.";
    if (GetFileAttributesW(groupsPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Finish(paths, sFile, kUnattendedNothing, kNoGroups);
    // Without the library's start-up log: "startup log.txt" belongs to the window's start, and the
    // open window's caching thread may be writing it at this moment.
    MediaLibrary lib(nullptr, kCaption, false, paths.gsAppDocsDirSlash);
    if (!lib.Setup()) return Finish(paths, sFile, kUnattendedFailed, L"The media library could not be opened.");
    std::vector<KeptGroup> kept;
    std::vector<std::wstring> skipped;
    std::wstring error;
    // Unlike the page, which sets such a file aside, a run without a window leaves it to the page.
    if (!ReadKeptGroups(groupsPath, &lib, kept, skipped, error) || !skipped.empty())
        return Finish(paths, sFile, kUnattendedFailed,
                      L"The song groups could not be read: " + groupsPath + L" / " + OneLine(error) + Joined(skipped, L" / "));
    std::vector<const SongSelection*> groups;
    std::size_t nExclusions = 0;
    for (const KeptGroup& g : kept) {
        if (!g.missing.empty())
            return Finish(paths, sFile, kUnattendedNothing,
                          L"The song group \"" + g.pRec->Name() + L"\" names what the media library no longer has: " +
                              Joined(g.missing, L" / "));
        groups.push_back(g.pRec.get());
        nExclusions += g.pRec->IsExclusion() ? 1 : 0;
    }
    if (groups.empty()) return Finish(paths, sFile, kUnattendedNothing, kNoGroups);
    if (nExclusions == groups.size())
        return Finish(paths, sFile, kUnattendedNothing, L"Nothing to shuffle. / All song selections are exclusions.");
    OutputChoice out;
    if (!ResolveOutput(set, sFile, groups[0]->Name(), out, error)) return Finish(paths, sFile, kUnattendedFailed, error);

    UnattendedHost host(paths, set, lib, std::move(groups), out);
    std::wstring sPath, sSummary;
    ShuffleReport report;
    int result = 0;
    try {
        result = RunShuffle(host, sPath, sSummary, &report);
    } catch (const std::bad_alloc&) {
        ErrorBox(nullptr, kCaption, L"Out of memory during the shuffle");
    } catch (const std::exception&) {
        ErrorBox(nullptr, kCaption, L"Unexpected error during the shuffle");
    }
    if (host.Log().IsOpen()) host.Log().FinishLog(L"Finished OnShuffle");
    if (result != 1) return Finish(paths, out.sPath, kUnattendedFailed, L"");
    return Finish(paths, out.sPath, kUnattendedWritten, L"", report);
}

}  // namespace swirlo
