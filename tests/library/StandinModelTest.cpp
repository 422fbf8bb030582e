// The stand-in's library file.
#include <gtest/gtest.h>

#include <tuple>

#include "standin/LibraryModel.h"

namespace swirlo::standin {
namespace {

const char kSample[] =
    "\xEF\xBB\xBF# a comment\r\n"
    "SWIRLO-LIBRARY 1\r\n"
    "\r\n"
    "song\tC:\\Music\\A\\01 One.mp3\tOne\tRock\t99\t20110301\r\n"
    "song\tC:\\Music\\B\\02 Caf\xC3\xA9.mp3\tCaf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x8E\xB5\trock\t\t\r\n"
    "song\tC:\\Music\\C\\03 Three.mp3\tThree\t\t13\t19991231\n"
    "playlist\tMix\tstatic\tC:\\Lists\\Mix.wpl\n"
    "entry\t3\n"
    "entry\t1\n"
    "playlist\tOne\tauto\t\n"
    "delay\t*\t5\ndelay\tplaylist.get_item\t20\n";

TEST(StandinModel, ParsesSongsPlaylistsAndPlaylistFiles) {
    LibraryModel m;
    ASSERT_EQ(m.Parse(kSample), 1) << std::string(m.sReason.begin(), m.sReason.end());
    ASSERT_EQ(m.items.size(), 4u);  // the playlist with a file is an item too
    const std::wstring note = sizeof(wchar_t) == 2 ? std::wstring{wchar_t(0xD83C), wchar_t(0xDFB5)} : std::wstring(1, wchar_t(0x1F3B5));
    EXPECT_EQ(m.items[1].sTitle, L"Caf\u00e9 \u20ac" + note);
    ASSERT_EQ(m.playlists.size(), 2u);
    EXPECT_EQ(m.playlists[0].items, (std::vector<std::uint32_t>{2, 0}));
    EXPECT_TRUE(!m.playlists[0].bAuto && m.playlists[1].bAuto && m.playlists[1].items.empty());
    // Genres: distinct without regard to case, the empty one included, in first-seen order.
    EXPECT_EQ(m.Genres(), (std::vector<std::wstring>{L"Rock", L""}));
    EXPECT_EQ(m.ByGenre(L"ROCK"), (std::vector<std::uint32_t>{0, 1}));
    // By name: the song called One and nothing else; Mix finds the playlist file.
    EXPECT_EQ(m.ByName(L"one"), (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(m.ByName(L"Mix"), (std::vector<std::uint32_t>{3}));
    const std::tuple<int, const wchar_t*, const wchar_t*> info[] = {
        {0, L"MediaType", L"audio"}, {0, L"NoSuchAttribute", L""}, {1, L"AcquisitionTimeDay", L""},
        {3, L"MediaType", L"playlist"}, {3, L"SourceURL", L"C:\\Lists\\Mix.wpl"}};
    for (auto [i, name, value] : info) EXPECT_EQ(LibraryModel::ItemInfo(m.items[i], name), value) << i << name;
    EXPECT_EQ(m.DelayOf(L"playlist.get_item") * 100 + m.DelayOf(L"item.getItemInfo"), 2505u);
}

TEST(StandinModel, AFaultyFileGivesAnEmptyLibraryAndNamesTheLine) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"", L"Library file line 1: the file is empty"},
        {"SWIRLO-LIBRARY 2\n", L"Library file line 1: the first record must be"},
        {"SWIRLO-LIBRARY 1\nsong\ta\tb\tc\t1\n", L"Library file line 2: a song needs 5 fields"},
        {"SWIRLO-LIBRARY 1\nsong\ta\tb\tc\t100\t\n", L"Library file line 2: rating must be"},
        {"SWIRLO-LIBRARY 1\nsong\t\tb\tc\t1\t\n", L"Library file line 2: a song needs a path"},
        {"SWIRLO-LIBRARY 1\nsong\ta\xC3\tb\tc\t1\t\n", L"Library file line 2: text is not UTF-8"},
        {"SWIRLO-LIBRARY 1\nentry\t1\n", L"Library file line 2: an entry must follow a playlist"},
        {"SWIRLO-LIBRARY 1\nplaylist\tp\tauto\t\nentry\t2\n", L"Library file: playlist 1 names song 2 of 0"},
        {"SWIRLO-LIBRARY 1\nfail\tplayer.play\n", L"Library file line 2: fail needs one call name"},
        {"SWIRLO-LIBRARY 1\ndelay\t*\tsoon\n", L"Library file line 2: delay needs a call name"},
    };
    for (auto [text, reason] : cases) {
        LibraryModel m;
        m.Parse(kSample);
        EXPECT_EQ(m.Parse(text), 0) << text;
        EXPECT_EQ(m.sReason.rfind(reason, 0), 0u) << text << " gave " << std::string(m.sReason.begin(), m.sReason.end());
        EXPECT_TRUE(m.items.empty() && m.playlists.empty() && m.Genres().empty() && m.AudioItems().empty()) << text;
    }
}

}  // namespace
}  // namespace swirlo::standin
