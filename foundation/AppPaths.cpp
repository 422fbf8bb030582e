#include "foundation/AppPaths.h"

#include <windows.h>

#include <vector>

#include "foundation/Utilities.h"

namespace swirlo {

namespace {
const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Expands environment variables; at most 260 characters like the program's path buffers.
bool Expand(const std::wstring& in, std::wstring& out) {
    std::vector<wchar_t> buf(MAX_PATH);
    DWORD n = ExpandEnvironmentStringsW(in.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0 || n > buf.size()) return false;
    out = buf.data();
    return true;
}

bool ContainsNoCase(const std::wstring& hay, const std::wstring& needle) {
    if (needle.empty() || needle.size() > hay.size()) return false;
    std::wstring h = hay, n = needle;
    CharLowerBuffW(h.data(), static_cast<DWORD>(h.size()));
    CharLowerBuffW(n.data(), static_cast<DWORD>(n.size()));
    return h.find(n) != std::wstring::npos;
}

bool ShellFolder(const wchar_t* value, const std::wstring& sub, std::wstring& out, std::wstring& error) {
    std::wstring raw;
    if (!ReadRegValue(HKEY_CURRENT_USER, kShellFolders, value, raw, MAX_PATH * sizeof(wchar_t))) {
        error = FormatW(L"Error getting reg value %ls\n%ls", value, raw.c_str());
        return false;
    }
    std::wstring expanded;
    if (!Expand(raw, expanded)) {
        error = FormatW(L"Unable to expand \"%ls\"", raw.c_str());
        return false;
    }
    if (!expanded.empty() && expanded.back() == L'\\') expanded.pop_back();
    out = expanded + sub;
    return true;
}
}  // namespace

int FindAppPathsFrom(AppPaths& paths, const std::wstring& sExePath, const wchar_t* folderName,
                     bool useProfileRule, std::wstring& error) {
    std::wstring dir, name, ext;
    if (!SplitPath(sExePath, dir, name, ext, true)) {
        error = dir;
        return 0;
    }
    paths.sProgDirSlash = dir;
    paths.sProgBaseName = name;
    if (useProfileRule) {
        std::wstring profile;
        if (!Expand(L"%USERPROFILE%", profile)) {
            error = L"Unable to expand \"%USERPROFILE%\"";
            return 0;
        }
        // A program kept inside the user's own profile keeps its INI file and logs beside itself.
        if (ContainsNoCase(dir, profile)) {
            paths.sIniDirSlash = dir;
            paths.gsAppDocsDirSlash = dir;
            return 1;
        }
    }
    std::wstring sub = L"\\" + std::wstring(folderName && *folderName ? folderName : name.c_str()) + L"\\";
    if (!ShellFolder(L"AppData", sub, paths.sIniDirSlash, error)) return 0;
    if (!ShellFolder(L"Personal", sub, paths.gsAppDocsDirSlash, error)) return 0;
    return 1;
}

int FindAppPaths(AppPaths& paths, const wchar_t* folderName, bool useProfileRule, std::wstring& error) {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0 || n > MAX_PATH - 1) {
        error = L"GetModuleFileName failed";
        return 0;
    }
    return FindAppPathsFrom(paths, std::wstring(buf.data(), n), folderName, useProfileRule, error);
}

std::wstring HelpFilePath(const AppPaths& paths, const wchar_t* topic) {
    std::wstring file = paths.sProgDirSlash + L"Blendo.chm";
    return topic ? file + L"::/" + topic : file;
}

}  // namespace swirlo
