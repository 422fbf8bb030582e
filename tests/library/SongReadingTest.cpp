// Song reading over an in-memory library: stars from ratings, the date filter, add modes, segments,
// progress, cancel and every failure text.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "library/SongReading.h"
#include "tests/library/FakeRun.h"

namespace swirlo {
namespace {

using testing::BoxRecorder;
using testing::FakeRun;
using testing::LocalNoon;
using Reader = testing::SongReader;

struct Song {
    std::wstring path;
    std::wstring rating;
    int added = 0;  // yyyymmdd
};

// A library playlist object in memory; failOn names a call that fails at item failAt.
class MemoryItems : public LibraryItems {
public:
    explicit MemoryItems(std::vector<Song> s) : songs(std::move(s)) {}
    bool GetCount(long& n) override {
        if (failOn == L"count") return false;
        n = static_cast<long>(songs.size());
        return true;
    }
    bool OpenItem(long i) override {
        if (open >= 0) ++overlapping;  // an item not closed before the next is opened
        if (failOn == L"item" && i == failAt) return false;
        open = i;
        ++opened;
        return true;
    }
    bool GetInfo(const wchar_t* attribute, std::wstring& value) override {
        std::wstring a = attribute;
        if (failOn == a && open == failAt) return false;
        const Song& s = songs[static_cast<std::size_t>(open)];
        if (a == L"UserRating") value = s.rating;
        else if (a == L"AcquisitionTimeYear") value = std::to_wstring(s.added / 10000);
        else if (a == L"AcquisitionTimeMonth") value = std::to_wstring(s.added / 100 % 100);
        else if (a == L"AcquisitionTimeDay") value = std::to_wstring(s.added % 100);
        else value.clear();
        return true;
    }
    bool GetSourceUrl(std::wstring& url) override {
        if (failOn == L"url" && open == failAt) return false;
        url = songs[static_cast<std::size_t>(open)].path;
        return true;
    }
    void CloseItem() override { open = -1; }

    std::vector<Song> songs;
    std::wstring failOn;
    long failAt = -1;
    long open = -1;
    int opened = 0;
    int overlapping = 0;
};

std::vector<Song> Numbered(int n, const wchar_t* rating = L"50", int added = 20100101) {
    std::vector<Song> v;
    for (int i = 0; i < n; ++i) v.push_back({L"C:\\Music\\song" + std::to_wstring(i) + L".mp3", rating, added});
    return v;
}

TEST(SongReading, LeadingDigitsAndStars) {
    EXPECT_EQ(LeadingInt(L""), 0);
    EXPECT_EQ(LeadingInt(L"abc"), 0);
    EXPECT_EQ(LeadingInt(L"87"), 87);
    EXPECT_EQ(LeadingInt(L" 50 stars"), 50);
    EXPECT_EQ(LeadingInt(L"-3"), -3);
    EXPECT_EQ(LeadingInt(L"99999999999999"), 2147483647);
    const std::pair<int, int> table[] = {{1, 1}, {12, 1}, {13, 2}, {37, 2}, {38, 3}, {62, 3},
                                         {63, 4}, {86, 4}, {87, 5}, {99, 5}, {250, 5}};
    for (auto [rating, stars] : table) EXPECT_EQ(StarsFromRating(rating, 2), stars) << rating;
    EXPECT_EQ(StarsFromRating(0, 2), 2);
    EXPECT_EQ(StarsFromRating(0, 4), 4);
    EXPECT_EQ(StarsFromRating(-5, 3), 3);
    // A default outside 1 to 5 (a hand-edited setting) must not index past the frequencies.
    EXPECT_EQ(StarsFromRating(0, 9), 5);
    EXPECT_EQ(StarsFromRating(0, 0), 1);
}

TEST(SongReading, RatingModeUsesEachStarsFrequencyAndTheDefault) {
    MemoryItems items({{L"a", L"0"}, {L"b", L""}, {L"c", L"12"}, {L"d", L"13"}, {L"e", L"86"},
                       {L"f", L"87"}, {L"g", L"99"}, {L"h", L"x"}});
    Reader r;
    r.env.nDefaultRating = 3;
    ASSERT_EQ(r.Read(items, {0, 11, 12, 13, 14, 15}), 1);
    EXPECT_EQ(r.CountOf(L"a"), 13);
    EXPECT_EQ(r.CountOf(L"b"), 13);
    EXPECT_EQ(r.CountOf(L"h"), 13);
    EXPECT_EQ(r.CountOf(L"c"), 11);
    EXPECT_EQ(r.CountOf(L"d"), 12);
    EXPECT_EQ(r.CountOf(L"e"), 14);
    EXPECT_EQ(r.CountOf(L"f"), 15);
    EXPECT_EQ(r.CountOf(L"g"), 15);
    EXPECT_TRUE(r.boxes.boxes.empty());
    EXPECT_EQ(items.overlapping, 0);
}

TEST(SongReading, ZeroFrequencyLeavesThoseStarsOut) {
    MemoryItems items({{L"one", L"1"}, {L"two", L"25"}, {L"unrated", L""}});
    Reader r;
    r.env.nDefaultRating = 1;
    ASSERT_EQ(r.Read(items, {0, 0, 2, 3, 4, 5}), 1);
    EXPECT_EQ(r.target.GetSize(), 1u);
    EXPECT_EQ(r.CountOf(L"two"), 2);
}

TEST(SongReading, DateFilterKeepsTheMinimumDayAndSkipsTheDayBefore) {
    MemoryItems items({{L"first", L"50", 20110301}, {L"before", L"50", 20110228}, {L"new", L"50", 20110331}});
    Reader r;
    r.env.nNow = LocalNoon(2011, 3, 31);
    ASSERT_EQ(r.Read(items, {1, 0, 0, 0, 0, 0}, false, 30), 1);
    EXPECT_EQ(r.CountOf(L"first"), 1);
    EXPECT_EQ(r.CountOf(L"before"), 0);
    EXPECT_EQ(r.CountOf(L"new"), 1);
    EXPECT_EQ(r.run.log.lines.at(1), L"Filtering by age, nYYYYMMDD_min_date: 20110301");
}

TEST(SongReading, SameCountAcrossTwoPlaylistsAddsUpUnlessRepeatsAreIgnored) {
    MemoryItems first({{L"shared", L"99"}, {L"only1", L"1"}});
    MemoryItems second(std::vector<Song>{{L"shared", L"1"}});
    Reader plain;
    ASSERT_EQ(plain.Read(first, {3, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(plain.Read(second, {3, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(plain.CountOf(L"shared"), 6);
    EXPECT_EQ(plain.CountOf(L"only1"), 3);
    Reader deduped;
    ASSERT_EQ(deduped.Read(first, {3, 0, 0, 0, 0, 0}, true), 1);
    ASSERT_EQ(deduped.Read(second, {3, 0, 0, 0, 0, 0}, true), 1);
    EXPECT_EQ(deduped.CountOf(L"shared"), 3);
    // A third list would pass the most plays a song can have: the song keeps its count, the log
    // names it, and the reading goes on with the songs after it.
    MemoryItems third({{L"shared", L"1"}, {L"after", L"1"}});
    Reader full;
    for (MemoryItems* list : {&first, &second, &third}) ASSERT_EQ(full.Read(*list, {99, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(full.CountOf(L"shared"), 198);
    EXPECT_EQ(full.CountOf(L"after"), 99);
    EXPECT_TRUE(full.boxes.boxes.empty());
    EXPECT_NE(std::find_if(full.run.log.lines.begin(), full.run.log.lines.end(),
                           [](const std::wstring& l) { return l.find(L"kept at 198: shared") != std::wstring::npos; }),
              full.run.log.lines.end());
}

TEST(SongReading, ExclusionAddsEachSongOnceWhateverItsRating) {
    MemoryItems first({{L"shared", L"99"}, {L"low", L"1"}});
    MemoryItems second(std::vector<Song>{{L"shared", L"50"}});
    Reader r;
    ASSERT_EQ(r.Read(first, {-1, 0, 0, 0, 0, 0}, false), 1);  // ignore-repeats is forced on
    ASSERT_EQ(r.Read(second, {-1, 0, 0, 0, 0, 0}, false), 1);
    EXPECT_EQ(r.target.GetSize(), 2u);
    EXPECT_EQ(r.CountOf(L"shared"), 1);
    EXPECT_EQ(r.CountOf(L"low"), 1);
}

TEST(SongReading, AddModeOneAddsOneRecordPerPlay) {
    MemoryItems items({{L"a", L"99"}, {L"b", L"1"}});
    Reader r;
    ASSERT_EQ(r.Read(items, {0, 0, 0, 0, 0, 3}, false, 0, 1), 1);
    EXPECT_EQ(r.target.GetSize(), 3u);
    EXPECT_EQ(r.target.GetTotal(), 3u);
    ASSERT_EQ(r.Read(items, {0, 0, 0, 0, 0, 3}, true, 0, 1), 1);  // already there: left alone
    EXPECT_EQ(r.target.GetSize(), 3u);
}

TEST(SongReading, ReadsInSegmentsOfAThousandWithAStatusPerSegment) {
    MemoryItems items(Numbered(2500));
    Reader r;
    ASSERT_EQ(r.Read(items, {1, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(r.target.GetSize(), 2500u);
    EXPECT_EQ(r.run.statuses, (std::vector<std::wstring>{L"Reading songs selection 1 of 1 1000 songs read",
                                                         L"Reading songs selection 1 of 1 2000 songs read"}));
    std::vector<std::wstring> segments;
    for (const auto& l : r.run.log.lines)
        if (l.rfind(L"AddToSongArray for segment", 0) == 0) segments.push_back(l);
    EXPECT_EQ(segments, (std::vector<std::wstring>{L"AddToSongArray for segment begin, indexes 0 to 999)",
                                                   L"AddToSongArray for segment begin, indexes 1000 to 1999)",
                                                   L"AddToSongArray for segment begin, indexes 2000 to 2499)"}));
    EXPECT_EQ(r.run.log.lines.front(), L"AddToSongArrayWrapper begin");
    EXPECT_EQ(r.run.log.lines.back(), L"LoadSongArray_Playlist finished");
    EXPECT_EQ(r.run.pumps, 249);  // every tenth item but the first

    Reader aged;
    aged.env.nNow = LocalNoon(2011, 3, 31);
    MemoryItems old(Numbered(1500));
    ASSERT_EQ(aged.Read(old, {1, 0, 0, 0, 0, 0}, false, 30), 1);
    EXPECT_EQ(aged.target.GetSize(), 0u);
    EXPECT_EQ(aged.run.statuses, std::vector<std::wstring>{L"Reading songs selection 1 of 1 1000 songs screened for age"});
}

TEST(SongReading, ProgressMovesOnlyForwardWithinTheShare) {
    MemoryItems items(Numbered(777));
    Reader r;
    r.run.m_nProgPos = 40;
    ASSERT_EQ(r.Read(items, {1, 0, 0, 0, 0, 0}, false, 0, 3, 20.0f), 1);
    ASSERT_FALSE(r.run.positions.empty());
    int last = 40;
    for (int p : r.run.positions) {
        EXPECT_GT(p, last);
        last = p;
    }
    EXPECT_EQ(last, 40 + static_cast<int>(770.0f * 20.0f / 777.0f));
}

TEST(SongReading, CancelStopsTheReadingWithItsMessage) {
    MemoryItems items(Numbered(2500));
    Reader r;
    r.run.cancelAfterPumps = 120;  // during the second segment
    EXPECT_EQ(r.Read(items, {1, 0, 0, 0, 0, 0}), 0);
    EXPECT_EQ(r.run.pumps, 120);
    EXPECT_EQ(r.target.GetSize(), 1200u);
    EXPECT_EQ(r.boxes.boxes, std::vector<std::wstring>{L"AddToSongArray error|Processing stopped by user Cancel"});
    EXPECT_NE(r.run.log.lines.back(), L"LoadSongArray_Playlist finished");
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
        MemoryItems items(Numbered(30, L"50", 20300101));
        items.failOn = call;
        items.failAt = 17;
        Reader r;
        EXPECT_EQ(r.Read(items, {0, 1, 1, 1, 1, 1}, false, 30), 0) << call;
        EXPECT_EQ(r.boxes.boxes, std::vector<std::wstring>{box}) << call;
        EXPECT_EQ(r.target.GetSize(), std::wstring(call) == L"count" ? 0u : 17u) << call;
        EXPECT_EQ(items.open, -1) << call << ": the failed item is released";
    }
}

TEST(SongReading, ARefusedSongAndAnImpossibleDateAreReported) {
    MemoryItems items(Numbered(3));
    Reader r;
    r.target.FailNext(CSongArray::FailPoint::PathCopy);
    EXPECT_EQ(r.Read(items, {2, 0, 0, 0, 0, 0}), 0);
    ASSERT_EQ(r.boxes.boxes.size(), 1u);
    EXPECT_EQ(r.boxes.boxes[0].rfind(L"AddToSongArray error|Error adding song to song array:\r\nC:\\Music\\song0.mp3", 0), 0u)
        << r.boxes.boxes[0];

    Reader early;
    early.env.nNow = 86400 * 10;
    EXPECT_EQ(early.Read(items, {2, 0, 0, 0, 0, 0}, false, 11), 0);
    EXPECT_EQ(early.boxes.boxes,
              std::vector<std::wstring>{L"AddToSongArrayWrapper error|Error calculating minimum date added"});
}

TEST(SongReading, AnEmptyPlaylistReadsNothingAndSucceeds) {
    MemoryItems items(std::vector<Song>{});
    Reader r;
    EXPECT_EQ(r.Read(items, {0, 1, 1, 1, 1, 1}), 1);
    EXPECT_EQ(r.target.GetSize(), 0u);
    EXPECT_TRUE(r.run.statuses.empty());
}

}  // namespace
}  // namespace swirlo
