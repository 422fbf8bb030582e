#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "FakeRun.h"
#include "LiteralForms.h"
#include "shuffle/SeparateDups.h"

using namespace swirlo;
using namespace swirlo::testing;

namespace {

// One record per play, as the random methods build it.
void AddPlays(CSongArray& songs, const std::vector<std::wstring>& names) {
    for (const auto& s : names) songs.AddSong((L"C:\\Music\\" + s + L".mp3").c_str(), 1);
}

std::wstring Names(const CSongArray& songs, const std::vector<std::uint32_t>& order) {
    std::wstring s;
    for (std::uint32_t r : order) s += songs.GetSong(r)[9];
    return s;
}

// Whether every two plays of one song are more than N positions apart.
bool AllSeparated(const CSongArray& songs, const std::vector<std::uint32_t>& order, int N) {
    std::map<std::wstring, long> last;
    for (long i = 0; i < static_cast<long>(order.size()); ++i) {
        auto it = last.find(songs.GetSong(order[i]));
        if (it != last.end() && i - it->second <= N) return false;
        last[songs.GetSong(order[i])] = i;
    }
    return true;
}

}  // namespace

TEST(SeparateDups, SweepExampleMovesTheLaterPlayToTheEnd) {
    CSongArray songs;
    AddPlays(songs, {L"P", L"Q", L"P", L"R", L"S", L"T", L"U", L"V", L"W", L"X"});
    std::vector<std::uint32_t> order(10);
    std::iota(order.begin(), order.end(), 0u);
    FakeRun ctx;
    EXPECT_EQ(SeparateDups(ctx, songs, order.data(), 3), 1);
    EXPECT_EQ(Names(songs, order), L"PQRSTUVWXP");
    EXPECT_TRUE(ctx.error.Empty());
}

TEST(SeparateDups, PairAtTheEndIsGivenUpWithTheFailureText) {
    CSongArray songs;
    AddPlays(songs, {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"Z", L"Z"});
    std::vector<std::uint32_t> order(10);
    std::iota(order.begin(), order.end(), 0u);
    FakeRun ctx;
    EXPECT_EQ(SeparateDups(ctx, songs, order.data(), 20), 0);
    EXPECT_EQ(ctx.error.Text().rfind(L"\r\nFailed to separate ", 0), 0u) << ctx.error.Text();
    EXPECT_NE(ctx.error.Text().find(L" plays\r\nLast failure:\r\nC:\\Music\\Z.mp3\r\n"), std::wstring::npos);
}

TEST(SeparateDups, SameResultAsStepByStepFormAndHonestVerdict) {
    std::mt19937 gen(2024);
    int nOk = 0, nFailed = 0;
    for (int round = 0; round < 2000; ++round) {
        const int n = 2 + static_cast<int>(gen() % (round % 8 == 0 ? 400 : 150));
        const int distinct = 1 + static_cast<int>(gen() % std::max(1, n / (1 + static_cast<int>(gen() % 6))));
        const int N = static_cast<int>(gen() % 100);
        std::vector<std::wstring> names;
        for (int i = 0; i < n; ++i) names.push_back(L"s" + std::to_wstring(gen() % distinct));
        CSongArray songs;
        AddPlays(songs, names);
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
        ASSERT_EQ(got == 1, AllSeparated(songs, order, N)) << "round " << round;
        std::vector<std::uint32_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i) ASSERT_EQ(sorted[i], static_cast<std::uint32_t>(i));
        (got ? nOk : nFailed)++;
    }
    // Both verdicts were exercised.
    EXPECT_GT(nOk, 100);
    EXPECT_GT(nFailed, 100);
}

TEST(SeparateDups, StopReturnsZeroWithoutText) {
    CSongArray songs;
    std::vector<std::wstring> names;
    for (int i = 0; i < 200; ++i) names.push_back(L"s" + std::to_wstring(i % 7));
    AddPlays(songs, names);
    std::vector<std::uint32_t> order(200);
    std::iota(order.begin(), order.end(), 0u);
    FakeRun ctx;
    ctx.nCancelAtPump = 20;
    EXPECT_EQ(SeparateDups(ctx, songs, order.data(), 10), 0);
    EXPECT_TRUE(ctx.error.Empty());
    EXPECT_EQ(ctx.nPumps, 20);
}
