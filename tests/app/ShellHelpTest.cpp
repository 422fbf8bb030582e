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
void PressF1(HWND control) { PostMessageW(control, WM_KEYDOWN, VK_F1, 0); }
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
    auto open = [](int command) {
        return [command] { return PostMessageW(Dialog(L"Swirlo"), WM_COMMAND, command, 0) != 0; };
    };
    auto helpAndF1 = [](const wchar_t* title, int control) {
        return [title, control] {
            HWND h = Dialog(title);
            if (!h) return false;
            SendDlgItemMessageW(h, IDHELP, BM_CLICK, 0, 0);
            PressF1(GetDlgItem(h, control));
            return true;
        };
    };
    auto cancel = [](const wchar_t* title) { return [title] { return PostMessageW(Dialog(title), WM_COMMAND, IDCANCEL, 0) != 0; }; };
    g_steps = {open(ID_SETTINGS_SHUFFLE), helpAndF1(prefs, IDC_PREF_LABELTEXT), cancel(prefs),
               open(ID_SETTINGS_LOGGING), helpAndF1(logging, IDC_LOG_SAVELOG), cancel(logging),
               [] {
                   PressF1(GetDlgItem(Dialog(L"Swirlo"), IDC_MAIN_TAB));
                   return true;
               },
               open(ID_HELP_CONTENTS), cancel(L"Swirlo")};
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
