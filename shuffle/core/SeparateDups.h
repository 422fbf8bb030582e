// Moves plays of one song apart after a random shuffle: no two plays of a song within N positions
// where that can be done by moving one of them N + 5 places. OS-free.
#pragma once
#include <cstdint>

#include "foundation/RunContext.h"
#include "shuffle/core/SongArray.h"

namespace swirlo {

// The moves allowed at one position before SeparateDups gives up there.
inline unsigned SeparateDupsMaxMoves(int nSeparation) {
    return nSeparation >= 10 ? static_cast<unsigned>(nSeparation) : static_cast<unsigned>(nSeparation) + 5;
}

// songs holds one record per play and order its GetSize() record indexes. Returns 1 when every pair
// of plays of one song ends up more than nSeparation apart; 0 when some could not be moved far
// enough (the error record says which; the order is still a permutation) or on cancel (no text).
// Logs each move when the run's log is open.
int SeparateDups(RunContext& ctx, const CSongArray& songs, std::uint32_t* order, int nSeparation);

}  // namespace swirlo
