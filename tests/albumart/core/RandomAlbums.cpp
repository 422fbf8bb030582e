#include "RandomAlbums.h"

#include <algorithm>

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

}  // namespace

std::wstring ChangeCase(std::mt19937& rng, std::wstring s) {
    for (wchar_t& c : s) {
        if (Uniform(rng, 0, 3) != 0) continue;
        if (c >= L'a' && c <= L'z') c -= 32;
        else if (c >= L'A' && c <= L'Z') c += 32;
    }
    return s;
}

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
            case 6: std::erase(a.sAlbum, L' '); break;  // "Pink Floyd" as "PinkFloyd": equal from the medium level on
            case 7:
                std::swap(a.sArtist, a.sAlbum);
                std::erase(a.sArtist, L' ');
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

void FillArray(AlbumFolderArray& arr, const std::vector<AlbumEntry>& albums) {
    for (const AlbumEntry& a : albums) arr.Add(a.sArtist, a.sAlbum, a.nImageSize);
}

std::vector<std::wstring> Rows(const AlbumFolderArray& a, bool keys) {
    std::vector<std::wstring> v;
    for (int i = 0; i < a.Count(); ++i) {
        const AlbumRecord& r = a.Record(i);
        v.push_back(r.sArtist + L"|" + r.sAlbum + L"|" + r.sCounterpart + L"|" + std::to_wstring(r.nImageSize) + L"|" +
                    std::to_wstring(r.nCounterpartImageSize) + L"|" + std::to_wstring(r.nMatchCode));
        if (keys) v.back() += L"|" + r.sRelPath + L"|" + r.sNmlArtist + L"|" + r.sNmlAlbum;
    }
    return v;
}

}  // namespace swirlo::test
