#include "app/PlaceholderPage.h"
#include "app/Pages.h"
#include "resources/resource.h"

namespace swirlo {

std::unique_ptr<TabPage> MakeShufflePage(HINSTANCE hInst, IniSettings*, const wchar_t* caption, ZWin* parent,
                                         const AppPaths* paths) {
    return std::make_unique<PlaceholderPage>(hInst, IDD_SHUFFLE_PAGE, caption, parent, paths);
}

}  // namespace swirlo
