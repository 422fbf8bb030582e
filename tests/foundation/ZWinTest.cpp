#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/Utilities.h"
#include "framework/ZWin.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {
HWND PopupAt(int x, int y, int w, int h) {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, x, y, w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}
}  // namespace

// Centred over its parent, but never past the desktop's right edge nor at a negative position.
TEST(ZWin, CentreOverParentKeepsTheWindowOnTheDesktop) {
    RECT desk, r;
    GetWindowRect(GetDesktopWindow(), &desk);
    HWND parentWnd = PopupAt(0, 0, 10, 10), childWnd = PopupAt(0, 0, 600, 200);
    ZDialog parent(nullptr, L"P", nullptr, nullptr, nullptr);
    parent.Attach(parentWnd);
    ZDialog child(nullptr, L"C", nullptr, &parent, nullptr);  // takes the parent's window now
    child.Attach(childWnd);
    const RECT rows[][2] = {  // parent's left, top, width, height; the child's rectangle
        {{200, 200, 800, 400}, {300, 300, 900, 500}},
        {{desk.right - 300, 100, 400, 300}, {desk.right - 600, 150, desk.right, 350}},
        {{-50, -50, 100, 100}, {0, 0, 600, 200}},
    };
    for (const auto& [p, want] : rows) {
        SetWindowPos(parentWnd, nullptr, p.left, p.top, p.right, p.bottom, SWP_NOZORDER);
        child.CentreOverParent();
        GetWindowRect(childWnd, &r);
        EXPECT_TRUE(EqualRect(&r, &want)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    }
    DestroyWindow(childWnd);
    DestroyWindow(parentWnd);
}

// One reader for both: a text, a DWORD as its digits; a missing key or value named in the error
// record, the system's words alone in the plain reader's text.
TEST(Registry, TextsNumbersAndWhatIsMissing) {
    const wchar_t* key = L"Software\\Swirlo test registry";
    const DWORD number = 4000000000u;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Text", REG_SZ, L"C:\\Music", 18), ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Number", REG_DWORD, &number, sizeof number), ERROR_SUCCESS);
    ErrorRecord error;
    std::wstring data;
    std::wstring digits;
    ASSERT_EQ(ReadRegValue(HKEY_CURRENT_USER, key, L"Text", data, MAX_PATH * 2) +
                  ReadRegString(HKEY_CURRENT_USER, key, L"Number", digits, MAX_PATH * 2, error), 2);
    EXPECT_EQ(data + L"|" + digits, L"C:\\Music|4000000000");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, L"None", data, MAX_PATH * 2, error), 0);
    EXPECT_EQ(error.Take(true), L"\r\nError reading registry data:\r\nNone\r\n" + WinErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, L"Software\\Swirlo no such key", L"Text", data, 64, error), 0);
    EXPECT_EQ(error.Take(true).rfind(L"\r\nError opening Registry Key:\r\nSoftware\\Swirlo no such key\r\n", 0), 0u);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, key, L"None", data, 64), 0);
    EXPECT_EQ(data, WinErrorText(ERROR_FILE_NOT_FOUND));
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
}
