// One song group of the shuffle page: which songs (the whole library, or chosen genres and
// playlists, optionally only those added lately), how often each plays, and whether a song found in
// several chosen lists counts once. Also the group's display name, its tooltip text and the text of
// its frequencies. OS-free.
#pragma once
#include <array>
#include <string>
#include <vector>

namespace swirlo {

constexpr int kSelectAllSongs = 1;     // every audio item of the library
constexpr int kSelectListed = 2;       // the chosen genres and/or playlists
constexpr int kFreqExclude = -1;       // frequencies[0] of an exclusion group
constexpr int kTooltipMaxChars = 1023; // the tooltip built with the record
constexpr int kSelectionNameMax = 1023;

class SongSelection {
public:
    // kind: kSelectAllSongs or kSelectListed. frequencies: [0] same-for-all count (0 = by rating,
    // kFreqExclude = exclusion), [1..5] plays for 1 to 5 stars. days: 0 or 1 to 999.
    // listboxSelection: the dialog's listbox indexes of the chosen items; playlistIndexes: for each
    // chosen playlist its index in the library's playlist array (same order as playlistNames).
    SongSelection(int kind, const std::array<int, 6>& frequencies, int days, bool ignoreRepeats, std::wstring name,
                  std::vector<int> listboxSelection, std::vector<int> playlistIndexes,
                  std::vector<std::wstring> playlistNames, std::vector<std::wstring> genreNames);

    int Kind() const { return m_nKind; }
    bool IsAllSongs() const { return m_nKind == kSelectAllSongs; }
    bool IsExclusion() const { return m_freq[0] == kFreqExclude; }
    const std::array<int, 6>& Frequencies() const { return m_freq; }
    int Days() const { return m_nDays; }
    bool IgnoreRepeats() const { return m_bIgnoreRepeats; }
    const std::wstring& Name() const { return m_sName; }
    const std::vector<int>& ListboxSelection() const { return m_listboxSel; }
    const std::vector<int>& PlaylistIndexes() const { return m_playlistIdx; }
    const std::vector<std::wstring>& PlaylistNames() const { return m_playlists; }
    const std::vector<std::wstring>& GenreNames() const { return m_genres; }
    int PlaylistCount() const { return static_cast<int>(m_playlists.size()); }
    int GenreCount() const { return static_cast<int>(m_genres.size()); }
    int ChosenCount() const { return PlaylistCount() + GenreCount(); }

    // The tooltip text for at most maxChars characters; empty when the group has fewer than 2 chosen
    // items or when even the shortest form does not fit. The text for kTooltipMaxChars is built with
    // the record, one shorter text is cached.
    const std::wstring& Tooltip(int maxChars = kTooltipMaxChars);
    // The list's second column: the same-for-all count, the exclusion, or the five per-star counts
    // lined up under the star strip (5 stars first).
    std::wstring FrequencyText() const;

private:
    int m_nKind;
    std::array<int, 6> m_freq;
    int m_nDays;
    bool m_bIgnoreRepeats;
    std::wstring m_sName;
    std::vector<int> m_listboxSel;
    std::vector<int> m_playlistIdx;
    std::vector<std::wstring> m_playlists;
    std::vector<std::wstring> m_genres;
    std::wstring m_sTooltip;
    std::wstring m_sShortTooltip;
    int m_nShortMax = -1;
};

// The display name of a group (see SongSelection): "ALL SONGS ..." or the chosen items' summary.
std::wstring SelectionName(int kind, int days, bool ignoreRepeats, bool exclusion,
                           const std::vector<std::wstring>& playlists, const std::vector<std::wstring>& genres);

// The tooltip text of a group's name and chosen items for at most maxChars characters ("" when none).
std::wstring BuildSelectionTooltip(const std::wstring& name, const std::vector<std::wstring>& playlists,
                                   const std::vector<std::wstring>& genres, int maxChars);

}  // namespace swirlo
