#include "shuffle/core/SeparateDups.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/ErrorText.h"

namespace swirlo {

namespace {

// Plays are compared by song identity, kept in an array beside the order, so that a probe is one
// integer comparison instead of a path comparison.
struct Plays {
    std::uint32_t* order;
    std::vector<std::uint32_t> ids;

    // Moves the entry at from to to, shifting the entries between by one place.
    void Move(std::int64_t from, std::int64_t to) {
        if (from == to) return;
        std::uint32_t o = order[from], id = ids[from];
        if (to < from) {
            std::memmove(order + to + 1, order + to, (from - to) * sizeof(std::uint32_t));
            std::memmove(ids.data() + to + 1, ids.data() + to, (from - to) * sizeof(std::uint32_t));
        } else {
            std::memmove(order + from, order + from + 1, (to - from) * sizeof(std::uint32_t));
            std::memmove(ids.data() + from, ids.data() + from + 1, (to - from) * sizeof(std::uint32_t));
        }
        order[to] = o;
        ids[to] = id;
    }

    // First j in [lo, hi] (ascending) with the same song as the play at i; -1 when none.
    std::int64_t FindAfter(std::int64_t i, std::int64_t lo, std::int64_t hi) const {
        const std::uint32_t s = ids[i];
        const std::uint32_t* p = ids.data();
        std::int64_t j = lo;
        // Blocks without an early exit let the compiler compare several at once.
        for (; j + 16 <= hi + 1; j += 16) {
            unsigned hit = 0;
            for (int t = 0; t < 16; ++t) hit |= static_cast<unsigned>(p[j + t] == s);
            if (hit) break;
        }
        for (; j <= hi; ++j)
            if (p[j] == s) return j;
        return -1;
    }

    // First j from hi down to lo with the same song as the play at k; -1 when none.
    std::int64_t FindBefore(std::int64_t k, std::int64_t lo, std::int64_t hi) const {
        const std::uint32_t s = ids[k];
        const std::uint32_t* p = ids.data();
        std::int64_t j = hi;
        for (; j - 15 >= lo; j -= 16) {
            unsigned hit = 0;
            for (int t = 0; t < 16; ++t) hit |= static_cast<unsigned>(p[j - t] == s);
            if (hit) break;
        }
        for (; j >= lo; --j)
            if (p[j] == s) return j;
        return -1;
    }
};

// What both sweeps share: the plays, the limits and the log.
struct Sweeps {
    RunContext& ctx;
    const CSongArray& songs;
    Plays plays;
    std::int64_t n, N;
    unsigned maxMoves;
    LogSink* log;
    bool bLog;
    unsigned moved = 0;  // plays moved in both sweeps, counted where they are logged

    void Line(const std::wstring& text) const {
        if (bLog) log->LogLine(text.c_str());
    }
    // Both sweeps log a move alike; the first line says which neighbour was too close.
    void LogMove(const wchar_t* sWhat, std::int64_t newPos, std::int64_t oldPos, std::int64_t dup, unsigned moves) {
        if (!bLog) return;
        ++moved;
        log->LogLine(FormatW(L"%ls%ls\r\nNew placement in shuffled playlist: %u\r\n"
                             L"Old placement (too close) in shuffled playlist: %u\r\n"
                             L"Duplicate's placement in shuffled playlist: %d\r\n"
                             L"Moves done at this array index (old placement): %u\r\n",
                             sWhat, songs.GetSong(plays.order[newPos]), static_cast<unsigned>(newPos),
                             static_cast<unsigned>(oldPos), static_cast<int>(dup), moves + 1)
                         .c_str());
    }
};

// First sweep: a play too close to the next play of its song moves towards the start. False when
// cancelled; fails counts the plays given up on.
bool SweepTowardsStart(Sweeps& sw, unsigned& fails) {
    RunContext& ctx = sw.ctx;
    Plays& plays = sw.plays;
    const std::int64_t n = sw.n, N = sw.N;
    const unsigned maxMoves = sw.maxMoves;
    const int base1 = ctx.GetProgress();
    unsigned moves = 0;
    bool bMovedLast = false;
    for (std::int64_t i = n - 2; i >= 0;) {
        moves = bMovedLast ? moves + 1 : 0;
        bMovedLast = false;
        ctx.SetProgress(static_cast<int>((n - i) * 60 / n) + base1);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return false;
        if (moves > 0 && (moves > maxMoves || moves > i)) {
            if (sw.bLog)
                sw.Line(FormatW(L"SeparateDups gave up distancing song after %u moves, still too close.\r\n"
                                L"This is first sweep of two, may be successfully distanced next sweep.\r\n"
                                L"%ls\r\nCurrent placement in shuffled playlist: %u\r\n",
                                maxMoves, sw.songs.GetSong(plays.order[i]), static_cast<unsigned>(i)));
            ++fails;
            --i;
            continue;
        }
        std::int64_t j = plays.FindAfter(i, i + 1, std::min(i + N, n - 1));
        if (j < 0) {
            --i;
            continue;
        }
        std::int64_t newPos = std::max<std::int64_t>(i - N - 5, 0);
        plays.Move(i, newPos);
        bMovedLast = true;
        sw.LogMove(L"SeparateDups moved repeated song too close to next play.\r\n", newPos, i, j, moves);
    }
    return true;
}

// Second sweep: a play too close to the previous play of its song moves towards the end. False when
// cancelled; fails counts the plays given up on, sLastFailure names the last of them.
bool SweepTowardsEnd(Sweeps& sw, unsigned& fails, std::wstring& sLastFailure) {
    RunContext& ctx = sw.ctx;
    Plays& plays = sw.plays;
    const std::int64_t n = sw.n, N = sw.N;
    const unsigned maxMoves = sw.maxMoves;
    const int base2 = ctx.GetProgress();
    unsigned moves = 0;
    bool bMovedLast = false;
    for (std::int64_t k = 1; k <= n - 1;) {
        moves = bMovedLast ? moves + 1 : 0;
        bMovedLast = false;
        ctx.SetProgress(static_cast<int>(10 * k / n) + base2);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return false;
        if (moves > 0 && (moves > maxMoves || moves > n - k - 1)) {
            const wchar_t* sPath = sw.songs.GetSong(plays.order[k]);
            if (sw.bLog)
                sw.Line(FormatW(L"SeparateDups gave up distancing song after %u moves, still too close.\r\n"
                                L"%ls\r\nCurrent placement in shuffled playlist: %u\r\n",
                                maxMoves, sPath, static_cast<unsigned>(k)));
            ++fails;
            sLastFailure = std::wstring(sPath) + L"\r\n";
            ++k;
            continue;
        }
        std::int64_t j = plays.FindBefore(k, std::max<std::int64_t>(k - N, 0), k - 1);
        if (j < 0) {
            ++k;
            continue;
        }
        std::int64_t newPos = std::min(k + N + 5, n - 1);
        plays.Move(k, newPos);
        bMovedLast = true;
        sw.LogMove(L"SeparateDups moved repeated song too close to previous play.\r\n", newPos, k, j, moves);
    }
    return true;
}

}  // namespace

int SeparateDups(RunContext& ctx, const CSongArray& songs, std::uint32_t* order, int nSeparation) {
    const std::int64_t n = songs.GetSize();
    LogSink* log = ctx.Log();
    Sweeps sw{ctx, songs, Plays{order, std::vector<std::uint32_t>(static_cast<std::size_t>(n))}, n, nSeparation,
              SeparateDupsMaxMoves(nSeparation), log, log && log->IsOpen()};
    for (std::int64_t i = 0; i < n; ++i) sw.plays.ids[i] = songs.SongId(order[i]);

    unsigned fails = 0;
    if (!SweepTowardsStart(sw, fails)) return 0;
    if (fails == 0) {
        sw.Line(FormatW(L"Moved %u songs that were repeated too soon in subsequent play\r\n"
                        L"All were sufficiently separated on first sweep, skipping second sweep",
                        sw.moved));
        return 1;
    }
    sw.Line(FormatW(L"On first sweep moved %u songs repeated too soon in subsequent play,\r\n"
                    L"but still %u songs not sufficiently separated. Starting second sweep.\r\n",
                    sw.moved, fails));

    fails = 0;
    std::wstring sLastFailure;
    if (!SweepTowardsEnd(sw, fails, sLastFailure)) return 0;
    sw.Line(FormatW(L"Moved %u songs that were repeated too soon after previous play\r\n"
                    L"Required two sweeps to sufficiently separate all songs\r\n",
                    sw.moved));
    if (fails == 0) return 1;
    std::wstring sFail = FormatW(L"Failed to separate %u songs from repeat within %u plays\r\nLast failure:\r\n%ls",
                                 fails, static_cast<unsigned>(nSeparation), sLastFailure.c_str());
    ctx.Error().SetErrorParts(sFail.c_str());
    sw.Line(sFail);
    return 0;
}

}  // namespace swirlo
