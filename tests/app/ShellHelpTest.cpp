// Help from every place that offers it: the Help buttons of the option dialogs, F1 in a dialog and
// in a page, and Help Contents, each asking the viewer for the help file beside the program at the
// window's topic. The main window runs modally here; a timer drives it from inside its own loops.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "foundation/IniSettings.h"
#include "resources/resource.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;

namespace {
std::vector<std::wstring> g_help;
bool RecordHelp(const std::wstring& target) {
    g_help.push_back(target);
    return true;
}

// One step per tick; a step that returns false is tried again at the next tick.
std::vector<std::function<bool()>> g_steps;
size_t g_next = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_next < g_steps.size() && g_steps[g_next]()) ++g_next;
}

HWND Dialog(const wchar_t* title) { return FindWindowW(L"#32770", title); }
void PressF1(HWND control) { PostMessageW(control, WM_KEYDOWN, VK_F1, 0); }  // read by the loop's hook
}  // namespace

TEST(ShellHelp, HelpButtonsAndF1AskForTheWindowsTopic) {
    test::TempDir dir;
    test::MessageBoxRecorder boxes;
    HelpViewerFn previous = SetHelpViewerHandler(RecordHelp);
    AppPaths paths{L"C:\\Program Files\\Swirlo\\", L"Blendo", dir.Path(), dir.Path()};
    IniSettings settings;
    ASSERT_EQ(settings.InitSettings(dir.Path().c_str()), 1);

    const wchar_t* prefs = L"Swirlo  -  Vuriror Oduvizu Options";
    const wchar_t* logging = L"Swirlo  -  Logging Options";
    auto post = [](const wchar_t* title, int command) {
        return [=] { return PostMessageW(Dialog(title), WM_COMMAND, command, 0) != 0; };
    };
    // The Help button, then F1 typed in one of the dialog's controls.
    auto helpAndF1 = [](const wchar_t* title, int control) {
        return [=] {
            HWND h = Dialog(title);
            if (h) SendDlgItemMessageW(h, IDHELP, BM_CLICK, 0, 0), PressF1(GetDlgItem(h, control));
            return h != nullptr;
        };
    };
    g_steps = {post(L"Swirlo", ID_SETTINGS_SHUFFLE), helpAndF1(prefs, IDC_PREF_LABELTEXT), post(prefs, IDCANCEL),
               post(L"Swirlo", ID_SETTINGS_LOGGING), helpAndF1(logging, IDC_LOG_SAVELOG), post(logging, IDCANCEL),
               [] { return PostMessageW(GetDlgItem(Dialog(L"Swirlo"), IDC_MAIN_TAB), WM_KEYDOWN, VK_F1, 0) != 0; },
               post(L"Swirlo", ID_HELP_CONTENTS), post(L"Swirlo", IDCANCEL)};
    g_next = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, Tick);
    MainWindow main(GetModuleHandleW(nullptr), &settings, L"Swirlo", &paths);
    EXPECT_EQ(main.RunModal(), 1);
    KillTimer(nullptr, timer);
    SetHelpViewerHandler(previous);

    const std::wstring chm = L"C:\\Program Files\\Swirlo\\Blendo.chm";
    const std::vector<std::wstring> expected = {chm + L"::/pl_pref.htm", chm + L"::/pl_pref.htm",
                                                chm + L"::/logging.htm", chm + L"::/logging.htm",
                                                chm + L"::/shuffle.htm", chm};
    EXPECT_EQ(g_help, expected);
    EXPECT_TRUE(boxes.boxes.empty());
}
