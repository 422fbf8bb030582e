#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/foundation/FakeRun.h"
#include "PlaylistFixture.h"
#include "foundation/Utf8.h"
#include "shuffle/playlist/PlaylistText.h"
#include "tests/foundation/SameBytes.h"

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

std::vector<std::wstring> Numbered(int n) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < n; ++i) paths.push_back(L"C:\\Music\\track " + std::to_wstring(i) + L".mp3");
    return paths;
}

// The byte where the line of entry n (1-based) starts: "C:\Music\track N.mp3\r\n" after the header.
std::size_t LineStart(int n) {
    std::size_t at = 9;
    for (int i = 0; i < n - 1; ++i) at += 21 + std::to_string(i).size();
    return at;
}

}  // namespace

// Each character that XML reserves, alone or among others, in XmlEscape and in a written .wpl's
// title and entry; an apostrophe alone stays as it is; a long path is written whole.
TEST(PlaylistText, XmlEscapingInTitlesAndEntries) {
    std::wstring longPath = L"C:\\";
    std::string longEscaped = "C:\\";
    for (int i = 0; i < 3000; ++i) longPath += L"&\u00e9", longEscaped += "&amp;\xc3\xa9";  // written whole
    const std::pair<std::wstring, std::string> rows[] = {
        {longPath, longEscaped},
        {L"C:\\Rock'n Roll.mp3", "C:\\Rock'n Roll.mp3"},
        {L"C:\\Rock'n & Roll.mp3", "C:\\Rock&apos;n &amp; Roll.mp3"},
        {L"C:\\a<b.mp3", "C:\\a&lt;b.mp3"},
        {L"C:\\a>b.mp3", "C:\\a&gt;b.mp3"},
        {L"C:\\\"a\".mp3", "C:\\&quot;a&quot;.mp3"},
        {L"a&amp;\"<>'", "a&amp;amp;&quot;&lt;&gt;&apos;"},
        {L"C:\\\u00c9t\u00e9 & \U0001F3B5.mp3", "C:\\\xc3\x89t\xc3\xa9 &amp; \xf0\x9f\x8e\xb5.mp3"},
    };
    for (const auto& [text, escaped] : rows) {
        EXPECT_EQ(ToUtf8Text(XmlEscape(text)), escaped);
        Playlist p(std::vector<std::wstring>{text});
        PlaylistRequest r = p.Request(kFormatWpl);
        r.sTitle = text;
        r.sVersion = L"3.21\u00df";
        MemoryFile file;
        FakeRun ctx;
        ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, r));
        EXPECT_NE(file.bytes.find("content=\"Swirlo -- 3.21\xc3\x9f\"/>\r\n"), std::string::npos);
        EXPECT_NE(file.bytes.find("<title>" + escaped + "</title>\r\n"), std::string::npos) << escaped;
        EXPECT_NE(file.bytes.find("<media src=\"" + escaped + "\"/>\r\n"), std::string::npos) << escaped;
    }
}

// Each format byte for byte (.wpl: fourteen lines for two songs; .m3u: the code page, .m3u8: UTF-8),
// the songs in the given order, at most the limit; the summary counts the songs written.
TEST(PlaylistText, FormatsOrderAndLimitByteForByte) {
    Playlist p(std::vector<std::wstring>{L"C:\\A.mp3", L"C:\\B & C.mp3", L"C:\\caf\u00e9.mp3", L"C:\\\u03a9mega.mp3"});
    p.order = {3, 2, 1, 0};
    const std::tuple<int, int, std::string> rows[] = {
        {kFormatWpl, 3, "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n<meta name=\"Generator\" content=\"Swirlo -- 3.21\"/>\r\n"
                        "<author/>\r\n<title>Mix</title>\r\n</head>\r\n<body>\r\n<seq>\r\n<media src=\"C:\\\xce\xa9mega.mp3\"/>\r\n"
                        "<media src=\"C:\\caf\xc3\xa9.mp3\"/>\r\n<media src=\"C:\\B &amp; C.mp3\"/>\r\n</seq>\r\n</body>\r\n</smil>\r\n"},
        {kFormatM3u, -1, "#EXTM3U\r\nC:\\?mega.mp3\r\nC:\\caf\xe9.mp3\r\nC:\\B & C.mp3\r\nC:\\A.mp3\r\n"},
        {kFormatM3u8, 9999, "#EXTM3U\r\nC:\\\xce\xa9mega.mp3\r\nC:\\caf\xc3\xa9.mp3\r\nC:\\B & C.mp3\r\nC:\\A.mp3\r\n"},
    };
    for (const auto& [format, limit, bytes] : rows) {
        MemoryFile file;
        FakeRun ctx;
        ctx.bWithLog = true;
        PlaylistWritten written;
        ASSERT_TRUE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(format, limit), &written));
        EXPECT_EQ(file.bytes, bytes);
        EXPECT_EQ(WrittenSummary(ShuffleMethod::Even, p.songs, p.order.data(), written),
                  (limit == 3 ? L"3" : L"4") + std::wstring(L" unique songs in shuffled playlist\n4 total songs including repetitions"));
        EXPECT_FALSE(file.bOpen);
        EXPECT_EQ(ctx.log.lines.back(), L"T " + std::to_wstring(bytes.size()) + L" bytes written to C:\\out\\list.m3u8");
    }
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
    EXPECT_EQ(std::count(file.bytes.begin(), file.bytes.end(), '\n'), 9 + 40);  // no footer
    EXPECT_EQ(file.bytes.substr(file.bytes.size() - 17), "track 39.mp3\"/>\r\n");

    // Far into a long playlist, with stretches formatted ahead on the second thread: still exactly
    // the entries before Stop, in order, whichever thread formatted them; unstopped, all of them, a
    // pump every twenty entries and the bar moved five points from its base.
    const int n = 60000;
    Playlist big(Numbered(n));
    std::string expected = "#EXTM3U\r\n";
    for (int i = 0; i < n; ++i) expected += "C:\\Music\\track " + std::to_string(i) + ".mp3\r\n";
    const std::pair<int, long> rows[] = {{kFormatM3u8, 41220 / 20 + 1}, {kFormatM3u, 41220 / 20 + 1}, {kFormatM3u8, -1}};
    for (auto [format, cancelAt] : rows) {
        MemoryFile longFile;
        FakeRun run;
        run.nCancelAtPump = cancelAt;  // the pump at entry 41,220
        run.nProg = 90;
        EXPECT_EQ(WritePlaylistTo(run, longFile, FakeAnsi, big.Request(format)), cancelAt < 0);
        EXPECT_EQ(run.nPumps, cancelAt < 0 ? n / 20 : cancelAt);
        if (cancelAt < 0) EXPECT_EQ(run.sent, (std::vector<int>{90, 91, 92, 93, 94}));  // five points from its base
        EXPECT_TRUE(SameBytes(longFile.bytes, cancelAt < 0 ? expected : expected.substr(0, LineStart(41221)))) << format;
        EXPECT_FALSE(longFile.bOpen);
    }
}

TEST(PlaylistText, FailuresReportTheirTextsAndNeverSucceed) {
    Playlist p(Numbered(150000));  // about 4 MB of entries, written a block at a time
    std::size_t wplSize;
    {
        MemoryFile probe;
        FakeRun ok;
        ASSERT_TRUE(WritePlaylistTo(ok, probe, FakeAnsi, p.Request(kFormatWpl)));
        wplSize = probe.bytes.size();
    }
    const std::wstring disk = L"\r\nWindows' error message was:\r\nThere is not enough space on the disk.";
    const std::wstring path = L"\r\nC:\\out\\list.m3u8";
    struct Row { int format; std::size_t failAfter; bool hasText; std::wstring text; bool failCreate = false; };
    const Row rows[] = {
        {kFormatM3u, 0, true, L"\r\nError opening file for write:" + path + disk, true},
        {kFormatM3u, 4, true, L"\r\nError writing start of file:" + path + disk},
        // The disk fills inside entry 1,234, or exactly after entry 1,233 or 8,192 (a stretch's last).
        {kFormatM3u8, LineStart(1234) + 7, false,
         L"\r\nError writing song entry 1234 to file:" + path + L"\r\nError attempting to retrieve Windows' error message."},
        {kFormatM3u8, LineStart(1234), true, L"\r\nError writing song entry 1234 to file:" + path + disk},
        {kFormatM3u, LineStart(8193), true, L"\r\nError writing song entry 8193 to file:" + path + disk},
        {kFormatM3u8, LineStart(100000) + 5, true, L"\r\nError writing song entry 100000 to file:" + path + disk},
        {kFormatWpl, wplSize - 3, true, L"\r\nError writing last part of file:" + path + disk},
    };
    for (const Row& r : rows) {
        MemoryFile file;
        file.nFailAfterBytes = r.failAfter;
        file.bHasErrorText = r.hasText;
        file.bFailCreate = r.failCreate;
        FakeRun ctx;
        EXPECT_FALSE(WritePlaylistTo(ctx, file, FakeAnsi, p.Request(r.format)));
        EXPECT_EQ(ctx.error.Text(), r.text);
        EXPECT_EQ(file.bytes.size(), r.failAfter);
        EXPECT_FALSE(file.bOpen);
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
