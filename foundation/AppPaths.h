// The program's folders, found once at start-up and handed to every page and dialog.
#pragma once
#include <string>

namespace swirlo {

struct AppPaths {
    std::wstring sProgDirSlash;      // folder of the running executable, ending in a backslash
    std::wstring sProgBaseName;      // its file name without extension
    std::wstring gsAppDocsDirSlash;  // logs go here
    std::wstring sIniDirSlash;       // the INI file lives here
};

// Fills paths: the program folder and base name from the executable; then, unless the program sits
// inside the user's profile (the user-profile rule, when useProfileRule is set), the application-data
// and documents folders of the user, each followed by "\<folderName>\" (the base name when folderName
// is empty). Returns 1, or 0 with the reason in error.
int FindAppPaths(AppPaths& paths, const wchar_t* folderName, bool useProfileRule, std::wstring& error);

// The same, from given inputs: lets tests try the rule without moving the program.
int FindAppPathsFrom(AppPaths& paths, const std::wstring& sExePath, const wchar_t* folderName,
                     bool useProfileRule, std::wstring& error);

// The help file beside the program, or one of its topic pages when topic is given ("x.htm").
std::wstring HelpFilePath(const AppPaths& paths, const wchar_t* topic = nullptr);

}  // namespace swirlo
