// The shuffle page end to end: the real Blendo.exe against the stand-in library, driven with real
// input from this process; the playlists it writes are checked against what the library file itself
// says they must hold.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <msxml2.h>
#include <wrl/client.h>

#include <ctime>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/LibraryFile.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/foundation/WinTestSupport.h"
#include "tools/demolib/DemoGen.h"

using namespace swirlo::test;

namespace {

using D = ProgramDriver;

// ---- Real input.
// A left click at a point of ctl (its centre by default), its window brought to the front first: the
// move, press and release in one burst, Ctrl held when asked.
void Click(HWND ctl, int dx = -1, int dy = -1, bool ctrl = false) {
    D::BringToFront(ctl);
    if (ctrl) D::KeyEvent(VK_CONTROL, false);
    D::Press(ctl, dx, dy);
    if (ctrl) D::KeyEvent(VK_CONTROL, true);
}
// Replaces the text of an edit box as a person would: click, select all, type once the focus is
// there; and looks, as a person would, that the box shows it (typing it again is harmless).
// With click false the focus is already there, put by the keyboard.
bool Retype(HWND edit, const std::wstring& text, bool click = true) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (click || attempt) Click(edit);
        if (!D::WaitFocus(edit, 20000)) continue;
        D::Key('A', VK_CONTROL);
        D::Type(text);
        if (D::Until([&] { return D::Text(edit) == text; }, 20000)) return true;
    }
    return false;
}
// Clicks a radio button until it shows checked: a click that never arrived is sent again (a second
// one on a checked radio button changes nothing).
bool Tick(HWND radio) {
    for (int i = 0; i < 3; ++i)
        if (Click(radio), D::Until([radio] { return SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 20000)) return true;
    return ADD_FAILURE() << "a radio button does not take its click", false;
}

// ---- The running program.
struct Blendo {
    ProgramDriver prog;
    HWND main = nullptr, page = nullptr;
    DWORD pid = 0;

    // Starts the program and waits until the page has restored rows groups.
    bool Start(int rows) {
        if (!prog.Start() || !(main = prog.WaitForWindow(L"Swirlo", 60000))) return false;
        GetWindowThreadProcessId(main, &pid);
        D::Until([&] {
            for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (GetDlgItem(c, IDC_SHUF_SAVE)) page = c;
            return page && ListView_GetItemCount(Item(IDC_SHUF_LIST)) >= rows;
        });
        // A click that comes before the window takes mouse input is lost (not looked for while a box
        // of the start has the window disabled).
        if (page && IsWindowEnabled(main)) EXPECT_TRUE(D::WaitMouse(Item(IDC_SHUF_SAVE))) << "the window takes no mouse input";
        EXPECT_EQ(page ? ListView_GetItemCount(Item(IDC_SHUF_LIST)) : -1, rows) << "rows restored";
        return page && ListView_GetItemCount(Item(IDC_SHUF_LIST)) == rows;
    }
    HWND Item(int id) const { return GetDlgItem(page, id); }
    // Clicks a button that opens a window (Save, Add, Edit: a dialog or a box); true once that window
    // has the main window disabled. A click that never arrived is sent again; a second one that does
    // is harmless, it reaches a disabled window.
    bool Open(int button) {
        for (int i = 0; i < 6; ++i)
            if (Click(Item(button)), D::Until([&] { return !IsWindowEnabled(main); }, 20000)) return true;
        return ADD_FAILURE() << "the button opens nothing", false;
    }
    bool Save() { return Open(IDC_SHUF_SAVE); }
    // A top-level window of the program with this title (and, for a box, text containing what).
    HWND Find(const wchar_t* title, const wchar_t* what = nullptr, std::wstring* text = nullptr, DWORD ms = 120000) {
        for (DWORD waited = 0; waited < ms; waited += 50, Sleep(50))
            for (HWND h = FindWindowExW(nullptr, nullptr, L"#32770", title); h; h = FindWindowExW(nullptr, h, L"#32770", title)) {
                DWORD p = 0;
                GetWindowThreadProcessId(h, &p);
                if (p != pid || h == main || !IsWindowVisible(h)) continue;
                std::wstring t = D::Text(GetDlgItem(h, 0xFFFF));
                if (what && t.find(what) == std::wstring::npos) continue;
                if (text) *text = t;
                return h;
            }
        std::wstring shown;  // what the program shows instead
        for (HWND h = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); h; h = FindWindowExW(nullptr, h, L"#32770", nullptr)) {
            DWORD p = 0;
            GetWindowThreadProcessId(h, &p);
            if (p == pid && h != main && IsWindowVisible(h)) shown += L" [" + D::Text(h) + L": " + D::Text(GetDlgItem(h, 0xFFFF)) + L"]";
        }
        ADD_FAILURE() << "no window \"" << (title ? title : L"") << "\" with \"" << (what ? what : L"") << "\"; shown:" << shown;
        return nullptr;
    }
    // Adds a group through the song selection dialog, by mouse and keyboard: its genres and playlists
    // picked in the listbox, the days typed, the frequency mode chosen. The counts and the
    // ignore-repeats flag the dialog offers are read back into g.
    bool Add(Group& g) {
        Open(IDC_SHUF_ADD);
        HWND d = Find(L"Add songs to shuffle"), list = GetDlgItem(d, IDC_SEL_LIST);
        if (!d || !D::Until([list] { return SendMessageW(list, LB_GETCOUNT, 0, 0) > 0; }))
            return ADD_FAILURE() << "no selection dialog, or an empty list", false;
        const int h = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        std::vector<std::wstring> names;
        for (const std::wstring& n : g.genres) names.push_back(L"Genre: " + n);
        for (const std::wstring& n : g.playlists) names.push_back(L"Playlist: " + n);
        // The first item is clicked alone (which clears the list's selection: it is clicked at every
        // attempt), the others with Ctrl. Wine now and then takes a sent Ctrl+click for another click
        // (a plain one, or one that extends the selection as a range); the count shows it, and all is
        // picked again.
        for (int attempt = 0; attempt < 3 && SendMessageW(list, LB_GETSELCOUNT, 0, 0) != static_cast<LRESULT>(names.size()); ++attempt)
            for (const std::wstring& n : names) {
                const int dx = (names.data() + names.size() - &n) % 2 ? 30 : 70;  // two clicks at one point are a double-click
                LRESULT idx = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(n.c_str()));
                if (idx < 0) return ADD_FAILURE() << n << " is not in the list", false;
                SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(idx), 0);
                // One Ctrl+click toggles the item: a second one before the first is seen would undo it.
                // The plain click is repeated (seconds apart, never a double-click) until it is seen: a
                // click before the new dialog takes mouse input is lost.
                const bool ctrl = &n != names.data();
                auto selected = [&] {
                    return SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(idx), 0) > 0 && (ctrl || SendMessageW(list, LB_GETSELCOUNT, 0, 0) == 1);
                };
                for (int i = 0; i < (ctrl ? 1 : 12) && (i == 0 || !selected()); ++i)
                    Click(list, dx, static_cast<int>(idx - SendMessageW(list, LB_GETTOPINDEX, 0, 0)) * h + h / 2 + 2, ctrl),
                        D::Until(selected, ctrl ? 60000 : 5000);
                if (!selected()) return ADD_FAILURE() << n << " is not selected by its click", false;
            }
        if (SendMessageW(list, LB_GETSELCOUNT, 0, 0) != static_cast<LRESULT>(names.size()))
            return ADD_FAILURE() << SendMessageW(list, LB_GETSELCOUNT, 0, 0) << " items selected", false;
        if (g.days && !Retype(GetDlgItem(d, IDC_SEL_DAYS), std::to_wstring(g.days)))
            return ADD_FAILURE() << "the days box shows " << D::Text(GetDlgItem(d, IDC_SEL_DAYS)), false;
        if (g.same > 0) {
            if (!Tick(GetDlgItem(d, IDC_SEL_SAME)) || !Retype(GetDlgItem(d, IDC_SEL_FREQSAME), std::to_wstring(g.same))) return false;
        }
        if (g.same < 0 && !Tick(GetDlgItem(d, IDC_SEL_EXCLUDE))) return false;
        const int box[6] = {0, IDC_SEL_FREQ1, IDC_SEL_FREQ2, IDC_SEL_FREQ3, IDC_SEL_FREQ4, IDC_SEL_FREQ5};
        for (int k = 1; k <= 5; ++k) g.freq[k] = _wtoi(D::Text(GetDlgItem(d, box[k])).c_str());
        g.ignore = SendMessageW(GetDlgItem(d, IDC_SEL_IGNORE), BM_GETCHECK, 0, 0) == BST_CHECKED;
        // OK by Enter (the focus is in the dialog, on no other push button), sent again while the
        // dialog stays in front; one that comes after it has gone reaches the main window, which
        // ignores Enter.
        for (int i = 0; i < 3 && IsWindow(d); ++i)
            if (D::BringToFront(d) && (D::Key(VK_RETURN), D::WaitGone(d, 20000))) return true;
        return !IsWindow(d) || (ADD_FAILURE() << "the selection dialog stays after Enter", false);
    }
    // Chooses the Save As dialog's type (1 .wpl, 2 .m3u, 3 .m3u8) by keyboard, from the name box and
    // back to it: Tab to the type list, Home and Down to the type, Shift+Tab. The keyboard reaches the
    // dialog as soon as it is in front; a click may come before it takes mouse input.
    static bool ChooseType(HWND dlg, int type) {
        HWND types = GetDlgItem(dlg, 0x470), name = GetDlgItem(dlg, 0x47c);
        if (!D::BringToFront(dlg) || !D::WaitFocus(name)) return ADD_FAILURE() << "the name box of Save As has no focus", false;
        D::Key(VK_TAB);
        if (!D::WaitFocus(types)) return ADD_FAILURE() << "Tab does not lead to the type list", false;
        D::Key(VK_HOME);
        for (int i = 1; i < type; ++i) D::Key(VK_DOWN);
        if (!D::Until([&] { return SendMessageW(types, CB_GETCURSEL, 0, 0) == type - 1; }))
            return ADD_FAILURE() << "the type list shows " << SendMessageW(types, CB_GETCURSEL, 0, 0), false;
        D::Key(VK_TAB, VK_SHIFT);
        return D::WaitFocus(name) || (ADD_FAILURE() << "Shift+Tab does not lead back to the name box", false);
    }
    // Answers the Save As dialog: the type and the name, by keyboard; true once the dialog shows them,
    // has taken Enter and gone. Only the name is typed again when it does not show: a second Enter
    // could answer whatever comes after the dialog.
    bool SaveAs(int type, const std::wstring& path) {
        HWND dlg = Find(L"Save shuffled playlist as ...");
        if (!dlg || !ChooseType(dlg, type)) return ADD_FAILURE() << "no Save As dialog, or no type chosen", false;
        if (!Retype(GetDlgItem(dlg, 0x47c), path, false)) return ADD_FAILURE() << "the name box shows " << D::Text(GetDlgItem(dlg, 0x47c)), false;
        D::Key(VK_RETURN);  // the focus is in the name box: Retype saw it there
        return D::WaitGone(dlg, 120000) || (ADD_FAILURE() << "the dialog stays", false);
    }
    // Waits for the box that ends a run, reads it and closes it.
    std::wstring Result() {
        std::wstring text;
        HWND box = Find(nullptr, L"\r\n", &text, 300000);  // any message box of the program
        EXPECT_TRUE(box && D::Answer(GetDlgItem(box, IDOK))) << "no box ends the run, or it stays";
        return text;
    }
    // Clicks a button of the box whose text holds what; true once the box has gone.
    bool Answer(const wchar_t* what, int button) {
        HWND box = Find(L"Swirlo", what);
        return box && D::Answer(GetDlgItem(box, button));
    }
    void Close() {
        PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
        EXPECT_NE(prog.WaitForExit(120000), -1);  // it saves the groups on the way out
    }
};

class ShuffleE2E : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        TearDown();  // what an earlier run of the program in this prefix kept (tools/run.sh keeps groups)
        lib = ReadLibrary(ReadBytes(WinPath(DEMO_LIBRARY)));
        wchar_t music[MAX_PATH] = {};  // the player's playlists folder, made here: Save As asks a new user to make it
        SHGetFolderPathW(nullptr, CSIDL_MYMUSIC, nullptr, 0, music);
        CreateDirectoryW((playlists = std::wstring(music) + L"\\Playlists\\").c_str(), nullptr);
        SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", WinPath(DEMO_LIBRARY).c_str());
        const std::wstring lastDir = dir.Root();
        for (auto [section, key, value] : {std::tuple{L"Shuffle Tab", L"RepeatsOption", L"0"}, {L"Shuffle Tab", L"RepeatSepDistSize", L"10"},
                                           {L"Shuffle Tab", L"TruncateOutput", L"0"}, {L"Shuffle Tab", L"TruncateNoReps", L"0"},
                                           {L"Shuffle Settings", L"UseLastDir", L"1"}, {L"Shuffle Settings", L"LastDir", lastDir.c_str()},
                                           {L"Shuffle Settings", L"WmpNotify", L"0"}, {L"Logging Settings", L"SaveLog", L"0"}})
            WritePrivateProfileStringW(section, key, value, (D::ConfigDir() + L"Blendo.ini").c_str());
    }
    void TearDown() override {
        DeleteFileW((D::ConfigDir() + L"shuffle groups.txt").c_str());
        DeleteFileW((WinPath(DEMO_LIBRARY) + L".added.txt").c_str());
    }
    TempDir dir;
    Library lib;
    std::wstring playlists;
};

TEST_F(ShuffleE2E, SavesWhatTheLibraryFileSaysInEveryFormatAndMethodAndAgainAfterARestart) {
    std::vector<Group> groups = {{0, {}, 365, false, {L"Rock", L"Jazz"}, {}},  // typed digit by digit
                                 {12, {}, 0, false, {}, {L"Road Trip"}},
                                 {-1, {}, 0, false, {L"Latin"}, {}}};
    const wchar_t* ext[] = {L".wpl", L".m3u", L".m3u8"};
    std::map<std::wstring, int> expected;
    for (int restart = 0; restart < 2; ++restart) {
        Blendo b;
        ASSERT_TRUE(b.Start(restart ? 3 : 0));
        for (std::size_t i = 0; !restart && i < groups.size(); ++i) ASSERT_TRUE(b.Add(groups[i]));
        if (!restart) expected = ExpectedPlays(lib, groups);
        // The method chosen before the restart (purely random, N = 30) is there after it, and so is
        // the "larger" of the two limits.
        EXPECT_TRUE(!restart || (SendMessageW(b.Item(IDC_SHUF_RANDOM), BM_GETCHECK, 0, 0) == BST_CHECKED &&
                                 D::Text(b.Item(IDC_SHUF_ONLY_EDIT)) == L"30" && SendMessageW(b.Item(IDC_SHUF_LARGER), BM_GETCHECK, 0, 0) == BST_CHECKED));
        // First start: method 0 in each format; after the restart: methods 1 (N = 30), 2 (N = 0) and
        // 0, saved by bare name: with "Default folder is last one saved in" off, into the playlists
        // folder.
        for (int run = 0; run < 3; ++run) {
            const int format = restart ? 2 : run, method = restart ? (run + 1) % 3 : 0;
            ASSERT_TRUE(!restart || method != 2 || Retype(b.Item(IDC_SHUF_ONLY_EDIT), L"0"));
            ASSERT_TRUE(!restart || method || Tick(b.Item(IDC_SHUF_EVEN)));
            // The no-repetition limit, ticked before the restart, counts under "Most even distribution" only.
            ASSERT_TRUE(!restart || method || (Click(b.Item(IDC_SHUF_NOREPS)),
                                               D::Until([&] { return SendMessageW(b.Item(IDC_SHUF_NOREPS), BM_GETCHECK, 0, 0) == BST_UNCHECKED; })));
            const std::wstring name = L"mix" + std::to_wstring(GetCurrentProcessId()) + std::to_wstring(restart) + std::to_wstring(run) + ext[format];
            const std::wstring out = restart ? playlists + name : dir / name;
            // What the limits showed at Save, for a list of the wrong size.
            auto checked = [&](int id) { return SendMessageW(b.Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? L"on" : L"off"; };
            SCOPED_TRACE(std::wstring(L"limit ") + checked(IDC_SHUF_TRUNC) + L" " + D::Text(b.Item(IDC_SHUF_TRUNC_EDIT)) +
                         L", no repeats " + checked(IDC_SHUF_NOREPS) + L", larger " + checked(IDC_SHUF_LARGER));
            b.Save();
            ASSERT_TRUE(b.SaveAs(format + 1, restart ? name : out));
            std::wstring box = b.Result();
            const std::size_t note = box.find(L"Non fatal error");  // its second line counts the shortfalls
            const int shortfalls = note == std::wstring::npos ? 0 : _wtoi(box.c_str() + box.find(L'\n', note) + 1);
            const bool separated = box.find(L"repeats are close") == std::wstring::npos;
            if (shortfalls || !separated) box = b.Result();
            ASSERT_NE(box.find(L"Shuffled playlist created:\r\n" + out), std::wstring::npos) << box;
            // The page offers the spread of the list just written; its window opens over the page.
            ASSERT_TRUE(IsWindowEnabled(b.Item(IDC_SHUF_SPREAD))) << out;
            HWND spread = run == 1 && b.Open(IDC_SHUF_SPREAD) ? b.Find(L"Swirlo  -  Spread of repeats") : nullptr;
            EXPECT_TRUE(run != 1 || (spread && D::Answer(GetDlgItem(spread, IDCANCEL))));
            // After a run the no-repetition controls are usable exactly under "Most even distribution".
            EXPECT_EQ(IsWindowEnabled(b.Item(IDC_SHUF_LARGER)) && IsWindowEnabled(b.Item(IDC_SHUF_NOREPS)), method == 0) << out;
            SCOPED_TRACE(out);
            CheckPlaylist(Entries(out, format), expected, format, method == 0 ? 10 : method == 1 ? 30 : 0,
                          method == 0 ? shortfalls : separated ? 0 : 1 << 30, method == 0);
            if (restart) {  // and each list is added to the library
                EXPECT_EQ(Wide(ReadBytes(WinPath(DEMO_LIBRARY) + L".added.txt")), out + L"\r\n");
                DeleteFileW((WinPath(DEMO_LIBRARY) + L".added.txt").c_str());
                DeleteFileW(out.c_str());
            }
        }
        ASSERT_TRUE(restart || Tick(b.Item(IDC_SHUF_LARGER)));
        ASSERT_TRUE(restart || (Tick(b.Item(IDC_SHUF_RANDOM)) && Retype(b.Item(IDC_SHUF_ONLY_EDIT), L"30")));
        b.Close();  // the groups and the method are saved on close and restored by the next start
        for (auto [section, key, value] : {std::tuple{L"Shuffle Settings", L"UseLastDir", L"0"}, {L"Shuffle Settings", L"WmpNotify", L"1"},
                                           {L"Shuffle Tab", L"TruncateNoReps", L"1"}})
            WritePrivateProfileStringW(section, key, value, (D::ConfigDir() + L"Blendo.ini").c_str());
    }
}

// Stop pressed while songs are read, placed and written (900,000 plays of 100,000 songs): the run
// says so, the file that was there is left byte for byte, and the page is usable again. The program
// is held at each stage (see ProgramDriver::HoldAt) while the click is sent, so that it sees the
// click inside that stage however fast it runs. Then the weekly case with the settings a new user
// starts with (no settings file): Yes to the overwrite question gives the complete new list, cut to
// the 300 songs that have no repeat, and adds it to the library.
TEST_F(ShuffleE2E, StopAtEveryStageLeavesTheOldFile) {
    const std::wstring ini = D::ConfigDir() + L"Blendo.ini", big = dir / L"big-library.txt";  // its dates do not matter
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());  // nothing cached here is written later
    DeleteFileW(ini.c_str());
    WriteBytes(big, swirlo::demolib::MakeDemoLibrary(100000, 3, 2026, 1, 1));
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", big.c_str());
    const std::vector<Group> all9 = {{9, {}, 0, false, {}, {}}};
    SeedGroups(all9);
    const std::wstring out = dir / L"old.m3u8";
    WriteBytes(out, "old playlist\r\n");
    const wchar_t* stages[] = {L"Reading songs selection", L"Shuffling songs", L"Writing shuffled"};
    D::HoldPrefixes(std::wstring(stages[0]) + L"|" + stages[1] + L"|" + stages[2]);
    Blendo b;
    ASSERT_TRUE(b.Start(1));
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k < 3 ? stages[k] : L"to the end");
        b.Save();
        ASSERT_TRUE(b.SaveAs(3, out));
        if (k < 3) b.prog.HoldAt(k);
        ASSERT_TRUE(b.Answer(L"A file already exists", IDYES));  // the overwrite question
        if (k == 3) break;
        ASSERT_TRUE(b.prog.WaitHeld(k));
        D::Press(b.Item(IDC_SHUF_SAVE));  // seen at the program's next dispatch, inside the stage
        b.prog.Release(k);
        EXPECT_NE(b.Result().find(L"Processing stopped by user Cancel"), std::wstring::npos);
        const std::string now = ReadBytes(out);  // a failure names its size, not its megabytes
        EXPECT_TRUE(now == "old playlist\r\n") << now.size() << " bytes";
        EXPECT_TRUE(D::Until([&] { return D::Text(b.Item(IDC_SHUF_SAVE)) == L"Save as Shuffled Playlist ..."; }));
    }
    std::wstring box = b.Result();
    if (box.find(L"Non fatal error") != std::wstring::npos) box = b.Result();  // shortfalls: the list still holds
    ASSERT_NE(box.find(L"Shuffled playlist created:\r\n" + out), std::wstring::npos) << box;
    b.Close();
    // The first total / (most plays) entries hold no song twice; the list is cut there or at 300.
    const std::map<std::wstring, int> expected = ExpectedPlays(ReadLibrary(ReadBytes(big)), all9);
    int total = 0, most = 0;
    for (const auto& [path, plays] : expected) total += plays, most = std::max(most, plays);
    const std::vector<std::wstring> list = Entries(out, 2);
    EXPECT_EQ(list.size(), static_cast<std::size_t>(std::min(300, total / most)));
    EXPECT_EQ(std::set<std::wstring>(list.begin(), list.end()).size(), list.size());
    for (const std::wstring& p : list) EXPECT_EQ(expected.count(p), 1u) << p;
    EXPECT_EQ(Wide(ReadBytes(big + L".added.txt")), out + L"\r\n");  // added to the library
}

// Cases around the list and the boxes: a 257th group is refused before any dialog opens, a group whose
// playlist is gone is named by Save, the arrows wrap, the Save As dialog renames on a type change and
// asks again after No to the overwrite question, and a list of exclusions only is refused after Yes,
// before anything is read or written.
TEST_F(ShuffleE2E, ListLimitsMissingPlaylistArrowsAndSaveAsAnswers) {
    std::vector<Group> groups(256, Group{-1, {0, 1, 2, 3, 5, 9}, 0, false, {L"Rock"}, {}});
    groups[7].playlists = {L"Gone Playlist"};
    SeedGroups(groups);
    Blendo b;
    ASSERT_TRUE(b.Start(256));
    b.Open(IDC_SHUF_ADD);
    EXPECT_NE(b.Result().find(L"Maximum number 256 selections"), std::wstring::npos);
    b.Save();
    EXPECT_NE(b.Result().find(L"Playlist: Gone Playlist"), std::wstring::npos);

    // Emptied and typed digit by digit; the arrow keys move the box like its arrows (wrapping at the ends).
    for (auto [edit, typed, stepped] : {std::tuple{IDC_SHUF_ONLY_EDIT, L"99", L"0"}, {IDC_SHUF_DIST_EDIT, L"99", L"1"},
                                        {IDC_SHUF_TRUNC_EDIT, L"300", L"301"}}) {
        Click(b.Item(edit));
        ASSERT_TRUE(D::WaitFocus(b.Item(edit)));
        for (WORD k : std::initializer_list<WORD>{VK_END, VK_BACK, VK_BACK, VK_BACK, VK_BACK}) D::Key(k);
        D::Type(typed);
        EXPECT_TRUE(D::Until([&] { return D::Text(b.Item(edit)) == typed; }, 20000)) << D::Text(b.Item(edit));
        D::Key(VK_UP);  // the arrow keys move the box like its arrows
        EXPECT_TRUE(D::Until([&] { return D::Text(b.Item(edit)) == stepped; }, 20000)) << D::Text(b.Item(edit));
    }
    EXPECT_EQ(D::Text(b.Item(IDC_SHUF_ONLY_LABEL)), L"This shuffle is now set purely random (No minimum separation of repeats)");

    // Remove the group that cannot be saved (the eighth row, picked by keyboard).
    Click(b.Item(IDC_SHUF_LIST));
    ASSERT_TRUE(D::WaitFocus(b.Item(IDC_SHUF_LIST)));
    D::Key(VK_HOME);
    for (int i = 0; i < 7; ++i) D::Key(VK_DOWN);
    ASSERT_TRUE(D::Until([&] { return ListView_GetNextItem(b.Item(IDC_SHUF_LIST), -1, LVNI_SELECTED) == 7; }));
    Click(b.Item(IDC_SHUF_REMOVE));
    ASSERT_TRUE(D::Until([&] { return ListView_GetItemCount(b.Item(IDC_SHUF_LIST)) == 255; }));

    // A type change renames the name box; No to the overwrite question brings the dialog back, and
    // Cancel there ends the run without a word.
    const std::wstring taken = dir / L"taken.m3u8";
    WriteBytes(taken, "x");
    b.Save();
    HWND dlg = b.Find(L"Save shuffled playlist as ...");
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(D::BringToFront(dlg) && D::WaitFocus(GetDlgItem(dlg, 0x47c)));
    ASSERT_TRUE(Retype(GetDlgItem(dlg, 0x47c), dir / L"taken.wpl", false));
    ASSERT_TRUE(b.ChooseType(dlg, 3));
    EXPECT_TRUE(D::Until([&] { return D::Text(GetDlgItem(dlg, 0x47c)) == taken; }, 20000));
    D::Key(VK_RETURN);
    ASSERT_TRUE(b.Answer(L"A file already exists", IDNO));
    ASSERT_NE(dlg = b.Find(L"Save shuffled playlist as ..."), nullptr);
    ASSERT_TRUE(D::BringToFront(dlg));
    D::Key(VK_ESCAPE);  // a click might come before the dialog has moved its buttons into place
    EXPECT_TRUE(D::WaitGone(dlg));
    // Yes to the question: the list holds only exclusions.
    b.Save();
    ASSERT_TRUE(b.SaveAs(3, taken));
    ASSERT_TRUE(b.Answer(L"A file already exists", IDYES));
    EXPECT_NE(b.Result().find(L"Nothing to shuffle.\nAll song selections are exclusions."), std::wstring::npos);
    EXPECT_EQ(ReadBytes(taken), "x");
    b.Close();
}

// A group made with real input, then a restart with a byte-order mark in front of the groups file and
// a record cut short behind it (a crash while saving), a library with a new playlist in front and one
// of the group's gone, and genres listed first. The cut record is named and its file kept;
// Edit names the lost playlist and OK keeps the others; the group has lost its "[NOT IN LIBRARY]"
// mark, so that the list can be shuffled.
TEST_F(ShuffleE2E, GroupsKeepTheirItemsThroughAMarkACutRecordAnOrderSwitchAndALibraryChange) {
    Group g{0, {}, 0, false, {L"Jazz"}, {L"Road Trip", L"Workout", L"Focus"}};
    std::string changed = ReadBytes(WinPath(DEMO_LIBRARY));
    changed.insert(changed.find("playlist\t"), "playlist\tAaa New\tstatic\t\nentry\t1\n");
    changed.replace(changed.find("playlist\tWorkout\t"), 17, "playlist\tWorkout 2\t");
    WriteBytes(dir / L"changed.txt", changed);
    const std::wstring ini = D::ConfigDir() + L"Blendo.ini", path = D::ConfigDir() + L"shuffle groups.txt",
                       aside = D::ConfigDir() + L"shuffle groups (not read 1).txt",
                       cut = L"group\t2\t0\t1\t1\t1\t1\t1\t0\t0\tS\r\nplaylist\t-1\tS";  // as a crash leaves it
    DeleteFileW(aside.c_str());
    {
        Blendo b;
        ASSERT_TRUE(b.Start(0));
        ASSERT_TRUE(b.Add(g));
        b.Close();
    }
    const std::string seeded = "\xFF\xFE" + ReadBytes(path) + std::string(reinterpret_cast<const char*>(cut.data()), cut.size() * 2);
    WriteBytes(path, seeded);
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", (dir / L"changed.txt").c_str());
    WritePrivateProfileStringW(L"Shuffle Settings", L"ListboxOrder", L"0", ini.c_str());  // genres first
    Blendo b;
    ASSERT_TRUE(b.Start(1));
    const std::wstring box = b.Result();
    EXPECT_TRUE(box.find(L"left out:\r\n\"S\" (line ") != std::wstring::npos && box.find(aside) != std::wstring::npos) << box;
    Click(b.Item(IDC_SHUF_LIST));
    D::Key(VK_HOME);
    b.Open(IDC_SHUF_EDIT);
    HWND missing = b.Find(L"Change songs selection - ERROR", L"\r\nPlaylist: Workout\r\n", nullptr, 20000), d = b.Find(L"Change songs selection");
    ASSERT_TRUE(missing && d);
    ASSERT_TRUE(D::Answer(GetDlgItem(missing, IDOK)) && D::Answer(GetDlgItem(d, IDOK)));
    b.Save();  // no longer refused for a missing playlist
    HWND saveAs = b.Find(L"Save shuffled playlist as ...", nullptr, nullptr, 30000);
    ASSERT_NE(saveAs, nullptr);
    ASSERT_TRUE(D::BringToFront(saveAs));
    D::Key(VK_ESCAPE);
    ASSERT_TRUE(D::WaitGone(saveAs));
    b.Close();
    WritePrivateProfileStringW(L"Shuffle Settings", L"ListboxOrder", nullptr, ini.c_str());
    EXPECT_TRUE(ReadBytes(aside) == seeded);
    DeleteFileW(aside.c_str());
    const std::string saved = ReadBytes(path);  // the group alone, its items by their array indexes today
    const std::wstring file(reinterpret_cast<const wchar_t*>(saved.data()), saved.size() / 2), items = L"\r\nplaylist\t";
    EXPECT_EQ(file.find(items), file.find(items + L"1\tRoad Trip\r\nplaylist\t7\tFocus\r\ngenre\tJazz\r\nend\r\n")) << file;
    EXPECT_NE(file.find(items), std::wstring::npos);
}

// The weekly save over last week's .m3u, cut to five entries of songs whose names the code page
// cannot hold (nor a short name, there being no file): the box counts the songs written and the
// entries that will not play; nothing is left beside the playlist or in the settings folder.
TEST_F(ShuffleE2E, TruncatedM3uOverLastWeeksSaysWhatWasWritten) {
    std::string text = "SWIRLO-LIBRARY 1\n";
    for (int i = 0; i < 12; ++i)
        text += "song\tC:\\Music\\\xC5\x81\xC3\xB3" "d\xC5\xBA " + std::to_string(i) + ".mp3\tS\tRock\t50\t20200101\n";
    const std::wstring library = dir / L"library.txt", out = dir / L"weekly.m3u", temp = D::ConfigDir() + L"playlist temp final.txt";
    WriteBytes(library, text), WriteBytes(out, "last week\r\n"), WriteBytes(temp, "an older version's copy");
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", library.c_str());
    for (auto [key, value] : {std::pair{L"TruncateOutput", L"1"}, {L"TruncateSize", L"5"}})
        WritePrivateProfileStringW(L"Shuffle Tab", key, value, (D::ConfigDir() + L"Blendo.ini").c_str());
    SeedGroups({{3, {}, 0, false, {L"Rock"}, {}}});
    Blendo b;
    ASSERT_TRUE(b.Start(1));
    b.Save();
    ASSERT_TRUE(b.SaveAs(2, out));
    ASSERT_TRUE(b.Answer(L"A file already exists", IDYES));
    std::wstring box = b.Result();
    if (box.find(L"Non fatal error") != std::wstring::npos) box = b.Result();
    const std::vector<std::wstring> list = Entries(out, 1);
    ASSERT_EQ(list.size(), 5u) << box;
    const std::size_t unique = std::set<std::wstring>(list.begin(), list.end()).size();
    EXPECT_NE(box.find(std::to_wstring(unique) + L" unique songs in shuffled playlist\n36 total"), std::wstring::npos) << box;
    EXPECT_NE(box.find(L"Note: 5 entries will not play."), std::wstring::npos) << box;  // no path fits the code page
    for (const std::wstring& gone : {temp, out + L".swirlo-part"}) EXPECT_EQ(GetFileAttributesW(gone.c_str()), INVALID_FILE_ATTRIBUTES);
    b.Close();
    WritePrivateProfileStringW(L"Shuffle Tab", L"TruncateSize", nullptr, (D::ConfigDir() + L"Blendo.ini").c_str());
}

// While a run works (held at two of its stages), the other tab and the Settings and Help menus (a
// click, Alt+S, Alt+H) are refused; Esc then stops the run and closes the window with no box after
// it, the process ends and the old file is left.
TEST_F(ShuffleE2E, ARunKeepsTabsAndMenusAndEscStopsItAndEnds) {
    D::HoldPrefixes(L"Reading songs selection|Creating list");
    SeedGroups({{9, {}, 0, false, {}, {}}});
    const std::wstring out = dir / L"old.m3u8";
    WriteBytes(out, "old playlist\r\n");
    Blendo b;
    ASSERT_TRUE(b.Start(1));
    RECT tab;
    GetWindowRect(GetDlgItem(b.main, IDC_MAIN_TAB), &tab);
    HWND settings = GetDlgItem(b.main, IDC_SETTINGS_LABEL);
    b.prog.HoldAt(0);
    b.Save();
    ASSERT_TRUE(b.SaveAs(3, out));
    ASSERT_TRUE(b.Answer(L"A file already exists", IDYES));
    ASSERT_TRUE(b.prog.WaitHeld(0));
    b.prog.HoldAt(1);
    D::ClickAt({tab.left + (tab.right - tab.left) / 2, tab.top + 10});  // the second tab
    D::Press(settings);
    D::Key('S', VK_MENU);
    D::Key('H', VK_MENU);
    b.prog.Release(0);
    ASSERT_TRUE(b.prog.WaitHeld(1));  // the input above went through the run's pump on the way
    EXPECT_TRUE(IsWindowVisible(b.page));  // a change of tab hides it
    HWND menu = FindWindowW(L"#32768", nullptr);
    EXPECT_FALSE(menu && IsWindowVisible(menu));
    D::Key(VK_ESCAPE);
    b.prog.Release(1);
    EXPECT_EQ(b.prog.WaitForExit(60000), 0);
    EXPECT_EQ(ReadBytes(out), "old playlist\r\n");
}

}  // namespace
