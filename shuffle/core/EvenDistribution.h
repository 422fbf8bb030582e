// The "Most even distribution" placement: a song with m plays gets one play in each of m equal
// segments of the playlist, more than a minimum separation after its play in the previous segment.
// Songs are placed by groups of equal count, the most repeated first. OS-free.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/ByteFile.h"
#include "foundation/RunContext.h"
#include "shuffle/core/RandomSource.h"
#include "shuffle/core/SongArray.h"

namespace swirlo {

// Where "Repeats distribution.csv" goes when the run's log is open. A null file writes none.
struct DistributionFile {
    ByteFile* pFile = nullptr;
    std::wstring sDocsDirSlash;  // the documents folder, ending in a backslash
};

struct PlacementResult {
    int nShortfalls = 0;       // plays placed closer than the group's minimum separation
    int nMinSegmentSize = 0;   // total / largest count: the longest prefix without repeats
};

// Fills order (songs.GetTotal() entries) with record indexes; nSeparation is 0 to 99. Returns 1, or
// 0 on failure (error record filled) or cancel (no text). After a shortfall the error record holds
// the description of the last one. Seeds rng with the context's tick count.
int Distribute(RunContext& ctx, RandomSource& rng, const CSongArray& songs, int nSeparation,
               std::uint32_t* order, int nProgSpan, PlacementResult& result,
               const DistributionFile& csv = DistributionFile());

// The content of "Repeats distribution.csv" past its first line, one string per write: the column
// headers, then per song its positions (1-based) and, for repeated songs, the intervals.
// positions[i] lists record i's plays in segment order.
std::string DistributionHeaderLine(int nMaxCount);
std::string DistributionSongLines(const wchar_t* sPath, const std::int32_t* positions, int nCount);

}  // namespace swirlo
