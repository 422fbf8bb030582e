// What song reading tests share: error boxes, a reader over one song array, a clock. OS-free.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "library/SongReading.h"
#include "tests/shuffle/FakeRun.h"

namespace swirlo::testing {

// The error boxes shown, each as its two parts joined by "|".
struct BoxRecorder {
    std::vector<std::wstring> boxes;
    auto Fn() {
        return [this](const wchar_t* a, const wchar_t* b) {
            boxes.push_back(std::wstring(a ? a : L"") + L"|" + (b ? b : L""));
        };
    }
};

// Reads library playlist objects (in memory or through COM) into one song array with a recording
// run context, as the shuffle run does for one group.
struct SongReader {
    SongReader() { run.bWithLog = true; }
    FakeRun run;
    BoxRecorder boxes;
    SongReadEnv env{run, boxes.Fn(), 2, 0};
    CSongArray target;
    template <class Source>
    int Read(Source&& source, std::initializer_list<int> f, bool ignoreRepeats = false, int days = 0, int addMode = 3,
             float share = 31.5f) {
        std::vector<int> freq(f);
        return AddToSongArrayWrapper(target, source, freq.data(), ignoreRepeats, share, addMode,
                                     L"Reading songs selection 1 of 1", days, env);
    }
    int CountOf(const std::wstring& path) {
        int i = target.FindSong(path.c_str());
        return i < 0 ? 0 : target.GetCount(static_cast<std::uint32_t>(i));
    }
};

// Seconds of local noon on a day: a clock for the date filter that no time zone moves off the day.
inline std::int64_t LocalNoon(int y, int m, int d) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = m - 1;
    t.tm_mday = d;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&t));
}

}  // namespace swirlo::testing
