// The song selection dialog, created from its resource and run modally on the window thread while a
// second thread operates it with messages to its controls, as a user would; and the caching thread
// started, halted and closed at random moments around it.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <random>
#include <thread>

#include "foundation/ErrorText.h"
#include "foundation/IniSettings.h"
#include "library/MediaLibrary.h"
#include "shuffle/page/SongSelectDialog.h"
#include "resources/resource.h"
#include "standin/LibraryModel.h"
#include "tests/library/ComTestSupport.h"

namespace swirlo::testing {
namespace {

std::wstring Lower(std::wstring s) {
    CharLowerW(s.data());
    return s;
}

std::wstring RegText(const wchar_t* key, const wchar_t* value) {
    wchar_t buf[600] = L"";
    DWORD bytes = sizeof(buf);
    RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_SZ, nullptr, buf, &bytes);
    return buf;
}

// What the registered demo library should list, worked out from its file and the player's folders.
struct Expected {
    std::vector<std::wstring> genres, userPlaylists;
    std::vector<int> userIndexes;
    std::size_t allPlaylists = 0;
    Expected() {
        standin::LibraryModel m;
        EXPECT_EQ(m.Parse(ReadBytes(RegText(L"Software\\Classes\\CLSID\\{6BF52A52-394A-11D3-B153-00C04F79FAA6}",
                                            L"LibraryFile"))), 1);
        const wchar_t* prefs = L"Software\\Microsoft\\MediaPlayer\\Preferences";
        const std::wstring sync = Lower(RegText(prefs, L"ObfuscatedSyncPlaylistsPath")),
                           sample = Lower(RegText(prefs, L"ObfuscatedSamplePlaylistsPath"));
        for (const std::wstring& g : m.Genres())
            if (!g.empty()) genres.push_back(g);
        allPlaylists = m.playlists.size();
        for (std::size_t i = 0; i < m.playlists.size(); ++i) {
            bool players = false;
            for (std::uint32_t k : m.ByName(m.playlists[i].sTitle)) {
                std::wstring path = Lower(m.items[k].sPath);
                players |= m.items[k].bPlaylistFile && (path.find(sync) != std::wstring::npos ||
                                                        path.find(sample) != std::wstring::npos);
            }
            if (m.playlists[i].bAuto && players) continue;
            userPlaylists.push_back(m.playlists[i].sTitle);
            userIndexes.push_back(static_cast<int>(i));
        }
    }
};

// The second thread's hands on the dialog.
struct Driver {
    HWND dlg = nullptr;
    HWND Item(int id) const { return GetDlgItem(dlg, id); }
    std::wstring Text(int id) const {
        wchar_t buf[512] = L"";
        GetDlgItemTextW(dlg, id, buf, 512);
        return buf;
    }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void Set(int id, const wchar_t* text) const { SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::wstring Entry(int index) const {
        wchar_t buf[600] = L"";
        SendMessageW(Item(IDC_SEL_LIST), LB_GETTEXT, index, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    bool WaitFilled() const {
        for (int i = 0; i < 1000; ++i, Sleep(10))
            if (Text(IDC_SEL_STATUS).find(L" Genres and ") != std::wstring::npos) return true;
        return false;
    }
};

class SongSelectTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&icc);
        ASSERT_EQ(m_settings.InitSettings(m_dir.Path().c_str()), 1);
    }
    // Opens the dialog; drive runs on a second thread once the dialog exists, and the dialog is
    // cancelled afterwards should it still be open.
    INT_PTR Run(MediaLibrary* lib, const SongSelection* edit, const std::function<void(Driver&)>& drive,
                const wchar_t* title = L"Add songs to shuffle") {
        std::thread hands([&] {
            Driver d;
            for (int i = 0; i < 500 && !d.dlg; ++i, Sleep(10)) d.dlg = FindWindowW(L"#32770", title);
            if (!d.dlg) return;
            drive(d);
            if (IsWindow(d.dlg)) PostMessageW(d.dlg, WM_COMMAND, IDCANCEL, 0);
        });
        INT_PTR r = RunSongSelectDialog(GetModuleHandleW(nullptr), &m_settings, &m_page, title, lib, edit, m_result);
        hands.join();
        return r;
    }
    TempDir m_dir;
    IniSettings m_settings;
    ZWinUtil m_page{nullptr, L"Zadered Iruzad Irovero"};
    std::unique_ptr<SongSelection> m_result;
    BoxSpy m_spy;
    Expected m_want;
};

TEST_F(SongSelectTest, AddChecksTheInputAndReturnsExactlyWhatWasChosen) {
    MediaLibrary lib(nullptr, L"Shuffle", false, m_dir.Path());
    ASSERT_EQ(lib.Setup(), 1);
    lib.NoteSelectDialogStarted();
    const int P = static_cast<int>(m_want.userPlaylists.size()), G = static_cast<int>(m_want.genres.size());
    ASSERT_GE(P, 3);
    std::vector<std::wstring> boxes;
    INT_PTR r = Run(&lib, nullptr, [&](Driver& d) {
        ASSERT_TRUE(d.WaitFilled());
        EXPECT_EQ(d.Text(IDC_SEL_STATUS), FormatW(L"%d Genres and %d Playlists", G, P));
        EXPECT_EQ(d.Entry(0), L"Playlist: " + m_want.userPlaylists[0]);
        EXPECT_EQ(d.Entry(P), L"Genre: " + m_want.genres[0]);
        // Refused: every per-star count 0, then an exclusion of all songs without a filter.
        for (int id : {IDC_SEL_FREQ1, IDC_SEL_FREQ2, IDC_SEL_FREQ3, IDC_SEL_FREQ4, IDC_SEL_FREQ5}) d.Set(id, L"0");
        d.Click(IDOK);
        d.Click(IDC_SEL_EXCLUDE);
        EXPECT_FALSE(IsWindowEnabled(d.Item(IDC_SEL_IGNORE)));
        d.Click(IDOK);
        boxes = m_spy.Texts();
        EXPECT_TRUE(IsWindow(d.dlg) && d.Text(IDC_SEL_FREQ1) == L"0" && d.Checked(IDC_SEL_EXCLUDE)) << "input kept";
        d.Click(IDC_SEL_SAME);
        TypeInto(d.Item(IDC_SEL_FREQSAME), L"*0");  // kept while typing, the minimum when the focus leaves
        EXPECT_EQ(d.Text(IDC_SEL_FREQSAME), L"0");
        TypeInto(d.Item(IDC_SEL_FREQSAME), L"!*12vv^^^^");
        EXPECT_EQ(d.Text(IDC_SEL_FREQSAME), L"14");
        for (int index : {0, 2, P}) SendMessageW(d.Item(IDC_SEL_LIST), LB_SETSEL, TRUE, index);
        d.Click(IDC_SEL_LISTED);
        EXPECT_FALSE(d.Checked(IDC_SEL_NEWONLY));
        TypeInto(d.Item(IDC_SEL_DAYS), L"*\b365");
        EXPECT_TRUE(d.Checked(IDC_SEL_NEWONLY)) << "typing days chooses the filter";
        EXPECT_EQ(d.Text(IDC_SEL_DATE_LABEL).rfind(L"(added on or after ", 0), 0u);
        d.Click(IDOK);
    });
    lib.NoteSelectDialogReturned();
    ASSERT_EQ(r, 1);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{
                         L"Add songs to shuffle - ERROR: All songs set to play 0 times.\r\n"
                         L"To use in the shuffle at least some songs must play 1 or more times\r\n",
                         L"Add songs to shuffle - ERROR: Exclusion option not allowed for All Songs (except with \"new "
                         L"only\" filter)\r\n"}));
    ASSERT_TRUE(m_result);
    const SongSelection& s = *m_result;
    EXPECT_TRUE(s.Kind() == kSelectListed && s.Frequencies()[0] == 14 && s.Days() == 365 && s.IgnoreRepeats());
    EXPECT_EQ(s.PlaylistNames(), (std::vector<std::wstring>{m_want.userPlaylists[0], m_want.userPlaylists[2]}));
    EXPECT_EQ(s.PlaylistIndexes(), (std::vector<int>{m_want.userIndexes[0], m_want.userIndexes[2]}));
    EXPECT_EQ(s.GenreNames(), std::vector<std::wstring>{m_want.genres[0]});
    EXPECT_EQ(s.ListboxSelection(), (std::vector<int>{0, 2, P}));
    EXPECT_EQ(s.Name(), L"2 Playlists and 1 Genre (last 365 days, deduped)");
    EXPECT_TRUE(m_settings.FrequencySame == 14 && m_settings.DaysNew == 365);
    EXPECT_EQ(m_spy.boxes.size(), 2u);
}

// The group was made with playlists listed first; now genres come first and the library has lost a
// playlist and a genre and moved another playlist: its items are found by name and the lost ones named.
TEST_F(SongSelectTest, EditShowsTheGroupAndReselectsItsItemsByName) {
    MediaLibrary lib(nullptr, L"Shuffle", false, m_dir.Path());
    ASSERT_EQ(lib.Setup(), 1);
    m_settings.ListboxOrder = 0;
    const int P = static_cast<int>(m_want.userPlaylists.size()), G = static_cast<int>(m_want.genres.size());
    SongSelection old(kSelectListed, {0, 1, 2, 3, 4, 5}, 12, false, L"old", {1, 3, P + 1, P + 2}, {m_want.userIndexes[1], 999, 5},
                      {m_want.userPlaylists[1], m_want.userPlaylists[3], L"Gone"}, {m_want.genres[1], L"Gone Genre"});
    INT_PTR r = Run(&lib, &old, [&](Driver& d) {
        ASSERT_TRUE(d.WaitFilled());
        EXPECT_TRUE(d.Checked(IDC_SEL_LISTED) && d.Checked(IDC_SEL_BY_RATING) && d.Checked(IDC_SEL_NEWONLY));
        EXPECT_FALSE(d.Checked(IDC_SEL_IGNORE));
        EXPECT_EQ(d.Text(IDC_SEL_FREQ3) + L"," + d.Text(IDC_SEL_DAYS), L"3,12");
        if (const char* hold = getenv("SWIRLO_HOLD_DIALOG_MS")) Sleep(atoi(hold));  // for a screenshot
        d.Click(IDOK);
    }, L"Change songs selection");
    ASSERT_EQ(r, 1);
    ASSERT_TRUE(m_result);
    EXPECT_EQ(m_result->ListboxSelection(), (std::vector<int>{1, G + 1, G + 3})) << "genres first, by name";
    EXPECT_EQ(m_result->PlaylistIndexes(), (std::vector<int>{m_want.userIndexes[1], m_want.userIndexes[3]}));
    EXPECT_EQ(m_result->Frequencies(), (std::array<int, 6>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(m_result->Name(), L"2 Playlists and 1 Genre (last 12 days)");
    ASSERT_EQ(m_spy.boxes.size(), 1u);
    EXPECT_NE(m_spy.boxes[0].text.find(L"playlists now:\r\nPlaylist: Gone\r\nGenre: Gone Genre\r\nOK saves"), std::wstring::npos);
}

// The settings the dialog opens with: the auto-playlist filter, the saved days (the listbox order:
// the Add and Edit tests).
TEST_F(SongSelectTest, SettingsChooseOrderFilterAndDays) {
    struct Case { int includeAuto, daysNew; const wchar_t* days; bool invalid; };
    const Case cases[] = {{0, 0, L"45", true}, {1, 1500, L"45", true}, {0, 20000101, L"999", false}, {0, 20, L"20", false}};
    ASSERT_LT(m_want.userPlaylists.size(), m_want.allPlaylists) << "the demo library has auto playlists of the player's";
    MediaLibrary lib(nullptr, L"Shuffle", false, m_dir.Path());
    ASSERT_EQ(lib.Setup(), 1);
    for (const Case& c : cases) {
        m_spy.boxes.clear();
        m_settings.IncludeAutoPlists = c.includeAuto;
        m_settings.DaysNew = c.daysNew;
        std::wstring status, days;
        EXPECT_EQ(Run(&lib, nullptr, [&](Driver& d) {
            if (!d.WaitFilled()) return;
            status = d.Text(IDC_SEL_STATUS);
            days = d.Text(IDC_SEL_DAYS);
        }), 0);
        std::size_t playlists = c.includeAuto ? m_want.allPlaylists : m_want.userPlaylists.size();
        EXPECT_EQ(status, FormatW(L"%d Genres and %d Playlists", static_cast<int>(m_want.genres.size()),
                                  static_cast<int>(playlists)));
        EXPECT_EQ(days, c.days);
        std::vector<std::wstring> want;
        if (c.invalid)
            want.push_back(FormatW(L"Add songs to shuffle - ERROR: Invalid saved entry for new songs maximum age "
                                   L"\"%d\"\nUsing default maximum 45\r\n", c.daysNew));
        EXPECT_EQ(m_spy.Texts(), want);
        EXPECT_FALSE(m_result);
    }
}

// Start, halt and close at random moments, sometimes with the dialog open: no object is left alive,
// no call reaches an object from a foreign thread, and a halt is answered before its time-out.
TEST_F(SongSelectTest, TwoHundredRandomStartHaltCloseCyclesLeaveNothingBehind) {
    UseLibrary(L"cycles.txt", LibraryText(3000, "50", "20200101",
                                          "playlist\tA\tstatic\t\nentry\t1\nplaylist\tB\tauto\t\nentry\t2\n"));
    std::mt19937 rng(7);
    const LONG wrongBefore = StandinWrongThreadCalls() < 0 ? 0 : StandinWrongThreadCalls();
    for (int cycle = 0; cycle < 200; ++cycle) {
        MediaLibrary lib(nullptr, L"Shuffle", cycle % 3 == 0, m_dir.Path());
        ASSERT_EQ(lib.Setup(), 1);
        const int wait = static_cast<int>(rng() % 150);
        const unsigned what = rng() % 4;  // the dialog, a halt, a pause, nothing before the close
        if (what == 0) {
            lib.NoteSelectDialogStarted();
            Run(&lib, nullptr, [&](Driver&) { Sleep(wait); });
            if (rng() % 2) lib.NoteSelectDialogReturned();
        } else if (what < 3) {
            Sleep(wait);
        }
        if (what == 1) EXPECT_EQ(lib.HaltCaching(), 1) << cycle;
        lib.Release();
        ASSERT_EQ(StandinLiveObjects(), 0) << "cycle " << cycle;
    }
    EXPECT_EQ(StandinWrongThreadCalls(), wrongBefore);
    EXPECT_TRUE(m_spy.boxes.empty());
}

}  // namespace
}  // namespace swirlo::testing
