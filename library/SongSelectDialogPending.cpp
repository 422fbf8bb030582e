// Until the song selection dialog is built, the page's Add and Edit report that it could not be
// created.
#include "library/SongSelectDialog.h"

namespace swirlo {

INT_PTR RunSongSelectDialog(HINSTANCE, IniSettings*, ZWin*, const wchar_t*, MediaLibrary*, const SongSelection*,
                            std::unique_ptr<SongSelection>& result) {
    result.reset();
    return -1;
}

}  // namespace swirlo
