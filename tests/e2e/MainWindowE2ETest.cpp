#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <vector>

#include "resources/resource.h"
#include "tests/e2e/ProgramDriver.h"

using namespace swirlo::test;

namespace {
std::vector<HWND> ChildDialogs(HWND parent) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[64];
        GetClassNameW(c, cls, 64);
        if (std::wstring(cls) == L"#32770") out.push_back(c);
    }
    return out;
}

void ClickAt(HWND h, int x, int y) {
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
}  // namespace

TEST(MainWindowE2E, StartsWithBothTabsSwitchesAndCloses) {
    ProgramDriver prog;
    ASSERT_TRUE(prog.Start());
    HWND main = prog.WaitForWindow(L"Swirlo");
    ASSERT_NE(main, nullptr);

    HWND tab = GetDlgItem(main, IDC_MAIN_TAB);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ProgramDriver::Text(GetDlgItem(main, IDC_SETTINGS_LABEL)), L"  Settings  ");
    EXPECT_EQ(ProgramDriver::Text(GetDlgItem(main, IDC_HELP_LABEL)), L"    Help    ");

    // Each tab is a third of the client width and 21 pixels high (item rectangles cannot be read
    // across processes, so the click below aims by that rule).
    RECT client;
    GetClientRect(main, &client);
    RECT item{client.right / 3, 0, 2 * client.right / 3, 21};

    // Two pages, the first one showing.
    std::vector<HWND> pages = ChildDialogs(main);
    ASSERT_EQ(pages.size(), 2u);
    int visible = 0;
    for (HWND p : pages) visible += IsWindowVisible(p) ? 1 : 0;
    EXPECT_EQ(visible, 1);
    HWND first = IsWindowVisible(pages[0]) ? pages[0] : pages[1];

    // A click on the second tab shows the other page.
    ClickAt(tab, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (int i = 0; i < 50 && IsWindowVisible(first); ++i) Sleep(100);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(IsWindowVisible(first));

    // The configuration folder was made at start-up.
    wchar_t appData[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
    DWORD attr = GetFileAttributesW((std::wstring(appData) + L"\\Swirlo").c_str());
    EXPECT_NE(attr, INVALID_FILE_ATTRIBUTES);

    // Help > About: the version comes from the program's version resource.
    PostMessageW(main, WM_COMMAND, ID_HELP_ABOUT, 0);
    HWND about = prog.WaitForWindow(L"About \"Swirlo\"");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(ProgramDriver::Text(GetDlgItem(about, IDC_ABOUT_VERSION)), L"Version 3.21");
    EXPECT_EQ(ProgramDriver::Text(GetDlgItem(about, IDC_ABOUT_COPYRIGHT)).rfind(L"Copyright", 0), 0u);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 50 && IsWindow(about); ++i) Sleep(100);
    EXPECT_FALSE(IsWindow(about));

    // Escape (Cancel) closes the window and ends the program.
    PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(prog.WaitForExit(), 0);
}
