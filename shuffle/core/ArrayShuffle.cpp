#include "shuffle/core/ArrayShuffle.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

namespace swirlo {

namespace {
int ProgressAt(std::uint64_t step, std::uint32_t n, int span, int base) {
    return static_cast<int>(step * static_cast<std::uint64_t>(span) / n) + base;
}
}  // namespace

int ShuffleArrayMethod1(RunContext& ctx, RandomSource& rng, std::uint32_t seed, std::uint32_t* order,
                        std::uint32_t n, int nProgSpan, int nProgBase) {
    if (n == 0) return ctx.Error().SetErrorParts(L"Array size param is 0");
    std::vector<std::uint32_t> temp;
    try {
        temp.resize(n);
    } catch (const std::bad_alloc&) {
        return ctx.Error().SetErrorParts(L"Error allocating temp number array");
    }
    rng.Seed(seed);
    std::uint32_t last = n - 1;
    for (std::uint32_t i = 0; i + 1 < n; ++i) {
        ctx.SetProgress(ProgressAt(i, n, nProgSpan, nProgBase));
        if (i % 50 == 0) ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
        std::uint32_t r = GetRandomUintBig(rng, last);
        temp[i] = order[r];
        order[r] = order[last];
        --last;
    }
    temp[n - 1] = order[0];
    std::copy(temp.begin(), temp.end(), order);
    return 1;
}

int ShuffleArrayMethod2(RunContext& ctx, RandomSource& rng, std::uint32_t* order, std::uint32_t n,
                        int nProgSpan, int nProgBase) {
    if (n == 0) return ctx.Error().SetErrorParts(L"Array size param is 0");
    rng.Seed(static_cast<std::uint32_t>(ctx.TickCount()));
    for (std::uint32_t j = n - 1; j >= 1; --j) {
        ctx.SetProgress(ProgressAt(n - 1 - j, n, nProgSpan, nProgBase));
        if (j % 50 == 0) ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
        std::uint32_t r = GetRandomUintBig(rng, j);
        if (r != j) std::swap(order[j], order[r]);
    }
    return 1;
}

}  // namespace swirlo
