// Start-up: the library search, one window per session, COM, common controls, the per-user folders,
// the settings, then the main window.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>
#include <new>

#include "app/MainWindow.h"
#include "app/Pages.h"
#include "app/SingleInstance.h"
#include "foundation/IniSettings.h"
#include "foundation/LogFile.h"
#include "foundation/SystemLibrary.h"
#include "foundation/Utilities.h"

using namespace swirlo;

namespace {
const wchar_t kProduct[] = L"Swirlo";

int RunProgram(HINSTANCE hInst) {
    const wchar_t* caption = kProduct;
    // The window start: before anything reads or writes the files a running copy holds.
    SingleInstance instance;
    if (!instance.Claim()) {
        SingleInstance::ShowRunning(caption);
        return 0;
    }
    if (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) != S_OK)
        return ErrorBox(nullptr, caption, L"Error initializing DCOM");
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                              ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    if (!InitCommonControlsEx(&icc)) return ErrorBox(nullptr, caption, L"Error initializing common controls");

    AppPaths paths;
    std::wstring error;
    if (!FindAppPaths(paths, kProduct, true, error))
        return ErrorBox(nullptr, caption, L"Error getting output dir names", error.c_str());
    if (!EnsureDir(paths.sIniDirSlash)) {
        std::wstring g = TakeErrorText(true);
        return ErrorBox(nullptr, caption, L"Error ensuring config dir exists", paths.sIniDirSlash.c_str(), g.c_str());
    }
    auto settings = std::make_unique<IniSettings>();
    if (!settings->InitSettings(paths.sIniDirSlash.c_str()))
        return settings->ShowError(caption, L"Error loading INI settings");
    if (!settings->LoadNotes().empty()) {
        // Hand-edited values the settings refused: say which, in a log beside the others.
        LogFile log(&paths, kProduct);
        if (log.StartLog(L"settings log.txt", L"Settings read from Blendo.ini", true)) {
            for (const std::wstring& note : settings->LoadNotes()) log.LogLine(note.c_str());
            log.FinishLog();
        }
    }
    settings->StartSessionFrequencies();

    std::unique_ptr<MainWindow> main(new (std::nothrow) MainWindow(hInst, settings.get(), kProduct, &paths));
    if (!main) return ErrorBox(nullptr, caption, L"Error creating dialog");
    // A window that cannot be made (a resource missing, no memory for it) must not end the program
    // without a word.
    if (main->RunModal() == -1) return WinErrorBox(0, nullptr, caption, L"Error creating dialog");
    main.reset();
    settings.reset();
    return 0;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE hInst, HINSTANCE, LPWSTR, int) {
    // Before any library is loaded: see foundation/SystemLibrary.h.
    RestrictDllSearch();
    try {
        int exitCode = 0;
        if (RunCommandLine(kProduct, exitCode)) return exitCode;
        return RunProgram(hInst);
    } catch (...) {
        ErrorBox(nullptr, kProduct, L"Unexpected error; the program ends.");
        return 1;
    }
}
