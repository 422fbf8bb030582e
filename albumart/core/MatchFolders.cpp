#include "albumart/core/MatchFolders.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <vector>

#include "albumart/core/Normalize.h"

namespace swirlo {

namespace {

const ComparisonInfo kComparisons[kComparisonCount] = {
    {1, 0, 0, true, L"exact case insensitive match",
     L"Finished compare literal paths, %d matches (level 0)", L"Error adding to matched folders array (exact)"},
    {2, 0, 1, false, L"minimal normalization match",
     L"Finished compare normalized (min) paths, %d matches (level 0)",
     L"Error adding to matched folders array (nml min)"},
    {3, 1, 0, false, L"exact case insensitive reverse match",
     L"Finished compare literal paths reversed, %d matches (level 1)",
     L"Error adding to matched folders array (reverse)"},
    {4, 1, 0, false, L"minimal normalization reverse match",
     L"Finished compare normalized (min) paths reversed, %d matches (level 1)",
     L"Error adding to matched folders array (normalized min reverse)"},
    {5, 1, 2, false, L"medium normalization match",
     L"Finished compare normalized (med) paths, %d matches (level 1)",
     L"Error adding to matched folders array (nml med)"},
    {6, 1, 0, false, L"medium normalization reverse match",
     L"Finished compare normalized (med) paths reversed, %d matches (level 1)",
     L"Error adding to matched folders array (normalized med reverse)"},
    {7, 1, 3, true, L"maximum normalization match",
     L"Finished compare normalized (max) paths, %d matches (level 1)",
     L"Error adding to matched folders array (nml max)"},
    {8, 1, 0, true, L"maximum normalization reverse match",
     L"Finished compare normalized (max) paths reversed, %d matches (level 1)",
     L"Error adding to matched folders array (normalized max reverse)"},
    {9, 2, 0, true, L"maximum normalization substring match",
     L"Finished compare normalized (max) substrings, %d matches (level 2)",
     L"Error adding to matched folders array (substr nml max)"},
    {10, 2, 0, true, L"maximum normalization reverse substring match",
     L"Finished compare reverse normalized (max) substrings, %d matches (level 2)",
     L"Error adding to matched folders array (substr nml max)"},
    {11, 2, 0, false,
     L"Various Artists and maximum normalization match of source album or artist on target album",
     L"Finished compare to Various Artists, %d matches (level 2)",
     L"Error adding to matched folders array (various artists)"},
    {11, 2, 0, false, L"Various Artists and maximum normalization substring match on album",
     L"Finished compare to Various Artists (substring), %d matches (level 2)",
     L"Error adding to matched folders array (various artists, substr)"},
    {11, 2, 0, false, L"Various Artists and maximum normalization reverse substring match on target album",
     L"Finished compare to Various Artists (reverse substring), %d matches (level 2)",
     L"Error adding to matched folders array (various artists, rev substr)"},
    {12, 2, 0, false, L"alpha normalization substring match keeping parenthesized blocks",
     L"Finished alpha normalization substring match keeping parenthesized blocks, %d matches (level 2)",
     L"Error adding to matched folders array (substr nml max)"},
};

// Positions in kComparisons.
enum : int {
    kExact, kNmlMin, kReverse, kNmlMinRev, kNmlMed, kNmlMedRev, kNmlMax, kNmlMaxRev,
    kSubstr, kRevSubstr, kVarious, kVariousSubstr, kVariousRevSubstr, kAlpha
};

const wchar_t* const kVariousArtists = L"variousartists";

wchar_t FoldAZ(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

std::wstring FoldedAZ(const std::wstring& s) {
    std::wstring r(s);
    for (wchar_t& c : r) c = FoldAZ(c);
    return r;
}

// Both containments hold, and one of them between two non-empty keys: an empty key is contained
// in anything, so it alone would pair strangers.
bool BothContained(const std::wstring& t1, const std::wstring& s1, const std::wstring& t2, const std::wstring& s2) {
    return Contains(t1, s1) && Contains(t2, s2) && ((!t1.empty() && !s1.empty()) || (!t2.empty() && !s2.empty()));
}

// Which characters, and which pairs of neighbouring characters, a key holds: a text can only
// contain another if it holds all of its characters and all of its pairs. Two word-sized tests
// turn away nearly every candidate before a substring search.
struct KeySig {
    std::uint64_t pairs = 0;
    std::uint64_t chars = 0;
    std::size_t len = 0;
};

KeySig Signature(const std::wstring& s) {
    KeySig k;
    k.len = s.size();
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned c = static_cast<unsigned>(s[i]);
        k.chars |= std::uint64_t(1) << (c & 63);
        if (i + 1 < s.size()) k.pairs |= std::uint64_t(1) << ((c * 31 + static_cast<unsigned>(s[i + 1])) & 63);
    }
    return k;
}

inline bool Within(const KeySig& a, const KeySig& b) {
    return (a.chars & ~b.chars) == 0 && (a.pairs & ~b.pairs) == 0;
}
// False when the shorter key cannot occur in the longer one.
inline bool MayContain(const KeySig& t, const KeySig& s) { return t.len <= s.len ? Within(t, s) : Within(s, t); }

// Views into texts that outlive the index (the records, or the folded copies of the run).
struct KeyPair {
    std::wstring_view a, b;
    bool operator==(const KeyPair& o) const { return a == o.a && b == o.b; }
};
struct KeyPairHash {
    std::size_t operator()(const KeyPair& k) const {
        std::hash<std::wstring_view> h;
        return h(k.a) * 1000003u ^ h(k.b);
    }
};

// Sources by equal key, in source order. With unpaired-only lookups each bucket keeps a cursor
// past its paired entries: a source never becomes unpaired again, so the cursor only moves on.
class SourceIndex {
public:
    void Reserve(std::size_t n) { m_map.reserve(n); }
    void Add(KeyPair key, int si) { m_map[key].idx.push_back(si); }
    int First(const KeyPair& key, bool allSources, const AlbumFolderArray& src) {
        auto it = m_map.find(key);
        if (it == m_map.end()) return -1;
        Bucket& b = it->second;
        if (allSources) return b.idx.front();
        while (b.next < b.idx.size() && src.IsPaired(b.idx[b.next])) ++b.next;
        return b.next < b.idx.size() ? b.idx[b.next] : -1;
    }
    void Clear() { m_map.clear(); }

private:
    struct Bucket {
        std::vector<int> idx;
        std::size_t next = 0;
    };
    std::unordered_map<KeyPair, Bucket, KeyPairHash> m_map;
};

class MatchRun {
public:
    MatchRun(MatchContext& page, AlbumFolderArray& src, AlbumFolderArray& tgt, bool bDetail,
             AlbumFolderArray& result)
        : m_page(page), m_src(src), m_tgt(tgt), m_result(result), m_gate(page) {
        LogSink* log = page.Log();
        m_log = (log && log->IsOpen()) ? log : nullptr;
        m_bDetail = bDetail && m_log;
        int most = std::max(std::max(src.Count(), tgt.Count()), 1);
        m_dStep = 34.0 / most;
    }

    int Run() {
        for (int k = 0; k < kComparisonCount; ++k) {
            const ComparisonInfo& c = kComparisons[k];
            if (c.nNormalizeBefore && !NormalizePass(c.nNormalizeBefore)) return 0;
            int r = RunComparison(k);
            if (r <= 0) return 0;
        }
        if (!ListUnpaired()) return 0;
        return 1;
    }

private:
    static constexpr int kSourcesPerStopTest = 256;

    void LogLine(const std::wstring& a, const wchar_t* b = nullptr, const wchar_t* c = nullptr) {
        if (m_log) m_log->LogLine(a.c_str(), b, c);
    }
    void WriteDetail(const std::wstring& text) {
        if (m_bDetail) m_log->WriteLogText(text.c_str(), true);
    }

    void UpdateProgress() {
        int pos = m_nBase + static_cast<int>(m_nPairs * m_dStep);
        if (pos <= 100 && pos != m_page.GetProgress()) m_page.SetProgress(pos);
    }
    // Before each target or listed folder: messages, progress, stop flag.
    bool Stopped() {
        UpdateProgress();
        return m_gate.Stopped();
    }

    bool NormalizePass(int level) {
        static const wchar_t* const kSourceErr[] = {L"Error normalize (min) source folder names",
                                                     L"Error normalize (med) source folder names",
                                                     L"Error normalize (max) source folder names"};
        static const wchar_t* const kTargetErr[] = {L"Error normalize (min) target folder names",
                                                     L"Error normalize (med) target folder names",
                                                     L"Error normalize (max) target folder names"};
        static const wchar_t* const kDone[] = {L"Finished normalize (lite) folder names",
                                               L"Finished normalize (medium) folder names",
                                               L"Finished normalize (max) folder names"};
        if (!m_src.NormalizeAll(level)) {
            m_page.ShowErrorBox(kSourceErr[level - 1]);
            return false;
        }
        if (!m_tgt.NormalizeAll(level)) {
            m_page.ShowErrorBox(kTargetErr[level - 1]);
            return false;
        }
        LogLine(kDone[level - 1]);
        m_nBase += 2;
        return true;
    }

    // Keys that let the comparison find a target's partner without trying every source.
    void BuildIndex(int k) {
        m_index.Clear();
        m_various.Clear();
        const int n = m_src.Count();
        if (k == kExact) {
            FoldAll(m_src, m_srcFold);
            FoldAll(m_tgt, m_tgtFold);
        }
        if (k < kSubstr || k == kVarious) {
            m_index.Reserve(n);
            if (k == kVarious) m_various.Reserve(n);
        }
        if (k >= kSubstr && k != kVarious) {
            // The sources this comparison may take, in source order; those paired before it starts
            // are left out of comparisons that want unpaired ones.
            m_cand.clear();
            m_srcArtist.clear();
            m_srcAlbum.clear();
            m_sigArtist.clear();
            m_sigAlbum.clear();
            for (int i = 0; i < n; ++i) {
                if (!kComparisons[k].bAllSources && m_src.IsPaired(i)) continue;
                std::wstring artist = k == kAlpha ? AlphaNormalize(m_src.GetArtist(i)) : m_src.GetNmlArtist(i);
                std::wstring album = k == kAlpha ? AlphaNormalize(m_src.GetAlbum(i)) : m_src.GetNmlAlbum(i);
                // Names without one letter or digit ("!!!") leave both keys empty, and an empty
                // key is contained in anything: such a source cannot pair.
                if (artist.empty() && album.empty()) continue;
                m_cand.push_back(i);
                m_srcArtist.push_back(std::move(artist));
                m_srcAlbum.push_back(std::move(album));
                m_sigArtist.push_back(Signature(m_srcArtist.back()));
                m_sigAlbum.push_back(Signature(m_srcAlbum.back()));
            }
            return;
        }
        for (int i = 0; i < n; ++i) {
            const AlbumRecord& s = m_src.Record(i);
            const Folded& f = m_srcFold[i];
            switch (k) {
            case kExact: m_index.Add({f.artist, f.album}, i); break;
            case kReverse: m_index.Add({f.album, f.artist}, i); break;
            case kNmlMin: case kNmlMed: case kNmlMax: m_index.Add({s.sNmlArtist, s.sNmlAlbum}, i); break;
            case kNmlMinRev: case kNmlMedRev: case kNmlMaxRev:
                m_index.Add({s.sNmlAlbum, s.sNmlArtist}, i);
                break;
            case kVarious:
                m_index.Add({s.sNmlAlbum, {}}, i);
                m_various.Add({s.sNmlArtist, {}}, i);
                break;
            }
        }
    }

    // The first source in source order that comparison k accepts for target ti; -1 for none,
    // -2 when the run was stopped during the search.
    int FindPartner(int k, int ti) {
        const AlbumRecord& t = m_tgt.Record(ti);
        const bool all = kComparisons[k].bAllSources;
        switch (k) {
        case kExact:
        case kReverse: return m_index.First({m_tgtFold[ti].artist, m_tgtFold[ti].album}, all, m_src);
        case kNmlMin: case kNmlMed: case kNmlMax: case kNmlMinRev: case kNmlMedRev: case kNmlMaxRev:
            // An empty key equals nothing: two names in other scripts are not the same name.
            if (t.sNmlArtist.empty() || t.sNmlAlbum.empty()) return -1;
            return m_index.First({t.sNmlArtist, t.sNmlAlbum}, all, m_src);
        case kVarious: {
            if (t.sNmlArtist != kVariousArtists || t.sNmlAlbum.empty()) return -1;
            int a = m_index.First({t.sNmlAlbum, {}}, all, m_src);
            int b = m_various.First({t.sNmlAlbum, {}}, all, m_src);
            if (a < 0) return b;
            if (b < 0) return a;
            return std::min(a, b);
        }
        default: return ScanSources(k, t);
        }
    }

    int ScanSources(int k, const AlbumRecord& t) {
        std::wstring tArtist, tAlbum;
        if (k == kAlpha) {
            tArtist = AlphaNormalize(t.sArtist);
            tAlbum = AlphaNormalize(t.sAlbum);
        } else {
            if ((k == kVariousSubstr || k == kVariousRevSubstr) && t.sNmlArtist != kVariousArtists) return -1;
            tArtist = t.sNmlArtist;
            tAlbum = t.sNmlAlbum;
        }
        if (tArtist.empty() && tAlbum.empty()) return -1;
        if ((k == kVariousSubstr || k == kVariousRevSubstr) && tAlbum.empty()) return -1;
        const KeySig artist = Signature(tArtist), album = Signature(tAlbum);
        const bool all = kComparisons[k].bAllSources;
        switch (k) {
        case kSubstr:
        case kAlpha:
            return FirstSource(all, [&](std::size_t si) { return MayContain(album, m_sigAlbum[si]) && MayContain(artist, m_sigArtist[si]); },
                               [&](std::size_t si) { return BothContained(tAlbum, m_srcAlbum[si], tArtist, m_srcArtist[si]); });
        case kRevSubstr:
            return FirstSource(all, [&](std::size_t si) { return MayContain(artist, m_sigAlbum[si]) && MayContain(album, m_sigArtist[si]); },
                               [&](std::size_t si) { return BothContained(tArtist, m_srcAlbum[si], tAlbum, m_srcArtist[si]); });
        case kVariousSubstr:
            return FirstSource(all, [&](std::size_t si) { return MayContain(album, m_sigAlbum[si]); },
                               [&](std::size_t si) { return !m_srcAlbum[si].empty() && Contains(tAlbum, m_srcAlbum[si]); });
        default:
            return FirstSource(all, [&](std::size_t si) { return MayContain(album, m_sigArtist[si]); },
                               [&](std::size_t si) { return !m_srcArtist[si].empty() && Contains(tAlbum, m_srcArtist[si]); });
        }
    }

    // The first candidate that passes the quick test, is still eligible and passes the full test;
    // the lambdas take a position in the candidate list.
    template <class Quick, class Full>
    int FirstSource(bool all, Quick quick, Full full) {
        const std::size_t n = m_cand.size();
        int countdown = kSourcesPerStopTest;
        for (std::size_t c = 0; c < n; ++c) {
            if (--countdown == 0) {
                countdown = kSourcesPerStopTest;
                if (m_gate.Stopped()) return -2;
            }
            if (quick(c) && (all || !m_src.IsPaired(m_cand[c])) && full(c)) return m_cand[c];
        }
        return -1;
    }

    std::wstring DetailEntry(int k, const AlbumRecord& t, const AlbumRecord& s) {
        std::wstring e = s.sRelPath + L"\r\n" + t.sRelPath + L"\r\n";
        switch (k) {
        case kExact: case kReverse: break;
        case kNmlMin: case kNmlMed: case kNmlMax:
            e += MatchedLine(t.sNmlArtist, s.sNmlArtist) + MatchedLine(t.sNmlAlbum, s.sNmlAlbum);
            break;
        case kNmlMinRev: case kNmlMedRev: case kNmlMaxRev:
            e += MatchedLine(t.sNmlArtist, s.sNmlAlbum) + MatchedLine(t.sNmlAlbum, s.sNmlArtist);
            break;
        case kSubstr:
            e += ContainedLine(t.sNmlArtist, s.sNmlArtist) + ContainedLine(t.sNmlAlbum, s.sNmlAlbum);
            break;
        case kRevSubstr:
            e += ContainedLine(t.sNmlArtist, s.sNmlAlbum) + ContainedLine(t.sNmlAlbum, s.sNmlArtist);
            break;
        case kVarious:
            e += MatchedLine(t.sNmlArtist, kVariousArtists) +
                 FormatW(L"Either matched \"%ls\" and \"%ls\"\r\n    or matched \"%ls\" and \"%ls\"\r\n",
                         t.sNmlAlbum.c_str(), s.sNmlAlbum.c_str(), t.sNmlAlbum.c_str(), s.sNmlArtist.c_str());
            break;
        case kVariousSubstr:
            e += MatchedLine(t.sNmlArtist, kVariousArtists) + ContainedLine(t.sNmlAlbum, s.sNmlAlbum);
            break;
        case kVariousRevSubstr:
            e += MatchedLine(t.sNmlArtist, kVariousArtists) + ContainedLine(t.sNmlAlbum, s.sNmlArtist);
            break;
        case kAlpha:
            e += ContainedLine(AlphaNormalize(t.sArtist), AlphaNormalize(s.sArtist)) +
                 ContainedLine(AlphaNormalize(t.sAlbum), AlphaNormalize(s.sAlbum));
            break;
        }
        return e;
    }

    bool AddPair(int k, int ti, int si) {
        const ComparisonInfo& c = kComparisons[k];
        const AlbumRecord& t = m_tgt.Record(ti);
        const AlbumRecord& s = m_src.Record(si);
        std::int32_t code = PairMatchCode(c.nLevel, s.nImageSize, t.nImageSize);
        if (m_bDetail) WriteDetail(DetailEntry(k, t, s));
        m_tgt.SetPairing(ti, s.sRelPath, code);
        m_src.SetPairing(si, t.sRelPath, code);
        ++m_nPairs;
        if (m_result.Add(t.sArtist, t.sAlbum, t.nImageSize, s.nImageSize, s.sRelPath.c_str(), code) < 0) {
            m_page.ShowErrorBox(c.sAddError, m_tgt.GetPath1(ti).c_str(), m_result.TakeWindowError().c_str());
            return false;
        }
        return true;
    }

    // Returns the number of pairs plus one, or 0 on failure or stop.
    int RunComparison(int k) {
        const ComparisonInfo& c = kComparisons[k];
        static const wchar_t* const kQuality[] = {L"BRIGHT GREEN", L"DULL GREEN", L"YELLOW"};
        if (m_bDetail)
            WriteDetail(FormatW(L"%ls  Comparison %d, %ls (match quality %ls)%ls", LogSeparator().c_str(),
                                c.nNumber, c.sHeader, kQuality[c.nLevel], LogSeparator().c_str()));
        BuildIndex(k);
        int found = 0;
        for (int ti = 0; ti < m_tgt.Count(); ++ti) {
            if (k != kExact && m_tgt.IsPaired(ti)) continue;
            if (Stopped()) return 0;
            int si = FindPartner(k, ti);
            if (si == -2) return 0;
            if (si < 0) continue;
            if (!AddPair(k, ti, si)) return 0;
            ++found;
        }
        LogLine(FormatW(c.sSummary, found));
        return found + 1;
    }

    bool ListUnpaired() {
        if (m_bDetail)
            WriteDetail(FormatW(L"%ls  Folders with match not found between source and target%ls",
                                LogSeparator().c_str(), LogSeparator().c_str()));
        int listed = 0;
        if (!ListSide(m_tgt, true, listed)) return false;
        return ListSide(m_src, false, listed);
    }

    bool ListSide(AlbumFolderArray& side, bool isTarget, int& listed) {
        int count = 0;
        for (int i = 0; i < side.Count(); ++i) {
            if (side.IsPaired(i)) continue;
            if (Stopped()) return false;
            const AlbumRecord& r = side.Record(i);
            if (m_log) {
                std::wstring keys = FormatW(L"Normalized: \"%ls\\%ls\"", r.sNmlArtist.c_str(), r.sNmlAlbum.c_str()) +
                                    FormatW(L"\r\nAlpha Normalized: \"%ls\\%ls\"", AlphaNormalize(r.sArtist).c_str(),
                                            AlphaNormalize(r.sAlbum).c_str());
                LogLine(isTarget ? L"Unmatched target folder" : L"Unmatched source folder", r.sRelPath.c_str(),
                        keys.c_str());
            }
            int added = isTarget
                ? m_result.Add(r.sArtist, r.sAlbum, r.nImageSize, -1, L"<No match found in source folders>", kMatchNoSource)
                : m_result.Add(std::wstring(), L"<No match found in target folders>", -1, r.nImageSize,
                               r.sRelPath.c_str(), kMatchNoTarget);
            if (added < 0) {
                m_page.ShowErrorBox(isTarget ? L"Error adding to unmatched folders array (target)"
                                             : L"Error adding to unmatched folders array (source)",
                                    side.GetPath1(i).c_str(), m_result.TakeWindowError().c_str());
                return false;
            }
            ++count;
            if (++listed % 2 == 0) ++m_nPairs;
        }
        LogLine(FormatW(isTarget ? L"Finished list unmatched target folders, %d\r\n"
                                 : L"Finished list unmatched source folders, %d\r\n",
                        count));
        return true;
    }

    MatchContext& m_page;
    AlbumFolderArray& m_src;
    AlbumFolderArray& m_tgt;
    AlbumFolderArray& m_result;
    LogSink* m_log = nullptr;
    bool m_bDetail = false;
    PumpGate m_gate;
    double m_dStep = 0;
    int m_nBase = 60;
    int m_nPairs = 0;  // pairs found so far, for the progress
    SourceIndex m_index;
    SourceIndex m_various;
    // The names with A-Z folded, for comparisons 1 and 3.
    struct Folded {
        std::wstring artist, album;
    };
    std::vector<Folded> m_srcFold;
    std::vector<Folded> m_tgtFold;
    static void FoldAll(const AlbumFolderArray& arr, std::vector<Folded>& out) {
        out.resize(static_cast<std::size_t>(arr.Count()));
        for (int i = 0; i < arr.Count(); ++i) out[i] = {FoldedAZ(arr.GetArtist(i)), FoldedAZ(arr.GetAlbum(i))};
    }
    // Candidate sources of a containment comparison, their keys and the keys' signatures.
    std::vector<int> m_cand;
    std::vector<std::wstring> m_srcArtist;
    std::vector<std::wstring> m_srcAlbum;
    std::vector<KeySig> m_sigArtist;
    std::vector<KeySig> m_sigAlbum;
};

}  // namespace

const ComparisonInfo& GetComparison(int k) { return kComparisons[k]; }

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAZ(a[i]) != FoldAZ(b[i])) return false;
    return true;
}

bool Contains(const std::wstring& t, const std::wstring& s) {
    if (t.size() <= s.size()) return s.find(t) != std::wstring::npos;
    return t.find(s) != std::wstring::npos;
}

std::int32_t PairMatchCode(int nLevel, std::int32_t nSourceImage, std::int32_t nTargetImage) {
    if (nSourceImage == 0) return kMatchNoSourceImage;
    if (nTargetImage == 0) return nLevel;
    return nSourceImage == nTargetImage ? kMatchRed : kMatchOrange;
}

std::wstring MatchedLine(const std::wstring& a, const std::wstring& b) {
    return L"Matched \"" + a + L"\" and \"" + b + L"\"\r\n";
}

std::wstring ContainedLine(const std::wstring& t, const std::wstring& s) {
    return t.size() > s.size() ? MatchedLine(t, s) : MatchedLine(s, t);
}

const std::wstring& LogSeparator() {
    static const std::wstring sep = L"\r\n" + std::wstring(79, L'=') + L"\r\n";
    return sep;
}

int MatchAlbumArrays(MatchContext& page, AlbumFolderArray& src, AlbumFolderArray& tgt, bool bDetailLog,
                     AlbumFolderArray& result) {
    try {
        page.SetStatus(L"Comparing subfolders of source and target ...");
        page.SetProgress(60);
        MatchRun run(page, src, tgt, bDetailLog, result);
        if (!run.Run()) return 0;
        page.SetStatus(L"Folder matching completed");
        return 1;
    } catch (const std::bad_alloc&) {
        page.ShowErrorBox(L"Out of memory while matching album folders");
        return 0;
    }
}

namespace {

int WithImage(const AlbumFolderArray& arr) {
    int n = 0;
    for (int i = 0; i < arr.Count(); ++i) n += arr.GetImageSize(i) > 0;
    return n;
}

int ScanAndMatch(MatchContext& page, const AlbumScanFn& scan, const std::wstring& sSourceDir,
                 const std::wstring& sTargetDir, const std::wstring& sSourceImage,
                 const std::wstring& sTargetImage, bool bDetailLog, AlbumFolderArray& result) {
    AlbumFolderArray src(sSourceDir);
    AlbumFolderArray tgt(sTargetDir);
    LogSink* log = page.Log();
    if (log && !log->IsOpen()) log = nullptr;

    page.SetProgress(3);
    page.SetStatus(L"Waiting for directory info from Windows, may take several seconds ...");
    if (!scan(page, sSourceDir, sSourceImage, src)) return 0;
    if (log)
        log->LogLine(L"Finished loading source folder info", sSourceDir.c_str(),
                     FormatW(L"%d album folders with image", WithImage(src)).c_str());

    page.SetProgress(30);
    page.PumpMessages();
    if (page.IsCancelled()) return 0;

    if (!scan(page, sTargetDir, sTargetImage, tgt)) return 0;
    if (log)
        log->LogLine(L"Finished loading target folder info", sTargetDir.c_str(),
                     FormatW(L"%d album folders", tgt.Count()).c_str());

    return MatchAlbumArrays(page, src, tgt, bDetailLog, result);
}

}  // namespace

int MatchFolders(MatchContext& page, const AlbumScanFn& scan, const std::wstring& sSourceDir,
                 const std::wstring& sTargetDir, const std::wstring& sSourceImage,
                 const std::wstring& sTargetImage, bool bDetailLog, AlbumFolderArray& result) {
    // Called from the page's button handler: nothing may escape into the window procedure.
    try {
        return ScanAndMatch(page, scan, sSourceDir, sTargetDir, sSourceImage, sTargetImage, bDetailLog, result);
    } catch (const std::bad_alloc&) {
        page.ShowErrorBox(L"Out of memory while matching album folders");
        return 0;
    }
}

std::vector<std::wstring> UnreadFoldersMessage(const UnreadFolders& unread, const std::wstring& sLogPath) {
    std::wstring first = unread.nCount == 1
                             ? std::wstring(L"Non-fatal error: 1 folder could not be read, its albums are not in the list:")
                             : FormatW(L"Non-fatal error: %d folders could not be read, their albums are not in the list:",
                                       unread.nCount);
    std::wstring names;
    for (const std::wstring& f : unread.named) names += (names.empty() ? L"" : L"\r\n") + f;
    int more = unread.nCount - static_cast<int>(unread.named.size());
    if (more > 0) names += FormatW(L"\r\nand %d more", more);
    std::wstring where = sLogPath.empty()
                             ? std::wstring(L"Turn on the album art log (Settings, Logging options) to have every one listed.")
                             : L"Every one is listed in the log " + sLogPath;
    return {first, names, where};
}

}  // namespace swirlo
