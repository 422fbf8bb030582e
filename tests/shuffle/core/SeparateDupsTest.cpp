#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "tests/foundation/FakeRun.h"
#include "LiteralForms.h"
#include "shuffle/core/ArrayShuffle.h"
#include "shuffle/core/EvenDistribution.h"
#include "shuffle/core/SeparateDups.h"

using namespace swirlo;
using namespace swirlo::testing;

TEST(SeparateDups, SameResultAsStepByStepForm) {
    std::mt19937 gen(2024);
    int nOk = 0, nFailed = 0;
    for (int round = 0; round < 2000; ++round) {
        const int n = 2 + static_cast<int>(gen() % (round % 8 == 0 ? 400 : 150));
        const int distinct = 1 + static_cast<int>(gen() % std::max(1, n / (1 + static_cast<int>(gen() % 6))));
        const int N = static_cast<int>(gen() % 100);
        std::vector<std::wstring> names;
        for (int i = 0; i < n; ++i) names.push_back(L"s" + std::to_wstring(gen() % distinct));
        CSongArray songs;  // one record per play, as the random methods build it
        for (const auto& s : names) songs.AddSong(s.c_str(), 1);
        std::vector<std::uint32_t> order(n);
        std::iota(order.begin(), order.end(), 0u);
        std::shuffle(order.begin(), order.end(), gen);
        std::vector<std::uint32_t> ref = order;
        FakeRun ctx, refCtx;
        ctx.bWithLog = refCtx.bWithLog = (round % 10 == 0);
        int got = SeparateDups(ctx, songs, order.data(), N);
        int want = LiteralSeparateDups(refCtx, songs, ref, N);
        ASSERT_EQ(got, want) << "round " << round;
        ASSERT_EQ(order, ref) << "round " << round;
        ASSERT_EQ(ctx.error.Text(), refCtx.error.Text());
        ASSERT_EQ(ctx.log.lines, refCtx.log.lines);
        ASSERT_EQ(ctx.sent, refCtx.sent);
        (got ? nOk : nFailed)++;
    }
    // Both verdicts were exercised.
    EXPECT_GT(nOk, 100);
    EXPECT_GT(nFailed, 100);
}

// Stop pressed during each long step: it ends at once, with no error text.
TEST(LongSteps, StopReturnsZeroWithoutText) {
    CSongArray songs;
    for (int i = 0; i < 1000; ++i) songs.AddSong((L"C:\\s" + std::to_wstring(i % 300) + L".mp3").c_str(), 1);
    std::vector<std::uint32_t> order(1000);
    std::iota(order.begin(), order.end(), 0u);
    CSongArray counted;
    for (int i = 0; i < 40; ++i) counted.AddSong((L"C:\\c" + std::to_wstring(i) + L".mp3").c_str(), 3);
    RandomSource rng;
    PlacementResult out;
    const std::pair<long, std::function<int(FakeRun&)>> rows[] = {
        {3, [&](FakeRun& c) { return ShuffleArrayMethod1(c, rng, 1, order.data(), 1000, 10, 0); }},  // every 50 steps
        {3, [&](FakeRun& c) { return ShuffleArrayMethod2(c, rng, order.data(), 1000, 10, 0); }},
        {20, [&](FakeRun& c) { return SeparateDups(c, songs, order.data(), 10); }},
        {50, [&](FakeRun& c) { return Distribute(c, rng, counted, 10, order.data(), 90, out); }},
    };
    for (const auto& [at, run] : rows) {
        FakeRun ctx;
        ctx.nCancelAtPump = at;
        EXPECT_EQ(run(ctx), 0) << at;
        EXPECT_TRUE(ctx.error.Empty()) << at;
        EXPECT_EQ(ctx.nPumps, at);
    }
}
