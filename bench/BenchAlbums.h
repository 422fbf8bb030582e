// Large album trees for the benchmarks.
#pragma once
#include <random>

#include "tests/albumart/core/RandomAlbums.h"

namespace swirlo::test {

// Library-shaped trees: most target names equal to a source or a usual variant of it ("The X" /
// "X, The", "[Remastered]", disc folders, case), a tenth without a partner on either side.
TreePair MakeLibraryTrees(std::mt19937& rng, int n);

// Trees with no name, and no letter, in common: every comparison tries every pair.
TreePair MakeDisjointTrees(std::mt19937& rng, int n);

}  // namespace swirlo::test
