// How a shuffle run puts the plays in order; chosen on the page for one run, stored nowhere. OS-free.
#pragma once

namespace swirlo {

enum class ShuffleMethod {
    Even,       // even-distribution placement: each song's plays spread over equal segments
    Separated,  // random order, then no repeat within the next N songs
    Random,     // random order alone
};

}  // namespace swirlo
