// The two array shuffles of the random methods. Each leaves the order a permutation of its former
// entries and returns 1; 0 on an empty array (error record filled) or on cancel (no text). OS-free.
#pragma once
#include <cstdint>

#include "foundation/RunContext.h"
#include "shuffle/core/RandomSource.h"

namespace swirlo {

// Drawing without replacement into a new array. The run seeds it with the time of day in seconds.
int ShuffleArrayMethod1(RunContext& ctx, RandomSource& rng, std::uint32_t seed, std::uint32_t* order,
                        std::uint32_t n, int nProgSpan, int nProgBase);

// In place, from the end (Fisher-Yates); seeded with the tick count.
int ShuffleArrayMethod2(RunContext& ctx, RandomSource& rng, std::uint32_t* order, std::uint32_t n,
                        int nProgSpan, int nProgBase);

}  // namespace swirlo
