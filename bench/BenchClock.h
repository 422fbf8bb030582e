// Milliseconds from the performance counter, for the Windows benchmarks.
#pragma once
#include <windows.h>

namespace swirlo::bench {

inline double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

}  // namespace swirlo::bench
