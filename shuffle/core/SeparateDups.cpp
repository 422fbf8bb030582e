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

}  // namespace

int SeparateDups(RunContext& ctx, const CSongArray& songs, std::uint32_t* order, int nSeparation) {
    const std::int64_t n = songs.GetSize();
    const std::int64_t N = nSeparation;
    const unsigned maxMoves = SeparateDupsMaxMoves(nSeparation);
    LogSink* log = ctx.Log();
    const bool bLog = log && log->IsOpen();

    Plays plays{order, std::vector<std::uint32_t>(static_cast<std::size_t>(n))};
    for (std::int64_t i = 0; i < n; ++i) plays.ids[i] = songs.SongId(order[i]);

    const int base1 = ctx.GetProgress();
    unsigned fails = 0, moved = 0, moves = 0;
    bool bMovedLast = false;
    // Both sweeps log a move alike; the first line says which neighbour was too close.
    auto logMove = [&](const wchar_t* sWhat, std::int64_t newPos, std::int64_t oldPos, std::int64_t dup) {
        if (!bLog) return;
        ++moved;
        log->LogLine(FormatW(L"%ls%ls\r\nNew placement in shuffled playlist: %u\r\n"
                             L"Old placement (too close) in shuffled playlist: %u\r\n"
                             L"Duplicate's placement in shuffled playlist: %d\r\n"
                             L"Moves done at this array index (old placement): %u\r\n",
                             sWhat, songs.GetSong(order[newPos]), static_cast<unsigned>(newPos),
                             static_cast<unsigned>(oldPos), static_cast<int>(dup), moves + 1)
                         .c_str());
    };

    // First sweep: a play too close to the next play of its song moves towards the start.
    for (std::int64_t i = n - 2; i >= 0;) {
        moves = bMovedLast ? moves + 1 : 0;
        bMovedLast = false;
        ctx.SetProgress(static_cast<int>((n - i) * 60 / n) + base1);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
        if (moves > 0 && (moves > maxMoves || moves > i)) {
            if (bLog)
                log->LogLine(FormatW(L"SeparateDups gave up distancing song after %u moves, still too close.\r\n"
                                     L"This is first sweep of two, may be successfully distanced next sweep.\r\n"
                                     L"%ls\r\nCurrent placement in shuffled playlist: %u\r\n",
                                     maxMoves, songs.GetSong(order[i]), static_cast<unsigned>(i)).c_str());
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
        logMove(L"SeparateDups moved repeated song too close to next play.\r\n", newPos, i, j);
    }
    if (fails == 0) {
        if (bLog)
            log->LogLine(FormatW(L"Moved %u songs that were repeated too soon in subsequent play\r\n"
                                 L"All were sufficiently separated on first sweep, skipping second sweep",
                                 moved).c_str());
        return 1;
    }
    if (bLog)
        log->LogLine(FormatW(L"On first sweep moved %u songs repeated too soon in subsequent play,\r\n"
                             L"but still %u songs not sufficiently separated. Starting second sweep.\r\n",
                             moved, fails).c_str());

    // Second sweep: a play too close to the previous play of its song moves towards the end.
    const int base2 = ctx.GetProgress();
    fails = 0;
    moves = 0;
    bMovedLast = false;
    std::wstring sLastFailure;
    for (std::int64_t k = 1; k <= n - 1;) {
        moves = bMovedLast ? moves + 1 : 0;
        bMovedLast = false;
        ctx.SetProgress(static_cast<int>(10 * k / n) + base2);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
        if (moves > 0 && (moves > maxMoves || moves > n - k - 1)) {
            const wchar_t* sPath = songs.GetSong(order[k]);
            if (bLog)
                log->LogLine(FormatW(L"SeparateDups gave up distancing song after %u moves, still too close.\r\n"
                                     L"%ls\r\nCurrent placement in shuffled playlist: %u\r\n",
                                     maxMoves, sPath, static_cast<unsigned>(k)).c_str());
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
        logMove(L"SeparateDups moved repeated song too close to previous play.\r\n", newPos, k, j);
    }
    if (bLog)
        log->LogLine(FormatW(L"Moved %u songs that were repeated too soon after previous play\r\n"
                             L"Required two sweeps to sufficiently separate all songs\r\n",
                             moved).c_str());
    if (fails == 0) return 1;
    std::wstring sFail = FormatW(L"Failed to separate %u songs from repeat within %u plays\r\nLast failure:\r\n%ls",
                                 fails, static_cast<unsigned>(nSeparation), sLastFailure.c_str());
    ctx.Error().SetErrorParts(sFail.c_str());
    if (bLog) log->LogLine(sFail.c_str());
    return 0;
}

}  // namespace swirlo
