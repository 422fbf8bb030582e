// The stand-in library's data: audio items and playlists read from a plain-text library file, and
// the queries the automation objects answer from it. OS-free, read-only once loaded, so the objects
// built on it may be called from any thread.
//
// Library file (UTF-8, one record per line, fields separated by one tab; blank lines and lines
// starting with '#' are ignored):
//   SWIRLO-LIBRARY 1                                      first line, the format and its version
//   song <path> <title> <genre> <rating> <added>          rating 0-99 or empty (unrated),
//                                                         added yyyymmdd or empty
//   playlist <title> <static|auto> <playlist file path>   the path may be empty
//   entry <song number>                                   a song of the playlist above, numbered
//                                                         from 1 in the order of the song lines
//   fail <call>                                           the named call answers E_FAIL, so that
//                                                         tests can reach the program's failure paths
//                                                         (kFailingCalls lists the names)
//   delay <call> <ms>                                     the named call, or every one of them for
//                                                         "*", takes ms milliseconds more, as a big
//                                                         library's would
// A playlist with a file path is also a library item of media type "playlist" whose name is the
// title and whose source URL is the path (the way the player keeps playlist files).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swirlo::standin {

struct LibraryItem {
    std::wstring sPath;
    std::wstring sTitle;
    std::wstring sGenre;
    std::wstring sRating;  // as written; empty when unrated
    int nAdded = 0;        // yyyymmdd, 0 when unknown
    bool bPlaylistFile = false;
};

struct LibraryPlaylist {
    std::wstring sTitle;
    bool bAuto = false;
    std::wstring sFile;
    std::vector<std::uint32_t> items;  // indexes into LibraryModel::items
};

// The calls a library file can make fail or slow.
constexpr const wchar_t* kFailingCalls[] = {
    L"player.get_playlistCollection", L"player.get_mediaCollection", L"playlists.getAll",
    L"playlistArray.get_count", L"media.getByAttribute", L"playlist.get_count", L"playlist.get_item",
    L"item.getItemInfo", L"item.get_sourceURL"};

class LibraryModel {
public:
    // Replaces the content by the parsed text. On any fault the model is left empty and the reason
    // names the line; returns 1 on success, 0 on failure.
    int Parse(std::string_view text);
    void Clear();

    std::vector<LibraryItem> items;
    std::vector<LibraryPlaylist> playlists;
    std::wstring sReason;  // why the model is empty, or a one-line summary of what was loaded
    std::vector<std::wstring> failing;  // calls that answer E_FAIL
    std::vector<std::pair<std::wstring, unsigned>> delays;  // call ("*": any) and its milliseconds

    bool Fails(std::wstring_view call) const;
    unsigned DelayOf(std::wstring_view call) const;  // the sum of the delays that name it

    std::size_t SongCount() const { return m_audio.size(); }
    const std::vector<std::uint32_t>& AudioItems() const { return m_audio; }
    std::vector<std::uint32_t> ByGenre(std::wstring_view genre) const;  // letter case ignored
    std::vector<std::uint32_t> ByName(std::wstring_view name) const;    // letter case ignored
    // Distinct genre names of the audio items in first-seen order, the empty one included.
    const std::vector<std::wstring>& Genres() const { return m_genres; }

    // An item's attribute as the player names it; empty text for one it does not have.
    static std::wstring ItemInfo(const LibraryItem& item, std::wstring_view name);

private:
    void Index();
    std::vector<std::uint32_t> m_audio;
    std::vector<std::wstring> m_genres;
};

// UTF-8 to wide text (UTF-16 where wchar_t has 2 bytes). False on a malformed sequence.
bool DecodeUtf8(std::string_view in, std::wstring& out);
bool EqualNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace swirlo::standin
