#include <gtest/gtest.h>

#include <string>
#include <unordered_map>

#include "shuffle/SongArray.h"
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
    EXPECT_EQ(a.AddSong(L"C:\\Music\\b.mp3", 255), 255);
    // Case matters: a different path.
    EXPECT_EQ(a.AddOrIncrement(L"C:\\MUSIC\\a.mp3", 1), 1);
    EXPECT_EQ(a.GetSize(), 3u);
    EXPECT_EQ(a.GetTotal(), 511u);
    EXPECT_EQ(a.GetMaxCount(), 255);
    EXPECT_EQ(a.GetError(false), kNoError);
    // Several records of one path: the newest is found, all are the same song.
    for (int i = 0; i < 2; ++i) ASSERT_EQ(a.AddSong(L"C:\\r.mp3", 1), 1);
    EXPECT_EQ(a.FindSong(L"C:\\r.mp3"), 4);
    EXPECT_TRUE(a.IsSameSong(3, 4));
    EXPECT_FALSE(a.IsSameSong(2, 4));
    EXPECT_EQ(a.GetSong(5), nullptr);
    a.Clear();
    EXPECT_EQ(a.GetSize(), 0u);
    EXPECT_EQ(a.GetTotal(), 0u);
    EXPECT_EQ(a.GetMaxCount(), 0);
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
        EXPECT_EQ(a.GetSize(), 1u);
        EXPECT_EQ(a.GetCount(0), 250);
        EXPECT_EQ(a.GetTotal(), 250u);
    }
}

// Past the first capacity (a refused doubling first, then two doublings): every record, count and
// lookup is kept.
TEST(SongArray, GrowthKeepsEveryRecordAndSurvivesFailures) {
    CSongArray a;
    auto path = [](int i) { return L"D:\\Music\\Artist " + std::to_wstring(i % 977) + L"\\Track " + std::to_wstring(i) + L".mp3"; };
    const int n = 70000;
    std::uint64_t total = 0;
    for (int i = 0; i < n; ++i) {
        const int c = 1 + i % 255;
        if (i == CSongArray::kInitialCapacity) {
            FailNextAlloc fail(AllocSite::SongTableGrowth);
            EXPECT_EQ(a.AddSong(path(i).c_str(), c), 0);
            EXPECT_EQ(a.GetError(false), L"Error while increasing song array size to 65536\r\nError allocating memory for replacement array");
            EXPECT_EQ(a.GetSize(), 32768u);
        }
        ASSERT_EQ(a.AddSong(path(i).c_str(), c), c) << i;
        total += c;
    }
    {
        FailNextAlloc fail(AllocSite::SongPathCopy);
        EXPECT_EQ(a.AddSong(L"more", 1), 0);
        EXPECT_EQ(a.GetError(false), L"Error allocating memory for playlist line (array index 70000)");
    }
    EXPECT_EQ(a.FindSong(L"more"), -1);
    EXPECT_EQ(a.GetSize(), static_cast<std::uint32_t>(n));
    EXPECT_GE(a.Capacity(), 131072u);
    EXPECT_EQ(a.GetTotal(), total);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(a.FindSong(path(i).c_str()), i);
        ASSERT_EQ(std::wstring(a.GetSong(i)), path(i));
        ASSERT_EQ(a.GetCount(i), 1 + i % 255);
    }
}

// Against a plain map as reference: random adds, increments and lookups agree.
TEST(SongArray, RandomOperationsAgreeWithReference) {
    CSongArray a;
    std::unordered_map<std::wstring, int> last;  // newest record index per path
    std::vector<int> counts;
    unsigned s = 12345;
    auto rnd = [&]() { s = s * 1103515245u + 12345u; return (s >> 8) & 0xffff; };
    for (int step = 0; step < 20000; ++step) {
        std::wstring p = L"C:\\" + std::to_wstring(rnd() % 3000) + L".mp3";
        int occ = 1 + rnd() % 5;
        if (rnd() % 2) {
            auto it = last.find(p);
            int got = a.AddOrIncrement(p.c_str(), occ);
            if (it == last.end()) {
                ASSERT_EQ(got, occ);
                last[p] = static_cast<int>(counts.size());
                counts.push_back(occ);
            } else if (counts[it->second] + occ > 255) {
                ASSERT_EQ(got, 0);
            } else {
                counts[it->second] += occ;
                ASSERT_EQ(got, counts[it->second]);
            }
        } else {
            ASSERT_EQ(a.AddSong(p.c_str(), occ), occ);
            last[p] = static_cast<int>(counts.size());
            counts.push_back(occ);
        }
    }
    ASSERT_EQ(a.GetSize(), counts.size());
    std::uint64_t total = 0;
    int mx = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        ASSERT_EQ(a.GetCount(static_cast<std::uint32_t>(i)), counts[i]);
        total += counts[i];
        mx = std::max(mx, counts[i]);
    }
    EXPECT_EQ(a.GetTotal(), total);
    EXPECT_EQ(a.GetMaxCount(), mx);
    for (auto& [p, ix] : last) ASSERT_EQ(a.FindSong(p.c_str()), ix);
}
