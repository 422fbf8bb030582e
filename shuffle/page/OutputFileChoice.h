// The choice of the playlist file before a shuffle run reads any song: the folder the Save As dialog
// opens in, the proposed name, the dialog with its file-type hook, the extension and format, and the
// remembered folder.
#pragma once
#include <windows.h>

#include <string>

namespace swirlo {

class IniSettings;
class ZWin;

// The media player's playlists folder below the user's music folder, computed once per page.
struct PlaylistsFolder {
    std::wstring sPath;           // empty when no music folder was found
    bool bPlaylistsSuffix = true; // "\Playlists" (Windows 6 and later), else "\My Playlists"
    bool bWin6 = true;
    const wchar_t* OwnName() const { return bPlaylistsSuffix ? L"Playlists" : L"My Playlists"; }
};
PlaylistsFolder FindPlaylistsFolder();

struct OutputChoice {
    std::wstring sPath;
    int nFormat = 0;
    std::wstring sTitle;
};

// Runs the choice for page (its error boxes, its registry helper). sDefaultName is the proposed
// name; bWarnOverwrite the page's check box. 1 with out filled; 0 when the user cancelled or after an
// error box.
int ChooseOutputFile(ZWin& page, IniSettings& settings, const PlaylistsFolder& folder,
                     const std::wstring& sDefaultName, bool bWarnOverwrite, OutputChoice& out);

}  // namespace swirlo
