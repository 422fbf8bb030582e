// Help from every place that offers it: the Help buttons of the option dialogs, F1 typed in a dialog
// and in a page (read by the main window's hook in any message loop), and Help Contents, each asking
// the viewer for the help file beside the program at the window's topic.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/LoggingOptionsDialog.h"
#include "app/MainWindow.h"
#include "app/ShufflePrefsDialog.h"
#include "foundation/IniSettings.h"
#include "foundation/Utilities.h"
#include "resources/resource.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;

static std::vector<std::wstring> g_help;

TEST(ShellHelp, HelpButtonsAndF1AskForTheWindowsTopic) {
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
    for (HWND h : {prefs.Hwnd(), logging.Hwnd(), main.Hwnd()}) DestroyWindow(h);
    SetHelpViewerHandler(previous);

    const std::wstring chm = L"C:\\Program Files\\Swirlo\\Blendo.chm", pl = chm + L"::/pl_pref.htm", lg = chm + L"::/logging.htm";
    EXPECT_EQ(g_help, (std::vector<std::wstring>{pl, pl, lg, lg, chm + L"::/shuffle.htm", chm}));
    EXPECT_TRUE(boxes.boxes.empty());
}
