#include "app/AboutBox.h"

#include <commctrl.h>

#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "framework/Dpi.h"
#include "resources/resource.h"

namespace swirlo {


AboutBox::AboutBox(HINSTANCE hInst, const wchar_t* caption, ZWin* parent)
    : ZDialog(hInst, caption, nullptr, parent, nullptr) {
    m_nResId = IDD_ABOUT;
}

BOOL AboutBox::OnInitDialog() {
    ZDialog::OnInitDialog();
    SetIcon(IDI_APP);
    PlaceLogo(WindowDpi(m_hWnd));

    std::wstring version;
    if (!GetVersionString(L"ProductVersion", version, nullptr)) version = L"3";
    SetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, FormatW(L"Version %ls", version.c_str()).c_str());
    std::wstring copyright;
    if (!GetVersionString(L"LegalCopyright", copyright, nullptr)) copyright = L"Copyright (C) 2026 the Swirlo developers";
    SetDlgItemTextW(m_hWnd, IDC_ABOUT_COPYRIGHT, copyright.c_str());
    // The pointer is set in WM_SETCURSOR; the dialog class's cursor is shared by every dialog of
    // the program and stays as it is.
    // OK takes the focus once the dialog manager has given it to the first link: Enter closes the box.
    PostMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(m_hWnd, IDOK)), TRUE);
    return TRUE;
}

// The logo (80 x 80 pixels at 96 dots per inch) at its place-holder, for the window's scale.
void AboutBox::PlaceLogo(UINT dpi) {
    m_hLogo = LoadBitmapForDpi(m_hInst, IDB_LOGO, dpi);
    const SIZE size = BitmapSize(m_hLogo.Get());
    RECT r = ControlRect(IDC_ABOUT_LOGO);
    m_rcLogo = {r.left, r.top, r.left + size.cx, r.top + size.cy};
}

void AboutBox::OnDpiChanged(UINT dpi) {
    PlaceLogo(dpi);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool AboutBox::OverLink(POINT pt) const {
    for (int id : {IDC_ABOUT_HOMELINK, IDC_ABOUT_CPICTURELINK}) {
        RECT r;
        GetWindowRect(GetDlgItem(m_hWnd, id), &r);
        if (PtInRect(&r, pt)) return true;
    }
    return false;
}

void AboutBox::OpenLink(const wchar_t* address) {
    INT_PTR r = ShellOpen(m_hWnd, address);
    if (r <= 32)
        WinErrorBox(0, m_hWnd, ErrorCaption().c_str(), FormatW(L"ShellExecute failed, returned %d", static_cast<int>(r)).c_str());
}

INT_PTR AboutBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PaintDC dc(m_hWnd);
        UniqueMemDC mem(m_hLogo ? CreateCompatibleDC(dc.Get()) : nullptr);
        if (mem) {
            SelectGuard sel(mem.Get(), m_hLogo.Get());
            const int w = m_rcLogo.right - m_rcLogo.left, h = m_rcLogo.bottom - m_rcLogo.top;
            GdiTransparentBlt(dc.Get(), m_rcLogo.left, m_rcLogo.top, w, h, mem.Get(), 0, 0, w, h, RGB(255, 0, 0));
        }
        return TRUE;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;  // borders and caption keep their own pointers
        POINT pt;
        GetCursorPos(&pt);
        SetCursor(LoadCursorW(nullptr, OverLink(pt) ? IDC_HAND : IDC_ARROW));
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code != NM_CLICK && hdr->code != NM_RETURN) break;
        if (hdr->idFrom == IDC_ABOUT_HOMELINK) { OpenLink(kHomePage); return TRUE; }
        if (hdr->idFrom == IDC_ABOUT_CPICTURELINK) { OpenLink(kPicturePage); return TRUE; }
        break;
    }
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
