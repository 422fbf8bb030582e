#include <new>

#include "albumart/page/AlbumArtPage.h"
#include "app/Pages.h"

namespace swirlo {

std::unique_ptr<TabPage> MakeAlbumArtPage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent,
                                          const AppPaths* paths) {
    return std::make_unique<AlbumArtPage>(hInst, settings, caption, parent, paths);
}

INT_PTR RunAlbumArtOptions(HINSTANCE hInst, IniSettings* settings, const wchar_t*, ZWin* parent, const AppPaths* paths) {
    std::unique_ptr<AlbumArtOptionsDialog> dlg(
        new (std::nothrow) AlbumArtOptionsDialog(hInst, settings, L"Album Art Options", parent, paths));
    if (!dlg) return -1;
    INT_PTR r = dlg->RunModal();
    return r < 0 ? -1 : (r == 1 ? 1 : 0);
}

}  // namespace swirlo
