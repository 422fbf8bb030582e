#include "shuffle/core/EvenDistribution.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "foundation/ErrorText.h"
#include "foundation/Utf8.h"

namespace swirlo {

namespace {

constexpr std::uint32_t kUnassigned = 0xFFFFFFFFu;

// Bit counting without a library call on targets built without the popcount instruction.
inline int Popcount(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

// kSelectInByte[b][r]: the index of the set bit of byte b with r set bits below it.
struct SelectTable {
    std::uint8_t v[256][8];
    constexpr SelectTable() : v() {
        for (int b = 0; b < 256; ++b) {
            int r = 0;
            for (int i = 0; i < 8; ++i)
                if (b & (1 << i)) v[b][r++] = static_cast<std::uint8_t>(i);
        }
    }
};
constexpr SelectTable kSelectTable;
constexpr const std::uint8_t (&kSelectInByte)[256][8] = kSelectTable.v;

// The unassigned playlist positions as a bitmap, with a count per 64-bit word and a Fenwick tree
// over blocks of eight words (small enough to stay in the first-level cache). A segment's
// compacted free-slot list (entries shifted down as slots are taken) is then read by rank and
// select instead of by shifting: the same order in O(log n) per play.
class FreeSlots {
public:
    explicit FreeSlots(std::vector<std::uint64_t> words)
        : m_words(std::move(words)), m_count((m_words.size() + 7) / 8 * 8 + 8, 0), m_tree((m_words.size() + 7) / 8 + 1, 0) {
        for (std::size_t w = 0; w < m_words.size(); ++w) {
            m_count[w] = static_cast<std::uint8_t>(Popcount(m_words[w]));
            m_tree[w / 8 + 1] += m_count[w];
        }
        m_nBlocks1 = m_tree.size();
        for (std::uint8_t c : m_count) m_nFree += c;
        for (std::size_t i = 1; i < m_tree.size(); ++i) {  // prefix sums into Fenwick form
            std::size_t parent = i + (i & (~i + 1));
            if (parent < m_tree.size()) m_tree[parent] += m_tree[i];
        }
        m_top = 1;
        while (m_top * 2 < m_tree.size()) m_top *= 2;
        // Pad to a power of two with counts no rank reaches, so that Select needs no bounds test.
        m_tree.resize(m_top * 2, 0xFFFFFFFFu);
    }

    const std::vector<std::uint64_t>& Words() const { return m_words; }
    std::size_t Count() const { return m_nFree; }
    bool IsFree(std::size_t x) const { return (m_words[x >> 6] >> (x & 63)) & 1; }

    // Number of free positions before x.
    std::size_t Rank(std::size_t x) const {
        const std::size_t w = x >> 6, block = w >> 3;
        std::size_t sum = 0;
        for (std::size_t i = block; i > 0; i -= i & (~i + 1)) sum += m_tree[i];
        sum += CountsBefore(block << 3, static_cast<unsigned>(w & 7));
        if (x & 63) sum += Popcount(m_words[w] & ((1ull << (x & 63)) - 1));
        return sum;
    }

    // The free position with r free positions before it.
    std::size_t Select(std::size_t r) const {
        // Without branches: the steps go whichever way random draws send them.
        std::size_t block = 0;
        for (std::size_t step = m_top; step > 0; step >>= 1) {
            const std::size_t next = block + step;
            const std::uint32_t t = m_tree[next];  // the padding beyond the blocks never fits
            const bool fits = t <= r;
            block = fits ? next : block;
            r -= fits ? t : 0;
        }
        // The word of the block that holds it: the number of running counts not above r, taken
        // from the eight counts at once (a loop here would mispredict its exit at random).
        const std::size_t first = block << 3;
        const std::uint64_t c = EightCounts(first);
        const std::uint64_t lo = c & 0x00FF00FF00FF00FFull, hi = (c >> 8) & 0x00FF00FF00FF00FFull;
        // Running totals of counts 0..i in 16-bit lanes: even words from lo, odd ones from hi.
        const std::uint64_t pairs = lo + hi;                         // lane j: counts 2j and 2j+1
        const std::uint64_t runPairs = pairs * 0x0001000100010001ull;  // lane j: counts 0..2j+1
        const std::uint64_t runEven = runPairs - hi;                 // lane j: counts 0..2j
        const std::uint64_t rr = static_cast<std::uint64_t>(r) * 0x0001000100010001ull;
        const std::uint64_t H = 0x8000800080008000ull;  // totals stay below 2^15
        const unsigned nEven = static_cast<unsigned>(Popcount(((rr | H) - runEven) & H));
        const unsigned nOdd = static_cast<unsigned>(Popcount(((rr | H) - runPairs) & H));
        const unsigned k = nEven + nOdd;  // words whose running total is at most r: the word sought
        const std::size_t w = first + k;
        r -= CountsBefore(first, k);
        return w * 64 + SelectInWord(m_words[w], static_cast<unsigned>(r));
    }

    // The free positions in the first n (0..7) words from word first (a multiple of 8).
    std::size_t CountsBefore(std::size_t first, unsigned n) const {
        const std::uint64_t c = EightCounts(first) & ((1ull << (8 * n)) - 1);
        const std::uint64_t pairs = (c & 0x00FF00FF00FF00FFull) + ((c >> 8) & 0x00FF00FF00FF00FFull);
        return static_cast<std::size_t>((pairs * 0x0001000100010001ull) >> 48);
    }

    std::uint64_t EightCounts(std::size_t first) const {
        std::uint64_t c = 0;
        std::memcpy(&c, m_count.data() + first, 8);  // padded: always eight counts to read
        if constexpr (std::endian::native == std::endian::big) c = ByteSwap(c);
        return c;
    }
    static std::uint64_t ByteSwap(std::uint64_t v) {
        std::uint64_t r = 0;
        for (int i = 0; i < 8; ++i) r = (r << 8) | ((v >> (8 * i)) & 0xFF);
        return r;
    }

    // Index of the set bit of word with r set bits below it.
    static unsigned SelectInWord(std::uint64_t word, unsigned r) {
        // Bit counts per byte, then running totals per byte, then the byte that passes r.
        std::uint64_t x = word - ((word >> 1) & 0x5555555555555555ull);
        x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
        const std::uint64_t running = x * 0x0101010101010101ull;  // byte i: bits in bytes 0..i
        // Bytes whose running total is at most r (totals stay below 128), without a loop.
        const std::uint64_t H = 0x8080808080808080ull;
        const std::uint64_t le = ((static_cast<std::uint64_t>(r) * 0x0101010101010101ull) | H) - running;
        const unsigned shift = 8 * static_cast<unsigned>(Popcount(le & H));
        r -= static_cast<unsigned>(((running << 8) >> shift) & 0xFF);
        return shift + kSelectInByte[(word >> shift) & 0xFF][r];
    }

    void Remove(std::size_t x) {
        const std::size_t w = x >> 6;
        m_words[w] &= ~(1ull << (x & 63));
        --m_count[w];
        --m_nFree;
        for (std::size_t i = (w >> 3) + 1; i < m_nBlocks1; i += i & (~i + 1)) --m_tree[i];
    }

private:
    std::vector<std::uint64_t> m_words;
    std::vector<std::uint8_t> m_count;
    std::vector<std::uint32_t> m_tree;
    std::size_t m_nBlocks1;  // blocks + 1: the Fenwick tree proper, before the padding
    std::size_t m_top;
    std::size_t m_nFree = 0;
};


// Logging only when the run's log is open.
struct RunLog {
    LogSink* pSink;
    bool On() const { return pSink && pSink->IsOpen(); }
    void Line(const std::wstring& text) const {
        if (On()) pSink->LogLine(text.c_str());
    }
    void NoTime(const std::wstring& text, const wchar_t* second = nullptr) const {
        if (On()) pSink->LogLineNoTime(text.c_str(), second);
    }
};

// Each song's play positions, slot s = its play in segment s.
struct SongItems {
    std::vector<std::size_t> offset;  // first slot of record i
    std::vector<std::int32_t> slots;
    std::int32_t* Of(std::uint32_t record) { return slots.data() + offset[record]; }
};

// The error record's text without the line break that precedes its first part, for nesting it
// in a message of its own.
std::wstring ErrorTextForNesting(ErrorRecord& record) {
    std::wstring s = record.Text();
    if (s.compare(0, 2, L"\r\n") == 0) s.erase(0, 2);
    return s;
}

struct GroupJob {
    RunContext& ctx;
    RandomSource& rng;
    const CSongArray& songs;
    std::uint32_t* order;
    std::int64_t total;
    int nSeparation;
    int nProgSpan;
    int& nShortfalls;
    RunLog log;
    // Work arrays kept from group to group (positions only read where written: no clearing).
    std::unique_ptr<FreeSlots> pFree;
    std::unique_ptr<std::int32_t[]> songAt;
};

// The free-slot list (nArrAvailable) as a bitmap with rank and select. It is made once, with every
// position free, and each placed play is taken out of it, so that a group starts from the positions
// the groups before it left. Null, with the error record filled, when it cannot be made.
FreeSlots* FreeSlotsOf(GroupJob& job) {
    if (!job.pFree) {
        const std::int64_t total = job.total;
        try {
            std::vector<std::uint64_t> words(static_cast<std::size_t>((total + 63) / 64), ~0ull);
            if (total & 63) words.back() = (1ull << (total & 63)) - 1;
            job.pFree = std::make_unique<FreeSlots>(std::move(words));
        } catch (const std::bad_alloc&) {
            job.ctx.Error().SetErrorParts(L"Error allocating array of available slots");
            return nullptr;
        }
    }
    return job.pFree.get();
}

// Each segment's first index into the free-slot list as it stands at the start of the group, and
// nAvail after the last segment.
std::vector<int> SegmentBounds(GroupJob& job, const FreeSlots& free, int m, int k, int segSize, int nAvail) {
    // The number of entries below position p.
    auto availBelow = [&](std::int64_t p) { return static_cast<int>(free.Rank(static_cast<std::size_t>(p))); };
    // Free positions per equal segment.
    bool bEnough = true;
    std::wstring sCounts = L"Available slots in each segment:";
    for (int s = 0; s < m; ++s) {
        int c = availBelow(static_cast<std::int64_t>(s) * segSize + segSize) - availBelow(static_cast<std::int64_t>(s) * segSize);
        if (job.log.On()) sCounts += FormatW(L" %d", c);
        if (c < k) {
            if (job.log.On()) sCounts += L" (too few)";
            bEnough = false;
        }
    }
    job.log.NoTime(sCounts);

    std::vector<int> bound(m + 1);
    bound[0] = 0;
    if (bEnough) {
        job.log.NoTime(L"Sufficient unassigned slots in each segment of equally divided list");
        // The first entry at or after the segment's start, but never before the previous segment's
        // first entry plus k - 1.
        for (int s = 1; s < m; ++s)
            bound[s] = std::max(bound[s - 1] + k - 1, availBelow(static_cast<std::int64_t>(s) * segSize));
    } else {
        job.log.NoTime(L"One or more segments of equally divided list without enough unassigned slots",
                       FormatW(L"Will set segment ranges by equally dividing the %d unassigned slots", nAvail).c_str());
        for (int s = 1; s < m; ++s) bound[s] = s * (nAvail / m);
    }
    bound[m] = nAvail;
    return bound;
}

// Previous-play keys in ascending position order: position, group number, record.
struct Key {
    std::int32_t pos;
    int song;
    std::uint32_t record;
};

// The progress bar over the run's plays. It moves only at the plays where its position changes:
// no division per play.
struct PlacedProgress {
    std::int64_t total = 0;
    int nProgSpan = 0;
    int base = 0;
    std::int64_t placed = 0;
    std::int64_t nextMove = 1;

    // The first count of placed plays at which the bar reaches nPos.
    std::int64_t FirstPlacedAt(int nPos) const {
        if (nProgSpan <= 0) return nPos <= base ? 1 : INT64_MAX;
        const std::int64_t q = nPos - base;
        return q <= 0 ? 1 : (q * total + nProgSpan - 1) / nProgSpan;
    }
    void OnePlaced(RunContext& ctx) {
        if (++placed >= nextMove) {
            const int nPos = static_cast<int>(placed * nProgSpan / total) + base;
            ctx.SetProgress(nPos);
            nextMove = FirstPlacedAt(nPos + 1);
        }
    }
};

// One group's placement, segment by segment.
struct GroupPlacement {
    GroupJob& job;
    FreeSlots& free;
    int m, k, minSep;
    std::vector<int> bound;                   // from SegmentBounds
    std::vector<std::int64_t> segStart;       // each segment's first position, then the total
    std::vector<std::uint64_t> freeAtStart;   // the free positions at the start of the group
    std::vector<Key> cur;                     // the previous play of each song
    PlacedProgress progress;
};

// A play that cannot keep the minimum separation takes the segment's farthest free slot; the run
// goes on and says so.
void ReportShortfall(GroupPlacement& g, int s, int farthest, std::int32_t prevPos) {
    ++g.job.nShortfalls;
    std::wstring text = FormatW(
        L"Less than minimum separation in segment %d of songs with %d repeats\r\n"
        L"Minimum separation for this group: %d  Actual separation: %d\r\n"
        L"Location in playlist (farthest unused slot in segment): %d\r\n"
        L"Location of previous occurrence of same song: %d\r\n",
        s + 1, g.m, g.minSep, farthest - prevPos, farthest + 1, prevPos + 1);
    g.job.ctx.Error().SetErrorParts(text.c_str());
    g.job.log.Line(text);
}

// Places one play of every song of the group in segment s; 0 on a fault or a cancel. Kept out of
// line: inlined into the group's setup, the hot loop lost registers and ran about 5% slower.
[[gnu::noinline]] int PlaceSegment(GroupPlacement& g, int s) {
    GroupJob& job = g.job;
    RunContext& ctx = job.ctx;
    FreeSlots& free = g.free;
    // The loop's state in locals, which the calls out of it cannot touch: no reloads per play.
    const Key* cur = g.cur.data();
    std::uint32_t* order = job.order;
    std::int32_t* songAt = job.songAt.get();  // group number placed at a position, read back in order
    RandomSource& rng = job.rng;
    const int minSep = g.minSep;
    PlacedProgress progress = g.progress;
    const int first = g.bound[s];
    int nMaxIx = g.bound[s + 1] - 1;
    if (job.log.On())
        job.log.NoTime(FormatW(L"Segment %d  Min, Max nArrAvailable indexes for segment are %d, %d", s, first, nMaxIx));
    int nMinIx = first + s;
    const std::int64_t segFirst = g.segStart[s];
    const std::int64_t segEnd = g.segStart[s + 1];
    // Positions of earlier segments never change while this one is placed.
    const std::size_t rankStart = free.Rank(static_cast<std::size_t>(segFirst));
    auto positionAt = [&](int compactIx) {  // the compacted list's entry at compactIx
        return static_cast<std::int32_t>(free.Select(rankStart + static_cast<std::size_t>(compactIx - first)));
    };
    for (int j = g.k - 1; j >= 0; --j) {
        const Key key = cur[j];
        if (nMinIx != first) {
            // First free slot of the segment far enough after the previous play.
            const std::int64_t threshold = std::clamp<std::int64_t>(
                static_cast<std::int64_t>(key.pos) + minSep + 1, segFirst, segEnd);
            const int nBelow = static_cast<int>(free.Rank(static_cast<std::size_t>(threshold)) - rankStart);
            if (nBelow <= nMaxIx - first) {
                nMinIx = first + nBelow;
            } else {
                nMinIx = nMaxIx;
                ReportShortfall(g, s, positionAt(nMaxIx), key.pos);
            }
        }
        const int nRandMax = nMaxIx - nMinIx;
        if (nRandMax < 0 || static_cast<std::uint32_t>(nRandMax) > RAND_MAX_BIG)
            return ctx.Error().SetErrorParts(
                L"Logic error, nRandMax not in range 0 to RAND_MAX_BIG",
                FormatW(L"nRandMax = %d  nMaxIx = %d  nMinIx = %d\r\nnArrWholeList ix = %d  nArrIxGroup ix = %d  nSeg = %d",
                        nRandMax, nMaxIx, nMinIx, static_cast<int>(key.record), key.song, s).c_str());
        const int idx = nMinIx + static_cast<int>(GetRandomUintBig(rng, static_cast<std::uint32_t>(nRandMax)));
        // The bitmap holds exactly the segment's unassigned positions, so the drawn slot is
        // free by construction: no check of the order entry (a cache miss per play).
        const std::int32_t pos = positionAt(idx);
        order[pos] = key.record;
        songAt[pos] = key.song;
        free.Remove(static_cast<std::size_t>(pos));
        --nMaxIx;

        progress.OnePlaced(ctx);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
    }
    g.progress = progress;
    return 1;
}

// The keys of the next segment are segment s's plays in ascending order: the positions free at the
// start of the group and taken now, read word by word (no sort needed).
void CollectKeys(GroupPlacement& g, int s) {
    const std::int64_t segFirst = g.segStart[s];
    const std::int64_t segEnd = g.segStart[s + 1];
    const std::int32_t* songAt = g.job.songAt.get();
    std::size_t nKeys = 0;
    const std::vector<std::uint64_t>& now = g.free.Words();
    for (std::int64_t w = segFirst >> 6; w <= (segEnd - 1) >> 6; ++w) {
        std::uint64_t taken = g.freeAtStart[w] & ~now[w];
        while (taken) {
            const std::int64_t pos = (w << 6) + std::countr_zero(taken);
            taken &= taken - 1;
            if (pos < segFirst || pos >= segEnd) continue;
            g.cur[nKeys++] = {static_cast<std::int32_t>(pos), songAt[pos], g.job.order[pos]};
        }
    }
}

int PlaceGroup(GroupJob& job, const std::vector<std::uint32_t>& group, int m) {
    RunContext& ctx = job.ctx;
    const int k = static_cast<int>(group.size());
    const std::int64_t total = job.total;
    job.log.Line(FormatW(L"Begin assigning songs repeated %d times each, %d unique songs", m, k));
    FreeSlots* pFree = FreeSlotsOf(job);
    if (!pFree) return 0;
    FreeSlots& free = *pFree;
    const int nAvail = static_cast<int>(free.Count());
    if (static_cast<std::int64_t>(nAvail) < static_cast<std::int64_t>(m) * k)
        return ctx.Error().SetErrorParts(
            FormatW(L"Logic error, %d slots available for assigning %d songs %d times each", nAvail, k, m).c_str());

    const int segSize = static_cast<int>(total / m);
    const int minSep = std::min(job.nSeparation, segSize / 3);
    job.log.NoTime(FormatW(L"%d unused slots available. Segment size %d. Min separation between songs %d",
                           nAvail, segSize, minSep));
    GroupPlacement g{job, free, m, k, minSep, SegmentBounds(job, free, m, k, segSize, nAvail), {}, {}, {}, {}};
    // Each segment's positions run from its first free slot to the next segment's first one; taken
    // now, before the plays change the free positions.
    g.segStart.resize(m + 1);
    for (int s = 0; s < m; ++s)
        g.segStart[s] = g.bound[s] < nAvail ? static_cast<std::int64_t>(free.Select(static_cast<std::size_t>(g.bound[s]))) : total;
    g.segStart[m] = total;
    g.freeAtStart = free.Words();
    g.cur.resize(k);
    for (int j = 0; j < k; ++j) g.cur[j] = {j, j, group[j]};
    g.progress = PlacedProgress{total, job.nProgSpan, ctx.GetProgress()};
    for (int s = 0; s < m; ++s) {
        if (!PlaceSegment(g, s)) return 0;
        CollectKeys(g, s);
    }
    return 1;
}

// Each song's play positions from the order: its plays in segment order are its positions in
// ascending order. 0, with the error record filled, when there is no room for them.
int CollectSongItems(RunContext& ctx, const CSongArray& songs, const std::uint32_t* order, SongItems& items) {
    const std::uint32_t nSongs = songs.GetSize();
    const std::int64_t total = static_cast<std::int64_t>(songs.GetTotal());
    try {
        items.offset.resize(nSongs);
        items.slots.resize(static_cast<std::size_t>(total));
    } catch (const std::bad_alloc&) {
        return ctx.Error().SetErrorParts(L"Error allocating SongItem array");
    }
    std::size_t next = 0;
    for (std::uint32_t i = 0; i < nSongs; ++i) {
        items.offset[i] = next;
        next += static_cast<std::size_t>(songs.GetCount(i));
    }
    std::vector<std::size_t> fill = items.offset;
    for (std::int64_t p = 0; p < total; ++p) items.slots[fill[order[p]]++] = static_cast<std::int32_t>(p);
    return 1;
}

// Writes "Repeats distribution.csv"; 1 on success, else 0 with the error record filled.
int WriteDistributionFile(RunContext& ctx, const CSongArray& songs, SongItems& items,
                          const std::vector<std::vector<std::uint32_t>>& groups, const DistributionFile& csv) {
    ByteFile& file = *csv.pFile;
    const std::wstring sPath = FormatW(L"%lsRepeats distribution.csv", csv.sDocsDirSlash.c_str());
    if (!file.Create(sPath)) {
        SystemErrorPieces e = ErrorPiecesOf(file);
        return ctx.Error().SetErrorParts(L"Error opening log file of repeat distribution:", sPath.c_str(),
                                         e.sText.c_str());
    }
    auto writeAll = [&](const std::string& bytes, const wchar_t* fmt) {
        std::size_t nWritten = 0;
        if (file.Write(bytes.data(), bytes.size(), nWritten)) return true;
        SystemErrorPieces e = ErrorPiecesOf(file);
        ctx.Error().SetErrorParts(FormatW(fmt, sPath.c_str(), e.sPrefix.c_str(), e.sText.c_str()).c_str());
        file.Close();
        return false;
    };
    if (!writeAll("\"1st column is song path. 2nd is Count of times in playlist. Then locations in playlist of "
                  "each occurrence of song, or on next line number of songs between repeats.\"\r\n",
                  L"Error writing start of file:\r\n%ls\r\n%ls%ls"))
        return 0;
    const int nMax = songs.GetMaxCount();
    if (!writeAll(DistributionHeaderLine(nMax), L"Error writing column headers to log file:\r\n%ls\r\n%ls%ls"))
        return 0;
    for (int m = nMax; m >= 1; --m) {
        for (std::uint32_t record : groups[m]) {
            if (!writeAll(DistributionSongLines(songs.GetSong(record), items.Of(record), m),
                          L"Error song placements line to log file:\r\n%ls\r\n%ls%ls"))
                return 0;
        }
    }
    file.Close();
    return 1;
}

}  // namespace

std::string DistributionHeaderLine(int nMaxCount) {
    std::string s = "\"Song\",\"Count\"";
    for (int r = 1; r <= nMaxCount; ++r) {
        const char* suffix = r == 1 ? "st" : r == 2 ? "nd" : r == 3 ? "rd" : "th";
        s += ",\"" + std::to_string(r) + suffix + "\"";
    }
    s += "\r\n";
    return s;
}

std::string DistributionSongLines(const wchar_t* sPath, const std::int32_t* positions, int nCount) {
    std::string s = "\"";
    AppendUtf8(s, sPath);
    s += "\",\"" + std::to_string(nCount) + "\"";
    for (int i = 0; i < nCount; ++i) s += ",\"" + std::to_string(positions[i] + 1) + "\"";
    s += "\r\n";
    if (nCount > 1) {
        s += "\"REPEAT INTERVAL:\",\"\",\"\"";
        for (int i = 1; i < nCount; ++i) s += ",\"" + std::to_string(positions[i] - positions[i - 1]) + "\"";
        s += "\r\n";
    }
    return s;
}

int Distribute(RunContext& ctx, RandomSource& rng, const CSongArray& songs, int nSeparation,
               std::uint32_t* order, int nProgSpan, PlacementResult& result, const DistributionFile& csv) {
    result.nShortfalls = 0;
    const std::int64_t total = static_cast<std::int64_t>(songs.GetTotal());
    if (total < 10)
        return ctx.Error().SetErrorParts(
            FormatW(L"Playlist length %d is less than minimum 10 for this shuffle method.", static_cast<int>(total))
                .c_str());
    std::fill(order, order + total, kUnassigned);
    const int nMaxCount = songs.GetMaxCount();
    result.nMinSegmentSize = static_cast<int>(total / nMaxCount);

    const std::uint32_t nSongs = songs.GetSize();
    std::vector<std::vector<std::uint32_t>> groups;
    try {
        groups.resize(static_cast<std::size_t>(nMaxCount) + 1);
    } catch (const std::bad_alloc&) {
        return ctx.Error().SetErrorParts(L"Error allocating repetition group array");
    }
    for (std::uint32_t i = 0; i < nSongs; ++i) {
        const int c = songs.GetCount(i);
        if (c > CSongArray::kMaxOccurrences)
            return ctx.Error().SetErrorParts(
                FormatW(L"Song repeated %d times, exceeds maximum allowed %d", c, CSongArray::kMaxOccurrences).c_str(),
                songs.GetSong(i));
        groups[c].push_back(i);
    }

    RunLog log{ctx.Log()};
    const int base = ctx.GetProgress();
    std::int64_t done = 0;
    log.Line(L"Begin assigning by groups of same repetition count");
    rng.Seed(static_cast<std::uint32_t>(ctx.TickCount()));

    GroupJob job{ctx, rng, songs, order, total, nSeparation, nProgSpan, result.nShortfalls, log, nullptr, nullptr};
    try {
        job.songAt.reset(new std::int32_t[static_cast<std::size_t>(total)]);
    } catch (const std::bad_alloc&) {
        return ctx.Error().SetErrorParts(L"Error allocating repetition group array");
    }
    for (int m = nMaxCount; m >= 1; --m) {
        const std::vector<std::uint32_t>& group = groups[m];
        if (group.empty()) continue;
        const int k = static_cast<int>(group.size());
        if (!PlaceGroup(job, group, m)) {
            if (ctx.IsCancelled()) return 0;
            std::wstring inner = ErrorTextForNesting(ctx.Error());
            return ctx.Error().SetErrorParts(FormatW(L"Error shuffling songs with %d repeats\r\n%d songs previously done\r\n%ls",
                                                     m, static_cast<int>(done), inner.c_str())
                                                 .c_str());
        }
        done += static_cast<std::int64_t>(k) * m;
        log.Line(FormatW(L"Finished group with %d repeats, %d unique songs, %d total", m, k, k * m));
        ctx.SetProgress(static_cast<int>(done * nProgSpan / total) + base);
        ctx.PumpMessages();
        if (ctx.IsCancelled()) return 0;
    }
    if (log.On() && csv.pFile) {
        SongItems items;
        if (!CollectSongItems(ctx, songs, order, items) || !WriteDistributionFile(ctx, songs, items, groups, csv))
            return 0;
    }
    return 1;
}

}  // namespace swirlo
