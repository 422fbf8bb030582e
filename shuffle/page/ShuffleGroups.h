// The shuffle page's list of song groups kept between program runs: a text of one record per group,
// genres by name and playlists by title (a playlist's index in the library's array is not stable
// from one run to the next, so the page looks the titles up again). OS-free.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "shuffle/page/SongSelection.h"

namespace swirlo {

// Every record ends with its own "end" line, so that a record cut short (a crash while the file
// was written, a hand edit) is told from a whole one.
std::wstring FormatGroups(const std::vector<const SongSelection*>& groups);
// Returns false (groups untouched) on a text that is no groups file at all; error says why.
// Otherwise groups holds every record that could be read, and skipped names each one left out
// (cut short or with a line not understood). Reads the files of the earlier form without "end"
// lines too, and a byte-order mark in front.
bool ParseGroups(const std::wstring& text, std::vector<std::unique_ptr<SongSelection>>& groups,
                 std::vector<std::wstring>& skipped, std::wstring& error);

}  // namespace swirlo
