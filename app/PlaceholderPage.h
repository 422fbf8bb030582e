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

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        // A child page neither ends on Enter/Escape nor centres itself.
        if (msg == WM_INITDIALOG) return TRUE;
        if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) return TRUE;
        return DefaultHandling(msg, wParam, lParam);
    }
};

}  // namespace swirlo
