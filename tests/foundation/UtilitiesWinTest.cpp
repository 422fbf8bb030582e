#include <gtest/gtest.h>

#include "foundation/AppPaths.h"
#include "foundation/LogFile.h"
#include "foundation/Utilities.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;

TEST(WinErrors, SystemTextsAndTheirFallback) {
    std::wstring t;
    ASSERT_GT(GetWinErrorText(t, ERROR_FILE_NOT_FOUND), 0);
    EXPECT_NE(t.back(), L'\n');  // no line break of the system's own
    EXPECT_EQ(GetWinErrorText(t, 0x2FFFFFFF), 0);
    EXPECT_EQ(t, L"Error attempting to retrieve Windows' error message.");
}

TEST(MessageBoxes, PartsJoinedAndErrorBoxes) {
    MessageBoxRecorder rec(IDCANCEL);
    EXPECT_EQ(MsgBoxParts(nullptr, L"Cap", L"one", nullptr, L"three", nullptr, nullptr, nullptr, MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(ErrorBox(nullptr, L"Swirlo", L"Bad"), 0);
    EXPECT_EQ(WinErrorBox(ERROR_FILE_NOT_FOUND, nullptr, L"Swirlo", L"Opening", L"C:\\a"), 0);
    ASSERT_EQ(rec.boxes.size(), 3u);
    EXPECT_EQ(rec.boxes[0].caption + L"|" + rec.boxes[0].text + L"|" + rec.boxes[2].text,
              L"Cap|one\r\nthree\r\n|Opening\r\nC:\\a\r\n\nWindows' error message was:\r\n" + WinErrorText(ERROR_FILE_NOT_FOUND) + L"\r\n");
    EXPECT_EQ((std::vector<UINT>{rec.boxes[0].flags, rec.boxes[1].flags}), (std::vector<UINT>{MB_OKCANCEL, MB_OK | MB_ICONWARNING}));
}

TEST(Files, EnsureDirAndAppendToFile) {
    TempDir tmp;
    std::wstring sub = tmp / L"logs";
    ASSERT_EQ(EnsureDir(sub + L"\\"), 1);
    EXPECT_EQ(EnsureDir(sub + L"\\"), 1);  // exists already: nothing to do
    // Only the last level is created.
    EXPECT_EQ(EnsureDir(tmp / L"a\\b\\c"), 0);
    EXPECT_NE(TakeErrorText(true).find(L"Error creating directory:"), std::wstring::npos);

    std::wstring file = sub + L"\\f.txt";
    ASSERT_EQ(AppendToFile(L"héllo", file, false), 1);
    ASSERT_EQ(AppendToFile(L" more", file, true), 1);
    EXPECT_EQ(ReadUtf16(file), L"héllo more");
    ASSERT_EQ(AppendToFile(L"new", file, false), 1);
    EXPECT_EQ(ReadUtf16(file), L"new");

    EXPECT_EQ(EnsureDir(file), 0);
    EXPECT_EQ(TakeErrorText(true), L"\r\nPath exists but not a directory:\r\n" + file);

    // A file held open without sharing refuses the write, says so and keeps its content.
    UniqueFile held(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(AppendToFile(L"x", file, false), 0);
    EXPECT_EQ(TakeErrorText(true).rfind(L"\r\nError opening file for write:\r\n" + file, 0), 0u);
    held.Reset();
    EXPECT_EQ(ReadUtf16(file), L"new");
}

TEST(AppPaths, UserProfileRule) {
    wchar_t profile[MAX_PATH];
    ExpandEnvironmentStringsW(L"%USERPROFILE%", profile, MAX_PATH);
    AppPaths p;
    std::wstring err;
    // Inside the profile (for example on the desktop): INI and logs beside the program.
    std::wstring inside = std::wstring(profile) + L"\\Desktop\\Tools\\Blendo.exe";
    ASSERT_EQ(FindAppPathsFrom(p, inside, L"Swirlo", true, err), 1) << err;
    EXPECT_EQ(p.sIniDirSlash + L"|" + p.gsAppDocsDirSlash + L"|" + p.sProgBaseName,
              std::wstring(profile) + L"\\Desktop\\Tools\\|" + profile + L"\\Desktop\\Tools\\|Blendo");
    std::wstring upper = inside;  // letter case does not matter
    ASSERT_EQ(FindAppPathsFrom(p, CharUpperW(upper.data()), L"Swirlo", true, err), 1);
    EXPECT_EQ(p.sIniDirSlash, p.sProgDirSlash);
    // Elsewhere: the user's application-data and documents folders, each with \Swirlo\.
    ASSERT_EQ(FindAppPathsFrom(p, L"C:\\Program Files\\Swirlo\\Blendo.exe", L"Swirlo", true, err), 1) << err;
    EXPECT_EQ(p.sProgDirSlash, L"C:\\Program Files\\Swirlo\\");
    EXPECT_NE(p.sIniDirSlash, p.gsAppDocsDirSlash);
    for (const std::wstring& dir : {p.sIniDirSlash, p.gsAppDocsDirSlash}) EXPECT_EQ(dir.substr(dir.size() - 8), L"\\Swirlo\\");
    // Without the rule, inside the profile also goes to the per-user folders; no folder name: base name.
    ASSERT_EQ(FindAppPathsFrom(p, inside, nullptr, false, err), 1);
    EXPECT_NE(p.sIniDirSlash.find(L"\\Blendo\\"), std::wstring::npos);
    EXPECT_EQ(FindAppPathsFrom(p, L"Blendo", L"Swirlo", true, err), 0);
    EXPECT_EQ(err, L"'.' not found in supplied sPath");
}

namespace {
AppPaths PathsIn(const TempDir& tmp) {
    AppPaths p;
    p.sProgDirSlash = tmp.Path();
    p.sProgBaseName = L"Blendo";
    p.sIniDirSlash = tmp.Path();
    p.gsAppDocsDirSlash = tmp / L"docs\\";
    return p;
}
// A log with every digit shown as 9, so that its time stamps compare.
std::wstring Masked(const std::wstring& path) {
    std::wstring text = ReadUtf16(path);
    for (wchar_t& c : text) c = iswdigit(c) ? L'9' : c;
    return text;
}
}  // namespace

TEST(LogFile, LinesDefaultNameReplacingAndFailedStarts) {
    TempDir tmp;
    AppPaths paths = PathsIn(tmp);
    LogFile log(&paths, L"Swirlo");
    EXPECT_EQ(log.LogLine(L"nothing open"), 0);
    EXPECT_TRUE(log.Error().Empty());

    ASSERT_EQ(log.StartLog(L"last shuffle log.txt", L"Start OnShuffle", false), 1);
    ASSERT_EQ(log.LogLine(L"first", L"second", L"third"), 1);
    ASSERT_EQ(log.LogLineNoTime(L"plain"), 1);
    ASSERT_EQ(log.WriteLogText(L"raw", false), 1);
    ASSERT_EQ(log.WriteLogText(L"-end", true), 1);
    std::wstring big(5000, L'b');
    ASSERT_EQ(log.LogLine(big.c_str()), 1);
    ASSERT_EQ(log.FinishLog(nullptr), 1);
    EXPECT_FALSE(log.IsOpen());

    // "MM/dd/yy HH:mm:ss  title", then stamped and unstamped lines; no byte order mark.
    EXPECT_EQ(Masked(paths.gsAppDocsDirSlash + L"last shuffle log.txt"),
              L"99/99/99 99:99:99  Start OnShuffle\r\n99:99:99  first\r\n          second\r\n          third\r\n"
              L"          plain\r\nraw-end\r\n99:99:99  " + big + L"\r\n99:99:99  Finished\r\n");

    // Without a name: the test program's own base name names the log; a new start closes it.
    ASSERT_EQ(log.StartLog(nullptr, nullptr, true), 1);
    std::wstring dir, name, ext;
    ASSERT_EQ(GetModulePathParts(dir, name, ext), 1);
    EXPECT_EQ(Masked(paths.gsAppDocsDirSlash + name + L".log"), L"99/99/99 99:99:99  Start Blendo\r\n");

    ASSERT_EQ(log.StartLog(L"second.txt", L"Title", false), 1);
    log.FinishLog(L"Done");
    EXPECT_EQ(Masked(paths.gsAppDocsDirSlash + name + L".log"),
              L"99/99/99 99:99:99  Start Blendo\r\n99:99:99  Finished\r\n");
    EXPECT_EQ(Masked(paths.gsAppDocsDirSlash + L"second.txt"),
              L"99/99/99 99:99:99  Title\r\n\r\nHad to close m_hfLog, still open from previous log.99:99:99  Done\r\n");

    // A folder where the log file should be: the file cannot be created; a later start works.
    ASSERT_TRUE(CreateDirectoryW((paths.gsAppDocsDirSlash + L"busy.txt").c_str(), nullptr));
    EXPECT_EQ(log.StartLog(L"busy.txt", L"T", false), 0);
    EXPECT_EQ(log.Error().Text().rfind(L"\r\nError opening log file:\r\n" + paths.gsAppDocsDirSlash + L"busy.txt\r\n", 0), 0u);
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(log.LogLine(L"x"), 0);
    EXPECT_EQ(log.StartLog(L"ok.txt", L"T", false), 1);
    EXPECT_EQ(log.FinishLog(), 1);

    // The documents folder cannot be made (its parent is missing): one box, under the page's caption.
    MessageBoxRecorder rec;
    AppPaths deep = paths;
    deep.gsAppDocsDirSlash = tmp / L"no\\such\\";
    LogFile deeplog(&deep, L"Swirlo", L" - Error");
    EXPECT_EQ(deeplog.StartLog(L"x.txt", L"T", false), 0);
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].caption, L"Swirlo - Error");
    EXPECT_EQ(rec.boxes[0].text.rfind(L"Error ensuring config dir exists\r\n" + deep.sIniDirSlash + L"\r\n", 0), 0u);
}
