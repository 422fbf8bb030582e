#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shuffle/core/SongArray.h"
#include "tests/foundation/FailAlloc.h"

using namespace swirlo;
using swirlo::testing::FailNextAlloc;

namespace {
const std::wstring kNoError = L"No error recorded in SongArray class";
}

TEST(SongArray, CountsUpTo255AreTakenAndTotalsFollow) {
    CSongArray a;
    EXPECT_EQ(a.AddOrIncrement(L"C:\\Music\\a.mp3", 3), 3);
    EXPECT_EQ(a.AddOrIncrement(L"C:\\Music\\a.mp3", 252), 255);
    EXPECT_EQ(a.GetMaxCount(), 255);
    EXPECT_EQ(a.AddSong(L"C:\\Music\\b.mp3", 255), 255);
    EXPECT_EQ(a.AddOrIncrement(L"C:\\MUSIC\\a.mp3", 1), 1);  // case matters: a different path
    // Several records of one path: the newest is found, all are the same song.
    for (int i = 0; i < 2; ++i) ASSERT_EQ(a.AddSong(L"C:\\r.mp3", 1), 1);
    EXPECT_EQ(a.FindSong(L"C:\\r.mp3"), 4);
    EXPECT_TRUE(a.IsSameSong(3, 4));
    EXPECT_FALSE(a.IsSameSong(2, 4));
    EXPECT_EQ(a.GetTotal(), 513u);
    EXPECT_EQ(a.GetError(false), kNoError);
    a.Clear();
    EXPECT_EQ(a.GetSize() + a.GetTotal() + a.GetMaxCount(), 0u);
    EXPECT_EQ(a.FindSong(L"C:\\r.mp3"), -1);
}

TEST(SongArray, RefusedAddsLeaveTheArrayAsItWasWithTheirTexts) {
    struct Row { int (*call)(CSongArray&); std::wstring text; };
    const Row rows[] = {
        {[](CSongArray& a) { return a.AddOrIncrement(L"C:\\x\\song.mp3", 6); },
         L"Attempt to add 6 repetitions for song\r\nC:\\x\\song.mp3\r\nwould raise total repetitions to 256\r\nMaximum allowed is 255"},
        {[](CSongArray& a) { return a.AddSong(L"C:\\x\\b.mp3", 256); },
         L"Number of song occurrences 256 greater than max allowed 255\r\nC:\\x\\b.mp3"},
        {[](CSongArray& a) { return a.AddSong(L"C:\\x\\b.mp3", 0); }, L"SongArray class error:\r\nAttempted to add song with 0 occurrences"},
        {[](CSongArray& a) { return a.AddSong(L"", 1); }, L"SongArray class error:\r\nNull or empty song file parameter"},
        {[](CSongArray& a) { return a.AddOrIncrement(L"C:\\x\\b.mp3", 0); },
         L"SongArray class error:\r\nAttempted to increment song by 0 occurrences"},
    };
    for (const Row& r : rows) {
        CSongArray a;
        ASSERT_EQ(a.AddSong(L"C:\\x\\song.mp3", 250), 250);
        EXPECT_EQ(r.call(a), 0);
        EXPECT_EQ(a.GetError(true), r.text);
        EXPECT_EQ(a.GetError(false), kNoError);
        EXPECT_EQ((std::vector<std::uint64_t>{a.GetSize(), std::uint64_t(a.GetCount(0)), a.GetTotal()}),
                  (std::vector<std::uint64_t>{1, 250, 250}));
    }
}

// Past the first capacity (a refused doubling first, then two doublings): every record, count and
// lookup is kept; a refused path copy adds nothing.
TEST(SongArray, GrowthKeepsEveryRecordAndSurvivesFailures) {
    CSongArray a;
    auto path = [](int i) { return L"D:\\Music\\Artist " + std::to_wstring(i % 977) + L"\\Track " + std::to_wstring(i) + L".mp3"; };
    const int n = 70000;
    for (int i = 0; i < n; ++i) {
        if (i == CSongArray::kInitialCapacity) {
            FailNextAlloc fail(AllocSite::SongTableGrowth);
            EXPECT_EQ(a.AddSong(path(i).c_str(), 1), 0);
            EXPECT_EQ(a.GetError(false), L"Error while increasing song array size to 65536\r\nError allocating memory for replacement array");
        }
        ASSERT_EQ(a.AddSong(path(i).c_str(), 1 + i % 255), 1 + i % 255) << i;
    }
    {
        FailNextAlloc fail(AllocSite::SongPathCopy);
        EXPECT_EQ(a.AddSong(L"more", 1), 0);
        EXPECT_EQ(a.GetError(false), L"Error allocating memory for playlist line (array index 70000)");
    }
    EXPECT_EQ(a.FindSong(L"more"), -1);
    EXPECT_EQ(a.GetSize(), static_cast<std::uint32_t>(n));
    std::uint64_t total = 0;
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(a.FindSong(path(i).c_str()), i);
        ASSERT_EQ(std::wstring(a.GetSong(i)), path(i));
        ASSERT_EQ(a.GetCount(i), 1 + i % 255);
        total += a.GetCount(i);
    }
    EXPECT_EQ(a.GetTotal(), total);
}
