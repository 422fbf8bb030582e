#include "shuffle/core/Spread.h"

#include <algorithm>
#include <numeric>

namespace swirlo {

std::uint64_t SpreadModel::RepeatCount() const { return std::accumulate(gaps.begin(), gaps.end(), std::uint64_t{0}); }

int PromisedGap(ShuffleMethod method, int nSeparation, std::uint64_t total, int maxCount) {
    if (nSeparation <= 0) return 0;
    if (method == ShuffleMethod::Separated) return nSeparation;
    if (method != ShuffleMethod::Even || maxCount < 2) return 0;
    const std::uint64_t segSize = total / static_cast<std::uint64_t>(maxCount);
    return static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(nSeparation), segSize / 3));
}

SpreadModel MakeSpread(const SpreadSource& src, std::size_t nTop) {
    SpreadModel m;
    if (!src.IsUsable()) return m;
    const CSongArray& songs = *src.songs;
    const std::uint64_t n = src.nEntries;
    m.nLength = n;
    m.nPromisedGap = PromisedGap(src.method, src.nSeparation, songs.GetTotal(), songs.GetMaxCount());

    // One pass: plays per song (by the id shared by equal paths), and the gaps.
    constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::vector<std::uint32_t> plays(songs.GetSize(), 0), last(songs.GetSize(), kNone);
    for (std::uint64_t i = 0; i < n; ++i) {
        const std::uint32_t id = songs.SongId(src.order[i]);
        const auto pos = static_cast<std::uint32_t>(i);
        if (last[id] == kNone) {
            ++m.nSongs;
        } else {
            const std::uint32_t gap = pos - last[id] - 1;
            if (gap >= m.gaps.size()) m.gaps.resize(gap + 1, 0);
            ++m.gaps[gap];
        }
        last[id] = pos;
        ++plays[id];
    }

    std::vector<std::uint32_t> ids;
    ids.reserve(m.nSongs);
    for (std::uint32_t id = 0; id < plays.size(); ++id)
        if (plays[id]) ids.push_back(id);
    const std::size_t nShown = std::min(nTop, ids.size());
    std::partial_sort(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(nShown), ids.end(),
                      [&](std::uint32_t a, std::uint32_t b) {
                          return plays[a] != plays[b] ? plays[a] > plays[b] : a < b;
                      });
    ids.resize(nShown);

    // The shown songs' positions, in a second pass over the list.
    std::vector<std::uint32_t> row(songs.GetSize(), kNone);
    m.top.resize(nShown);
    for (std::size_t r = 0; r < nShown; ++r) {
        row[ids[r]] = static_cast<std::uint32_t>(r);
        m.top[r].sName = SongDisplayName(songs.GetSongView(ids[r]));
        m.top[r].positions.reserve(plays[ids[r]]);
    }
    for (std::uint64_t i = 0; i < n; ++i) {
        const std::uint32_t r = row[songs.SongId(src.order[i])];
        if (r != kNone) m.top[r].positions.push_back(static_cast<std::uint32_t>(i));
    }
    return m;
}

std::wstring SongDisplayName(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring_view::npos && dot > 0) name = name.substr(0, dot);
    return std::wstring(name.empty() ? path : name);
}

int ScaleX(std::uint64_t value, std::uint64_t span, int width) {
    if (span == 0 || width <= 0) return 0;
    // value * width stays far below 2^64 for any playlist (2^32 entries) and any window.
    return static_cast<int>(value * static_cast<std::uint64_t>(width) / span);
}

GapBars MakeGapBars(const std::vector<std::uint64_t>& gaps, int nBins, std::uint64_t boundary) {
    GapBars bars;
    if (gaps.empty() || nBins <= 0) return bars;
    const auto bins = static_cast<std::uint64_t>(nBins);
    bars.width = (gaps.size() + bins - 1) / bins;
    bars.shift = (bars.width - boundary % bars.width) % bars.width;
    bars.counts.assign(static_cast<std::size_t>((gaps.size() + bars.shift + bars.width - 1) / bars.width), 0);
    for (std::size_t g = 0; g < gaps.size(); ++g)
        bars.counts[static_cast<std::size_t>((g + bars.shift) / bars.width)] += gaps[g];
    return bars;
}

}  // namespace swirlo
