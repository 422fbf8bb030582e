#include "LiteralMatch.h"

#include <algorithm>

#include "albumart/core/MatchFolders.h"
#include "albumart/core/Normalize.h"

namespace swirlo::test {

namespace {

const std::wstring kSep = L"\r\n" + std::wstring(79, L'=') + L"\r\n", kVA = L"variousartists";

// _wcsicmp in the default locale.
bool IEqual(const std::wstring& a, const std::wstring& b) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + 32 : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

// The shorter occurs in the longer; on equal length T is searched for in S.
bool Containment(const std::wstring& t, const std::wstring& s) {
    if (t.size() > s.size()) return t.find(s) != std::wstring::npos;
    return s.find(t) != std::wstring::npos;
}

std::wstring Quoted(const std::wstring& a, const std::wstring& b) {
    return FormatW(L"Matched \"%ls\" and \"%ls\"\r\n", a.c_str(), b.c_str());
}
std::wstring SearchLine(const std::wstring& t, const std::wstring& s) {
    return t.size() > s.size() ? Quoted(t, s) : Quoted(s, t);
}

struct Literal {
    MatchContext& page;
    AlbumFolderArray& src;
    AlbumFolderArray& tgt;
    AlbumFolderArray& result;
    LogSink* log;
    bool detail;
    double step;
    int base = 60;
    int pairs = 0;

    void Progress() {
        int pos = base + static_cast<int>(pairs * step);
        if (pos <= 100 && pos != page.GetProgress()) page.SetProgress(pos);
    }
    void Line(const std::wstring& a, const wchar_t* b = nullptr, const wchar_t* c = nullptr) {
        if (log) log->LogLine(a.c_str(), b, c);
    }

    // The alpha keys of the target in hand, computed once per target.
    std::wstring targetAlphaArtist, targetAlphaAlbum;

    // Equality over keys, where an empty key equals nothing.
    static bool KeyEqual(const std::wstring& a, const std::wstring& b) { return !a.empty() && IEqual(a, b); }
    // A containment between two non-empty keys: a containment comparison pairs only when one holds.
    static bool Solid(const std::wstring& t, const std::wstring& s) { return !t.empty() && !s.empty() && Containment(t, s); }
    static bool Two(const std::wstring& t1, const std::wstring& s1, const std::wstring& t2, const std::wstring& s2) {
        return Containment(t1, s1) && Containment(t2, s2) && (Solid(t1, s1) || Solid(t2, s2));
    }

    bool Accepts(int k, const AlbumRecord& t, const AlbumRecord& s) {
        switch (k) {
        case 0: return IEqual(t.sArtist, s.sArtist) && IEqual(t.sAlbum, s.sAlbum);
        case 2: return IEqual(t.sArtist, s.sAlbum) && IEqual(t.sAlbum, s.sArtist);
        case 1: case 4: case 6: return KeyEqual(t.sNmlArtist, s.sNmlArtist) && KeyEqual(t.sNmlAlbum, s.sNmlAlbum);
        case 3: case 5: case 7: return KeyEqual(t.sNmlArtist, s.sNmlAlbum) && KeyEqual(t.sNmlAlbum, s.sNmlArtist);
        case 8: return Two(t.sNmlArtist, s.sNmlArtist, t.sNmlAlbum, s.sNmlAlbum);
        case 9: return Two(t.sNmlArtist, s.sNmlAlbum, t.sNmlAlbum, s.sNmlArtist);
        case 10:
            return IEqual(t.sNmlArtist, kVA) && (KeyEqual(t.sNmlAlbum, s.sNmlAlbum) || KeyEqual(t.sNmlAlbum, s.sNmlArtist));
        case 11: return IEqual(t.sNmlArtist, kVA) && Solid(t.sNmlAlbum, s.sNmlAlbum);
        case 12: return IEqual(t.sNmlArtist, kVA) && Solid(t.sNmlAlbum, s.sNmlArtist);
        default: return Two(targetAlphaArtist, AlphaNormalize(s.sArtist), targetAlphaAlbum, AlphaNormalize(s.sAlbum));
        }
    }

    std::wstring DetailLines(int k, const AlbumRecord& t, const AlbumRecord& s) {
        switch (k) {
        case 0: case 2: return L"";
        case 1: case 4: case 6: return Quoted(t.sNmlArtist, s.sNmlArtist) + Quoted(t.sNmlAlbum, s.sNmlAlbum);
        case 3: case 5: case 7: return Quoted(t.sNmlArtist, s.sNmlAlbum) + Quoted(t.sNmlAlbum, s.sNmlArtist);
        case 8: return SearchLine(t.sNmlArtist, s.sNmlArtist) + SearchLine(t.sNmlAlbum, s.sNmlAlbum);
        case 9: return SearchLine(t.sNmlArtist, s.sNmlAlbum) + SearchLine(t.sNmlAlbum, s.sNmlArtist);
        case 10:
            return Quoted(t.sNmlArtist, kVA) +
                   FormatW(L"Either matched \"%ls\" and \"%ls\"\r\n    or matched \"%ls\" and \"%ls\"\r\n",
                           t.sNmlAlbum.c_str(), s.sNmlAlbum.c_str(), t.sNmlAlbum.c_str(), s.sNmlArtist.c_str());
        case 11: return Quoted(t.sNmlArtist, kVA) + SearchLine(t.sNmlAlbum, s.sNmlAlbum);
        case 12: return Quoted(t.sNmlArtist, kVA) + SearchLine(t.sNmlAlbum, s.sNmlArtist);
        default:
            return SearchLine(AlphaNormalize(t.sArtist), AlphaNormalize(s.sArtist)) +
                   SearchLine(AlphaNormalize(t.sAlbum), AlphaNormalize(s.sAlbum));
        }
    }

    bool Normalize(int level) {
        const wchar_t* names[] = {L"min", L"med", L"max"};
        const wchar_t* done[] = {L"lite", L"medium", L"max"};
        for (AlbumFolderArray* side : {&src, &tgt})
            if (!side->NormalizeAll(level)) {
                page.ShowErrorBox(FormatW(L"Error normalize (%ls) %ls folder names", names[level - 1],
                                          side == &src ? L"source" : L"target").c_str());
                return false;
            }
        Line(FormatW(L"Finished normalize (%ls) folder names", done[level - 1]));
        base += 2;
        return true;
    }

    bool Compare(int k) {
        const ComparisonInfo& c = GetComparison(k);
        const wchar_t* quality[] = {L"BRIGHT GREEN", L"DULL GREEN", L"YELLOW"};
        if (detail)
            log->WriteLogText(FormatW(L"%ls  Comparison %d, %ls (match quality %ls)%ls", kSep.c_str(), c.nNumber,
                                      c.sHeader, quality[c.nLevel], kSep.c_str()).c_str(),
                              true);
        int found = 0;
        for (int ti = 0; ti < tgt.Count(); ++ti) {
            if (k != 0 && tgt.IsPaired(ti)) continue;
            page.PumpMessages();
            Progress();
            if (page.IsCancelled()) return false;
            if (k == kComparisonCount - 1) {
                targetAlphaArtist = AlphaNormalize(tgt.GetArtist(ti));
                targetAlphaAlbum = AlphaNormalize(tgt.GetAlbum(ti));
            }
            const AlbumRecord& t = tgt.Record(ti);
            for (int si = 0; si < src.Count(); ++si) {
                page.PumpMessages();
                if (page.IsCancelled()) return false;
                const AlbumRecord& s = src.Record(si);
                if ((!c.bAllSources && src.IsPaired(si)) || !Accepts(k, t, s)) continue;
                int code = s.nImageSize == 0 ? 5 : t.nImageSize == 0 ? c.nLevel : s.nImageSize == t.nImageSize ? 4 : 3;
                if (detail)
                    log->WriteLogText(FormatW(L"%ls\r\n%ls\r\n", s.sRelPath.c_str(), t.sRelPath.c_str()).append(DetailLines(k, t, s)).c_str(),
                                      true);
                tgt.SetPairing(ti, s.sRelPath, code);
                src.SetPairing(si, t.sRelPath, code);
                ++pairs;
                ++found;
                if (result.Add(t.sArtist, t.sAlbum, t.nImageSize, s.nImageSize, s.sRelPath.c_str(), code) < 0) {
                    page.ShowErrorBox(c.sAddError, tgt.GetPath1(ti).c_str(), result.TakeWindowError().c_str());
                    return false;
                }
                break;
            }
        }
        Line(FormatW(c.sSummary, found));
        return true;
    }

    bool List(AlbumFolderArray& side, bool isTarget, int& listed) {
        const wchar_t* which = isTarget ? L"target" : L"source";
        int count = 0;
        for (int i = 0; i < side.Count(); ++i) {
            if (side.IsPaired(i)) continue;
            page.PumpMessages();
            Progress();
            if (page.IsCancelled()) return false;
            const AlbumRecord& r = side.Record(i);
            std::wstring a = AlphaNormalize(r.sArtist), b = AlphaNormalize(r.sAlbum);
            Line(FormatW(L"Unmatched %ls folder", which), r.sRelPath.c_str(),
                 FormatW(L"Normalized: \"%ls\\%ls\"\r\nAlpha Normalized: \"%ls\\%ls\"", r.sNmlArtist.c_str(),
                         r.sNmlAlbum.c_str(), a.c_str(), b.c_str()).c_str());
            int added = isTarget ? result.Add(r.sArtist, r.sAlbum, r.nImageSize, -1, L"<No match found in source folders>", 6)
                                 : result.Add(L"", L"<No match found in target folders>", -1, r.nImageSize, r.sRelPath.c_str(), 7);
            if (added < 0) {
                page.ShowErrorBox(FormatW(L"Error adding to unmatched folders array (%ls)", which).c_str(),
                                  side.GetPath1(i).c_str(), result.TakeWindowError().c_str());
                return false;
            }
            ++count;
            if (++listed % 2 == 0) ++pairs;
        }
        Line(FormatW(L"Finished list unmatched %ls folders, %d\r\n", which, count));
        return true;
    }
};

}  // namespace

int LiteralMatchAlbumArrays(MatchContext& page, AlbumFolderArray& src, AlbumFolderArray& tgt, bool bDetailLog,
                            AlbumFolderArray& result) {
    LogSink* log = page.Log();
    if (log && !log->IsOpen()) log = nullptr;
    int most = std::max(std::max(src.Count(), tgt.Count()), 1);
    Literal run{page, src, tgt, result, log, bDetailLog && log != nullptr, 34.0 / most, 60, 0, {}, {}};
    page.SetStatus(L"Comparing subfolders of source and target ...");
    page.SetProgress(60);
    for (int k = 0; k < kComparisonCount; ++k) {
        int level = k == 1 ? 1 : k == 4 ? 2 : k == 6 ? 3 : 0;
        if (level && !run.Normalize(level)) return 0;
        if (!run.Compare(k)) return 0;
    }
    if (run.detail)
        log->WriteLogText((kSep + L"  Folders with match not found between source and target" + kSep).c_str(), true);
    int listed = 0;
    if (!run.List(tgt, true, listed) || !run.List(src, false, listed)) return 0;
    page.SetStatus(L"Folder matching completed");
    return 1;
}

}  // namespace swirlo::test
