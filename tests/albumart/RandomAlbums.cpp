#include "RandomAlbums.h"

#include <algorithm>
#include <cwchar>

namespace swirlo::test {

namespace {

const wchar_t* const kArtists[] = {
    L"The Beatles", L"Beatles, The", L"BEATLES", L"beatles", L"Pink Floyd", L"pink floyd", L"Various Artists",
    L"VARIOUS ARTISTS", L"Various Artists [Compilations]", L"Mot\u00f6rhead", L"Motoerhead", L"MOT\u00d6RHEAD",
    L"D\u00e9j\u00e0 Vu", L"Deja Vu", L"A Tribe Called Quest", L"Tribe Called Quest, A", L"[Live]", L"...",
    L"007", L"7", L"Sigur R\u00f3s", L"Sigur Ros", L"Bj\u00f6rk", L"Bjork", L"AC/DC", L"ACDC", L"The The", L"The",
    L"Abbey Road", L"Now 50", L"Madonna", L"Ch\u00e2teau", L"Chateau", L"Beatles [Remastered]", L"(Disc 1)",
    L"Floyd", L"a", L"Queen", L"Queens of the Stone Age", L"\u041c\u0443\u043c\u0438\u0439 \u0422\u0440\u043e\u043b\u043b\u044c",
    L"\u6771\u4eac\u4e8b\u5909", L"\u039a\u03b1\u03bb\u03b7", L"!!!"};
const wchar_t* const kAlbums[] = {
    L"Abbey Road", L"Abbey Road [Remastered]", L"Abbey Road (Disc 1)", L"Abbey Road (Disc 2)", L"abbey road",
    L"The Wall", L"Wall, The", L"Pink Floyd", L"The Beatles", L"Now 50", L"Now 050", L"Now 50 (Disc 1)",
    L"Greatest Hits", L"Hits", L"Live [Disc 1] (Remix)", L"[Live]", L"(Bonus)", L"Disc 01", L"Disc 1",
    L"Ch\u00e2teau", L"Chateau", L"D\u00e9j\u00e0 Vu", L"Madonna", L"Mot\u00f6rhead", L"\u00c1g\u00e6tis byrjun",
    L"Agaetis Byrjun", L"Vol. 1", L"Vol 1", L"!!!", L"Hits [Disc [2]]", L"Best of (Live", L"Queen", L"A Night at the Opera",
    L"Night at the Opera, A", L"Motoerhead", L"Bjork", L"Various Artists", L"\u041c\u043e\u0440\u0441\u043a\u0430\u044f",
    L"\u6559\u80b2", L"\u00c9\u03c1\u03c9\u03c2"};
const std::int32_t kSizes[] = {0, 0, 1000, 2000, 1000, 31337};

template <class T, std::size_t N>
const T& Pick(std::mt19937& rng, const T (&a)[N]) {
    return a[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

int Uniform(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::wstring ChangeCase(std::mt19937& rng, std::wstring s) {
    for (wchar_t& c : s) {
        if (Uniform(rng, 0, 3) != 0) continue;
        if (c >= L'a' && c <= L'z') c -= 32;
        else if (c >= L'A' && c <= L'Z') c += 32;
    }
    return s;
}

// "Pink Floyd" as "PinkFloyd": equal from the medium level on.
std::wstring WithoutSpaces(std::wstring s) {
    s.erase(std::remove(s.begin(), s.end(), L' '), s.end());
    return s;
}

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

TreePair MakeVocabularyTrees(std::mt19937& rng, int maxPerSide) {
    TreePair p;
    int ns = Uniform(rng, 0, maxPerSide), nt = Uniform(rng, 0, maxPerSide);
    for (int i = 0; i < ns; ++i) p.sources.push_back({Pick(rng, kArtists), Pick(rng, kAlbums), Pick(rng, kSizes)});
    for (int i = 0; i < nt; ++i) {
        AlbumEntry a{Pick(rng, kArtists), Pick(rng, kAlbums), Pick(rng, kSizes)};
        // Most targets are a variant of some source, as on a real player.
        if (!p.sources.empty() && Uniform(rng, 0, 2) != 0) {
            const AlbumEntry& s = p.sources[Uniform(rng, 0, static_cast<int>(p.sources.size()) - 1)];
            a.sArtist = s.sArtist;
            a.sAlbum = s.sAlbum;
            switch (Uniform(rng, 0, 7)) {
            case 0: std::swap(a.sArtist, a.sAlbum); break;
            case 6: a.sAlbum = WithoutSpaces(a.sAlbum); break;
            case 7:
                std::swap(a.sArtist, a.sAlbum);
                a.sArtist = WithoutSpaces(a.sArtist);
                break;
            case 1: a.sAlbum += L" [Remastered]"; break;
            case 2: a.sAlbum += L" (Disc 2)"; break;
            case 3: a.sArtist = ChangeCase(rng, a.sArtist); break;
            case 4: a.sArtist = L"Various Artists"; break;
            default: break;
            }
        }
        p.targets.push_back(a);
    }
    return p;
}

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

void FillArray(AlbumFolderArray& arr, const std::vector<AlbumEntry>& albums) {
    for (const AlbumEntry& a : albums) arr.Add(a.sArtist, a.sAlbum, a.nImageSize);
}

}  // namespace swirlo::test
