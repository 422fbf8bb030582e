// The playlist writer on real files under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/foundation/FakeRun.h"
#include "PlaylistFixture.h"
#include "foundation/Utf8.h"
#include "foundation/Utilities.h"
#include "shuffle/playlist/PlaylistWriter.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::testing;

using test::InAnsi;
using test::ReadBytes;
using test::TempDir;

// A playlist replaces the chosen file in one rename. Stop or a failure leaves the old file as it was
// and nothing beside it; a name near the path limit is no failure.
TEST(PlaylistWriter, RealFilesReplacedWholeOrNotAtAll) {
    TempDir tmp(L"swirlo playlist test ");
    std::wstring path = tmp / L"list.m3u8";
    std::vector<std::wstring> paths = {L"C:\\Music\\caf\u00e9.mp3", L"C:\\\u65e5\u672c\\\U0001F3B5 song.mp3",
                                       L"D:\\Rock'n & Roll.mp3"};
    Playlist s(paths);
    ASSERT_TRUE(test::WriteBytes(path, std::string(100000, 'x')));  // a longer file is replaced whole

    FakeRun ctx;
    ASSERT_TRUE(ReplaceWithPlaylist(ctx, s.Request(kFormatM3u8, -1, path))) << std::string(ctx.error.Text().begin(), ctx.error.Text().end());
    std::wstring want = L"#EXTM3U\r\n";
    for (const auto& p : paths) want += p + L"\r\n";
    EXPECT_EQ(ReadBytes(path), ToUtf8Text(want));
    // .m3u: the system code page; a path it cannot hold (no file, so no short name) will not play.
    PlaylistWritten written;
    ASSERT_TRUE(ReplaceWithPlaylist(ctx, s.Request(kFormatM3u, -1, tmp / L"list.m3u"), &written));
    std::string wantAnsi = "#EXTM3U\r\n";
    unsigned unplayable = 0;
    for (bool exact = false; const auto& p : paths) {
        wantAnsi += InAnsi(p, &exact) + "\r\n";
        unplayable += !exact;
    }
    EXPECT_EQ(ReadBytes(tmp / L"list.m3u"), wantAnsi) << "code page " << GetACP();
    EXPECT_EQ(std::to_string(GetACP()), getenv("SWIRLO_TEST_ACP") ? getenv("SWIRLO_TEST_ACP") : "1252");  // the run's
    EXPECT_EQ(written.nUnplayable, unplayable);

    // A folder whose path is 300 characters and more: past MAX_PATH, the limit of plain paths.
    const std::wstring missing = tmp / L"no such folder\\list.m3u8", taken = tmp / L"a folder",
                       deep = tmp / std::wstring(150, L'd'), deeper = deep + L"\\" + std::wstring(150, L'e');
    ASSERT_TRUE(CreateDirectoryW(taken.c_str(), nullptr) && CreateDirectoryW(deep.c_str(), nullptr) &&
                CreateDirectoryW((L"\\\\?\\" + deeper).c_str(), nullptr));
    const std::wstring longName = deep + L"\\" + std::wstring(MAX_PATH - 5 - deep.size(), L'n');
    const std::tuple<std::wstring, bool, std::wstring> rows[] = {
        {path, true, L"\r\nProcessing stopped by user Cancel"},
        {missing, false, L"\r\nError opening file for write:\r\n" + missing + L".swirlo-part\r\nWindows' error message was:\r\n" +
                             WinErrorText(ERROR_PATH_NOT_FOUND)},
        {taken, false, L"\r\nError renaming temp playlist\r\n" + taken + L".swirlo-part\r\nto final location\r\n" + taken +
                           L"\r\nWindows' error message was:\r\n"},
        {longName, false, L""},
        {deeper + L"\\list.m3u8", false, L""}};
    for (const auto& [to, stop, error] : rows) {
        FakeRun run;
        run.nCancelAtPump = stop ? 1 : -1;
        EXPECT_EQ(ReplaceWithPlaylist(run, s.Request(kFormatM3u8, -1, to)), error.empty());
        EXPECT_EQ(run.error.Text().substr(0, error.size()), error);
        EXPECT_EQ(ReadBytes(error.empty() ? L"\\\\?\\" + to : path), ToUtf8Text(want)) << to.size();
        EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + to + L".swirlo-part").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// A .m3u entry never names a look-alike file: a path the code page cannot hold is written in its
// short form when that exists and round-trips, else with the default character.
TEST(M3uPath, NoBestFitLookAlikes) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "a UTF-8 code page holds every path";
    test::TempDir dir;
    const std::wstring real = dir / L"\u0141\u00f3d\u017a.mp3";
    ASSERT_TRUE(test::WriteBytes(real, "x"));
    M3uPathConverter convert;
    std::string out;
    std::wstring error;
    unsigned notHeld = 0;
    for (bool exact = false; const std::wstring& ghost : {dir / L"\u0100 song.mp3", dir / L"\uff21 song.mp3"}) {
        ASSERT_TRUE(convert(ghost, out, error));
        EXPECT_EQ(out, InAnsi(ghost, &exact));  // no best fit
        notHeld += !exact;
    }
    EXPECT_EQ(convert.DefaultChars(), notHeld);
    bool realHeld = false;
    InAnsi(real, &realHeld);
    ASSERT_TRUE(convert(real, out, error));
    wchar_t back[MAX_PATH] = L"", full[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, out.c_str(), -1, back, MAX_PATH);
    GetLongPathNameW(back, full, MAX_PATH);
    if (convert.ShortForms() == 1 || realHeld) EXPECT_EQ(std::wstring(full), real) << out;  // names the same file
    else EXPECT_EQ(convert.DefaultChars(), notHeld + 1);
}
