// The modal dialog that creates or edits one song group ("Add songs to shuffle" / "Change songs
// selection"). It lists the library's genres and playlists, reads the choices and the play
// frequencies, and hands back a new SongSelection on OK.
//
// The page sets the library's select-dialog-started flag before running it and select-dialog-returned
// after it closes (MediaLibrary::NoteSelectDialogStarted / NoteSelectDialogReturned).
#pragma once
#include <windows.h>

#include <memory>

#include "framework/ZWin.h"
#include "shuffle/page/SongSelection.h"

namespace swirlo {

class IniSettings;
class MediaLibrary;

// Runs the dialog modally over page. library gives the playlist collection, playlist array and media
// collection of the window thread, the first-load flag and the startup timing log; it may be null (an
// empty listbox). edit: the group to change, or null to add one; it is never changed or freed.
// Returns 1 after OK with the new group in result, 0 after Cancel (result empty), -1 when the dialog
// could not be created.
INT_PTR RunSongSelectDialog(HINSTANCE hInst, IniSettings* settings, ZWin* page, const wchar_t* title,
                            MediaLibrary* library, const SongSelection* edit,
                            std::unique_ptr<SongSelection>& result);

}  // namespace swirlo
