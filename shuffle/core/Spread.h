// How the plays of a written playlist are spread: each song's play positions, the most-played songs,
// the gaps between consecutive plays of one song, and the smallest gap the method promised. The run
// hands over its order as it is (moved, nothing computed); the picture is worked out only when it is
// asked for. OS-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shuffle/core/ShuffleMethod.h"
#include "shuffle/core/SongArray.h"

namespace swirlo {

// What a finished run leaves for the picture of its playlist.
struct SpreadSource {
    std::vector<std::uint32_t> order;   // record indexes of songs, as the run made them
    std::unique_ptr<CSongArray> songs;  // the array the order indexes
    ShuffleMethod method = ShuffleMethod::Even;
    int nSeparation = 0;                // the method's separation setting
    std::uint64_t nEntries = 0;         // entries written: the order's first nEntries
    std::wstring sTitle;                // the playlist's title

    bool IsUsable() const { return songs && nEntries > 0 && nEntries <= order.size(); }
};

struct SpreadSong {
    std::wstring sName;                    // the file name without folder and extension
    std::vector<std::uint32_t> positions;  // 0-based, ascending
};

struct SpreadModel {
    std::uint64_t nLength = 0;  // entries of the playlist
    std::uint32_t nSongs = 0;   // different songs among them
    // The most-played songs, most plays first; among equal plays in the order of the song array, not
    // by position, so that the choice says nothing about where the songs play.
    std::vector<SpreadSong> top;
    // gaps[g]: how often two consecutive plays of one song have g other entries between them.
    std::vector<std::uint64_t> gaps;
    int nPromisedGap = 0;  // the fewest entries between two plays the method promised; 0 = none

    std::uint64_t RepeatCount() const;
};

// The fewest other entries between two plays of one song that the method promises. The even
// placement keeps min(N, segment / 3) apart for each repeat group, the segment being total / plays;
// the songs with the most plays have the shortest segments and so the weakest promise, which is
// the one that holds for every song. The separated order promises N; the plain random order nothing.
int PromisedGap(ShuffleMethod method, int nSeparation, std::uint64_t total, int maxCount);

// The picture's figures for the first nEntries of the order, at most nTop songs in the strips.
// Songs are told apart by path, so the one-record-per-play arrays of the random methods count as
// well as the even method's one record per song.
SpreadModel MakeSpread(const SpreadSource& src, std::size_t nTop = 30);

// The name a strip shows for a song path or URL.
std::wstring SongDisplayName(std::wstring_view path);

// value of span mapped onto 0 .. width (floor); 0 when span is 0.
int ScaleX(std::uint64_t value, std::uint64_t span, int width);
// The x of the tick of entry pos in a strip of the given width over a playlist of length entries:
// the middle of the entry's share of the strip.
inline int TickX(std::uint64_t pos, std::uint64_t length, int width) { return ScaleX(2 * pos + 1, 2 * length, width); }

// The gap counts gathered into bars of equal width, about nBins of them, laid so that a bar begins
// at the gap given as boundary (the promise: the bars left of it hold only repeats closer than
// promised). Bar b holds the gaps First(b) .. Last(b); on the axis a gap g stands at g + shift.
struct GapBars {
    std::uint64_t width = 1;            // gap values per bar
    std::uint64_t shift = 0;            // how much of the first bar lies before gap 0
    std::vector<std::uint64_t> counts;  // one per bar
    std::uint64_t Span() const { return width * counts.size(); }
    std::uint64_t First(std::size_t b) const { return b == 0 ? 0 : b * width - shift; }
    std::uint64_t Last(std::size_t b) const { return (b + 1) * width - shift - 1; }
};
GapBars MakeGapBars(const std::vector<std::uint64_t>& gaps, int nBins, std::uint64_t boundary = 0);

}  // namespace swirlo
