#include "library/SongReading.h"

#include <algorithm>

#include "foundation/DateMath.h"
#include "foundation/ErrorText.h"

namespace swirlo {

namespace {

constexpr long kSegment = 1000;

void RunLog(SongReadEnv& env, const std::wstring& text) {
    LogSink* log = env.run.Log();
    if (log && log->IsOpen()) log->LogLine(text.c_str());
}

int Fail(SongReadEnv& env, const wchar_t* caption, const std::wstring& text) {
    if (env.errorBox) env.errorBox(caption, text.c_str());
    return 0;
}

int ReadInt(LibraryItems& items, const wchar_t* attribute, bool& ok) {
    std::wstring v;
    if (!items.GetInfo(attribute, v)) {
        ok = false;
        return 0;
    }
    return LeadingInt(v);
}

// Adds one song by the add mode; false when the song array refused it. A song that several lists of
// one group would raise past the most plays a song can have keeps the count it has, and the run goes
// on (the log names it), as when the run merges its groups.
bool AddByMode(CSongArray& target, const std::wstring& path, int count, int addMode, bool ignoreRepeats,
               SongReadEnv& env) {
    if (addMode == 1) {
        if (ignoreRepeats && target.FindSong(path.c_str()) >= 0) return true;
        for (int k = 0; k < count; ++k)
            if (!target.AddSong(path.c_str(), 1)) return false;
        return true;
    }
    if (count == 0) return true;
    int found = target.FindSong(path.c_str());
    if (found < 0) return target.AddSong(path.c_str(), count) != 0;
    if (ignoreRepeats) return true;
    const int had = target.GetCount(static_cast<std::uint32_t>(found));
    if (count > 0 && had + count > CSongArray::kMaxOccurrences) {
        RunLog(env, FormatW(L"Song would play more than %d times, kept at %d: %ls", CSongArray::kMaxOccurrences, had,
                            path.c_str()));
        return true;
    }
    return target.AddOccurrences(found, path.c_str(), count) != 0;
}

}  // namespace

int LeadingInt(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    long long n = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        n = n * 10 + (text[i] - L'0');
        if (n > 2147483647LL) n = 2147483647LL;  // saturate rather than overflow
    }
    return static_cast<int>(negative ? -n : n);
}

int StarsFromRating(int nRating, int defaultStars) {
    if (nRating <= 0) return std::clamp(defaultStars, 1, 5);
    if (nRating <= 12) return 1;
    if (nRating <= 37) return 2;
    if (nRating <= 62) return 3;
    if (nRating <= 86) return 4;
    return 5;
}

int AddToSongArrayWrapper(CSongArray& target, LibraryItems& playlist, const int freq[6], bool ignoreRepeats,
                          float share, int addMode, const std::wstring& statusLabel, int days, SongReadEnv& env) {
    RunLog(env, L"AddToSongArrayWrapper begin");
    long count = 0;
    if (!playlist.GetCount(count))
        return Fail(env, L"AddToSongArrayWrapper error", L"pPlaylist->get_count failed");
    int nYYYYMMDD_min_date = 0;
    if (days != 0) {
        std::wstring err;
        std::int64_t now = env.nNow ? env.nNow : NowSeconds();
        // A filter reaching back before the clock's origin has no date to compare with.
        if (now - static_cast<std::int64_t>(days) * 86400 >= 0)
            nYYYYMMDD_min_date = DateStampDaysAgoAt(now, days, err);
        if (nYYYYMMDD_min_date == 0)
            return Fail(env, L"AddToSongArrayWrapper error", L"Error calculating minimum date added");
        RunLog(env, FormatW(L"Filtering by age, nYYYYMMDD_min_date: %d", nYYYYMMDD_min_date));
    }
    RunLog(env, FormatW(L"Begin playlist loop, %d items (before date filter if any)", static_cast<int>(count)));
    const int startPos = env.run.GetProgress();
    for (long first = 0; first < count; first += kSegment) {
        long last = std::min(first + kSegment - 1, count - 1);
        if (!AddToSongArray(target, playlist, freq, share, addMode, ignoreRepeats, first, last, count,
                            nYYYYMMDD_min_date, statusLabel, env, startPos))
            return 0;
    }
    RunLog(env, L"LoadSongArray_Playlist finished");
    return 1;
}

int AddToSongArray(CSongArray& target, LibraryItems& playlist, const int freq[6], float share, int addMode,
                   bool ignoreRepeats, long first, long last, long count, int nMinDate,
                   const std::wstring& statusLabel, SongReadEnv& env, int startPos) {
    const wchar_t* kCaption = L"AddToSongArray error";
    RunLog(env, FormatW(L"AddToSongArray for segment begin, indexes %d to %d)", static_cast<int>(first),
                        static_cast<int>(last)));
    const int same = freq[kFreqSame];
    if (same < 0) ignoreRepeats = true;  // an exclusion lists each song once
    if (first != 0)
        env.run.SetStatus(FormatW(nMinDate ? L"%ls %d songs screened for age" : L"%ls %d songs read",
                                  statusLabel.c_str(), static_cast<int>(first)));
    std::wstring path, rating;
    for (long i = first; i <= last; ++i) {
        if (i != 0 && i % 10 == 0) {
            int pos = startPos + static_cast<int>(static_cast<float>(i) * share / static_cast<float>(count));
            if (pos > env.run.GetProgress()) env.run.SetProgress(pos);
            env.run.PumpMessages();
        }
        if (env.run.IsCancelled()) return Fail(env, kCaption, L"Processing stopped by user Cancel");
        if (!playlist.OpenItem(i)) return Fail(env, kCaption, L"cpPlaylist->get_item failed");
        if (nMinDate) {
            bool ok = true;
            int y = ReadInt(playlist, L"AcquisitionTimeYear", ok);
            int m = ReadInt(playlist, L"AcquisitionTimeMonth", ok);
            int d = ReadInt(playlist, L"AcquisitionTimeDay", ok);
            if (!ok) {
                playlist.CloseItem();
                return Fail(env, kCaption, L"Error getting date information on song");
            }
            if (DateNumber(y, m, d) < nMinDate) {
                playlist.CloseItem();
                continue;
            }
        }
        if (!playlist.GetSourceUrl(path)) {
            playlist.CloseItem();
            return Fail(env, kCaption, L"cpSong->get_sourceURL failed");
        }
        int n = same < 0 ? 1 : same;
        if (same == 0) {
            if (!playlist.GetInfo(L"UserRating", rating)) {
                playlist.CloseItem();
                return Fail(env, kCaption, L"cpSong->getItemInfo (rating) failed");
            }
            n = freq[StarsFromRating(LeadingInt(rating), env.nDefaultRating)];
        }
        playlist.CloseItem();
        if (!AddByMode(target, path, n, addMode, ignoreRepeats, env))
            return Fail(env, kCaption, FormatW(L"Error adding song to song array:\r\n%ls%ls", path.c_str(),
                                               target.GetError(true).c_str()));
    }
    return 1;
}

}  // namespace swirlo
