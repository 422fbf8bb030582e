#include <gtest/gtest.h>

#include <numeric>
#include <tuple>
#include <vector>

#include "tests/foundation/FakeRun.h"
#include "shuffle/core/ArrayShuffle.h"
#include "shuffle/core/RandomSource.h"

using namespace swirlo;
using swirlo::testing::FakeRun;

namespace {

// The seed whose next two 15-bit values are first and (at least) secondAtLeast, found by running
// the generator's recurrence backwards.
std::uint32_t SeedForDraws(std::uint32_t first, std::uint32_t secondAtLeast) {
    std::uint32_t inv = 214013u;
    for (int i = 0; i < 5; ++i) inv *= 2u - 214013u * inv;
    for (std::uint32_t low = 0; low < 0x20000u; ++low) {
        std::uint32_t state1 = ((low >> 16) << 31) | (first << 16) | (low & 0xFFFFu);
        std::uint32_t seed = (state1 - 2531011u) * inv;
        RandomSource r(seed);
        if (r.Next15() == first && r.Next15() >= secondAtLeast) return seed;
    }
    return 0;
}

}  // namespace

TEST(GetRandomUintBig, ZeroDrawsNothingAndWidthsFollowTheRange) {
    RandomSource rng(5), copy(5);
    std::wstring msg = L"old";
    EXPECT_EQ(GetRandomUintBig(rng, 0, &msg), 0u);
    EXPECT_EQ(msg, L"");
    EXPECT_EQ(rng.Next15(), copy.Next15());  // nothing was drawn

    // 999: one 15-bit value per draw. 1000: two values per draw, the first one high.
    for (std::uint32_t max : {999u, 1000u})
        for (std::uint32_t seed = 1; seed < 200; ++seed) {
            RandomSource r(seed), ref(seed);
            std::uint32_t v = ref.Next15();
            if (max == 1000) v = v * 32768 + ref.Next15();
            if (v > (max == 999 ? 31999u : 1073741668u)) continue;
            EXPECT_EQ(GetRandomUintBig(r, max), v % (max + 1));
            EXPECT_EQ(r.Next15(), ref.Next15());
        }
}

// A first value of 32000 is above 32 x 1000 - 1 and is drawn again; 32767 x 32768 + 32613 =
// 1,073,741,669 is the smallest 30-bit value rejected for 1000.
TEST(GetRandomUintBig, RejectionThresholdsShowInTheLoopMessage) {
    const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::wstring> rows[] = {
        {32000, 0, 999, L"  uMaxOkRand = 31999  uMaxResult = 999"},
        {32767, 32613, 1000, L"  uMaxOkRand = 1073741668  uMaxResult = 1000"}};
    for (const auto& [first, second, max, text] : rows) {
        RandomSource r(SeedForDraws(first, second));
        std::wstring msg;
        EXPECT_LE(GetRandomUintBig(r, max, &msg), max);
        EXPECT_EQ(msg.rfind(L"GetRandomUintBig took 2 loops to get uRand ", 0), 0u) << msg;
        EXPECT_NE(msg.find(text), std::wstring::npos) << msg;
    }
}

TEST(ArrayShuffles, EmptyFailsAndOneIsKept) {
    for (int method = 1; method <= 2; ++method) {
        FakeRun ctx;
        RandomSource rng;
        auto run = [&](std::uint32_t* a, std::uint32_t n) {
            return method == 1 ? ShuffleArrayMethod1(ctx, rng, 42, a, n, 10, 5) : ShuffleArrayMethod2(ctx, rng, a, n, 10, 5);
        };
        std::uint32_t one[1] = {0};
        EXPECT_EQ(run(one, 0), 0);
        EXPECT_EQ(ctx.error.Text(), L"\r\nArray size param is 0");
        EXPECT_EQ(run(one, 1), 1);
        EXPECT_EQ(one[0], 0u);
    }
}

// From two songs up, each position is the draw's, as the plain step-by-step shuffles place it.
TEST(ArrayShuffles, FollowTheirDrawsExactly) {
    for (const std::uint32_t n : {2u, 3u, 300u}) {
        std::vector<std::uint32_t> a(n), want(n);
        std::iota(a.begin(), a.end(), 0u);
        std::iota(want.begin(), want.end(), 0u);
        FakeRun ctx;
        RandomSource rng, ref(777);
        ASSERT_EQ(ShuffleArrayMethod1(ctx, rng, 777, a.data(), n, 10, 5), 1);
        if (n == 300) { EXPECT_EQ(ctx.nProg, 14); }
        std::vector<std::uint32_t> temp(n);
        std::uint32_t last = n - 1;
        for (std::uint32_t i = 0; i + 1 < n; ++i) {
            std::uint32_t r = GetRandomUintBig(ref, last);
            temp[i] = want[r];
            want[r] = want[last--];
        }
        temp[n - 1] = want[0];
        EXPECT_EQ(a, temp) << n;

        ctx.nTicks = 31337;
        ASSERT_EQ(ShuffleArrayMethod2(ctx, rng, a.data(), n, 10, 0), 1);
        if (n == 300) { EXPECT_EQ(ctx.nProg, 9); }
        ref.Seed(31337);
        for (std::uint32_t j = n - 1; j >= 1; --j) std::swap(temp[j], temp[GetRandomUintBig(ref, j)]);
        EXPECT_EQ(a, temp) << n;
    }
}
