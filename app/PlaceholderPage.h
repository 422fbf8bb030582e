// An empty tab page: stands in for a page whose content is not built yet.
#pragma once
#include "framework/TabPage.h"

namespace swirlo {

class PlaceholderPage : public TabPage {
public:
    PlaceholderPage(HINSTANCE hInst, int resId, const wchar_t* caption, ZWin* parent, const AppPaths* paths)
        : TabPage(hInst, caption, nullptr, parent, paths) {
        m_nResId = resId;
    }
};

}  // namespace swirlo
