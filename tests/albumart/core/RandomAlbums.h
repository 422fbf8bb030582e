// Album trees for the equivalence tests (and the benchmarks, with bench/BenchAlbums.h).
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "albumart/core/AlbumFolderArray.h"

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

// Flips the case of about a quarter of the ASCII letters.
std::wstring ChangeCase(std::mt19937& rng, std::wstring s);

void FillArray(AlbumFolderArray& arr, const std::vector<AlbumEntry>& albums);

// One line per record: artist|album|counterpart|size|counterpart size|code, with the keys also the
// relative path and the normalized names.
std::vector<std::wstring> Rows(const AlbumFolderArray& a, bool keys = false);

}  // namespace swirlo::test
