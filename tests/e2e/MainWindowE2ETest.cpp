// The real program under real mouse and keyboard input: the label menus, the tabs, the option
// dialogs with their refusals, the About box, and the settings file read back after OK. It runs from
// a folder where libraries named like system ones lie, and a second start only shows its window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Handles.h"
#include "resources/resource.h"
#include "tests/e2e/ProgramDriver.h"

using namespace swirlo;
using namespace swirlo::test;
using D = ProgramDriver;

namespace {
HWND VisibleMenu() {
    HWND m = FindWindowW(L"#32768", nullptr);
    return m && IsWindowVisible(m) ? m : nullptr;
}

// Enter on the dialog, then the texts of the message box it shows (empty when none), closed by Enter.
std::wstring EnterAndReadBox(HWND owner) {
    if (!D::BringToFront(owner)) return L"";
    D::Key(VK_RETURN);
    HWND box = D::WaitFor([owner] {
        HWND h = nullptr;
        while ((h = FindWindowExW(nullptr, h, L"#32770", nullptr)) && !(IsWindowVisible(h) && GetWindow(h, GW_OWNER) == owner)) {}
        return h;
    });
    std::wstring all;
    for (HWND c = box ? GetWindow(box, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) all += D::Text(c) + L"\n";
    if (!box || !D::BringToFront(box)) return L"";
    D::Key(VK_RETURN);
    return D::WaitGone(box) ? all : L"";
}

// Whether a point of the screen takes a colour within 60 s (painting follows the input).
bool PixelBecomes(POINT pt, COLORREF c) {
    for (int i = 0; i < 1200 && GetPixel(WindowDC(nullptr).Get(), pt.x, pt.y) != c; ++i) Sleep(50);
    return GetPixel(WindowDC(nullptr).Get(), pt.x, pt.y) == c;
}

// A value of the settings file as its text; "-" when missing. The program runs from a folder in the
// user's profile, which keeps its settings file beside it.
std::wstring g_iniDir;
std::wstring Ini(const wchar_t* section, const wchar_t* key) {
    wchar_t buf[256] = {};
    GetPrivateProfileStringW(section, key, L"-", buf, 256, (g_iniDir + L"Blendo.ini").c_str());
    return buf;
}
// A label's menu opened by a click, an item chosen by keys (Down: the first, Up: the last).
void ChooseFromMenu(HWND label, WORD key) {
    ASSERT_TRUE(D::BringToFront(label));
    D::Click(label);
    ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
    D::Key(key);
    D::Key(VK_RETURN);
}
bool Has(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }
// Tab pressed until the focus is on ctl (at most 40 times, each move waited for).
bool TabTo(HWND ctl) {
    for (int i = 0; i < 40; ++i) {
        HWND before = D::GuiInfo(ctl).hwndFocus;
        if (before == ctl) return true;
        D::Key(VK_TAB);
        D::Until([&] { return D::GuiInfo(ctl).hwndFocus != before; }, 10000);
    }
    return false;
}
// A label's menu opened from the keyboard (Tab to it, then open), an item chosen by a key (0: the first).
void KeyMenu(HWND label, WORD open, WORD key) {
    ASSERT_TRUE(D::BringToFront(label) && TabTo(label));
    D::Key(open);
    ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
    if (key) D::Key(key);
    D::Key(VK_RETURN);
}
}  // namespace

TEST(MainWindowE2E, MenusTabsAndOptionDialogsUnderRealInput) {
    // The folder: the program and its help, as unpacked into Downloads, beside libraries that Windows
    // would load from there in place of the system's (Wine does when its settings for the program
    // prefer them). Not uxtheme: Wine's own comctl32 and user32 take that from the program's folder
    // whatever the program does.
    TempDir dir, marks;
    g_iniDir = dir.Path();
    const std::wstring wine = L"Software\\Wine\\AppDefaults\\Blendo.exe", exe = dir / L"Blendo.exe";
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (wine + L"\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &overrides, nullptr), ERROR_SUCCESS);
    for (const wchar_t* name : {L"version", L"msimg32", L"gdiplus", L"dwmapi", L"oleacc", L"winmm"}) {
        ASSERT_TRUE(CopyFileW(WinPath(PLANTED_DLL).c_str(), (dir / name + L".dll").c_str(), FALSE));
        RegSetValueExW(overrides, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"native,builtin"), 30);
    }
    RegCloseKey(overrides);
    const std::wstring chm = D::ProgramPath().substr(0, D::ProgramPath().size() - 3) + L"chm";
    ASSERT_TRUE(CopyFileW(D::ProgramPath().c_str(), exe.c_str(), FALSE) && CopyFileW(chm.c_str(), (dir / L"Blendo.chm").c_str(), FALSE));
    SetEnvironmentVariableW(L"SWIRLO_PLANTED_MARKS", marks.Path().c_str());
    ProgramDriver prog, second;
    HWND main, prefs, logging, about, viewer;
    ASSERT_TRUE(prog.Start(L"", {}, exe));
    ASSERT_NE(main = prog.WaitForWindow(L"Swirlo"), nullptr);
    POINT inPage = D::Centre(main);
    ASSERT_TRUE(PixelBecomes(inPage, GetSysColor(COLOR_BTNFACE)));  // on the screen (slow on a cold start)
    // Looked up once the window is on the screen: the window has its title before its controls exist.
    HWND tab = GetDlgItem(main, IDC_MAIN_TAB), settings = GetDlgItem(main, IDC_SETTINGS_LABEL), help = GetDlgItem(main, IDC_HELP_LABEL);
    ASSERT_TRUE(tab && settings && help);

    // Hover: the label turns to the highlight colour and back when the pointer leaves.
    RECT lr;
    GetWindowRect(settings, &lr);
    POINT corner{lr.left + 1, lr.top + 1};
    D::MoveTo(D::Centre(settings));
    EXPECT_TRUE(PixelBecomes(corner, GetSysColor(COLOR_HIGHLIGHT)));
    D::MoveTo(inPage);
    EXPECT_TRUE(PixelBecomes(corner, GetSysColor(COLOR_BTNFACE)));

    // A click opens the menu; a second click on the label only closes it, and Enter in the page does
    // not end the program: the tabs switch after both (Ctrl+Tab and Ctrl+Shift+Tab), which neither an
    // open menu nor a closing window lets happen. On the album art page Alt+S opens the menu (Esc
    // closes it); on the shuffle page it is the page's own "smaller".
    D::Click(settings);
    ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
    D::Click(settings);
    D::Key(VK_RETURN);
    for (int want : {1, 0}) {
        D::Key(VK_TAB, VK_CONTROL, want ? 0 : VK_SHIFT);
        EXPECT_TRUE(D::Until([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == want; }));
        if (!want) break;
        D::Key('S', VK_MENU);
        ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
        D::Key(VK_ESCAPE);
        ASSERT_TRUE(D::Until([] { return VisibleMenu() == nullptr; }));
    }
    EXPECT_EQ(VisibleMenu(), nullptr);
    HWND smaller = nullptr;
    for (HWND c = GetWindow(main, GW_CHILD); c && !smaller; c = GetWindow(c, GW_HWNDNEXT)) smaller = GetDlgItem(c, IDC_SHUF_SMALLER);
    D::Key('S', VK_MENU);
    EXPECT_TRUE(D::WaitFocus(smaller));

    // Shuffle preferences from the keyboard: Tab reaches the label, Enter opens its menu on the
    // first item.
    KeyMenu(settings, VK_RETURN, 0);
    ASSERT_NE(prefs = prog.WaitForWindow(L"Swirlo  -  Vuriror Oduvizu Options"), nullptr);
    auto item = [&](int id) { return GetDlgItem(prefs, id); };
    for (int id = IDC_PREF_FREQ1; id <= IDC_PREF_FREQ5; ++id) SetWindowTextW(item(id), L"0");
    EXPECT_TRUE(Has(EnterAndReadBox(prefs), L"All song-rating based play frequencies are set to 0 times."));
    EXPECT_EQ(Ini(L"Shuffle Settings", L"Frequency1Default"), L"-");  // nothing saved

    // Only the source name in the default file name: No (the default answer) keeps the dialog open.
    SetWindowTextW(item(IDC_PREF_FREQ1), L"1");
    D::Click(item(IDC_PREF_ADDLABEL));
    EXPECT_TRUE(Has(EnterAndReadBox(prefs), L"ONLY the source name"));
    ASSERT_TRUE(IsWindow(prefs));
    D::Click(item(IDC_PREF_ADDLABEL));

    // An empty label: the frequencies are saved, the rest refused, and the dialog closes.
    SetWindowTextW(item(IDC_PREF_LABELTEXT), L"");
    SetWindowTextW(item(IDC_PREF_FREQ_SAME), L"7");
    std::wstring refusal = EnterAndReadBox(prefs);
    EXPECT_TRUE(Has(refusal, L"Error saving settings from dialog to ini file") && Has(refusal, L"No text in input field"));
    ASSERT_TRUE(D::WaitGone(prefs));
    EXPECT_EQ(Ini(L"Shuffle Settings", L"FrequencySameDefault") + L"," + Ini(L"Shuffle Settings", L"LabelText"), L"7,vxq");

    // Again from the mouse: a format, a label, OK.
    ChooseFromMenu(settings, VK_DOWN);
    ASSERT_NE(prefs = prog.WaitForWindow(L"Swirlo  -  Vuriror Oduvizu Options"), nullptr);
    ASSERT_TRUE(D::BringToFront(prefs) && D::WaitMouse(item(IDOK)));
    D::Click(item(IDC_PREF_M3U8));
    EXPECT_TRUE(D::Until([&] { return SendMessageW(item(IDC_PREF_M3U8), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    SetWindowTextW(item(IDC_PREF_LABELTEXT), L"mix");
    // Every number box typed from the keyboard, emptied first, digit by digit, and saved by OK.
    const struct { int box; const wchar_t *typed, *key; } typed[] = {{IDC_PREF_FREQ_SAME, L"12", L"FrequencySameDefault"},
        {IDC_PREF_FREQ1, L"5", L"Frequency1Default"}, {IDC_PREF_FREQ2, L"99", L"Frequency2Default"}, {IDC_PREF_FREQ3, L"0", L"Frequency3Default"},
        {IDC_PREF_FREQ4, L"40", L"Frequency4Default"}, {IDC_PREF_FREQ5, L"98", L"Frequency5Default"}, {IDC_PREF_DEFAULT_RATING, L"2", L"DefaultRating"}};
    for (const auto& t : typed) {
        for (int i = 0; i < 3 && (D::Click(item(t.box)), !D::Until([&] { return D::GuiInfo(prefs).hwndFocus == item(t.box); }, 20000)); ++i) {}
        ASSERT_TRUE(D::WaitFocus(item(t.box)));  // a lost click is sent again: a second one in the box is harmless
        for (WORD k : {VK_END, VK_BACK, VK_BACK}) D::Key(k);
        D::Type(t.typed);
        EXPECT_TRUE(D::Until([&] { return D::Text(item(t.box)) == t.typed; }, 20000)) << D::Text(item(t.box));
    }
    ASSERT_TRUE(D::Answer(item(IDOK)));
    EXPECT_EQ(Ini(L"Shuffle Settings", L"ConvertWpl") + L"," + Ini(L"Shuffle Settings", L"LabelText"), L"2,mix");
    for (const auto& t : typed) EXPECT_EQ(Ini(L"Shuffle Settings", t.key), t.typed);

    // Logging options (the menu's last item; Space on the focused label opens it the second time): Esc
    // keeps the file, OK writes the boxes.
    for (bool ok : {false, true}) {
        D::MoveTo(D::Centre(settings));  // off the dialog just closed (see WaitMouse)
        if (ok) KeyMenu(settings, VK_SPACE, VK_UP);
        else ChooseFromMenu(settings, VK_UP);
        ASSERT_NE(logging = prog.WaitForWindow(L"Swirlo  -  Logging Options"), nullptr);
        ASSERT_TRUE(D::BringToFront(logging) && D::WaitMouse(GetDlgItem(logging, IDOK)));
        D::Click(GetDlgItem(logging, IDC_LOG_SAVELOG));
        ASSERT_TRUE(D::Until([&] { return IsWindowEnabled(GetDlgItem(logging, IDC_LOG_FLUSH)) != FALSE; }));  // by the click above
        D::Click(GetDlgItem(logging, IDC_LOG_FLUSH));
        ASSERT_TRUE(D::Until([&] { return SendMessageW(GetDlgItem(logging, IDC_LOG_FLUSH), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        if (ok) D::Click(GetDlgItem(logging, IDOK));
        else D::Key(VK_ESCAPE);
        ASSERT_TRUE(D::WaitGone(logging));
        EXPECT_EQ(Ini(L"Logging Settings", L"SaveLog") + Ini(L"Logging Settings", L"FlushEachWrite"), ok ? L"11" : L"--");
    }


    // About (the Help menu's last item, from the keyboard: Tab to the label, Down); Tab reaches its
    // links and its button, Enter there closes it.
    KeyMenu(help, VK_DOWN, VK_UP);
    ASSERT_NE(about = prog.WaitForWindow(L"About \"Swirlo\""), nullptr);
    EXPECT_EQ(D::Text(GetDlgItem(about, IDC_ABOUT_VERSION)), L"Version 3.21");
    ASSERT_TRUE(D::BringToFront(about));
    for (int id : {IDC_ABOUT_HOMELINK, IDC_ABOUT_CPICTURELINK, IDOK}) EXPECT_TRUE(TabTo(GetDlgItem(about, id)));
    D::Key(VK_RETURN);
    ASSERT_TRUE(D::WaitGone(about));

    // A second start shows the first window, restored, in front, and ends without one of its own (here,
    // after the checks of the label under the pointer: a restored window may put the focus on a label).
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(D::Until([main] { return IsIconic(main) != FALSE; }));
    ASSERT_TRUE(second.Start(L"", {}, exe));
    EXPECT_EQ(second.WaitForExit(60000), 0);
    EXPECT_TRUE(D::Until([main] { return !IsIconic(main) && GetForegroundWindow() == main; }));
    ASSERT_TRUE(D::BringToFront(main));

    // F1 opens the help viewer (Wine's shows its frame, without pages); Esc ends the program.
    D::Key(VK_F1);
    ASSERT_NE(viewer = D::WaitFor([] { return FindWindowW(L"HH Parent", L"Swirlo Help"); }), nullptr);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    ASSERT_TRUE(D::WaitGone(viewer));
    ASSERT_TRUE(D::BringToFront(main));
    D::ClickAt(inPage);
    D::Key(VK_ESCAPE);
    EXPECT_EQ(prog.WaitForExit(120000), 0);
    // It read its version and drew transparent bitmaps (the page, the options, About): no planted
    // library served it.
    std::wstring loaded;
    ForEachEntry(marks.Path(), [&](const WIN32_FIND_DATAW& fd) { loaded += fd.cFileName + std::wstring(L" "); });
    EXPECT_EQ(loaded, L"");
    RegDeleteTreeW(HKEY_CURRENT_USER, wine.c_str());
}
