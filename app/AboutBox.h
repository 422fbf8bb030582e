// The About box: logo, version and copyright from the version resource, and two links (link
// controls: reached by Tab, opened by Enter or a click, drawn in the system's link colour).
#pragma once
#include "framework/Handles.h"
#include "framework/ZWin.h"

namespace swirlo {

class AboutBox : public ZDialog {
public:
    AboutBox(HINSTANCE hInst, const wchar_t* caption, ZWin* parent);

    static constexpr const wchar_t* kHomePage = L"https://swirlo.app";
    static constexpr const wchar_t* kPicturePage = L"https://swirlo.app/cpicture";

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnDpiChanged(UINT dpi) override;

private:
    void OpenLink(const wchar_t* address);
    bool OverLink(POINT screenPt) const;

    void PlaceLogo(UINT dpi);

    UniqueBitmap m_hLogo;
    RECT m_rcLogo{};
};

}  // namespace swirlo
