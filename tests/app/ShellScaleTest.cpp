// The shuffle page at 100 % and at 150 % (its controls placed as the dialog manager places them on a
// monitor of that scale, then the page told): the star strip drawn at the scale, and each frequency
// column starting under its stars.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "app/MainWindow.h"
#include "foundation/IniSettings.h"
#include "foundation/WindowMessages.h"
#include "resources/resource.h"
#include "shuffle/page/ShufflePage.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;

TEST(ShellScale, ShuffleFrequenciesStayUnderTheirStarsAtEveryScale) {
    test::TempDir dir;
    test::MessageBoxRecorder boxes;
    AppPaths paths{L"C:\\Program Files\\Swirlo\\", L"Blendo", dir.Path(), dir.Path()};
    IniSettings settings;
    ASSERT_EQ(settings.InitSettings(dir.Path().c_str()), 1);
    MainWindow main(nullptr, &settings, L"Swirlo", &paths);
    ASSERT_TRUE(main.CreateModeless());
    auto* page = static_cast<ShufflePage*>(main.ShufflePage());
    HWND list = GetDlgItem(page->Hwnd(), IDC_SHUF_LIST), stars = GetDlgItem(page->Hwnd(), IDC_SHUF_STARS);
    RECT list96 = page->ControlRect(IDC_SHUF_LIST), stars96 = page->ControlRect(IDC_SHUF_STARS);
    for (int dpi : {96, 144, 96}) {
        auto at = [dpi](LONG v) { return static_cast<int>(MulDiv(v, dpi, 96)); };
        MoveWindow(list, at(list96.left), at(list96.top), at(list96.right - list96.left), at(list96.bottom - list96.top), TRUE);
        SetWindowPos(stars, nullptr, at(stars96.left), at(stars96.top), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SendMessageW(page->Hwnd(), WM_APP_DPI_CHANGED, dpi, 0);
        const RECT& r = page->StarsRect();
        EXPECT_EQ(r.left, at(stars96.left)) << dpi;
        EXPECT_EQ(r.right - r.left, at(178)) << dpi;
        EXPECT_EQ(r.bottom - r.top, at(18)) << dpi;
        POINT origin{0, 0};
        MapWindowPoints(list, page->Hwnd(), &origin, 1);
        const int numbers = origin.x + ListView_GetColumnWidth(list, 0);
        EXPECT_NEAR(numbers, r.left + at(14), 1) << dpi;
        EXPECT_EQ(ListView_GetColumnWidth(list, 1), at(180)) << dpi;
        if (dpi == 96) EXPECT_EQ(ListView_GetColumnWidth(list, 0), 273);  // the page's layout at 100 %
    }
    DestroyWindow(main.Hwnd());
    EXPECT_TRUE(boxes.boxes.empty());
}
