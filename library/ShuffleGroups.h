// What the shuffle run reads of one row of the shuffle page, and the list of rows kept between
// program runs: a text of one record per group, genres by name and playlists by title (their index
// in the library's playlist array is not stable across runs). OS-free.
#pragma once
#include <string>
#include <vector>

namespace swirlo {

struct ShuffleGroup {
    int nKind = 1;              // 1 = all songs, 2 = chosen genres and/or playlists
    int freq[6] = {0, 1, 2, 3, 5, 9};
    int nDays = 0;
    bool bIgnoreRepeats = false;
    std::wstring sName;
    std::vector<int> listboxSel;          // the selection dialog's listbox indexes
    std::vector<int> playlistIdx;         // index of each playlist in the library's array
    std::vector<std::wstring> playlists;  // titles
    std::vector<std::wstring> genres;
    // Playlists and genres of a restored group that the library no longer has; such a group is listed
    // but refused by Save. Not stored.
    std::vector<std::wstring> missing;

    bool IsAllSongs() const { return nKind == 1; }
    bool IsExclusion() const { return freq[0] == -1; }
};

// The frequency column of a row.
std::wstring FrequencyText(const int freq[6]);

// The text of the groups file, and back. Parse returns false (nothing taken) on a text that is not a
// groups file or has a bad line; error names the line.
std::wstring FormatGroups(const std::vector<const ShuffleGroup*>& groups);
bool ParseGroups(const std::wstring& text, std::vector<ShuffleGroup>& groups, std::wstring& error);

}  // namespace swirlo
