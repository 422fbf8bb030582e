#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/QuietRun.h"
#include "shuffle/core/EvenDistribution.h"
#include "shuffle/core/SeparateDups.h"
#include "tests/foundation/FakeRun.h"
#include "tests/shuffle/core/LiteralForms.h"

using namespace swirlo;
using namespace swirlo::bench;

namespace {

// About 285,000 songs whose counts 1, 2, 3, 5 and 9 occur for 10/30/30/20/10 % of them: 1,000,000 plays.
std::vector<int> PlayCounts() {
    std::mt19937 gen(1);
    const int kCounts[10] = {1, 2, 2, 2, 3, 3, 3, 5, 5, 9};
    std::vector<int> counts;
    long total = 0;
    while (total < 1000000) {
        int c = std::min<long>(kCounts[gen() % 10], 1000000 - total);
        counts.push_back(c);
        total += c;
    }
    return counts;
}

std::wstring PathOf(std::size_t i) {
    return L"C:\\Users\\someone\\Music\\Artist " + std::to_wstring(i % 5000) + L"\\Album\\" + std::to_wstring(i) + L".mp3";
}

double FisherYates(std::size_t n) {
    std::vector<std::uint32_t> a(n);
    std::iota(a.begin(), a.end(), 0u);
    RandomSource rng(7);
    double t = Seconds([&] {
        for (std::size_t j = n - 1; j >= 1; --j) std::swap(a[j], a[GetRandomUintBig(rng, static_cast<std::uint32_t>(j))]);
    });
    if (a[n / 2] == 0xFFFFFFFFu) std::printf("!");  // keeps the shuffle from being optimised away
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    const bool bSkipLiteral = argc > 1 && std::string(argv[1]) == "--no-literal";
    std::vector<int> counts = PlayCounts();
    CSongArray songs;
    for (std::size_t i = 0; i < counts.size(); ++i) songs.AddSong(PathOf(i).c_str(), counts[i]);
    const std::size_t total = songs.GetTotal();
    std::printf("%u songs, %zu plays\n", songs.GetSize(), total);

    // Best of several runs, the two taken in turn: the machine is shared and noisy.
    std::vector<std::uint32_t> order(total);
    PlacementResult res;
    QuietRun quiet;
    RandomSource rng;
    QuietRun budgeted(true);
    double fy = 1e9, even = 1e9, evenPumped = 1e9;
    for (int i = 0; i < 5; ++i) {
        fy = std::min(fy, FisherYates(total));
        even = std::min(even, Seconds([&] { Distribute(quiet, rng, songs, 50, order.data(), 90, res); }));
        evenPumped = std::min(evenPumped, Seconds([&] { Distribute(budgeted, rng, songs, 50, order.data(), 90, res); }));
    }
    std::printf("Fisher-Yates of %zu entries: %.1f ms\n", total, fy * 1000);
    std::printf("Even distribution (N = 50): %.1f ms = %.1fx Fisher-Yates (target at most 15x); shortfalls %d\n",
                even * 1000, even / fy, res.nShortfalls);

    // The dispatch points themselves: one call per play, timed alone (the difference of two whole
    // runs drowns in the noise of a shared machine).
    double pumps = 1e9;
    for (int i = 0; i < 5; ++i)
        pumps = std::min(pumps, Seconds([&] {
            for (std::size_t p = 0; p < total; ++p) budgeted.PumpMessages();
        }));
    std::printf("  %zu dispatch points on a 30 ms budget: %.1f ms = %.1f%% of the run (%.1f ms with them)\n", total,
                pumps * 1000, pumps / evenPumped * 100, evenPumped * 1000);

    if (!bSkipLiteral) {
        swirlo::testing::FakeRun ctx;
        ctx.nTicks = 4242;
        RandomSource lrng;
        double lit = Seconds([&] { swirlo::testing::LiteralDistribute(ctx, lrng, songs, 50, 90); });
        std::printf("Even distribution, step-by-step form: %.1f ms = %.1fx Fisher-Yates\n", lit * 1000, lit / fy);
    }

    // SeparateDups works on one record per play.
    CSongArray plays;
    for (std::size_t i = 0; i < counts.size(); ++i)
        for (int k = 0; k < counts[i]; ++k) plays.AddSong(PathOf(i).c_str(), 1);
    std::vector<std::uint32_t> shuffled(total);
    std::iota(shuffled.begin(), shuffled.end(), 0u);
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
    int ok = 0;
    double sep = 1e9;
    for (int i = 0; i < 3; ++i) {
        std::vector<std::uint32_t> work = shuffled;
        sep = std::min(sep, Seconds([&] { ok = SeparateDups(quiet, plays, work.data(), 99); }));
    }
    std::printf("SeparateDups (N = 99): %.1f ms = %.1fx Fisher-Yates (target at most 10x); result %d\n", sep * 1000,
                sep / fy, ok);
    return 0;
}
