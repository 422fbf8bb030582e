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
#include "tests/e2e/ProgramDriver.h"
#include "tests/foundation/WinTestSupport.h"
#include "tools/demolib/DemoGen.h"

using namespace swirlo::test;

namespace {

using D = ProgramDriver;

std::wstring Wide(const std::string& s, UINT cp = CP_UTF8) {
    std::wstring w(s.size(), L'\0');
    w.resize(static_cast<std::size_t>(MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()))));
    return w;
}

// ---- The library file, read here on its own terms.
struct Song { std::wstring path, genre; int rating = 0, added = 0; };
// The songs and each playlist's title with the song indexes of its entries.
struct Library { std::vector<Song> songs; std::map<std::wstring, std::vector<int>> playlists; };
Library ReadLibrary(const std::string& text) {
    Library lib;
    std::istringstream in(text);
    std::string line;
    std::vector<int>* current = nullptr;
    while (std::getline(in, line)) {
        std::vector<std::wstring> f;
        std::wistringstream fields(Wide(line));
        for (std::wstring field; std::getline(fields, field, L'\t');) f.push_back(field);
        f.resize(6);  // empty trailing fields
        if (f[0] == L"song") lib.songs.push_back({f[1], f[3], _wtoi(f[4].c_str()), _wtoi(f[5].c_str())});
        if (f[0] == L"playlist") current = &lib.playlists[f[1]];
        if (f[0] == L"entry" && current) current->push_back(_wtoi(f[1].c_str()) - 1);
    }
    return lib;
}

// A group: same-for-all count (0 by rating, -1 exclusion), counts by stars, days, ignore-repeats and
// what it holds.
struct Group { int same; int freq[6]; int days; bool ignore; std::vector<std::wstring> genres, playlists; };

// The plays every song must have: ratings to stars, the date filter, the merge, the exclusion.
std::map<std::wstring, int> ExpectedPlays(const Library& lib, const std::vector<Group>& groups) {
    std::map<std::wstring, int> work;
    std::set<std::wstring> excluded;
    for (const Group& g : groups) {
        std::time_t back = std::time(nullptr) - static_cast<std::time_t>(g.days) * 86400;
        std::tm* t = std::localtime(&back);
        int minDate = g.days ? (t->tm_year + 1900) * 10000 + (t->tm_mon + 1) * 100 + t->tm_mday : 0;
        std::vector<Song> items;
        for (const std::wstring& genre : g.genres)
            for (const Song& s : lib.songs)
                if (s.genre == genre) items.push_back(s);
        for (const std::wstring& p : g.playlists)
            for (int i : lib.playlists.at(p)) items.push_back(lib.songs[static_cast<std::size_t>(i)]);
        std::map<std::wstring, int> mine;
        for (const Song& s : items) {
            if (s.added < minDate) continue;
            if (g.same < 0) {
                excluded.insert(s.path);
                continue;
            }
            int r = s.rating, stars = r == 0 ? 2 : r <= 12 ? 1 : r <= 37 ? 2 : r <= 62 ? 3 : r <= 86 ? 4 : 5;
            int c = g.same > 0 ? g.same : g.freq[stars];
            if (c == 0 || (mine.count(s.path) && g.ignore)) continue;
            if (mine[s.path] + c <= 255) mine[s.path] += c;
        }
        for (auto& [p, c] : mine)
            if (work[p] + c <= 255) work[p] += c;
    }
    for (const std::wstring& p : excluded) work.erase(p);
    return work;
}

// The groups file the page keeps between runs, written as the page writes it.
void SeedGroups(const std::vector<Group>& groups) {
    std::wstring t = L"SWIRLO-GROUPS 1\r\n";
    for (const Group& g : groups) {
        wchar_t head[200];
        swprintf(head, 200, L"group\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\tgroup\r\nselect\r\n",
                 g.genres.empty() && g.playlists.empty() ? 1 : 2, g.same, g.freq[1], g.freq[2], g.freq[3], g.freq[4],
                 g.freq[5], g.days, g.ignore ? 1 : 0);
        t += head;
        for (const std::wstring& p : g.playlists) t += L"playlist\t0\t" + p + L"\r\n";
        for (const std::wstring& genre : g.genres) t += L"genre\t" + genre + L"\r\n";
    }
    WriteBytes(D::ConfigDir() + L"shuffle groups.txt", std::string(reinterpret_cast<const char*>(t.data()), t.size() * 2));
}

// ---- Real input.
// A left click at a point of ctl (its centre by default), its window brought to the front first: the
// move, press and release in one burst (a Stop must land while its stage lasts), Ctrl held when asked.
void Click(HWND ctl, int dx = -1, int dy = -1, bool ctrl = false) {
    HWND root = GetAncestor(ctl, GA_ROOT);
    if (GetForegroundWindow() != root) SetForegroundWindow(root), Sleep(300);
    RECT r;
    GetWindowRect(ctl, &r);
    INPUT in[3] = {};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dx = (dx < 0 ? (r.left + r.right) / 2 : r.left + dx) * 65535 / GetSystemMetrics(SM_CXSCREEN);
    in[0].mi.dy = (dy < 0 ? (r.top + r.bottom) / 2 : r.top + dy) * 65535 / GetSystemMetrics(SM_CYSCREEN);
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (ctrl) D::KeyEvent(VK_CONTROL, false);
    SendInput(3, in, sizeof(INPUT));
    if (ctrl) D::KeyEvent(VK_CONTROL, true);
    Sleep(100);
}
// Replaces the text of an edit box as a person would: click, select all, type; and looks, as a
// person would, that the box shows it (a key lost by the virtual display is typed again).
bool Retype(HWND edit, const std::wstring& text) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        Click(edit);
        D::Key('A', VK_CONTROL);
        D::Type(text);
        Sleep(100);
        if (D::Text(edit) == text) return true;
    }
    return false;
}

// ---- The running program.
struct Blendo {
    ProgramDriver prog;
    HWND main = nullptr, page = nullptr;
    DWORD pid = 0;

    // Starts the program and waits until the page has restored rows groups.
    bool Start(int rows) {
        if (!prog.Start() || !(main = prog.WaitForWindow(L"Swirlo"))) return false;
        GetWindowThreadProcessId(main, &pid);
        for (int i = 0; i < 300 && !page; ++i, Sleep(100))
            for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (GetDlgItem(c, IDC_SHUF_SAVE)) page = c;
        for (int i = 0; i < 300 && page && ListView_GetItemCount(Item(IDC_SHUF_LIST)) < rows; ++i) Sleep(100);
        return page && ListView_GetItemCount(Item(IDC_SHUF_LIST)) == rows;
    }
    HWND Item(int id) const { return GetDlgItem(page, id); }
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
        return nullptr;
    }
    // Adds a group through the song selection dialog, by mouse and keyboard: its genres and playlists
    // picked in the listbox, the days typed, the frequency mode chosen. The counts and the
    // ignore-repeats flag the dialog offers are read back into g.
    bool Add(Group& g) {
        Click(Item(IDC_SHUF_ADD));
        HWND d = Find(L"Add songs to shuffle"), list = GetDlgItem(d, IDC_SEL_LIST);
        for (int i = 0; i < 100 && SendMessageW(list, LB_GETCOUNT, 0, 0) <= 0; ++i) Sleep(100);
        const int h = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        std::vector<std::wstring> names;
        for (const std::wstring& n : g.genres) names.push_back(L"Genre: " + n);
        for (const std::wstring& n : g.playlists) names.push_back(L"Playlist: " + n);
        for (const std::wstring& n : names) {
            LRESULT idx = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(n.c_str()));
            if (idx < 0) return false;
            SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(idx), 0);
            for (int attempt = 0; attempt < 3 && !SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(idx), 0); ++attempt) {
                Click(list, 30, static_cast<int>(idx - SendMessageW(list, LB_GETTOPINDEX, 0, 0)) * h + h / 2 + 2, true);
                Sleep(100);
            }
            if (!SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(idx), 0)) return false;
        }
        if (g.days && !Retype(GetDlgItem(d, IDC_SEL_DAYS), std::to_wstring(g.days))) return false;
        if (g.same > 0) {
            Click(GetDlgItem(d, IDC_SEL_SAME));
            if (!Retype(GetDlgItem(d, IDC_SEL_FREQSAME), std::to_wstring(g.same))) return false;
        }
        if (g.same < 0) Click(GetDlgItem(d, IDC_SEL_EXCLUDE));
        const int box[6] = {0, IDC_SEL_FREQ1, IDC_SEL_FREQ2, IDC_SEL_FREQ3, IDC_SEL_FREQ4, IDC_SEL_FREQ5};
        for (int k = 1; k <= 5; ++k) g.freq[k] = _wtoi(D::Text(GetDlgItem(d, box[k])).c_str());
        g.ignore = SendMessageW(GetDlgItem(d, IDC_SEL_IGNORE), BM_GETCHECK, 0, 0) == BST_CHECKED;
        Click(GetDlgItem(d, IDOK));
        return D::WaitGone(d);
    }
    // Answers the Save As dialog: the type (1 .wpl, 2 .m3u, 3 .m3u8) and the name, by keyboard.
    bool SaveAs(int type, const std::wstring& path) {
        HWND dlg = Find(L"Save shuffled playlist as ...");
        if (!dlg) return false;
        Click(GetDlgItem(dlg, 0x470));  // the type list opens
        Sleep(300);
        D::Key(VK_HOME);
        for (int i = 1; i < type; ++i) D::Key(VK_DOWN);
        D::Key(VK_RETURN);
        Sleep(300);
        Retype(GetDlgItem(dlg, 0x47c), path);
        D::Key(VK_RETURN);
        return true;
    }
    // Waits for the box that ends a run, reads it and closes it with Enter.
    std::wstring Result() {
        std::wstring text;
        HWND box = Find(nullptr, L"\r\n", &text, 300000);  // any message box of the program
        SetForegroundWindow(box);
        D::Key(VK_RETURN);
        for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
        return text;
    }
    void Close() {
        PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
        prog.WaitForExit(90000);  // it saves the groups on the way out
    }
};

// The entries of a written playlist, as UTF-16 paths.
std::vector<std::wstring> Entries(const std::wstring& path, int format) {
    std::vector<std::wstring> out;
    if (format == 0) {  // .wpl through the system's XML parser
        Microsoft::WRL::ComPtr<IXMLDOMDocument> doc;
        Microsoft::WRL::ComPtr<IXMLDOMNodeList> nodes;
        Microsoft::WRL::ComPtr<IXMLDOMNode> n;
        VARIANT_BOOL ok = VARIANT_FALSE;
        VARIANT file{};
        file.vt = VT_BSTR;
        file.bstrVal = SysAllocString(path.c_str());
        CLSID clsid{};
        if (SUCCEEDED(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &clsid)) &&
            SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument, reinterpret_cast<void**>(doc.GetAddressOf()))))
            doc->load(file, &ok);
        VariantClear(&file);
        EXPECT_EQ(ok, VARIANT_TRUE) << "not well-formed XML";
        BSTR xpath = SysAllocString(L"/smil/body/seq/media/@src"), v = nullptr;
        if (ok == VARIANT_TRUE && SUCCEEDED(doc->selectNodes(xpath, &nodes)))
            for (; nodes->nextNode(&n) == S_OK && n && SUCCEEDED(n->get_text(&v)); n.Reset(), SysFreeString(v)) out.push_back(v);
        SysFreeString(xpath);
        return out;
    }
    std::istringstream in(ReadBytes(path));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "#EXTM3U\r");
    while (std::getline(in, line)) out.push_back(Wide(line.substr(0, line.size() - 1), format == 1 ? CP_ACP : CP_UTF8));
    return out;
}

// Every song's plays as many times as expected, and the spacing the method promises: no two plays of
// a song closer than minSep (method 0: min(N, segment / 3)) unless the notice counted them.
void CheckPlaylist(const std::vector<std::wstring>& list, std::map<std::wstring, int> expected, int format, int nSep,
                   int shortfalls, bool even = true) {
    if (format == 1)  // the ANSI file holds what the code page holds of each path
        for (auto it = expected.begin(); it != expected.end();) {
            char buf[1024];
            int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, it->first.c_str(), -1, buf, 1024, nullptr, nullptr);
            std::wstring ansi = Wide(std::string(buf, static_cast<std::size_t>(n > 0 ? n - 1 : 0)), CP_ACP);
            int c = it->second;
            it = expected.erase(it);
            expected[ansi] += c;
        }
    std::map<std::wstring, std::vector<int>> at;
    for (int i = 0; i < static_cast<int>(list.size()); ++i) at[list[static_cast<std::size_t>(i)]].push_back(i);
    ASSERT_EQ(at.size(), expected.size());
    int close = 0;
    for (auto& [p, pos] : at) {
        ASSERT_EQ(static_cast<int>(pos.size()), expected[p]) << p;
        int minSep = even ? std::min(nSep, static_cast<int>(list.size() / pos.size()) / 3) : nSep;
        for (std::size_t k = 1; k < pos.size(); ++k) close += pos[k] - pos[k - 1] <= minSep ? 1 : 0;
    }
    EXPECT_LE(close, shortfalls);
}

class ShuffleE2E : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        lib = ReadLibrary(ReadBytes(WinPath(DEMO_LIBRARY)));
        SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", WinPath(DEMO_LIBRARY).c_str());
        const std::wstring lastDir = dir.Root();
        for (auto [section, key, value] : {std::tuple{L"Shuffle Tab", L"RepeatsOption", L"0"}, {L"Shuffle Tab", L"RepeatSepDistSize", L"10"},
                                           {L"Shuffle Tab", L"TruncateOutput", L"0"}, {L"Shuffle Tab", L"TruncateNoReps", L"0"},
                                           {L"Shuffle Settings", L"UseLastDir", L"1"}, {L"Shuffle Settings", L"LastDir", lastDir.c_str()},
                                           {L"Shuffle Settings", L"WmpNotify", L"0"}, {L"Logging Settings", L"SaveLog", L"0"}})
            WritePrivateProfileStringW(section, key, value, (D::ConfigDir() + L"Blendo.ini").c_str());
    }
    void TearDown() override { DeleteFileW((D::ConfigDir() + L"shuffle groups.txt").c_str()); }
    TempDir dir;
    Library lib;
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
        // First start: method 0 in each format; after the restart: methods 0, 1 (N = 30) and 2 (N = 0).
        for (int run = 0; run < 3; ++run) {
            const int format = restart ? 2 : run, method = restart ? run : 0;
            if (method) {
                Click(b.Item(IDC_SHUF_RANDOM));
                ASSERT_TRUE(Retype(b.Item(IDC_SHUF_ONLY_EDIT), method == 1 ? L"30" : L"0"));
            }
            const std::wstring out = dir / (L"mix" + std::to_wstring(restart) + std::to_wstring(run) + ext[format]);
            Click(b.Item(IDC_SHUF_SAVE));
            ASSERT_TRUE(b.SaveAs(format + 1, out));
            std::wstring box = b.Result();
            const std::size_t note = box.find(L"Non fatal error");  // its second line counts the shortfalls
            const int shortfalls = note == std::wstring::npos ? 0 : _wtoi(box.c_str() + box.find(L'\n', note) + 1);
            const bool separated = box.find(L"repeats are close") == std::wstring::npos;
            if (shortfalls || !separated) box = b.Result();
            ASSERT_NE(box.find(L"Shuffled playlist created:\r\n" + out), std::wstring::npos) << box;
            // After a run the no-repetition controls are usable exactly under "Most even distribution".
            EXPECT_EQ(IsWindowEnabled(b.Item(IDC_SHUF_LARGER)) && IsWindowEnabled(b.Item(IDC_SHUF_NOREPS)), method == 0) << out;
            SCOPED_TRACE(out);
            CheckPlaylist(Entries(out, format), expected, format, method == 0 ? 10 : method == 1 ? 30 : 0,
                          method == 0 ? shortfalls : separated ? 0 : 1 << 30, method == 0);
        }
        b.Close();  // the groups are saved on close and restored by the next start
    }
}

// Stop pressed while songs are read, placed and written (900,000 plays of 100,000 songs): the run
// says so, the file that was there is left byte for byte, and the page is usable again.
TEST_F(ShuffleE2E, StopAtEveryStageLeavesTheOldFile) {
    const std::wstring big = dir / L"big-library.txt";  // its dates do not matter here
    WriteBytes(big, swirlo::demolib::MakeDemoLibrary(100000, 3, 2026, 1, 1));
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", big.c_str());
    SeedGroups({{9, {}, 0, false, {}, {}}});
    const std::wstring out = dir / L"old.m3u8";
    WriteBytes(out, "old playlist\r\n");
    Blendo b;
    ASSERT_TRUE(b.Start(1));
    for (const wchar_t* stage : {L"Reading songs selection", L"Shuffling songs", L"Writing shuffled"}) {
        Click(b.Item(IDC_SHUF_SAVE));
        ASSERT_TRUE(b.SaveAs(3, out));
        Click(GetDlgItem(b.Find(L"Swirlo", L"A file already exists"), IDYES));  // the overwrite question
        int polls = 0;
        while (D::Text(b.Item(IDC_SHUF_STATUS)).find(stage) != 0 && ++polls < 20000) Sleep(1);
        ASSERT_LT(polls, 20000) << stage;
        Click(b.Item(IDC_SHUF_SAVE));
        EXPECT_NE(b.Result().find(L"Processing stopped by user Cancel"), std::wstring::npos) << stage;
        const std::string now = ReadBytes(out);  // a failure names its size, not its megabytes
        EXPECT_TRUE(now == "old playlist\r\n") << stage << ": " << now.size() << " bytes";
        EXPECT_EQ(D::Text(b.Item(IDC_SHUF_SAVE)), L"Save as Shuffled Playlist ...");
    }
    b.Close();
}

// Cases around the list and the boxes: a 257th group is refused before any dialog opens, a group whose
// playlist is gone is named by Save, the arrows wrap, and the Save As dialog renames on a type change
// and asks again after No to the overwrite question.
TEST_F(ShuffleE2E, ListLimitsMissingPlaylistArrowsAndSaveAsAnswers) {
    std::vector<Group> groups(256, Group{0, {0, 1, 2, 3, 5, 9}, 0, false, {L"Rock"}, {}});
    groups[7].playlists = {L"Gone Playlist"};
    SeedGroups(groups);
    Blendo b;
    ASSERT_TRUE(b.Start(256));
    Click(b.Item(IDC_SHUF_ADD));
    EXPECT_NE(b.Result().find(L"Maximum number 256 selections"), std::wstring::npos);
    Click(b.Item(IDC_SHUF_SAVE));
    EXPECT_NE(b.Result().find(L"Playlist: Gone Playlist"), std::wstring::npos);

    // Emptied and typed digit by digit; the arrow keys move the box like its arrows (wrapping at the ends).
    for (auto [edit, typed, stepped] : {std::tuple{IDC_SHUF_ONLY_EDIT, L"99", L"0"}, {IDC_SHUF_DIST_EDIT, L"99", L"1"},
                                        {IDC_SHUF_TRUNC_EDIT, L"300", L"301"}}) {
        Click(b.Item(edit));
        for (WORD k : std::initializer_list<WORD>{VK_END, VK_BACK, VK_BACK, VK_BACK, VK_BACK}) D::Key(k);
        D::Type(typed);
        EXPECT_EQ(D::Text(b.Item(edit)), typed);
        D::Key(VK_UP);
        EXPECT_EQ(D::Text(b.Item(edit)), stepped);
    }
    EXPECT_EQ(D::Text(b.Item(IDC_SHUF_ONLY_LABEL)), L"This shuffle is now set purely random (No minimum separation of repeats)");

    // Remove the group that cannot be saved (the eighth row, picked by keyboard).
    Click(b.Item(IDC_SHUF_LIST));
    D::Key(VK_HOME);
    for (int i = 0; i < 7; ++i) D::Key(VK_DOWN);
    Click(b.Item(IDC_SHUF_REMOVE));
    for (int i = 0; i < 50 && ListView_GetItemCount(b.Item(IDC_SHUF_LIST)) != 255; ++i) Sleep(100);
    ASSERT_EQ(ListView_GetItemCount(b.Item(IDC_SHUF_LIST)), 255);

    // A type change renames the name box; No to the overwrite question brings the dialog back, and
    // Cancel there ends the run without a word.
    const std::wstring taken = dir / L"taken.m3u8";
    WriteBytes(taken, "x");
    Click(b.Item(IDC_SHUF_SAVE));
    HWND dlg = b.Find(L"Save shuffled playlist as ...");
    ASSERT_NE(dlg, nullptr);
    Retype(GetDlgItem(dlg, 0x47c), dir / L"taken.wpl");
    Click(GetDlgItem(dlg, 0x470));
    Sleep(300);
    D::Key(VK_END);
    D::Key(VK_RETURN);
    Sleep(300);
    EXPECT_EQ(D::Text(GetDlgItem(dlg, 0x47c)), taken);
    Click(GetDlgItem(dlg, 0x47c));
    D::Key(VK_RETURN);
    Click(GetDlgItem(b.Find(L"Swirlo", L"A file already exists"), IDNO));
    ASSERT_NE(dlg = b.Find(L"Save shuffled playlist as ..."), nullptr);
    Click(GetDlgItem(dlg, IDCANCEL));
    EXPECT_TRUE(D::WaitGone(dlg));
    EXPECT_EQ(ReadBytes(taken), "x");
    b.Close();
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
    Click(b.Item(IDC_SHUF_SAVE));
    ASSERT_TRUE(b.SaveAs(3, out));
    Click(GetDlgItem(b.Find(L"Swirlo", L"A file already exists"), IDYES));
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
