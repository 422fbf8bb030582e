// Album trees for the equivalence tests and the benchmarks.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "albumart/AlbumFolderArray.h"

namespace swirlo::test {

struct AlbumEntry {
    std::wstring sArtist;
    std::wstring sAlbum;
    std::int32_t nImageSize = 0;
};

struct TreePair {
    std::vector<AlbumEntry> sources;
    std::vector<AlbumEntry> targets;
};

// Small trees from a vocabulary that reaches every comparison: articles, brackets, accents,
// reversed names, Various Artists, disc folders, names with empty keys, duplicates, case changes.
TreePair MakeVocabularyTrees(std::mt19937& rng, int maxPerSide);

// Library-shaped trees: most target names equal to a source or a usual variant of it ("The X" /
// "X, The", "[Remastered]", disc folders, case), a tenth without a partner on either side.
TreePair MakeLibraryTrees(std::mt19937& rng, int n);

// Trees with no name, and no letter, in common: every comparison tries every pair.
TreePair MakeDisjointTrees(std::mt19937& rng, int n);

void FillArray(AlbumFolderArray& arr, const std::vector<AlbumEntry>& albums);

}  // namespace swirlo::test
