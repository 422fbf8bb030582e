// Reading the songs of one library playlist object (all audio items, a genre or a stored playlist)
// into a song array: star ratings turned into play counts, the new-songs date filter, the add
// modes, ignore-repeats and exclusion. OS-free: the library is reached through LibraryItems, which
// the Win32 side implements over the player's automation objects (WmpSongReading.h) and tests
// implement in memory.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/RunContext.h"
#include "shuffle/core/SongArray.h"

namespace swirlo {

// One library playlist object, an item at a time. Every call returns false when the library call
// behind it failed.
class LibraryItems {
public:
    virtual ~LibraryItems() = default;
    virtual bool GetCount(long& n) = 0;
    // Makes item i the current one (false also for a null item).
    virtual bool OpenItem(long i) = 0;
    virtual bool GetInfo(const wchar_t* attribute, std::wstring& value) = 0;
    virtual bool GetSourceUrl(std::wstring& url) = 0;
    virtual void CloseItem() = 0;
};

// What song reading needs of the page beyond its run context.
struct SongReadEnv {
    RunContext& run;
    // The page's error box (caption " - ERROR", one line per part); its result is ignored.
    std::function<void(const wchar_t* p1, const wchar_t* p2)> errorBox;
    int nDefaultRating = 2;  // stars of an unrated song (the DefaultRating setting)
    std::int64_t nNow = 0;   // seconds for the date filter; 0 = the clock
};

// Leading-digit integer conversion: optional blanks and sign, then digits; anything else gives 0.
int LeadingInt(const std::wstring& text);
// Stars 1 to 5 of a "UserRating" value; 0 (and below) is unrated and takes defaultStars, which is
// kept within 1 to 5 so that a bad setting cannot pick a count outside the frequency array.
int StarsFromRating(int nRating, int defaultStars);

// Indexes of the frequency array.
constexpr int kFreqSame = 0;  // 0 = by rating, n > 0 = n plays each, -1 = exclusion

int AddToSongArrayWrapper(CSongArray& target, LibraryItems& playlist, const int freq[6], bool ignoreRepeats,
                          float share, int addMode, const std::wstring& statusLabel, int days, SongReadEnv& env);

// One segment, items first to last of count. startPos is the bar position the run had sent when
// the wrapper began; positions computed here are added to it.
int AddToSongArray(CSongArray& target, LibraryItems& playlist, const int freq[6], float share, int addMode,
                   bool ignoreRepeats, long first, long last, long count, int nMinDate,
                   const std::wstring& statusLabel, SongReadEnv& env, int startPos);

}  // namespace swirlo
