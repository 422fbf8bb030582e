// The real program under real mouse and keyboard input: the label menus, the tabs, the option
// dialogs with their refusals, the About box, and the settings file read back after OK.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <utility>

#include "resources/resource.h"
#include "tests/e2e/ProgramDriver.h"

using namespace swirlo::test;
using D = ProgramDriver;

namespace {
HWND VisibleMenu() {
    HWND m = FindWindowW(L"#32768", nullptr);
    return m && IsWindowVisible(m) ? m : nullptr;
}

// The message box a dialog is showing, and all the texts in it.
HWND WaitBox(HWND owner) {
    return D::WaitFor([owner] {
        std::pair<HWND, HWND> found{owner, nullptr};
        EnumWindows([](HWND h, LPARAM p) -> BOOL {
            auto* f = reinterpret_cast<std::pair<HWND, HWND>*>(p);
            if (IsWindowVisible(h) && GetWindow(h, GW_OWNER) == f->first) f->second = h;
            return f->second == nullptr;
        }, reinterpret_cast<LPARAM>(&found));
        return found.second;
    });
}
std::wstring AllText(HWND h) {
    std::wstring all;
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all += D::Text(c) + L"\n";
    return all;
}

COLORREF ScreenPixel(POINT pt) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, pt.x, pt.y);
    ReleaseDC(nullptr, dc);
    return c;
}

std::wstring IniPath() {
    wchar_t appData[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    return std::wstring(appData) + L"\\Swirlo\\Blendo.ini";
}
int IniInt(const wchar_t* section, const wchar_t* key) {
    return static_cast<int>(GetPrivateProfileIntW(section, key, -1, IniPath().c_str()));
}
std::wstring IniText(const wchar_t* key) {
    wchar_t buf[256] = {};
    GetPrivateProfileStringW(L"Shuffle Settings", key, L"?", buf, 256, IniPath().c_str());
    return buf;
}
}  // namespace

TEST(MainWindowE2E, MenusTabsAndOptionDialogsUnderRealInput) {
    DeleteFileW(IniPath().c_str());
    ProgramDriver prog;
    ASSERT_TRUE(prog.Start());
    HWND main = prog.WaitForWindow(L"Swirlo");
    ASSERT_NE(main, nullptr);
    HWND tab = GetDlgItem(main, IDC_MAIN_TAB);
    HWND settings = GetDlgItem(main, IDC_SETTINGS_LABEL), help = GetDlgItem(main, IDC_HELP_LABEL);
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(D::Text(settings), L"  Settings  ");
    POINT inPage = D::Centre(main);
    D::ClickAt(inPage);  // activates the window

    // Hover: the label turns to the highlight colour and back when the pointer leaves.
    RECT lr;
    GetWindowRect(settings, &lr);
    POINT corner{lr.left + 1, lr.top + 1};
    D::MoveTo(D::Centre(settings));
    Sleep(300);
    EXPECT_EQ(ScreenPixel(corner), GetSysColor(COLOR_HIGHLIGHT));
    D::MoveTo(inPage);
    Sleep(300);
    EXPECT_EQ(ScreenPixel(corner), GetSysColor(COLOR_BTNFACE));

    // A click opens the menu; a second click on the label only closes it.
    D::Click(settings);
    ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
    D::Click(settings);
    Sleep(700);
    EXPECT_EQ(VisibleMenu(), nullptr);

    // Shuffle preferences from the keyboard (Alt+S opens the menu on its first item).
    D::Key('S', VK_MENU);
    ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
    D::Key(VK_RETURN);
    HWND prefs = prog.WaitForWindow(L"Swirlo  -  Vuriror Oduvizu Options");
    ASSERT_NE(prefs, nullptr);
    auto item = [&](int id) { return GetDlgItem(prefs, id); };
    for (int id = IDC_PREF_FREQ1; id <= IDC_PREF_FREQ5; ++id) SetWindowTextW(item(id), L"0");
    D::Key(VK_RETURN);
    HWND box = WaitBox(prefs);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(AllText(box).find(L"All song-rating based play frequencies are set to 0 times."), std::wstring::npos);
    D::Key(VK_RETURN);
    ASSERT_TRUE(D::WaitGone(box));
    EXPECT_EQ(IniInt(L"Shuffle Settings", L"Frequency1Default"), -1);  // nothing saved

    // Only the source name in the default file name: No keeps the dialog open.
    SetWindowTextW(item(IDC_PREF_FREQ1), L"1");
    D::Click(item(IDC_PREF_ADDLABEL));
    D::Key(VK_RETURN);
    box = WaitBox(prefs);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(AllText(box).find(L"ONLY the source name"), std::wstring::npos);
    D::Key(VK_RETURN);  // No is the default
    ASSERT_TRUE(D::WaitGone(box));
    ASSERT_TRUE(IsWindow(prefs));
    D::Click(item(IDC_PREF_ADDLABEL));

    // An empty label: the frequencies are saved, the rest refused, and the dialog closes.
    SetWindowTextW(item(IDC_PREF_LABELTEXT), L"");
    SetWindowTextW(item(IDC_PREF_FREQ_SAME), L"7");
    D::Key(VK_RETURN);
    box = WaitBox(prefs);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(AllText(box).find(L"Error saving settings from dialog to ini file"), std::wstring::npos);
    EXPECT_NE(AllText(box).find(L"No text in input field"), std::wstring::npos);
    D::Key(VK_RETURN);
    ASSERT_TRUE(D::WaitGone(prefs));
    EXPECT_EQ(IniInt(L"Shuffle Settings", L"FrequencySameDefault"), 7);
    EXPECT_EQ(IniInt(L"Shuffle Settings", L"Frequency1Default"), 1);
    EXPECT_EQ(IniText(L"LabelText"), L"vxq");

    // Again from the mouse: the spin by the Up key, a format, a label, and OK.
    D::Click(settings);
    ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
    D::Key(VK_DOWN);
    D::Key(VK_RETURN);
    prefs = prog.WaitForWindow(L"Swirlo  -  Vuriror Oduvizu Options");
    ASSERT_NE(prefs, nullptr);
    D::Click(item(IDC_PREF_FREQ5));
    D::Key(VK_UP);
    EXPECT_EQ(D::Text(item(IDC_PREF_FREQ5)), L"1");  // saved as 0 above
    D::Click(item(IDC_PREF_M3U8));
    SetWindowTextW(item(IDC_PREF_LABELTEXT), L"mix");
    D::Click(item(IDOK));
    ASSERT_TRUE(D::WaitGone(prefs));
    EXPECT_EQ(IniInt(L"Shuffle Settings", L"ConvertWpl"), 2);
    EXPECT_EQ(IniInt(L"Shuffle Settings", L"Frequency5Default"), 1);
    EXPECT_EQ(IniText(L"LabelText"), L"mix");

    // Logging options (the menu's last item): Esc keeps the file, OK writes the boxes.
    for (bool ok : {false, true}) {
        D::Click(settings);
        ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
        D::Key(VK_UP);
        D::Key(VK_RETURN);
        HWND logging = prog.WaitForWindow(L"Swirlo  -  Logging Options");
        ASSERT_NE(logging, nullptr);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(logging, IDC_LOG_FLUSH)));
        D::Click(GetDlgItem(logging, IDC_LOG_SAVELOG));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(logging, IDC_LOG_FLUSH)));
        D::Click(GetDlgItem(logging, IDC_LOG_FLUSH));
        if (ok) D::Click(GetDlgItem(logging, IDOK));
        else D::Key(VK_ESCAPE);
        ASSERT_TRUE(D::WaitGone(logging));
        EXPECT_EQ(IniInt(L"Logging Settings", L"SaveLog"), ok ? 1 : -1);
        EXPECT_EQ(IniInt(L"Logging Settings", L"FlushEachWrite"), ok ? 1 : -1);
    }

    // Tabs: a click, Ctrl+Tab and Ctrl+Shift+Tab.
    RECT client;
    GetClientRect(main, &client);
    POINT second{client.right / 2, 10};
    ClientToScreen(main, &second);
    D::ClickAt(second);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
    D::Key(VK_TAB, VK_CONTROL);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
    D::Key(VK_TAB, VK_CONTROL, VK_SHIFT);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);

    // About (the Help menu's last item); Enter closes it.
    D::Click(help);
    ASSERT_NE(D::WaitFor(VisibleMenu), nullptr);
    D::Key(VK_UP);
    D::Key(VK_RETURN);
    HWND about = prog.WaitForWindow(L"About \"Swirlo\"");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(D::Text(GetDlgItem(about, IDC_ABOUT_VERSION)), L"Version 3.21");
    D::Key(VK_RETURN);
    ASSERT_TRUE(D::WaitGone(about));

    // F1 opens the help viewer (Wine's shows its frame, without pages); Enter does not end the
    // program; Esc does.
    D::Key(VK_F1);
    HWND viewer = D::WaitFor([] { return FindWindowW(L"HH Parent", L"Swirlo Help"); });
    ASSERT_NE(viewer, nullptr);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    ASSERT_TRUE(D::WaitGone(viewer));
    D::ClickAt(inPage);
    D::Key(VK_RETURN);
    EXPECT_EQ(prog.WaitForExit(500), -1);
    D::ClickAt(inPage);
    D::Key(VK_ESCAPE);
    EXPECT_EQ(prog.WaitForExit(), 0);
}
