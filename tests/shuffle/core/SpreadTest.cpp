#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "shuffle/core/ArrayShuffle.h"
#include "shuffle/core/EvenDistribution.h"
#include "shuffle/core/SeparateDups.h"
#include "shuffle/core/Spread.h"
#include "tests/foundation/FakeRun.h"

using namespace swirlo;
using namespace swirlo::testing;

namespace {
// A random-method source: one record per play, the order being the records in list order.
SpreadSource PerPlay(const std::wstring& letters, std::uint64_t nEntries) {
    SpreadSource src;
    src.songs = std::make_unique<CSongArray>();
    for (wchar_t c : letters) src.songs->AddSong((L"C:\\Music\\" + std::wstring(1, c) + L".mp3").c_str(), 1);
    src.order.resize(letters.size());
    std::iota(src.order.begin(), src.order.end(), 0u);
    src.nEntries = nEntries;
    return src;
}
}  // namespace

// A B A C B A D | A B: the last two entries were cut off by the limit and are not part of it.
TEST(Spread, PlaysTopSongsAndGapsOfTheWrittenEntries) {
    SpreadSource src = PerPlay(L"ABACBADAB", 7);
    src.method = ShuffleMethod::Separated;
    src.nSeparation = 2;
    SpreadModel m = MakeSpread(src, 3);
    EXPECT_EQ(m.nLength, 7u);
    EXPECT_EQ(m.nSongs, 4u);
    ASSERT_EQ(m.top.size(), 3u);  // D, as many plays as C but later in the array, is left out
    EXPECT_EQ(m.top[0].sName, L"A");
    EXPECT_EQ(m.top[0].positions, (std::vector<std::uint32_t>{0, 2, 5}));
    EXPECT_EQ(m.top[1].sName, L"B");
    EXPECT_EQ(m.top[1].positions, (std::vector<std::uint32_t>{1, 4}));
    EXPECT_EQ(m.top[2].sName, L"C");
    // A: 1 and 2 songs between its plays, B: 2.
    EXPECT_EQ(m.gaps, (std::vector<std::uint64_t>{0, 1, 2}));
    EXPECT_EQ(m.RepeatCount(), 3u);
    EXPECT_EQ(m.nPromisedGap, 2);
    src.nEntries = 10;  // more than the order holds
    EXPECT_EQ(MakeSpread(src).nLength, 0u);
}

TEST(Spread, PromisedGapPerMethod) {
    struct Row { ShuffleMethod method; int n; std::uint64_t total; int maxCount; int want; };
    const Row rows[] = {
        {ShuffleMethod::Even, 50, 20, 2, 3},    // segment 10: a third of it
        {ShuffleMethod::Even, 50, 20, 1, 0},    // nothing repeats
        {ShuffleMethod::Separated, 30, 20, 1, 30},
        {ShuffleMethod::Random, 30, 20, 1, 0},
    };
    for (const Row& r : rows) EXPECT_EQ(PromisedGap(r.method, r.n, r.total, r.maxCount), r.want) << r.n << " " << r.total;
}

// What the picture marks as promised holds for what the two methods really make, whenever they
// report no shortfall.
TEST(Spread, PromiseHoldsForTheMethodsOrders) {
    std::mt19937 gen(77);
    int checked = 0;
    for (int round = 0; round < 300; ++round) {
        const bool bEven = round % 2 == 0;
        SpreadSource src;
        src.songs = std::make_unique<CSongArray>();
        for (int s = 0, songs = 5 + static_cast<int>(gen() % 60); s < songs; ++s)
            for (int p = 0, plays = 1 + static_cast<int>(gen() % 5); p < (bEven ? 1 : plays); ++p)
                src.songs->AddSong((L"C:\\s" + std::to_wstring(s) + L".mp3").c_str(), bEven ? plays : 1);
        src.nEntries = src.songs->GetTotal();
        src.order.resize(src.nEntries);
        src.method = bEven ? ShuffleMethod::Even : ShuffleMethod::Separated;
        src.nSeparation = 1 + static_cast<int>(gen() % 40);
        FakeRun ctx;
        ctx.nTicks = static_cast<unsigned long>(round);
        RandomSource rng;
        PlacementResult placed;
        std::iota(src.order.begin(), src.order.end(), 0u);
        std::shuffle(src.order.begin(), src.order.end(), gen);
        const bool clean = bEven ? src.nEntries >= 10 && Distribute(ctx, rng, *src.songs, src.nSeparation, src.order.data(), 10, placed) &&
                                       placed.nShortfalls == 0
                                 : SeparateDups(ctx, *src.songs, src.order.data(), src.nSeparation) == 1;
        const SpreadModel m = MakeSpread(src);
        if (!clean || m.nPromisedGap == 0) continue;  // a list too short for any promise
        for (std::size_t g = 0; g < static_cast<std::size_t>(m.nPromisedGap) && g < m.gaps.size(); ++g)
            ASSERT_EQ(m.gaps[g], 0u) << "round " << round << " gap " << g;
        ++checked;
    }
    EXPECT_GT(checked, 60);
}

TEST(Spread, CoordinatesBarsAndNames) {
    EXPECT_EQ(TickX(0, 4, 400), 50);
    EXPECT_EQ(TickX(3, 4, 400), 350);
    EXPECT_EQ(TickX(0, 1, 401), 200);
    EXPECT_EQ(ScaleX(5, 0, 400), 0);
    GapBars bars = MakeGapBars({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 4);  // 3 gap values per bar
    EXPECT_EQ(bars.width, 3u);
    EXPECT_EQ(bars.counts, (std::vector<std::uint64_t>{6, 15, 24, 10}));
    EXPECT_EQ(MakeGapBars({1, 2}, 20).counts, (std::vector<std::uint64_t>{1, 2}));
    bars = MakeGapBars({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 4, 5);  // a bar begins at gap 5
    EXPECT_EQ(bars.counts, (std::vector<std::uint64_t>{3, 12, 21, 19}));
    EXPECT_EQ(bars.First(2), 5u);
    EXPECT_EQ(bars.Last(1), 4u);
    EXPECT_EQ(SongDisplayName(L"C:\\Music\\Artist\\a b.mp3"), L"a b");
    EXPECT_EQ(SongDisplayName(L"http://host/list/z.wma"), L"z");
    EXPECT_EQ(SongDisplayName(L"C:\\dir.v2\\song"), L"song");
    EXPECT_EQ(SongDisplayName(L".hidden"), L".hidden");
}
