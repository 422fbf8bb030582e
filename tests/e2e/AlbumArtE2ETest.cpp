// The album art page end to end: Blendo.exe started under Wine with the player on the removable
// drive P: (made by tools/prefix.d/albumart-drive.sh), driven with real mouse input from this
// process, and the player's files checked one by one against the trees this test built.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <shlobj.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "resources/resource.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo::test;

namespace {

std::wstring Jpeg(const char* name) { return WinPath(std::string(ALBUMART_JPEGS) + "/" + name); }
// The folder behind P:, beside the Wine prefix.
std::wstring PlayerFolder() {
    char prefix[MAX_PATH] = {};
    GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
    return WinPath(std::string(prefix) + "/../albumart-player");
}
std::wstring IniPath() { return ProgramDriver::ConfigDir() + L"Blendo.ini"; }

bool WaitFor(const std::function<bool()>& done, DWORD ms = 60000) { return ProgramDriver::Until(done, ms); }

HWND FindChildText(HWND parent, const std::wstring& part) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ProgramDriver::Text(c).find(part) != std::wstring::npos) return c;
    return nullptr;
}
struct Session {
    ProgramDriver prog;
    HWND main = nullptr, page = nullptr;
    bool Start(bool hold = false) {
        if (!prog.Start() || !(main = prog.WaitForWindow(L"Swirlo"))) return false;
        if (!WaitFor([&] {
                for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                    if (GetDlgItem(c, IDC_AA_FIND)) page = c;
                return page != nullptr && IsWindowVisible(main);
            }))
            return false;
        // The second tab: tabs are a third of the client width each.
        RECT client;
        GetClientRect(main, &client);
        POINT at{client.right / 2, 10};
        ClientToScreen(GetDlgItem(main, IDC_MAIN_TAB), &at);
        // The shuffle page's Save button lights up under the pointer once the window takes mouse input.
        HWND save = nullptr;
        for (HWND c = GetWindow(main, GW_CHILD); c && !save; c = GetWindow(c, GW_HWNDNEXT)) save = GetDlgItem(c, IDC_SHUF_SAVE);
        if (!ProgramDriver::BringToFront(main) || !save || !ProgramDriver::WaitMouse(save) || (hold && !prog.WaitHooked())) return false;
        ProgramDriver::ClickAt(at);
        return WaitFor([&] { return IsWindowVisible(page) != 0; });
    }
    std::wstring Text(int id) { return ProgramDriver::Text(GetDlgItem(page, id)); }
    // The lines of a list box, each followed by "|".
    std::wstring ListLines(int id) {
        std::wstring all;
        wchar_t buf[300];
        for (int i = 0; i < SendDlgItemMessageW(page, id, LB_GETCOUNT, 0, 0); ++i)
            all += std::wstring(buf, SendDlgItemMessageW(page, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf))) + L"|";
        return all;
    }
    // Find, then a batch button and Copy To Player in the copy-selection dialog; before runs once the
    // dialog is the active window. True once the dialog has taken the clicks and gone.
    bool FindAndCopy(int batchButton, const std::function<void(HWND)>& before = [](HWND) {}) {
        // A lost click on Find is sent again, every 20 s, while nothing has started: the button still
        // offers Find, the main window is enabled and no selection dialog exists, shown or not.
        const wchar_t* title = L"Swirlo  -  Copy checked images to player";
        HWND find = GetDlgItem(page, IDC_AA_FIND);
        const std::wstring idle = ProgramDriver::Text(find);
        HWND sel = nullptr;
        for (int i = 0; i < 6 && !sel; ++i) {
            if (i == 0 || (ProgramDriver::Text(find) == idle && IsWindowEnabled(main) && !FindWindowW(L"#32770", title)))
                ProgramDriver::Click(find);
            sel = prog.WaitForWindow(title, 20000);
        }
        if (!sel || !WaitFor([&] { return IsWindowVisible(sel) && IsWindowEnabled(sel); }) || !ProgramDriver::BringToFront(sel))
            return false;
        before(sel);
        ProgramDriver::Click(GetDlgItem(sel, batchButton));
        // OK again only while the dialog is still there and in front long after the first: a lost
        // click is sent again, one on its way is never followed by a second on the window behind.
        for (int i = 0; i < 3; ++i) {
            if (!ProgramDriver::BringToFront(sel)) break;
            ProgramDriver::Click(GetDlgItem(sel, IDOK));
            if (ProgramDriver::WaitGone(sel, 30000)) return true;
        }
        ADD_FAILURE() << "the copy-selection dialog stays after OK";
        return false;
    }
    // A dialog of the program (not the main window) with the caption and a child whose text holds part.
    HWND WaitForBox(const wchar_t* caption, const std::wstring& part, DWORD ms = 30000) {
        HWND box = nullptr;
        WaitFor([&] {
            for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, L"#32770", caption)) != nullptr;)
                if (h != main && IsWindowVisible(h) && FindChildText(h, part)) box = h;
            return box != nullptr;
        }, ms);
        return box;
    }
    // The volume of a drive arriving or gone, told to the top-level window as Windows does; handled
    // when the call returns.
    void Volume(WPARAM event, wchar_t drive) {
        DEV_BROADCAST_VOLUME v{sizeof(v), DBT_DEVTYP_VOLUME, 0, 1u << (drive - L'A'), 0};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(main, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&v), SMTO_NORMAL, 120000, &r);
    }
    void CloseBox(HWND box) { EXPECT_TRUE(ProgramDriver::Answer(FindChildText(box, L"OK"))) << "the box stays"; }
    int Close() {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return prog.WaitForExit();
    }
};

// Every file under a folder with its bytes.
void Snapshot(const std::wstring& dir, std::map<std::wstring, std::string>& out) {
    ForEachEntry(dir + L"\\", [&](const WIN32_FIND_DATAW& fd) {
        const std::wstring p = dir + L"\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Snapshot(p, out);
        else out[p] = ReadBytes(p);
    });
}

void PutAlbum(const std::wstring& root, const std::wstring& rel, const char* image) {
    std::wstring artist = root + L"\\" + rel.substr(0, rel.find(L'\\'));
    CreateDirectoryW(artist.c_str(), nullptr);
    CreateDirectoryW((root + L"\\" + rel).c_str(), nullptr);
    if (image) CopyFileW(Jpeg(image).c_str(), (root + L"\\" + rel + L"\\Folder.jpg").c_str(), FALSE);
}

// One side of the preview agrees with itself: "No" and "file" without a thumbnail, or the byte and
// pixel size of one of the fixture images and that image's colour in the middle of the thumbnail
// as it is on the screen.
bool PreviewConsistent(HWND sel, int thumb, int bytes, int pixels) {
    static const struct {
        const wchar_t* pixels;
        const char* file;
        int r, g, b;
    } swatches[] = {{L"64x48 Pixels", "red.jpg", 224, 16, 16},
                    {L"40x40 Pixels", "blue.jpg", 16, 48, 208},
                    {L"120x90 Pixels", "green.jpg", 32, 176, 32}};
    std::wstring px = ProgramDriver::Text(GetDlgItem(sel, pixels)), by = ProgramDriver::Text(GetDlgItem(sel, bytes));
    if (px == L"file") return by == L"No" && !IsWindowVisible(GetDlgItem(sel, thumb));
    for (const auto& s : swatches) {
        if (px != s.pixels) continue;
        if (by != std::to_wstring(ReadBytes(Jpeg(s.file)).size()) + L" Bytes") return false;
        POINT mid = ProgramDriver::Centre(GetDlgItem(sel, thumb));
        COLORREF c = GetPixel(swirlo::WindowDC(nullptr).Get(), mid.x, mid.y);
        return std::abs(GetRValue(c) - s.r) < 16 && std::abs(GetGValue(c) - s.g) < 16 && std::abs(GetBValue(c) - s.b) < 16;
    }
    return false;
}

// A source album, its partner on the player, and whether "all green" copies between them.
struct Pair { std::wstring src; const char* srcImage; std::wstring tgt; const char* tgtImage; bool copied; };

class AlbumArtE2E : public testing::Test {
protected:
    void SetUp() override {
        m_iniSaved = ReadBytes(IniPath());
        TearDown();
        CreateDirectoryW(L"P:\\MUSIC", nullptr);
        DeleteFileW(IniPath().c_str());  // every other setting at its default
        WritePrivateProfileStringW(L"Album Art Tab", L"LastSourceFolder", SrcRoot().c_str(), IniPath().c_str());
        // The profile functions may keep the file in a cache of this process: write it out before the
        // program reads it.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, IniPath().c_str());
    }
    void TearDown() override {
        CreateDirectoryW(PlayerFolder().c_str(), nullptr);
        TempDir::RemoveTree(L"P:\\MUSIC\\");
        TempDir::RemoveTree(L"P:\\Stuff\\");
        m_iniSaved.empty() ? DeleteFileW(IniPath().c_str()) : WriteBytes(IniPath(), m_iniSaved);
    }
    std::wstring SrcRoot() const { return src.Path().substr(0, src.Path().size() - 1); }
    TempDir src;
    std::string m_iniSaved;
};

}  // namespace

TEST_F(AlbumArtE2E, FindAllGreenCopiesExactlyTheGreenPairsThenOrangeMeetsReadOnlyAndFolder) {
    std::vector<Pair> pairs = {
        {L"The Beatles\\Abbey Road", "red.jpg", L"Beatles, The\\Abbey Road", nullptr, true},
        {L"Pink Floyd\\The Wall", "blue.jpg", L"The Wall\\Pink Floyd", nullptr, true},
        {L"D\u00e9j\u00e0 Vu\\Live", "green.jpg", L"Deja Vu\\Live", nullptr, true},
        {L"Artist\\Album", "green.jpg", L"Artist\\Album (Disc 1)", nullptr, true},
        {L"", nullptr, L"Artist\\Album (Disc 2)", nullptr, true},
        {L"\u6771\u4eac\u4e8b\u5909\\\u6559\u80b2", "blue.jpg", L"\u6771\u4eac\u4e8b\u5909\\\u6559\u80b2", nullptr, true},
        {L"\u041c\u0443\u043c\u0438\u0439 \u0422\u0440\u043e\u043b\u043b\u044c\\\u041c\u043e\u0440\u0441\u043a\u0430\u044f",
         "red.jpg", L"\u6771\u4eac\u4e8b\u5909\\\u5a2f\u697d", nullptr, false},
        {L"\u041a\u0438\u043d\u043e\\\u0413\u0440\u0443\u043f\u043f\u0430 \u043a\u0440\u043e\u0432\u0438", "red.jpg",
         L"\u041a\u0418\u041d\u041e\\\u0433\u0440\u0443\u043f\u043f\u0430 \u041a\u0420\u041e\u0412\u0418", nullptr, true},
        {L"\u0396\u03bf\u03c1\u03bc\u03c0\u03ac\u03c2\\\u03a1\u03b5\u03bc\u03c0\u03ad\u03c4\u03b9\u03ba\u03b1", "blue.jpg",
         L"\u0396\u039f\u03a1\u039c\u03a0\u0386\u03a3\\\u03a1\u0395\u039c\u03a0\u0388\u03a4\u0399\u039a\u0391", nullptr, true},
        {L"\uff39\uff2d\uff2f\\\uff22\uff27\uff2d", "green.jpg", L"YMO\\BGM", nullptr, true},
        {L"Bj\u00f6rk\\!!!", "green.jpg", L"!!!\\Louden Up Now", "red.jpg", false},  // no stranger paired
        {L"Madonna\\Now 50", "red.jpg", L"Various Artists\\Now 50", nullptr, false},
        {L"Nirvana\\Nevermind", "green.jpg", L"Nirvana\\Nevermind", "red.jpg", false},
        {L"Queen\\A Night at the Opera", "green.jpg", L"Queen\\A Night at the Opera", "red.jpg", false},
        {L"Muse\\Origin", "red.jpg", L"Muse\\Origin", "red.jpg", false},
        {L"Blur\\Parklife", nullptr, L"Blur\\Parklife", nullptr, false},
        {L"", nullptr, L"Kiss\\Destroyer", "green.jpg", false},
        {L"Abba\\Gold", "red.jpg", L"", nullptr, false},
        {std::wstring(150, L'L') + L"\\" + std::wstring(150, L'l'), "red.jpg", std::wstring(150, L'L') + L"\\" + std::wstring(150, L'l'), nullptr, true},  // paths past 300 characters
    };
    for (int i = 0; i < 24; ++i)
        pairs.push_back({L"Band " + std::to_wstring(i) + L"\\Record " + std::to_wstring(i), i % 3 ? "blue.jpg" : "red.jpg",
                         (i % 2 ? L"band " : L"Band ") + std::to_wstring(i) + L"\\Record " + std::to_wstring(i), nullptr,
                         true});
    for (const Pair& p : pairs) {
        if (!p.src.empty()) PutAlbum(SrcRoot(), p.src, p.srcImage);
        if (!p.tgt.empty()) PutAlbum(L"P:\\MUSIC", p.tgt, p.tgtImage);
    }
    std::map<std::wstring, std::string> before, after;
    Snapshot(L"P:\\MUSIC", before);

    Session s;
    ASSERT_TRUE(s.Start());
    EXPECT_EQ(s.Text(IDC_AA_TGT_FOLDER), L"P:\\MUSIC");
    EXPECT_EQ(s.Text(IDC_AA_SRC_FOLDER), SrcRoot());
    // Down the list with the keyboard: on every row both sides of the preview settle on one image
    // each, its sizes and its colours on the screen agreeing.
    ASSERT_TRUE(s.FindAndCopy(IDC_CS_COL1, [&](HWND sel) {
        std::set<std::wstring> seen;
        for (size_t row = 0; row < pairs.size(); ++row) {
            EXPECT_TRUE(WaitFor([&] {
                return PreviewConsistent(sel, IDC_CS_SRC_THUMB, IDC_CS_SRC_BYTES, IDC_CS_SRC_PIXELS) &&
                       PreviewConsistent(sel, IDC_CS_TGT_THUMB, IDC_CS_TGT_BYTES, IDC_CS_TGT_PIXELS);
            }, 30000)) << "row " << row;
            seen.insert(ProgramDriver::Text(GetDlgItem(sel, IDC_CS_SRC_PIXELS)) + L"|" +
                        ProgramDriver::Text(GetDlgItem(sel, IDC_CS_TGT_PIXELS)));
            ProgramDriver::Key(VK_DOWN);
            Sleep(row % 4 ? 20 : 400);
        }
        EXPECT_GE(seen.size(), 4u);  // the walk went through rows with different images on either side
    }));
    HWND done = s.WaitForBox(L"Swirlo", L"Files copy completed.");
    ASSERT_NE(done, nullptr);
    EXPECT_NE(FindChildText(done, L"34 image files copied to player."), nullptr);  // the pairs marked copied
    s.CloseBox(done);

    // Each green target holds its source's image byte for byte; nothing else changed or appeared.
    Snapshot(L"P:\\MUSIC", after);
    std::string lastSource;
    for (const Pair& p : pairs) {
        if (!p.src.empty()) lastSource = ReadBytes(src / (p.src + L"\\Folder.jpg"));
        std::wstring file = L"P:\\MUSIC\\" + p.tgt + L"\\Folder.jpg";
        if (p.copied) {
            EXPECT_EQ(after[file], lastSource) << file;  // disc 2 shares disc 1's source
            before[file] = after[file];
        }
    }
    EXPECT_EQ(after, before);

    // Orange: the yellow Madonna row, then Nirvana (read-only on the player), then Queen, whose image
    // became a folder after the scan and is left alone.
    std::wstring nirvana = L"P:\\MUSIC\\Nirvana\\Nevermind\\Folder.jpg";
    std::wstring queen = L"P:\\MUSIC\\Queen\\A Night at the Opera\\Folder.jpg";
    SetFileAttributesW(nirvana.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(s.FindAndCopy(IDC_CS_COL3, [&](HWND) {
        DeleteFileW(queen.c_str());
        CreateDirectoryW(queen.c_str(), nullptr);
    }));
    HWND folderBox = s.WaitForBox(L"Swirlo - Error", L"File on player with album art name is a folder");
    ASSERT_NE(folderBox, nullptr);
    EXPECT_NE(FindChildText(folderBox, L"2 of 3 image files copied to player."), nullptr);
    s.CloseBox(folderBox);
    EXPECT_EQ(ReadBytes(nirvana), ReadBytes(src / L"Nirvana\\Nevermind\\Folder.jpg"));
    EXPECT_EQ(GetFileAttributesW(nirvana.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadBytes(L"P:\\MUSIC\\Various Artists\\Now 50\\Folder.jpg"), ReadBytes(src / L"Madonna\\Now 50\\Folder.jpg"));
    EXPECT_EQ(s.Close(), 0);
}

// Esc, the progress dialog's Stop key, sent while the program is held as the copy begins (see
// ProgramDriver::HoldAt): seen at its first dispatch during the copies, however fast they go. Then a
// second Find, held at two of its stages: the other tab and the Settings and Help menus (a click,
// Alt+S, Alt+H) are refused; Alt+F4 stops it and the program ends, no copy-selection dialog.
TEST_F(AlbumArtE2E, StopDuringAFewHundredCopiesLeavesWholeFilesAndReportsTheCountAndAFindKeepsMenusAndCloses) {
    const int n = 500;
    for (int i = 0; i < n; ++i) {
        PutAlbum(SrcRoot(), L"Artist " + std::to_wstring(i) + L"\\Album", "large.jpg");
        PutAlbum(L"P:\\MUSIC", L"Artist " + std::to_wstring(i) + L"\\Album", nullptr);
    }
    ProgramDriver::HoldPrefixes(L"Copying 500 files to player|Waiting for directory info|Comparing subfolders");
    Session s;
    ASSERT_TRUE(s.Start(true));
    ASSERT_TRUE(s.FindAndCopy(IDC_CS_COL0, [&](HWND) { s.prog.HoldAt(0); }));
    ASSERT_TRUE(s.prog.WaitHeld(0));
    ProgramDriver::Key(VK_ESCAPE);
    s.prog.Release(0);
    HWND box = s.WaitForBox(L"Swirlo", L"Copying stopped by user Cancel.", 120000);
    ASSERT_NE(box, nullptr);
    std::map<std::wstring, std::string> after;
    Snapshot(L"P:\\MUSIC", after);
    EXPECT_GT(after.size(), 0u);
    EXPECT_LT(after.size(), static_cast<std::size_t>(n));
    EXPECT_NE(FindChildText(box, std::to_wstring(after.size()) + L" files were already copied to player."), nullptr);
    std::string image = ReadBytes(Jpeg("large.jpg"));
    for (const auto& [path, bytes] : after) EXPECT_TRUE(bytes == image) << path;  // whole images, no temporary files
    s.CloseBox(box);

    ASSERT_TRUE(ProgramDriver::BringToFront(s.main));
    s.prog.HoldAt(1);
    ProgramDriver::Press(GetDlgItem(s.page, IDC_AA_FIND));
    ASSERT_TRUE(s.prog.WaitHeld(1));
    s.prog.HoldAt(2);
    RECT tab;
    GetWindowRect(GetDlgItem(s.main, IDC_MAIN_TAB), &tab);
    ProgramDriver::ClickAt({tab.left + 20, tab.top + 10});  // the first tab
    ProgramDriver::Press(GetDlgItem(s.main, IDC_SETTINGS_LABEL));
    ProgramDriver::Key('S', VK_MENU);
    ProgramDriver::Key('H', VK_MENU);
    s.prog.Release(1);
    ASSERT_TRUE(s.prog.WaitHeld(2));  // the input above went through the scan's pump on the way
    EXPECT_TRUE(IsWindowVisible(s.page));
    HWND menu = FindWindowW(L"#32768", nullptr);
    EXPECT_FALSE(menu && IsWindowVisible(menu));
    ProgramDriver::Key(VK_F4, VK_MENU);
    s.prog.Release(2);
    EXPECT_EQ(s.prog.WaitForExit(60000), 0);
}

TEST_F(AlbumArtE2E, DriveWithoutMusicNoDriveEmptyParentAndEmptyOtherName) {
    MoveFileW(L"P:\\MUSIC", L"P:\\Stuff");
    Session s;
    ASSERT_TRUE(s.Start());
    EXPECT_EQ(s.Text(IDC_AA_TGT_FOLDER), L"P:\\");
    EXPECT_EQ(s.ListLines(IDC_AA_SRC_LIST), L"--> No subfolders!|--> Wrong parent folder selected?|");
    // A source folder that cannot be read (a name ending in a dot) is named when Find ends, here
    // after the message about the player's empty tree.
    std::wstring dotted = SrcRoot() + L"\\Dotted.";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + dotted).c_str(), nullptr));
    PutAlbum(SrcRoot(), L"Artist\\Album", "red.jpg");
    ProgramDriver::Click(GetDlgItem(s.page, IDC_AA_FIND));
    HWND box = s.WaitForBox(L"Swirlo - Error", L"No album folders found in P:\\");
    ASSERT_NE(box, nullptr);
    s.CloseBox(box);
    box = s.WaitForBox(L"Swirlo - Error", L"Non-fatal error: 1 folder could not be read, its albums are not in the list:");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(FindChildText(box, dotted), nullptr);
    s.CloseBox(box);
    EXPECT_EQ(s.ListLines(IDC_AA_SRC_LIST), L"Artist|Dotted.|");  // read again when Find started
    // "Other:" with no name refuses Find; closing resets the choice silently.
    ProgramDriver::Click(GetDlgItem(s.page, IDC_AA_SRC_JPG3));
    ProgramDriver::Click(GetDlgItem(s.page, IDC_AA_FIND));
    box = s.WaitForBox(L"Swirlo - Error", L"\"Other\" filename selected for source album art filename");
    ASSERT_NE(box, nullptr);
    s.CloseBox(box);
    EXPECT_EQ(s.Close(), 0);
    EXPECT_EQ(GetPrivateProfileIntW(L"Album Art Tab", L"SourceJpg", 9, IniPath().c_str()), 0);

    std::wstring away = PlayerFolder() + L"-away";
    ASSERT_TRUE(MoveFileW(PlayerFolder().c_str(), away.c_str()));
    Session none;
    bool started = none.Start();
    MoveFileW(away.c_str(), PlayerFolder().c_str());
    ASSERT_TRUE(started);
    const std::wstring connect = L"Connect player in UMS (or MSC) mode && click Browse button to select";
    EXPECT_EQ(none.Text(IDC_AA_TGT_FOLDER), connect);
    EXPECT_EQ(none.ListLines(IDC_AA_TGT_LIST), L"");
    // The player plugged in is proposed (here its root: no MUSIC folder) and listed; unplugged, the
    // page says so.
    none.Volume(DBT_DEVICEARRIVAL, L'P');
    EXPECT_EQ(none.Text(IDC_AA_TGT_FOLDER) + none.ListLines(IDC_AA_TGT_LIST), L"P:\\Stuff|");
    none.Volume(DBT_DEVICEREMOVECOMPLETE, L'P');
    EXPECT_EQ(none.Text(IDC_AA_TGT_FOLDER) + none.ListLines(IDC_AA_TGT_LIST), connect);
    // A folder the user chose (the picker opens on the player's root) is never replaced.
    ASSERT_TRUE(ProgramDriver::BringToFront(none.main));
    ProgramDriver::Click(GetDlgItem(none.page, IDC_AA_TGT_BROWSE));
    HWND picker = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (picker = ProgramDriver::GuiInfo(none.main).hwndActive) != none.main && picker; }));
    ASSERT_TRUE(ProgramDriver::BringToFront(picker));
    ProgramDriver::Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return none.Text(IDC_AA_TGT_FOLDER) == L"P:\\"; }));
    CreateDirectoryW(L"P:\\MUSIC", nullptr);
    none.Volume(DBT_DEVICEREMOVECOMPLETE, L'P');
    none.Volume(DBT_DEVICEARRIVAL, L'P');
    EXPECT_EQ(none.Text(IDC_AA_TGT_FOLDER), L"P:\\");
    EXPECT_EQ(none.Close(), 0);
}
