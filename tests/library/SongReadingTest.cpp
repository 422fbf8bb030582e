// Song reading over an in-memory library: stars from ratings, the date filter, add modes, segments,
// progress, cancel and every failure text.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "library/SongReading.h"
#include "tests/foundation/FailAlloc.h"
#include "tests/library/SongReader.h"

namespace swirlo {
namespace {

using namespace testing;

standin::LibraryItem Song(std::wstring path, std::wstring rating = L"50", int added = 20100101) {
    return {std::move(path), L"", L"", std::move(rating), added};
}
std::vector<standin::LibraryItem> Numbered(int n, int added = 20100101) {
    std::vector<standin::LibraryItem> v;
    for (int i = 0; i < n; ++i) v.push_back(Song(L"C:\\Music\\song" + std::to_wstring(i) + L".mp3", L"50", added));
    return v;
}

TEST(SongReading, LeadingDigitsAndStars) {
    const std::pair<const wchar_t*, int> ints[] = {{L"", 0}, {L"abc", 0}, {L"87", 87}, {L" 50 stars", 50},
                                                   {L"-3", -3}, {L"+4", 4}, {L"99999999999999", 2147483647}};
    for (auto [text, n] : ints) EXPECT_EQ(LeadingInt(text), n) << text;
    const std::pair<int, int> table[] = {{1, 1}, {12, 1}, {13, 2}, {37, 2}, {38, 3}, {62, 3},
                                         {63, 4}, {86, 4}, {87, 5}, {99, 5}, {250, 5}};
    for (auto [rating, stars] : table) EXPECT_EQ(StarsFromRating(rating, 2), stars) << rating;
    // Unrated takes the default, kept within 1 to 5 so that a hand-edited setting cannot index past
    // the frequencies.
    const std::pair<int, int> unrated[] = {{0, 2}, {0, 4}, {-5, 3}, {0, 9}, {0, 0}};
    for (auto [rating, def] : unrated) EXPECT_EQ(StarsFromRating(rating, def), std::clamp(def, 1, 5)) << def;
}

TEST(SongReading, RatingModeUsesEachStarsFrequencyAndTheDefault) {
    MemoryItems items({Song(L"a", L"0"), Song(L"b", L""), Song(L"c", L"12"), Song(L"d", L"13"), Song(L"e", L"86"),
                       Song(L"f", L"87"), Song(L"h", L"x")});
    SongReader r;
    r.env.nDefaultRating = 3;
    ASSERT_EQ(r.Read(items, {0, 11, 12, 13, 14, 15}), 1);
    const std::pair<const wchar_t*, int> counts[] = {{L"a", 13}, {L"b", 13}, {L"h", 13}, {L"c", 11},
                                                     {L"d", 12}, {L"e", 14}, {L"f", 15}};
    for (auto [song, count] : counts) EXPECT_EQ(r.CountOf(song), count) << song;
    EXPECT_EQ(items.overlapping, 0);
}

// Two playlists read into one array: "shared" (rated 99, then 1) and "only1" (rated 1).
TEST(SongReading, AddModesAndIgnoredRepeatsAcrossTwoPlaylists) {
    struct Row { std::initializer_list<int> freq; bool ignoreRepeats; int addMode; int shared, only1; std::uint32_t records; };
    const Row rows[] = {
        {{3, 0, 0, 0, 0, 0}, false, 3, 6, 3, 2},
        {{3, 0, 0, 0, 0, 0}, true, 3, 3, 3, 2},
        {{-1, 0, 0, 0, 0, 0}, false, 3, 1, 1, 2},  // an exclusion lists each song once
        {{0, 1, 2, 3, 4, 5}, false, 3, 6, 1, 2},
        {{0, 0, 2, 3, 4, 5}, false, 3, 5, 0, 1},   // a zero frequency leaves those stars out
        {{1, 0, 0, 0, 0, 0}, false, 1, 1, 1, 3},   // mode 1: one record per play
        {{1, 0, 0, 0, 0, 0}, true, 1, 1, 1, 2},
        {{0, 0, 0, 0, 0, 3}, false, 1, 1, 0, 3},
    };
    for (const Row& row : rows) {
        MemoryItems first({Song(L"shared", L"99"), Song(L"only1", L"1")}), second({Song(L"shared", L"1")});
        SongReader r;
        ASSERT_EQ(r.Read(first, row.freq, row.ignoreRepeats, 0, row.addMode), 1);
        ASSERT_EQ(r.Read(second, row.freq, row.ignoreRepeats, 0, row.addMode), 1);
        EXPECT_EQ(std::vector<int>({r.CountOf(L"shared"), r.CountOf(L"only1"), static_cast<int>(r.target.GetSize())}),
                  std::vector<int>({row.shared, row.only1, static_cast<int>(row.records)}))
            << "row " << &row - rows;
    }
}

TEST(SongReading, DateFilterKeepsTheMinimumDayAndSkipsTheDayBefore) {
    MemoryItems items({Song(L"first", L"50", 20110301), Song(L"before", L"50", 20110228), Song(L"new", L"50", 20110331)});
    SongReader r;
    r.env.nNow = LocalNoon(2011, 3, 31);
    ASSERT_EQ(r.Read(items, {1, 0, 0, 0, 0, 0}, false, 30), 1);
    EXPECT_EQ(std::vector<int>({r.CountOf(L"first"), r.CountOf(L"before"), r.CountOf(L"new")}), std::vector<int>({1, 0, 1}));
    EXPECT_TRUE(r.run.log.Has(L"Filtering by age, nYYYYMMDD_min_date: 20110301"));
}

// A third list would pass the most plays a song can have: the song keeps its count, the log names
// it, and the reading goes on with the songs after it.
TEST(SongReading, ASongPastTheMostPlaysKeepsItsCount) {
    MemoryItems first({Song(L"shared", L"99"), Song(L"only1", L"1")}), second({Song(L"shared", L"1")}),
        third({Song(L"shared", L"1"), Song(L"after", L"1")});
    SongReader full;
    for (MemoryItems* list : {&first, &second, &third}) ASSERT_EQ(full.Read(*list, {99, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(full.CountOf(L"shared"), 198);
    EXPECT_EQ(full.CountOf(L"after"), 99);
    EXPECT_TRUE(full.boxes.empty());
    EXPECT_TRUE(full.run.log.Has(L"kept at 198: shared"));
}

// 2,500 songs read in segments of a thousand, a status after each, the bar moving only forward within
// the run's share; and Stop pressed in the second segment.
TEST(SongReading, ReadsInSegmentsWithProgressAndStopsOnCancel) {
    MemoryItems items(Numbered(2500));
    SongReader r, cancelled;
    r.run.nProg = 40;
    ASSERT_EQ(r.Read(items, {1, 0, 0, 0, 0, 0}, false, 0, 3, 20.0f), 1);
    EXPECT_EQ(r.target.GetSize(), 2500u);
    EXPECT_EQ(r.run.statuses, (std::vector<std::wstring>{L"Reading songs selection 1 of 1 1000 songs read",
                                                         L"Reading songs selection 1 of 1 2000 songs read"}));
    EXPECT_EQ(r.run.nPumps, 249);  // every tenth item but the first
    ASSERT_FALSE(r.run.sent.empty());
    EXPECT_TRUE(std::is_sorted(r.run.sent.begin(), r.run.sent.end(), std::less_equal<int>()));
    EXPECT_GT(r.run.sent.front(), 40);
    EXPECT_EQ(r.run.sent.back(), 40 + static_cast<int>(2490.0f * 20.0f / 2500.0f));

    cancelled.run.nCancelAtPump = 120;
    EXPECT_EQ(cancelled.Read(items, {1, 0, 0, 0, 0, 0}), 0);
    EXPECT_EQ(cancelled.target.GetSize(), 1200u);
    EXPECT_EQ(cancelled.boxes, std::vector<std::wstring>{L"AddToSongArray error|Processing stopped by user Cancel"});
    EXPECT_FALSE(cancelled.run.log.Has(L"LoadSongArray_Playlist finished"));
}

TEST(SongReading, EachFailedLibraryCallEndsTheReadingWithItsText) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"count", L"AddToSongArrayWrapper error|pPlaylist->get_count failed"},
        {L"item", L"AddToSongArray error|cpPlaylist->get_item failed"},
        {L"AcquisitionTimeMonth", L"AddToSongArray error|Error getting date information on song"},
        {L"url", L"AddToSongArray error|cpSong->get_sourceURL failed"},
        {L"UserRating", L"AddToSongArray error|cpSong->getItemInfo (rating) failed"},
    };
    for (auto [call, box] : cases) {
        MemoryItems items(Numbered(30, 20300101));
        items.failOn = call;
        items.failAt = 17;
        SongReader r;
        EXPECT_EQ(r.Read(items, {0, 1, 1, 1, 1, 1}, false, 30), 0) << call;
        EXPECT_EQ(r.boxes, std::vector<std::wstring>{box}) << call;
        EXPECT_EQ(r.target.GetSize(), std::wstring(call) == L"count" ? 0u : 17u) << call;
        EXPECT_EQ(items.open, -1) << call << ": the failed item is released";
    }
}

TEST(SongReading, ARefusedSongIsReportedByItsPath) {
    MemoryItems items(Numbered(3));
    SongReader r;
    {
        testing::FailNextAlloc fail(AllocSite::SongPathCopy);
        EXPECT_EQ(r.Read(items, {2, 0, 0, 0, 0, 0}), 0);
    }
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].rfind(L"AddToSongArray error|Error adding song to song array:\r\nC:\\Music\\song0.mp3", 0), 0u)
        << r.boxes[0];
}

}  // namespace
}  // namespace swirlo
