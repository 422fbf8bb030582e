// The playlist writer on real files under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "FakeRun.h"
#include "foundation/Utilities.h"
#include "library/PlaylistWriter.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::testing;

namespace {

using test::ReadBytes;
using test::TempDir;

std::wstring FromUtf8(const std::string& s) {
    std::wstring w(s.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), w.data(),
                                static_cast<int>(w.size()));
    w.resize(n > 0 ? n : 0);
    return w;
}

struct Songs {
    explicit Songs(const std::vector<std::wstring>& paths) {
        for (const auto& p : paths) songs.AddSong(p.c_str(), 1);
        order.resize(paths.size());
        std::iota(order.begin(), order.end(), 0u);
    }
    PlaylistRequest Request(const std::wstring& path, int format) {
        PlaylistRequest r;
        r.sPath = path;
        r.pSongs = &songs;
        r.pOrder = order.data();
        r.nFormat = format;
        r.sTitle = L"Mix";
        r.sVersion = L"3.21";
        return r;
    }
    CSongArray songs;
    std::vector<std::uint32_t> order;
};

}  // namespace

TEST(PlaylistWriter, M3u8ReadsBackAndReplacesAnExistingFile) {
    TempDir tmp(L"swirlo playlist test ");
    std::wstring path = tmp / L"list.m3u8";
    std::vector<std::wstring> paths = {L"C:\\Music\\caf\u00e9.mp3", L"C:\\\u65e5\u672c\\\U0001F3B5 song.mp3",
                                       L"D:\\Rock'n & Roll.mp3"};
    Songs s(paths);
    std::string big(100000, 'x');
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n;
    WriteFile(h, big.data(), static_cast<DWORD>(big.size()), &n, nullptr);
    CloseHandle(h);

    FakeRun ctx;
    ASSERT_TRUE(WritePlaylist(ctx, s.Request(path, kFormatM3u8))) << std::string(ctx.error.Text().begin(), ctx.error.Text().end());
    std::wstring text = FromUtf8(ReadBytes(path));
    std::wstring want = L"#EXTM3U\r\n";
    for (const auto& p : paths) want += p + L"\r\n";
    EXPECT_EQ(text, want);
}

TEST(PlaylistWriter, M3uUsesTheSystemCodePageWithItsDefaultCharacter) {
    TempDir tmp(L"swirlo playlist test ");
    std::wstring path = tmp / L"list.m3u";
    Songs s({L"C:\\caf\u00e9.mp3", L"C:\\\u65e5\u672c.mp3"});
    FakeRun ctx;
    ASSERT_TRUE(WritePlaylist(ctx, s.Request(path, kFormatM3u)));
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(ReadBytes(path), "#EXTM3U\r\nC:\\caf\xe9.mp3\r\nC:\\??.mp3\r\n");  // no such characters in 1252
}

TEST(PlaylistWriter, MissingFolderAndBusyFileAreReportedWithTheSystemText) {
    TempDir tmp(L"swirlo playlist test ");
    Songs s({L"C:\\A.mp3"});
    std::wstring missing = tmp / L"no such folder\\list.m3u8";
    FakeRun ctx;
    EXPECT_FALSE(WritePlaylist(ctx, s.Request(missing, kFormatM3u8)));
    EXPECT_EQ(ctx.error.Text(), L"\r\nError opening file for write:\r\n" + missing +
                                    L"\r\nWindows' error message was:\r\n" + WinErrorText(ERROR_PATH_NOT_FOUND));

    // A file another program holds open without sharing.
    std::wstring busy = tmp / L"busy.m3u8";
    HANDLE h = CreateFileW(busy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FakeRun ctx2;
    EXPECT_FALSE(WritePlaylist(ctx2, s.Request(busy, kFormatM3u8)));
    EXPECT_EQ(ctx2.error.Text(), L"\r\nError opening file for write:\r\n" + busy +
                                     L"\r\nWindows' error message was:\r\n" + WinErrorText(ERROR_SHARING_VIOLATION));
    CloseHandle(h);
}

TEST(PlaylistWriter, ReadOnlyFileIsReportedWithTheSystemText) {
    TempDir tmp(L"swirlo playlist test ");
    Songs s({L"C:\\A.mp3"});
    std::wstring locked = tmp / L"locked.m3u8";
    HANDLE h = CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    FakeRun ctx3;
    bool written = WritePlaylist(ctx3, s.Request(locked, kFormatM3u8));
    if (written && ReadBytes(locked) != "")
        GTEST_SKIP() << "this Wine lets the read-only file be replaced (it runs as root)";
    EXPECT_FALSE(written);
    EXPECT_EQ(ctx3.error.Text(), L"\r\nError opening file for write:\r\n" + locked +
                                     L"\r\nWindows' error message was:\r\n" + WinErrorText(ERROR_ACCESS_DENIED));
}

TEST(PlaylistWriter, StoppedFileIsClosedAndHoldsTheEntriesBeforeStop) {
    TempDir tmp(L"swirlo playlist test ");
    std::wstring path = tmp / L"partial.m3u8";
    std::vector<std::wstring> paths;
    for (int i = 0; i < 500; ++i) paths.push_back(L"C:\\Music\\t" + std::to_wstring(i) + L".mp3");
    Songs s(paths);
    FakeRun ctx;
    ctx.nCancelAtPump = 6;  // Stop seen at entry 100
    EXPECT_FALSE(WritePlaylist(ctx, s.Request(path, kFormatWpl)));
    EXPECT_EQ(ctx.error.Text(), L"\r\nProcessing stopped by user Cancel\r\nShuffled playlist PARTIALLY written:\r\n" + path);
    std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("<media src=\"C:\\Music\\t99.mp3\"/>\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("t100.mp3"), std::string::npos);
    EXPECT_EQ(bytes.find("</seq>"), std::string::npos);
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}
