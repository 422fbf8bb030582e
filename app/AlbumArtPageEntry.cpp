#include "app/PlaceholderPage.h"
#include "app/Pages.h"
#include "resources/resource.h"

namespace swirlo {

std::unique_ptr<TabPage> MakeAlbumArtPage(HINSTANCE hInst, IniSettings*, const wchar_t* caption, ZWin* parent,
                                          const AppPaths* paths) {
    return std::make_unique<PlaceholderPage>(hInst, IDD_ALBUMART_PAGE, caption, parent, paths);
}

INT_PTR RunAlbumArtOptions(HINSTANCE, IniSettings*, const wchar_t*, ZWin*, const AppPaths*) { return -1; }
bool AlbumArtOptionsAvailable() { return false; }

}  // namespace swirlo
