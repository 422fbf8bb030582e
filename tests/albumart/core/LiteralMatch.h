// The matching run in its plain form: nested loops, targets outside, sources inside, a message
// dispatch and a stop test before every source, the alpha keys of a source recomputed per test.
// The program's run must give the same result, log and progress; the benchmarks time both.
#pragma once
#include "albumart/core/AlbumFolderArray.h"
#include "albumart/core/MatchContext.h"

namespace swirlo::test {

int LiteralMatchAlbumArrays(MatchContext& page, AlbumFolderArray& src, AlbumFolderArray& tgt, bool bDetailLog,
                            AlbumFolderArray& result);

}  // namespace swirlo::test
