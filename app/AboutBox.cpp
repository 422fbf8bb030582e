#include "app/AboutBox.h"

#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "resources/resource.h"

namespace swirlo {

AboutBox::AboutBox(HINSTANCE hInst, const wchar_t* caption, ZWin* parent)
    : ZDialog(hInst, caption, nullptr, parent, nullptr) {
    m_nResId = IDD_ABOUT;
}

BOOL AboutBox::OnInitDialog() {
    ZDialog::OnInitDialog();
    SetIcon(IDI_APP);
    m_hLogo.Reset(static_cast<HBITMAP>(LoadImageW(m_hInst, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    RECT r = ControlRect(IDC_ABOUT_LOGO);
    m_rcLogo = {r.left, r.top, r.left + 80, r.top + 80};

    std::wstring version;
    if (!GetVersionString(L"ProductVersion", version, nullptr)) version = L"3";
    SetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, FormatW(L"Version %ls", version.c_str()).c_str());
    std::wstring copyright;
    if (!GetVersionString(L"LegalCopyright", copyright, nullptr)) copyright = L"Copyright (C) 2026 the Swirlo developers";
    SetDlgItemTextW(m_hWnd, IDC_ABOUT_COPYRIGHT, copyright.c_str());

    // The links are underlined; the dialog sets the pointer itself over them.
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (base && GetObjectW(base, sizeof(lf), &lf)) {
        lf.lfUnderline = TRUE;
        m_hLinkFont.Reset(CreateFontIndirectW(&lf));
        for (int id : {IDC_ABOUT_HOMELINK, IDC_ABOUT_CPICTURELINK})
            SendDlgItemMessageW(m_hWnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(m_hLinkFont.Get()), FALSE);
    }
    // The pointer is set in WM_SETCURSOR; the dialog class's cursor is shared by every dialog of
    // the program and stays as it is.
    return TRUE;
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
            GdiTransparentBlt(dc.Get(), m_rcLogo.left, m_rcLogo.top, 80, 80, mem.Get(), 0, 0, 80, 80, RGB(255, 0, 0));
        }
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == IDC_ABOUT_HOMELINK || id == IDC_ABOUT_CPICTURELINK) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;  // borders and caption keep their own pointers
        POINT pt;
        GetCursorPos(&pt);
        SetCursor(LoadCursorW(nullptr, OverLink(pt) ? IDC_HAND : IDC_ARROW));
        SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == STN_CLICKED && LOWORD(wParam) == IDC_ABOUT_HOMELINK) { OpenLink(kHomePage); return TRUE; }
        if (HIWORD(wParam) == STN_CLICKED && LOWORD(wParam) == IDC_ABOUT_CPICTURELINK) { OpenLink(kPicturePage); return TRUE; }
        break;
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
