// The command line: "Blendo.exe /shuffle [FILE]" runs the shuffle page's job without a window, for
// a scheduled task; "Blendo.exe /?" shows how, in a box (the program has no console).
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/Pages.h"
#include "foundation/AppPaths.h"
#include "foundation/IniSettings.h"
#include "foundation/Utilities.h"
#include "shuffle/page/UnattendedShuffle.h"

namespace swirlo {

namespace {

bool IsOption(const std::wstring& arg, const wchar_t* name) {
    return arg.size() > 1 && (arg[0] == L'/' || arg[0] == L'-') && lstrcmpiW(arg.c_str() + 1, name) == 0;
}

int ShowUsage(const wchar_t* product, const std::wstring& unknown) {
    AppPaths paths;
    std::wstring error, logDir = L"the log folder\\";
    if (FindAppPaths(paths, product, true, error)) logDir = paths.gsAppDocsDirSlash;
    const std::wstring text = FormatW(
        L"Blendo.exe\n    opens the program's window.\n\nBlendo.exe /shuffle [FILE]\n    writes the shuffled playlist "
        L"of the song groups kept on the \"Zadered Iruzad Irovero\" page, with that page's saved settings, to FILE "
        L"(.wpl, .m3u or .m3u8), or without FILE to the proposed name in the folder of the last save. No window "
        L"opens and nothing waits for a click. It ends with the exit code 0 (written), 1 (failed) or 2 (nothing to "
        L"shuffle), and each run adds a line to the log\n%lsunattended shuffle log.txt\n\nBlendo.exe /?\n    shows "
        L"this text.", logDir.c_str());
    const std::wstring first = L"Unknown command line argument: " + unknown + L"\n";
    MsgBoxParts(nullptr, product, unknown.empty() ? nullptr : first.c_str(), text.c_str(), nullptr, nullptr, nullptr,
                nullptr, MB_OK | (unknown.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
    return unknown.empty() ? 0 : 1;
}

int RunUnattended(const wchar_t* product, const std::vector<std::wstring>& args) {
    AnswerBoxesForLog();
    const std::wstring file = args.size() > 2 ? args[2] : std::wstring();
    AppPaths paths;
    std::wstring error;
    if (!FindAppPaths(paths, product, true, error)) return kUnattendedFailed;  // no folder to log in
    if (args.size() > 3)
        return UnattendedFailed(paths, file, L"Usage: Blendo.exe /shuffle [FILE] (one file; a name with spaces in double quotes)");
    IniSettings settings;
    if (!settings.InitSettings(paths.sIniDirSlash.c_str()))
        return UnattendedFailed(paths, file, L"Error loading INI settings: " + settings.ErrorText());
    if (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) != S_OK)
        return UnattendedFailed(paths, file, L"Error initializing DCOM");
    const int code = ShuffleUnattended(paths, settings, file);
    CoUninitialize();
    return code;
}

}  // namespace

bool RunCommandLine(const wchar_t* product, int& exitCode) {
    int n = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<std::wstring> args(argv, argv ? argv + n : argv);
    LocalFree(argv);
    if (args.size() < 2) return false;
    if (IsOption(args[1], L"shuffle")) exitCode = RunUnattended(product, args);
    else exitCode = ShowUsage(product, IsOption(args[1], L"?") || IsOption(args[1], L"help") ? L"" : args[1]);
    return true;
}

}  // namespace swirlo
