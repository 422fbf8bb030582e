// The three playlist formats (.wpl, .m3u, .m3u8) and the writing of one playlist through a ByteFile:
// header, one line per entry, footer, XML escaping, the limit, progress and Stop. OS-free; the
// Win32 file and the ANSI conversion are passed in (PlaylistWriter.h binds them).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/ByteFile.h"
#include "foundation/RunContext.h"
#include "shuffle/core/ShuffleMethod.h"
#include "shuffle/core/SongArray.h"

namespace swirlo {

// PlaylistFormat: 0 = .wpl, 1 = .m3u, 2 = .m3u8.
constexpr int kFormatWpl = 0;
constexpr int kFormatM3u = 1;
constexpr int kFormatM3u8 = 2;

// Escapes & ' " < > for XML. A text holding none of & " < > is returned unchanged, so that an
// apostrophe alone stays as it is.
std::wstring XmlEscape(std::wstring_view text);

// Lines 1 to 9 of a .wpl: version and title already in UTF-8, the title already escaped.
std::string WplHeader(std::string_view versionUtf8, std::string_view titleUtf8);
inline constexpr std::string_view kWplFooter = "</seq>\r\n</body>\r\n</smil>\r\n";
inline constexpr std::string_view kM3uHeader = "#EXTM3U\r\n";

// Converts a path to the system's ANSI code page; characters it lacks become its default character.
// Returns false with the reason in error when the conversion fails.
using AnsiConverter = std::function<bool(std::wstring_view text, std::string& out, std::wstring& error)>;

struct PlaylistRequest {
    std::wstring sPath;             // the file to create
    const CSongArray* pSongs = nullptr;
    const std::uint32_t* pOrder = nullptr;  // pSongs->GetTotal() record indexes
    int nFormat = kFormatM3u8;
    int nLimit = -1;                // -1 = all, else the number of entries to write
    std::wstring sTitle;            // .wpl only
    std::wstring sVersion;          // the program's product version, .wpl only
};

// What a write put in the file.
struct PlaylistWritten {
    std::uint64_t nEntries = 0;
    std::uint64_t nUnplayable = 0;  // .m3u entries the code page could not hold, written with its default character
};

// Writes the playlist; true on success. On failure the page's error record says why, and a file
// already created is closed and left as far as it was written. pWritten, when given, learns what
// was written.
bool WritePlaylistTo(RunContext& ctx, ByteFile& file, const AnsiConverter& toAnsi, const PlaylistRequest& req,
                     PlaylistWritten* pWritten = nullptr);

// The success box's counts of a written playlist: the even method names the different songs of the
// entries that were written (a truncated playlist holds fewer than the array), every method the
// plays before truncation.
std::wstring WrittenSummary(ShuffleMethod method, const CSongArray& songs, const std::uint32_t* order, const PlaylistWritten& written);
// The paragraph that says how many .m3u entries will not play; empty when every entry will.
std::wstring UnplayableNotice(std::uint64_t nUnplayable);

}  // namespace swirlo
