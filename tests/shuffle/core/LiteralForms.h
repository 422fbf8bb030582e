// The placement and the repeat separation written step by step, as plainly as the program's rules
// read: a free-slot list shifted after every draw and scanned linearly, plays compared by path.
// They are slow; the tests prove that the program's faster forms give the same result for the
// same random draws.
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "foundation/ErrorText.h"
#include "foundation/RunContext.h"
#include "shuffle/core/RandomSource.h"
#include "shuffle/core/SeparateDups.h"
#include "shuffle/core/SongArray.h"

namespace swirlo::testing {

inline int LiteralSeparateDups(RunContext& ctx, const CSongArray& songs, std::vector<std::uint32_t>& order,
                               int N) {
    const long n = static_cast<long>(songs.GetSize());
    const unsigned maxMoves = N >= 10 ? N : N + 5;
    LogSink* log = ctx.Log();
    const bool bLog = log && log->IsOpen();
    // A macro so that the text is formatted only when it is logged.
#define LITERAL_LOG(...) \
    if (bLog) log->LogLine(FormatW(__VA_ARGS__).c_str())
    auto move = [&](long from, long to) {  // shift the plays between by one place
        std::uint32_t* a = order.data();
        std::uint32_t v = a[from];
        for (long t = from; t > to; --t) a[t] = a[t - 1];
        for (long t = from; t < to; ++t) a[t] = a[t + 1];
        a[to] = v;
    };
    unsigned fails = 0, moved = 0, moves = 0;
    bool prevMoved = false;
    int base1 = ctx.GetProgress();
    long i = n - 2;
    while (i >= 0) {
        moves = prevMoved ? moves + 1 : 0;
        prevMoved = false;
        ctx.SetProgress(static_cast<int>((n - i) * 60 / n) + base1);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
        if (moves > 0 && (moves > maxMoves || static_cast<long>(moves) > i)) {
            LITERAL_LOG(L"SeparateDups gave up distancing song after %u moves, still too close.\r\nThis is first sweep of two, may be successfully distanced next sweep.\r\n%ls\r\nCurrent placement in shuffled playlist: %u\r\n",
                            maxMoves, songs.GetSong(order[i]), static_cast<unsigned>(i));
            ++fails;
            --i;
            continue;
        }
        long found = -1;
        for (long j = i + 1; j <= std::min(i + N, n - 1); ++j)
            if (songs.IsSameSong(order[i], order[j])) { found = j; break; }
        if (found < 0) { --i; continue; }
        long newPos = std::max(i - N - 5, 0L);
        move(i, newPos);
        prevMoved = true;
        if (bLog) ++moved;
        LITERAL_LOG(L"SeparateDups moved repeated song too close to next play.\r\n%ls\r\nNew placement in shuffled playlist: %u\r\nOld placement (too close) in shuffled playlist: %u\r\nDuplicate's placement in shuffled playlist: %d\r\nMoves done at this array index (old placement): %u\r\n",
                        songs.GetSong(order[newPos]), static_cast<unsigned>(newPos), static_cast<unsigned>(i),
                        static_cast<int>(found), moves + 1);
    }
    if (fails == 0) {
        LITERAL_LOG(L"Moved %u songs that were repeated too soon in subsequent play\r\nAll were sufficiently separated on first sweep, skipping second sweep", moved);
        return 1;
    }
    LITERAL_LOG(L"On first sweep moved %u songs repeated too soon in subsequent play,\r\nbut still %u songs not sufficiently separated. Starting second sweep.\r\n", moved, fails);
    int base2 = ctx.GetProgress();
    fails = 0;
    moves = 0;
    prevMoved = false;
    std::wstring last;
    long k = 1;
    while (k <= n - 1) {
        moves = prevMoved ? moves + 1 : 0;
        prevMoved = false;
        ctx.SetProgress(static_cast<int>(10 * k / n) + base2);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
        if (moves > 0 && (moves > maxMoves || static_cast<long>(moves) > n - k - 1)) {
            LITERAL_LOG(L"SeparateDups gave up distancing song after %u moves, still too close.\r\n%ls\r\nCurrent placement in shuffled playlist: %u\r\n",
                            maxMoves, songs.GetSong(order[k]), static_cast<unsigned>(k));
            ++fails;
            last = std::wstring(songs.GetSong(order[k])) + L"\r\n";
            ++k;
            continue;
        }
        long found = -1;
        for (long j = k - 1; j >= std::max(k - N, 0L); --j)
            if (songs.IsSameSong(order[k], order[j])) { found = j; break; }
        if (found < 0) { ++k; continue; }
        long newPos = std::min(k + N + 5, n - 1);
        move(k, newPos);
        prevMoved = true;
        if (bLog) ++moved;
        LITERAL_LOG(L"SeparateDups moved repeated song too close to previous play.\r\n%ls\r\nNew placement in shuffled playlist: %u\r\nOld placement (too close) in shuffled playlist: %u\r\nDuplicate's placement in shuffled playlist: %d\r\nMoves done at this array index (old placement): %u\r\n",
                        songs.GetSong(order[newPos]), static_cast<unsigned>(newPos), static_cast<unsigned>(k),
                        static_cast<int>(found), moves + 1);
    }
    LITERAL_LOG(L"Moved %u songs that were repeated too soon after previous play\r\nRequired two sweeps to sufficiently separate all songs\r\n", moved);
    if (fails == 0) return 1;
    std::wstring t = FormatW(L"Failed to separate %u songs from repeat within %u plays\r\nLast failure:\r\n%ls", fails,
                             static_cast<unsigned>(N), last.c_str());
    ctx.Error().SetErrorParts(t.c_str());
    if (bLog) log->LogLine(t.c_str());
#undef LITERAL_LOG
    return 0;
}

struct LiteralPlacement {
    std::vector<std::int32_t> order;  // nArrWholeList
    int nShortfalls = 0;
    int nMinSegmentSize = 0;
    int result = 0;
};

// A line of the placement's log, with its time stamp or without.
inline void LiteralLog(RunContext& ctx, bool stamped, const std::wstring& t, const wchar_t* second = nullptr) {
    if (ctx.Log() && ctx.Log()->IsOpen()) stamped ? ctx.Log()->LogLine(t.c_str()) : ctx.Log()->LogLineNoTime(t.c_str(), second);
}

// Place group exactly as written: nArrAvailable shifted after each draw, scanned linearly, the
// previous-position keys kept in an ordered map.
inline int LiteralPlaceGroup(RunContext& ctx, RandomSource& rng, std::vector<std::int32_t>& whole,
                             std::vector<std::vector<int>>& slots, const std::vector<int>& group, int m, int N,
                             int span, int& shortfalls) {
    auto noTime = [&](const std::wstring& t, const wchar_t* second = nullptr) { LiteralLog(ctx, false, t, second); };
    auto stamped = [&](const std::wstring& t) { LiteralLog(ctx, true, t); };
    const int total = static_cast<int>(whole.size());
    const int k = static_cast<int>(group.size());
    stamped(FormatW(L"Begin assigning songs repeated %d times each, %d unique songs", m, k));
    std::vector<int> avail;
    for (int p = 0; p < total; ++p)
        if (whole[p] == -1) avail.push_back(p);
    const int nAvail = static_cast<int>(avail.size());
    if (nAvail < m * k)
        return ctx.Error().SetErrorParts(
            FormatW(L"Logic error, %d slots available for assigning %d songs %d times each", nAvail, k, m).c_str());
    const int segSize = total / m;
    const int minSep = std::min(N, segSize / 3);
    noTime(FormatW(L"%d unused slots available. Segment size %d. Min separation between songs %d", nAvail, segSize, minSep));
    std::wstring line = L"Available slots in each segment:";
    bool enough = true;
    for (int s = 0; s < m; ++s) {
        int c = 0;
        for (int p = s * segSize; p <= s * segSize + segSize - 1; ++p)
            if (whole[p] == -1) ++c;
        line += FormatW(L" %d", c);
        if (c < k) { line += L" (too few)"; enough = false; }
    }
    noTime(line);
    std::vector<int> bound(m + 1);
    bound[0] = 0;
    if (enough) {
        noTime(L"Sufficient unassigned slots in each segment of equally divided list");
        for (int s = 1; s < m; ++s) {
            int j = bound[s - 1] + k - 1;
            while (avail[j] < s * segSize) ++j;
            bound[s] = j;
        }
    } else {
        noTime(L"One or more segments of equally divided list without enough unassigned slots",
               FormatW(L"Will set segment ranges by equally dividing the %d unassigned slots", nAvail).c_str());
        for (int s = 1; s < m; ++s) bound[s] = s * (nAvail / m);
    }
    bound[m] = nAvail;
    std::map<int, int> cur, next;
    for (int j = 0; j < k; ++j) cur[j] = j;
    const int base = ctx.GetProgress();
    long placed = 0;
    for (int s = 0; s < m; ++s) {
        next.clear();
        std::vector<std::pair<int, int>> keys(cur.begin(), cur.end());  // ascending
        int nMaxIx = bound[s + 1] - 1;
        noTime(FormatW(L"Segment %d  Min, Max nArrAvailable indexes for segment are %d, %d", s, bound[s], nMaxIx));
        int nMinIx = bound[s] + s;
        for (int j = k - 1; j >= 0; --j) {
            int key = keys[j].first, song = keys[j].second, record = group[song];
            if (nMinIx != bound[s]) {
                int idx = bound[s];
                while (idx <= nMaxIx && avail[idx] < key + minSep + 1) ++idx;
                if (idx <= nMaxIx) {
                    nMinIx = idx;
                } else {
                    ++shortfalls;
                    nMinIx = nMaxIx;
                    std::wstring t = FormatW(
                        L"Less than minimum separation in segment %d of songs with %d repeats\r\nMinimum separation for this group: %d  Actual separation: %d\r\nLocation in playlist (farthest unused slot in segment): %d\r\nLocation of previous occurrence of same song: %d\r\n",
                        s + 1, m, minSep, avail[nMaxIx] - key, avail[nMaxIx] + 1, key + 1);
                    ctx.Error().SetErrorParts(t.c_str());
                    stamped(t);
                }
            }
            int nRandMax = nMaxIx - nMinIx;
            if (nRandMax < 0) return ctx.Error().SetErrorParts(L"Logic error, nRandMax not in range 0 to RAND_MAX_BIG");
            int idx = nMinIx + static_cast<int>(GetRandomUintBig(rng, nRandMax));
            int pos = avail[idx];
            if (pos < 0 || whole[pos] != -1) return ctx.Error().SetErrorParts(L"Logic error");
            whole[pos] = record;
            slots[record][s] = pos;
            next[pos] = song;
            for (int t = idx; t < nMaxIx; ++t) avail[t] = avail[t + 1];
            avail[nMaxIx] = -1;
            --nMaxIx;
            ++placed;
            ctx.SetProgress(static_cast<int>(placed * span / total) + base);
            ctx.PumpMessages();
            if (ctx.IsCancelled()) return 0;
        }
        cur.swap(next);
    }
    return 1;
}

inline LiteralPlacement LiteralDistribute(RunContext& ctx, RandomSource& rng, const CSongArray& songs, int N,
                                          int span) {
    LiteralPlacement r;
    const int total = static_cast<int>(songs.GetTotal());
    if (total < 10) {
        ctx.Error().SetErrorParts(FormatW(L"Playlist length %d is less than minimum 10 for this shuffle method.", total).c_str());
        return r;
    }
    r.order.assign(total, -1);
    r.nMinSegmentSize = total / songs.GetMaxCount();
    std::vector<std::vector<int>> slots(songs.GetSize(), std::vector<int>(255, -1));
    auto stamped = [&](const std::wstring& t) { LiteralLog(ctx, true, t); };
    int base = ctx.GetProgress(), done = 0;
    stamped(L"Begin assigning by groups of same repetition count");
    rng.Seed(static_cast<std::uint32_t>(ctx.TickCount()));
    for (int m = songs.GetMaxCount(); m >= 1; --m) {
        std::vector<int> group;
        for (std::uint32_t i = 0; i < songs.GetSize(); ++i)
            if (songs.GetCount(i) == m) group.push_back(static_cast<int>(i));
        if (group.empty()) continue;
        int k = static_cast<int>(group.size());
        if (!LiteralPlaceGroup(ctx, rng, r.order, slots, group, m, N, span, r.nShortfalls)) return r;
        done += k * m;
        stamped(FormatW(L"Finished group with %d repeats, %d unique songs, %d total", m, k, k * m));
        ctx.SetProgress(static_cast<int>(static_cast<long>(done) * span / total) + base);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return r;
    }
    r.result = 1;
    return r;
}

}  // namespace swirlo::testing
