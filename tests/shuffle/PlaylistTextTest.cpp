#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "FakeRun.h"
#include "library/PlaylistText.h"
#include "shuffle/Utf8.h"

using namespace swirlo;
using namespace swirlo::testing;

namespace {

// Latin-1 with "?" for the rest: a single-byte code page with a default character.
bool FakeAnsi(std::wstring_view text, std::string& out, std::wstring& error) {
    out.clear();
    for (wchar_t c : text) {
        if (c == L'\x1F') {  // stands for a conversion the system refuses
            error = L"WideCharToMultiByte error converting to ANSI";
            return false;
        }
        out.push_back(static_cast<std::uint32_t>(c) < 256 ? static_cast<char>(c) : '?');
    }
    return true;
}

struct Playlist {
    explicit Playlist(const std::vector<std::wstring>& paths) {
        for (const auto& s : paths) songs.AddSong(s.c_str(), 1);
        order.resize(paths.size());
        std::iota(order.begin(), order.end(), 0u);
    }
    CSongArray songs;
    std::vector<std::uint32_t> order;
    PlaylistRequest Request(int format, int limit = -1) {
        PlaylistRequest r;
        r.sPath = L"C:\\out\\list.m3u8";
        r.pSongs = &songs;
        r.pOrder = order.data();
        r.nFormat = format;
        r.nLimit = limit;
        r.sTitle = L"Mix";
        r.sVersion = L"3.21";
        return r;
    }
};

std::vector<std::wstring> Numbered(int n) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < n; ++i) paths.push_back(L"C:\\Music\\track " + std::to_wstring(i) + L".mp3");
    return paths;
}

}  // namespace

TEST(PlaylistText, XmlEscapingKeepsALoneApostropheAndEscapesTheRest) {
    EXPECT_EQ(XmlEscape(L"C:\\Rock'n Roll.mp3"), L"C:\\Rock'n Roll.mp3");
    EXPECT_EQ(XmlEscape(L"C:\\Rock'n & Roll.mp3"), L"C:\\Rock&apos;n &amp; Roll.mp3");
    EXPECT_EQ(XmlEscape(L"a&amp;\"<>'"), L"a&amp;amp;&quot;&lt;&gt;&apos;");
    // Without an ampersand these would make the file unreadable as XML.
    EXPECT_EQ(XmlEscape(L"http://x/a<b>\"c\""), L"http://x/a&lt;b&gt;&quot;c&quot;");
    EXPECT_EQ(XmlEscape(L""), L"");
}

TEST(PlaylistText, WplIsFourteenLinesByteForByte) {
    Playlist p(std::vector<std::wstring>{L"C:\\A.mp3", L"C:\\B & C.mp3"});
    MemoryFile file;
    FakeRun ctx;
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatWpl)));
    EXPECT_EQ(file.bytes,
              "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n<meta name=\"Generator\" content=\"Swirlo -- 3.21\"/>\r\n"
              "<author/>\r\n<title>Mix</title>\r\n</head>\r\n<body>\r\n<seq>\r\n<media src=\"C:\\A.mp3\"/>\r\n"
              "<media src=\"C:\\B &amp; C.mp3\"/>\r\n</seq>\r\n</body>\r\n</smil>\r\n");
    EXPECT_FALSE(file.bOpen);
    EXPECT_TRUE(ctx.error.Empty());
}

TEST(PlaylistText, WplTitleAndVersionAreEscapedUtf8) {
    Playlist p(std::vector<std::wstring>{L"C:\\\u00c9t\u00e9 \U0001F3B5.mp3"});
    PlaylistRequest r = p.Request(kFormatWpl);
    r.sTitle = L"Rock & \u00e9";
    r.sVersion = L"3.21\u00df";
    MemoryFile file;
    FakeRun ctx;
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, r));
    EXPECT_NE(file.bytes.find("content=\"Swirlo -- 3.21\xc3\x9f\"/>\r\n"), std::string::npos);
    EXPECT_NE(file.bytes.find("<title>Rock &amp; \xc3\xa9</title>\r\n"), std::string::npos);
    EXPECT_NE(file.bytes.find("<media src=\"C:\\\xc3\x89t\xc3\xa9 \xf0\x9f\x8e\xb5.mp3\"/>\r\n"), std::string::npos);
}

TEST(PlaylistText, M3uUsesTheCodePageAndM3u8Utf8) {
    Playlist p(std::vector<std::wstring>{L"C:\\a.mp3", L"C:\\caf\u00e9.mp3", L"C:\\\u03a9mega.mp3"});
    MemoryFile file;
    FakeRun ctx;
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u)));
    EXPECT_EQ(file.bytes, "#EXTM3U\r\nC:\\a.mp3\r\nC:\\caf\xe9.mp3\r\nC:\\?mega.mp3\r\n");
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u8)));
    EXPECT_EQ(file.bytes, "#EXTM3U\r\nC:\\a.mp3\r\nC:\\caf\xc3\xa9.mp3\r\nC:\\\xce\xa9mega.mp3\r\n");
}

TEST(PlaylistText, LimitAndOrderChooseTheEntries) {
    Playlist p(Numbered(5));
    p.order = {4, 2, 0, 1, 3};
    MemoryFile file;
    FakeRun ctx;
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u8, 2)));
    EXPECT_EQ(file.bytes, "#EXTM3U\r\nC:\\Music\\track 4.mp3\r\nC:\\Music\\track 2.mp3\r\n");
    for (int limit : {9999, -1}) {
        ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u8, limit)));
        EXPECT_EQ(std::count(file.bytes.begin(), file.bytes.end(), '\n'), 6);
    }
    // With the log open the byte count is logged.
    ctx.bWithLog = true;
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u8)));
    EXPECT_EQ(ctx.log.lines.back(), L"T " + std::to_wstring(file.bytes.size()) + L" bytes written to C:\\out\\list.m3u8");
}

TEST(PlaylistText, NothingToWriteCreatesNoFile) {
    Playlist p(std::vector<std::wstring>{});
    MemoryFile file;
    FakeRun ctx;
    EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatWpl)));
    EXPECT_EQ(ctx.error.Text(), L"\r\nProgram logic error\r\nWritePlaylist called with 0 songs to write");
    Playlist q(Numbered(3));
    EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, q.Request(kFormatM3u, 0)));
    EXPECT_EQ(ctx.error.Text(), L"\r\nProgram logic error\r\nWritePlaylist called with 0 songs to write");
    EXPECT_EQ(file.nCreates, 0);
}

TEST(PlaylistText, StopLeavesEveryFormattedEntryWithoutFooter) {
    Playlist p(Numbered(100));
    MemoryFile file;
    FakeRun ctx;
    ctx.nCancelAtPump = 3;  // pumps at entries 0, 20, 40: Stop is seen at entry 40
    EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatWpl)));
    EXPECT_EQ(ctx.error.Text(),
              L"\r\nProcessing stopped by user Cancel\r\nShuffled playlist PARTIALLY written:\r\nC:\\out\\list.m3u8");
    EXPECT_FALSE(file.bOpen);
    EXPECT_EQ(std::count(file.bytes.begin(), file.bytes.end(), '\n'), 9 + 40);
    EXPECT_NE(file.bytes.find("track 39.mp3\"/>\r\n"), std::string::npos);
    EXPECT_EQ(file.bytes.find("</seq>"), std::string::npos);

    // Far into a long playlist, with stretches formatted ahead on the second thread: still exactly
    // the entries before Stop, in order, whichever thread formatted them.
    const int n = 60000;
    Playlist big(Numbered(n));
    std::string expected = "#EXTM3U\r\n";
    for (int i = 0; i < 41220; ++i) expected += "C:\\Music\\track " + std::to_string(i) + ".mp3\r\n";
    for (int format : {kFormatM3u8, kFormatM3u}) {
        MemoryFile longFile;
        FakeRun stopped;
        stopped.nCancelAtPump = 41220 / 20 + 1;  // the pump at entry 41,220
        EXPECT_FALSE(WritePlaylistTo(stopped, longFile, FakeAnsi, big.Request(format)));
        EXPECT_EQ(longFile.bytes, expected) << "format " << format;
        EXPECT_FALSE(longFile.bOpen);
    }
}

TEST(PlaylistText, ProgressMovesFivePointsFromItsBase) {
    Playlist p(Numbered(1000));
    MemoryFile file;
    FakeRun ctx;
    ctx.nProg = 90;
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u8)));
    EXPECT_EQ(ctx.sent, (std::vector<int>{90, 91, 92, 93, 94}));
    EXPECT_EQ(ctx.nPumps, 50);
}

TEST(PlaylistText, FailuresReportTheirTextsAndNeverSucceed) {
    Playlist p(Numbered(5000));
    const std::wstring disk = L"\r\nWindows' error message was:\r\nThere is not enough space on the disk.";
    {
        MemoryFile file;
        file.bFailCreate = true;
        file.sErrorText = L"The system cannot find the path specified.";
        FakeRun ctx;
        EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u)));
        EXPECT_EQ(ctx.error.Text(), L"\r\nError opening file for write:\r\nC:\\out\\list.m3u8\r\nWindows' error message "
                                    L"was:\r\nThe system cannot find the path specified.");
    }
    {
        MemoryFile file;
        file.nFailAfterBytes = 4;
        FakeRun ctx;
        EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u)));
        EXPECT_EQ(ctx.error.Text(), L"\r\nError writing start of file:\r\nC:\\out\\list.m3u8" + disk);
        EXPECT_FALSE(file.bOpen);
    }
    {
        // Entry lines are "C:\Music\track N.mp3\r\n"; the disk fills inside entry 1,234 (1-based).
        std::size_t at = 9;
        for (int i = 0; i < 1233; ++i) at += 21 + std::to_string(i).size();
        MemoryFile file;
        file.nFailAfterBytes = at + 7;
        file.bHasErrorText = false;
        FakeRun ctx;
        EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u8)));
        EXPECT_EQ(ctx.error.Text(), L"\r\nError writing song entry 1234 to file:\r\nC:\\out\\list.m3u8\r\n"
                                    L"Error attempting to retrieve Windows' error message.");
        EXPECT_EQ(file.bytes.size(), at + 7);
        EXPECT_FALSE(file.bOpen);
    }
    {
        MemoryFile probe;
        FakeRun ok;
        ASSERT_TRUE(WritePlaylistTo(ok, probe, FakeAnsi, p.Request(kFormatWpl)));
        MemoryFile file;
        file.nFailAfterBytes = probe.bytes.size() - 3;
        FakeRun ctx;
        EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatWpl)));
        EXPECT_EQ(ctx.error.Text(), L"\r\nError writing last part of file:\r\nC:\\out\\list.m3u8" + disk);
    }
    {
        Playlist bad(std::vector<std::wstring>{L"C:\\ok.mp3", L"C:\\bad\x1F.mp3", L"C:\\later.mp3"});
        MemoryFile file;
        FakeRun ctx;
        EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, bad.Request(kFormatM3u)));
        EXPECT_EQ(ctx.error.Text(), L"\r\nError converting song path from UTF-16 to ANSI for playlist file\n"
                                    L"WideCharToMultiByte error converting to ANSI\nSong path in UTF-16:\nC:\\bad\x1F.mp3");
        EXPECT_EQ(file.bytes, "#EXTM3U\r\nC:\\ok.mp3\r\n");
    }
}

// Long playlists are written a block at a time while the next block is formatted: a failure in a
// later block still names the first entry that did not reach the file, and nothing after it is
// written.
TEST(PlaylistText, AFailureSeveralBlocksInNamesItsEntry) {
    const int n = 150000;  // about 4 MB of entries
    Playlist p(Numbered(n));
    std::size_t at = 9;    // "#EXTM3U\r\n"
    const int failing = 100000;  // 1-based, well past the first blocks
    for (int i = 0; i < failing - 1; ++i) at += 21 + std::to_string(i).size();
    MemoryFile file;
    file.nFailAfterBytes = at + 5;
    FakeRun ctx;
    EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatM3u8)));
    EXPECT_EQ(ctx.error.Text().rfind(L"\r\nError writing song entry " + std::to_wstring(failing) + L" to file:", 0), 0u)
        << std::string(ctx.error.Text().begin(), ctx.error.Text().end());
    EXPECT_EQ(file.bytes.size(), at + 5);

    // Written whole, the same playlist is byte for byte what one pass of formatting gives.
    MemoryFile whole;
    FakeRun ok;
    ASSERT_TRUE(WritePlaylistTo(ok, whole, FakeAnsi, p.Request(kFormatM3u8)));
    std::string expected = "#EXTM3U\r\n";
    for (int i = 0; i < n; ++i) expected += "C:\\Music\\track " + std::to_string(i) + ".mp3\r\n";
    EXPECT_EQ(whole.bytes, expected);
}

TEST(PlaylistText, LongPathsAreWrittenWhole) {
    std::wstring longPath = L"C:\\";
    for (int i = 0; i < 3000; ++i) longPath += L"&\u00e9";
    Playlist p(std::vector<std::wstring>{longPath});
    MemoryFile file;
    FakeRun ctx;
    ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(kFormatWpl)));
    std::string want = "<media src=\"C:\\";
    for (int i = 0; i < 3000; ++i) want += "&amp;\xc3\xa9";
    EXPECT_NE(file.bytes.find(want + "\"/>\r\n"), std::string::npos);
}

namespace {

// An independent UTF-8 reader for the round trip: code points back to wchar_t text.
std::wstring DecodeUtf8(const std::string& s) {
    std::wstring out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        std::uint32_t c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += len;
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

}  // namespace

TEST(PlaylistText, Utf8RoundTripsAndReplacesLoneSurrogates) {
    std::mt19937 gen(3);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        const int len = static_cast<int>(gen() % 70);
        // Mostly other characters, the odd one among long ASCII runs, or ASCII alone: the runs
        // and the last few characters take other ways through the encoder.
        const unsigned oneIn = round % 3 == 0 ? 3 : round % 3 == 1 ? 25 : ~0u;
        for (int i = 0; i < len; ++i) {
            std::uint32_t c = gen() % oneIn ? 0x20 + gen() % 0x5F : 0x80 + gen() % 0x10FF80;
            if (c >= 0xD800 && c <= 0xDFFF) c = 0xE000;
            if (c >= 0x10000 && sizeof(wchar_t) == 2) {
                text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                text += static_cast<wchar_t>(c);
            }
        }
        ASSERT_EQ(DecodeUtf8(ToUtf8Text(text)), text) << "round " << round;
    }
    EXPECT_EQ(ToUtf8Text(std::wstring(L"a") + static_cast<wchar_t>(0xD800) + L"bcdefghijklmnopqrstuvwxyz"),
              "a\xef\xbf\xbd" "bcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(ToUtf8Text(std::wstring(1, static_cast<wchar_t>(0xDC00))), "\xef\xbf\xbd");
}
