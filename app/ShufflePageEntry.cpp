#include "app/Pages.h"
#include "shuffle/page/ShufflePage.h"

namespace swirlo {

std::unique_ptr<TabPage> MakeShufflePage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent,
                                         const AppPaths* paths) {
    return std::make_unique<ShufflePage>(hInst, settings, caption, parent, paths);
}

}  // namespace swirlo
