// Help from every place that offers it: the Help buttons of the option dialogs, F1 typed in a dialog
// and in a page (read by the main window's hook in any message loop), and Help Contents, each asking
// the viewer for the help file beside the program at the window's topic; the number boxes typed in;
// and the shuffle page at 100 % and 150 % (its controls placed as the dialog manager places them on a
// monitor of that scale, then the page told): the star strip drawn at the scale, each frequency
// column starting under its stars.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/LoggingOptionsDialog.h"
#include "app/MainWindow.h"
#include "app/ShufflePrefsDialog.h"
#include "foundation/IniSettings.h"
#include "foundation/Utilities.h"
#include "foundation/WindowMessages.h"
#include "framework/Controls.h"
#include "framework/Handles.h"
#include "resources/resource.h"
#include "shuffle/page/ShufflePage.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;

static std::vector<std::wstring> g_help;

TEST(ShellDialogs, HelpAsksForTheWindowsTopicNumberBoxesTakeWhatIsTypedPagesScale) {
    test::TempDir dir;
    test::MessageBoxRecorder boxes;
    HelpViewerFn previous = SetHelpViewerHandler([](const std::wstring& target) { return g_help.push_back(target), true; });
    AppPaths paths{L"C:\\Program Files\\Swirlo\\", L"Blendo", dir.Path(), dir.Path()};
    IniSettings settings;
    ASSERT_EQ(settings.InitSettings(dir.Path().c_str()), 1);
    MainWindow main(nullptr, &settings, L"Swirlo", &paths);
    ShufflePrefsDialog prefs(nullptr, &settings, L"Swirlo", L"Vuriror Oduvizu Options", &main, &paths);
    LoggingOptionsDialog logging(nullptr, &settings, L"Swirlo", L"Logging Options", &main, &paths);
    // No instance: the resources come from this test program, which carries the program's.
    ASSERT_TRUE(main.CreateModeless() && prefs.CreateModeless() && logging.CreateModeless());

    for (HWND dlg : {prefs.Hwnd(), logging.Hwnd()}) {
        SendDlgItemMessageW(dlg, IDHELP, BM_CLICK, 0, 0);
        PostMessageW(GetDlgItem(dlg, IDOK), WM_KEYDOWN, VK_F1, 0);
        PumpMessages();
    }
    PostMessageW(GetDlgItem(main.Hwnd(), IDC_MAIN_TAB), WM_KEYDOWN, VK_F1, 0);
    PumpMessages();
    SendMessageW(main.Hwnd(), WM_COMMAND, ID_HELP_CONTENTS, 0);
    SetHelpViewerHandler(previous);

    // Every number box takes any value of its range typed digit by digit, over a selection or after
    // deleting; the range applies when the focus leaves ('!'), and the arrows step from what was typed.
    HWND pr = prefs.Hwnd(), page = main.ShufflePage()->Hwnd();
    const struct { HWND dlg; int edit; const wchar_t *keys, *want; } cases[] = {
        {pr, IDC_PREF_FREQ1, L"*\b5", L"5"}, {pr, IDC_PREF_FREQ3, L"*\b", L""}, {pr, IDC_PREF_FREQ3, L"!", L"0"},
        {pr, IDC_PREF_FREQ_SAME, L"*0", L"0"}, {pr, IDC_PREF_FREQ_SAME, L"!*12v", L"11"}, {pr, IDC_PREF_FREQ5, L"*99^", L"99"},
        {pr, IDC_PREF_DEFAULT_RATING, L"*7!", L"5"}, {page, IDC_SHUF_TRUNC_EDIT, L"*300", L"300"},
        {page, IDC_SHUF_TRUNC_EDIT, L"*9999^", L"1"}, {page, IDC_SHUF_DIST_EDIT, L"*0!", L"1"}, {page, IDC_SHUF_ONLY_EDIT, L"*\b!v", L"99"}};
    for (const auto& c : cases) {
        test::TypeInto(GetDlgItem(c.dlg, c.edit), c.keys);
        EXPECT_EQ(GetItemText(c.dlg, c.edit), c.want) << "case " << &c - cases;
    }
    settings.SetDialog(pr);  // bound to the dialog made last
    SendMessageW(pr, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(settings.FrequencySameDefault * 100 + settings.Frequency1Default, 1105);

    auto* shuffle = static_cast<ShufflePage*>(main.ShufflePage());
    HWND list = GetDlgItem(page, IDC_SHUF_LIST), stars = GetDlgItem(page, IDC_SHUF_STARS);
    RECT list96 = shuffle->ControlRect(IDC_SHUF_LIST), stars96 = shuffle->ControlRect(IDC_SHUF_STARS);
    HFONT font96 = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    GetObjectW(font96, sizeof(lf), &lf);
    lf.lfHeight = -MulDiv(8, 144, 72);
    UniqueFont font144(CreateFontIndirectW(&lf));
    for (int dpi : {96, 144, 96}) {
        auto at = [dpi](LONG v) { return static_cast<int>(MulDiv(v, dpi, 96)); };
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(dpi == 96 ? font96 : font144.Get()), TRUE);
        MoveWindow(list, at(list96.left), at(list96.top), at(list96.right - list96.left), at(list96.bottom - list96.top), TRUE);
        MoveWindow(stars, at(stars96.left), at(stars96.top), at(stars96.right - stars96.left), at(stars96.bottom - stars96.top), FALSE);
        SendMessageW(page, WM_APP_DPI_CHANGED, dpi, 0);
        const RECT& r = shuffle->StarsRect();
        POINT origin{0, 0};
        MapWindowPoints(list, page, &origin, 1);
        EXPECT_EQ(r.left, at(stars96.left));
        const int w = r.right - r.left;  // as the font grew: about as the dots per inch did
        EXPECT_NEAR(w, at(178), at(178) / 8) << dpi;
        EXPECT_NEAR(origin.x + ListView_GetColumnWidth(list, 0), r.left + MulDiv(14, w, 178), 2) << dpi;
        EXPECT_NEAR(ListView_GetColumnWidth(list, 1), MulDiv(180, w, 178), 2) << dpi;
        if (dpi == 96) EXPECT_EQ(ListView_GetColumnWidth(list, 0) * 1000 + w, 273178);  // the layout at 100 %
    }
    for (HWND h : {prefs.Hwnd(), logging.Hwnd(), main.Hwnd()}) DestroyWindow(h);

    const std::wstring chm = L"C:\\Program Files\\Swirlo\\Blendo.chm", pl = chm + L"::/pl_pref.htm", lg = chm + L"::/logging.htm";
    EXPECT_EQ(g_help, (std::vector<std::wstring>{pl, pl, lg, lg, chm + L"::/shuffle.htm", chm}));
    EXPECT_TRUE(boxes.boxes.empty());
}
