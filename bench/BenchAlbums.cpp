#include "bench/BenchAlbums.h"

#include <algorithm>
#include <cwchar>

namespace swirlo::test {

namespace {

int Uniform(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// A pronounceable word from the given letters, so that names look like names.
std::wstring Word(std::mt19937& rng, const wchar_t* consonants, const wchar_t* vowels) {
    std::wstring w;
    int syllables = Uniform(rng, 1, 4);
    std::size_t nc = std::wcslen(consonants), nv = std::wcslen(vowels);
    for (int i = 0; i < syllables; ++i) {
        w += consonants[Uniform(rng, 0, static_cast<int>(nc) - 1)];
        w += vowels[Uniform(rng, 0, static_cast<int>(nv) - 1)];
    }
    w[0] = static_cast<wchar_t>(w[0] - 32);
    return w;
}

std::wstring Words(std::mt19937& rng, int n, const wchar_t* consonants, const wchar_t* vowels) {
    std::wstring s;
    for (int i = 0; i < n; ++i) s += (i ? L" " : L"") + Word(rng, consonants, vowels);
    return s;
}

}  // namespace

TreePair MakeLibraryTrees(std::mt19937& rng, int n) {
    TreePair p;
    const wchar_t* cons = L"bcdfghklmnprstvz";
    const wchar_t* vow = L"aeiou";
    int partnered = n - n / 10;
    for (int i = 0; i < n; ++i) {
        std::wstring artist = Words(rng, Uniform(rng, 1, 3), cons, vow);
        std::wstring album = Words(rng, Uniform(rng, 1, 4), cons, vow) + L" " + std::to_wstring(i);
        p.sources.push_back({artist, album, Uniform(rng, 0, 4) ? Uniform(rng, 1000, 90000) : 0});
        AlbumEntry t{artist, album, Uniform(rng, 0, 1) ? Uniform(rng, 1000, 90000) : 0};
        if (i >= partnered) {
            // No partner: a target name the source tree does not have.
            t.sArtist = Words(rng, 2, cons, vow) + L" Band";
            t.sAlbum = L"Session " + std::to_wstring(i);
        } else {
            switch (Uniform(rng, 0, 9)) {
            case 0: t.sArtist = L"The " + artist; break;
            case 1: t.sArtist = artist + L", The"; break;
            case 2: t.sAlbum = album + L" [Remastered]"; break;
            case 3: t.sAlbum = album + L" (Disc 1)"; break;
            case 4: t.sArtist = ChangeCase(rng, artist); break;
            default: break;
            }
        }
        p.targets.push_back(t);
    }
    std::shuffle(p.targets.begin(), p.targets.end(), rng);
    return p;
}

TreePair MakeDisjointTrees(std::mt19937& rng, int n) {
    TreePair p;
    for (int i = 0; i < n; ++i) {
        p.sources.push_back({Words(rng, 2, L"bcdfg", L"ae"), Words(rng, 3, L"bcdfg", L"ae"), 1000});
        p.targets.push_back({Words(rng, 2, L"klmnp", L"iou"), Words(rng, 3, L"klmnp", L"iou"), 0});
    }
    return p;
}

}  // namespace swirlo::test
