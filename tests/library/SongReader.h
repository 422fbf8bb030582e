// What song reading tests share: a library playlist object in memory, a reader over one song array
// with a recording run context, and a clock. OS-free.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "library/SongReading.h"
#include "standin/LibraryModel.h"
#include "tests/foundation/FakeRun.h"

namespace swirlo::testing {

// Library items in memory, answering as the stand-in answers through COM; failOn names a call (an
// attribute, "count", "item" or "url") that fails at item failAt.
class MemoryItems : public LibraryItems {
public:
    explicit MemoryItems(std::vector<standin::LibraryItem> s) : songs(std::move(s)) {}
    MemoryItems(const standin::LibraryModel& m, const std::vector<std::uint32_t>& items) {
        for (std::uint32_t i : items) songs.push_back(m.items[i]);
    }
    bool GetCount(long& n) override {
        n = static_cast<long>(songs.size());
        return failOn != L"count";
    }
    bool OpenItem(long i) override {
        overlapping += open >= 0;  // an item not closed before the next is opened
        if (failOn == L"item" && i == failAt) return false;
        open = i;
        return true;
    }
    bool GetInfo(const wchar_t* attribute, std::wstring& value) override {
        value = standin::LibraryModel::ItemInfo(songs[static_cast<std::size_t>(open)], attribute);
        return !(failOn == attribute && open == failAt);
    }
    bool GetSourceUrl(std::wstring& url) override { return GetInfo(L"SourceURL", url) && !(failOn == L"url" && open == failAt); }
    void CloseItem() override { open = -1; }

    std::vector<standin::LibraryItem> songs;
    std::wstring failOn;
    long failAt = -1, open = -1;
    int overlapping = 0;
};

// Reads library playlist objects (in memory or through COM) into one song array, as the shuffle run
// does for one group; the error boxes are kept as "caption|text".
struct SongReader {
    SongReader() { run.bWithLog = true; }
    FakeRun run;
    std::vector<std::wstring> boxes;
    SongReadEnv env{run, [this](const wchar_t* a, const wchar_t* b) { boxes.push_back(std::wstring(a) + L"|" + b); }, 2, 0};
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
    t.tm_year = y - 1900, t.tm_mon = m - 1, t.tm_mday = d, t.tm_hour = 12, t.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&t));
}

}  // namespace swirlo::testing
