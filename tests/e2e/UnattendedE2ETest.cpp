// Blendo.exe /shuffle end to end, while the program's window is open: the real program against the
// stand-in library, with a groups file and settings written here; the playlist it writes is checked
// against the library file, its log line, its exit code, and that it shows no window.
#include <gtest/gtest.h>

#include <windows.h>

#include <tuple>

#include "tests/e2e/LibraryFile.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo::test;

namespace {

using D = ProgramDriver;

// The windows of a process that another program can see: every top-level window (EnumWindows) and
// every window of its main thread (EnumThreadWindows); message-only windows are in neither.
int VisibleToOthers(const ProgramDriver& prog) {
    std::pair<DWORD, int> count{prog.Pid(), 0};
    auto add = [](HWND h, LPARAM l) -> BOOL {
        auto* c = reinterpret_cast<std::pair<DWORD, int>*>(l);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        c->second += pid == c->first ? 1 : 0;
        return TRUE;
    };
    EnumWindows(add, reinterpret_cast<LPARAM>(&count));
    EnumThreadWindows(prog.MainThreadId(), add, reinterpret_cast<LPARAM>(&count));
    return count.second;
}

// The last line of the unattended log that names the file.
std::wstring LogLine(const std::wstring& file) {
    wchar_t docs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, docs);
    const std::string bytes = ReadBytes(std::wstring(docs) + L"\\Swirlo\\unattended shuffle log.txt");
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    const std::size_t at = text.rfind(L"  " + file + L"  "), from = text.rfind(L'\n', at) + 1;
    return at == std::wstring::npos ? L"" : text.substr(from, text.find(L'\r', at) - from);
}

TEST(UnattendedE2E, WritesTheKeptGroupsWithoutAWindowOrABoxBesideTheOpenProgram) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    TempDir dir;
    const std::wstring ini = D::ConfigDir() + L"Blendo.ini", groupsFile = D::ConfigDir() + L"shuffle groups.txt",
                       lastDir = dir.Root();
    struct Cleanup {  // the next test starts from no groups and default settings, whatever happens here
        std::wstring groups, ini;
        ~Cleanup() { DeleteFileW(groups.c_str()), WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str()), DeleteFileW(ini.c_str()); }
    } cleanup{groupsFile, ini};
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", WinPath(DEMO_LIBRARY).c_str());
    for (auto [section, key, value] : {std::tuple{L"Shuffle Tab", L"RepeatsOption", L"0"}, {L"Shuffle Tab", L"RepeatSepDistSize", L"10"},
                                       {L"Shuffle Tab", L"TruncateOutput", L"0"}, {L"Shuffle Tab", L"TruncateNoReps", L"0"},
                                       {L"Shuffle Settings", L"LastDir", lastDir.c_str()}, {L"Shuffle Settings", L"AddSrcName", L"1"},
                                       {L"Shuffle Settings", L"AddLabel", L"0"}, {L"Shuffle Settings", L"AddDate", L"0"},
                                       {L"Shuffle Settings", L"ConvertWpl", L"0"}, {L"Shuffle Settings", L"WmpNotify", L"0"},
                                       {L"Logging Settings", L"SaveLog", L"1"}})
        WritePrivateProfileStringW(section, key, value, ini.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    const std::vector<Group> groups = {{0, {0, 1, 2, 3, 5, 9}, 365, false, {L"Rock", L"Jazz"}, {}},
                                       {12, {}, 0, false, {}, {L"Road Trip"}}, {-1, {}, 0, false, {L"Latin"}, {}}};
    SeedGroups(groups);
    D::HoldPrefixes(L"Reading songs selection|Writing shuffled");
    ProgramDriver open;  // the program's window stays open throughout
    ASSERT_TRUE(open.Start() && open.WaitForWindow(L"Swirlo"));

    const std::wstring weekly = dir / L"weekly.m3u8", gone = dir / L"gone\\weekly.m3u8", byName = dir / L"group.wpl";
    const std::map<std::wstring, int> expected = ExpectedPlays(ReadLibrary(ReadBytes(WinPath(DEMO_LIBRARY))), groups);
    const std::vector<Group> lost = {groups[0], {3, {}, 0, false, {}, {L"Gone Playlist"}}};
    // A good run (held at two stages while its windows are counted), the write that fails (its box
    // answered into the log), the default name in the folder of the last save; nothing to shuffle for
    // exclusions only, a playlist the library no longer has, or no groups.
    for (auto [arg, out, seed, code, said] : {std::tuple{L"\"" + weekly + L"\"", weekly, groups, 0, L"  written  "},
                                              {L"\"" + gone + L"\"", gone, groups, 1, L"Error writing shuffled playlist file"},
                                              {std::wstring(), byName, groups, 0, L"  written  "},
                                              {L"\"" + weekly + L"\"", weekly, {groups[2]}, 2, L"All song selections are exclusions."},
                                              {L"\"" + weekly + L"\"", weekly, lost, 2, L"no longer has: Playlist: Gone Playlist"},
                                              {L"\"" + weekly + L"\"", weekly, {}, 2, L"No song groups are kept"}}) {
        SCOPED_TRACE(out);
        SeedGroups(seed);
        const std::string keptGroups = ReadBytes(groupsFile), keptIni = ReadBytes(ini), keptOut = ReadBytes(out);
        ProgramDriver run;
        const bool held = out == weekly && code == 0;
        ASSERT_TRUE(run.Start(L"/shuffle " + arg, [&] {
            if (held) run.HoldAt(0), run.HoldAt(1);
        }));
        for (int k = 0; held && k < 2; ++k) {
            ASSERT_TRUE(run.WaitHeld(k));
            EXPECT_EQ(VisibleToOthers(run), 0);
            run.Release(k);
        }
        ASSERT_EQ(run.WaitForExit(120000), code);  // a box waiting for a click would keep it
        EXPECT_TRUE(ReadBytes(groupsFile) == keptGroups && ReadBytes(ini) == keptIni);
        const std::wstring line = LogLine(out);
        EXPECT_NE(line.find(said), std::wstring::npos) << line;
        if (code) {
            EXPECT_TRUE(ReadBytes(out) == keptOut);
            continue;
        }
        const std::vector<std::wstring> list = Entries(out, out == byName ? 0 : 2);
        CheckPlaylist(list, expected, 2, 10, _wtoi(line.c_str() + line.rfind(L" unique songs  ") + 15));
        const std::wstring counts = std::to_wstring(list.size()) + L" entries  " +
                                    std::to_wstring(std::set<std::wstring>(list.begin(), list.end()).size()) + L" unique songs";
        EXPECT_NE(line.find(counts), std::wstring::npos) << line;
    }
    PostMessageW(open.WaitForWindow(L"Swirlo"), WM_COMMAND, IDCANCEL, 0);
    EXPECT_NE(open.WaitForExit(120000), -1);
}

}  // namespace
