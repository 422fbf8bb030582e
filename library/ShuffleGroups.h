// The shuffle page's list of song groups kept between program runs: a text of one record per group,
// genres by name and playlists by title (a playlist's index in the library's array is not stable
// from one run to the next, so the page looks the titles up again). OS-free.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "library/SongSelection.h"

namespace swirlo {

std::wstring FormatGroups(const std::vector<const SongSelection*>& groups);
// Returns false (groups untouched) on a text that is not a groups file or has a bad line; error
// names the line.
bool ParseGroups(const std::wstring& text, std::vector<std::unique_ptr<SongSelection>>& groups, std::wstring& error);

}  // namespace swirlo
