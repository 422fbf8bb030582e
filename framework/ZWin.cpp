#include "framework/ZWin.h"

#include <exception>
#include <new>

#include "foundation/LogFile.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "foundation/WindowMessages.h"
#include "framework/Dpi.h"

namespace swirlo {

namespace {
std::wstring Cut(const wchar_t* s, std::size_t max) {
    std::wstring r = s ? s : L"";
    if (r.size() > max) r.resize(max);
    return r;
}
}  // namespace

ZWin::ZWin(HINSTANCE hInst, const wchar_t* caption, const wchar_t* subtitle, ZWin* parent,
           const AppPaths* paths)
    : m_pParent(parent),
      m_hParentWnd(parent ? parent->Hwnd() : nullptr),
      m_sCaption(Cut(caption ? caption : L"ZWin", kCaptionMax)),
      m_hInst(hInst),
      m_pPaths(paths) {
    if (subtitle) m_sTitle = Cut(FormatW(L"%ls  -  %ls", m_sCaption.c_str(), subtitle).c_str(), kCaptionMax);
    else m_sTitle = m_sCaption;
}

ZWin::~ZWin() = default;

int ZWin::OnCancel() {
    EndDialog(m_hWnd, 0);
    return 1;
}

int ZWin::OnOK() {
    EndDialog(m_hWnd, 1);
    return 1;
}

BOOL ZWin::OnInitDialog() {
    SetWindowTextW(m_hWnd, m_sTitle.c_str());
    CentreOverParent();
    return TRUE;
}

int ZWin::SetErrorParts(const wchar_t* p1, const wchar_t* p2, const wchar_t* p3, const wchar_t* p4,
                        const wchar_t* p5, const wchar_t* p6) {
    return m_error.SetErrorParts(p1, p2, p3, p4, p5, p6);
}

int ZWin::ShowErrorBox(const wchar_t* p1, const wchar_t* p2, const wchar_t* p3, const wchar_t* p4,
                       const wchar_t* p5, const wchar_t* p6) {
    std::wstring caption = ErrorCaption();
    if (m_bQuiet) {
        if (LogFile* log = OwnLog(); log && log->IsOpen()) log->LogLine(p1, p2, p3);
        return 0;
    }
    return ErrorBox(m_hWnd, caption.c_str(), p1, p2, p3, p4, p5, p6);
}

void ZWin::CentreOverParent() {
    if (!m_hWnd) return;
    RECT me, par;
    GetWindowRect(m_hWnd, &me);
    HWND parent = m_hParentWnd ? m_hParentWnd : GetParent(m_hWnd);
    // The window stays on its owner's monitor, inside that monitor's work area (not the primary
    // screen's): a dialog of a window on the second monitor opens there.
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    HMONITOR mon = MonitorFromWindow(parent ? parent : m_hWnd, MONITOR_DEFAULTTONEAREST);
    RECT area;
    if (mon && GetMonitorInfoW(mon, &mi)) area = mi.rcWork;
    else GetWindowRect(GetDesktopWindow(), &area);
    if (parent) GetWindowRect(parent, &par);
    else par = area;
    const LONG w = me.right - me.left, h = me.bottom - me.top;
    LONG x = (par.left + par.right) / 2 - w / 2;
    LONG y = (par.top + par.bottom) / 2 - h / 2;
    if (x + w > area.right) x = area.right - w;
    if (y + h > area.bottom) y = area.bottom - h;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    // A child window is placed in its parent's client coordinates.
    if (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD) {
        POINT pt{x, y};
        ScreenToClient(GetParent(m_hWnd), &pt);
        x = pt.x;
        y = pt.y;
    }
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ZWin::SetIcon(int iconResId) {
    if (!m_hWnd) return;
    for (int big : {1, 0}) {
        HANDLE icon = LoadImageW(m_hInst, MAKEINTRESOURCEW(iconResId), IMAGE_ICON,
                                 GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON),
                                 GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON), LR_SHARED);
        SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void ZWin::ShowHelpTopic(const wchar_t* topic) {
    if (!m_pPaths || m_pPaths->sProgDirSlash.empty()) return;
    ShowHelp(HelpFilePath(*m_pPaths, topic));
}

RECT ZWin::ControlRect(int controlId) const {
    RECT r{0, 0, 0, 0};
    HWND c = GetDlgItem(m_hWnd, controlId);
    if (!c) return r;
    GetWindowRect(c, &r);
    MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

ZDialog::ZDialog(HINSTANCE hInst, const wchar_t* caption, const wchar_t* subtitle, ZWin* parent,
                 const AppPaths* paths)
    : ZWin(hInst, caption, subtitle, parent, paths) {}

INT_PTR CALLBACK ZDialog::InstanceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ZDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<ZDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        if (self) self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<ZDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    // No exception may leave a window procedure; what reaches here is reported, not swallowed.
    INT_PTR r = FALSE;
    try {
        r = self->HandleMessage(msg, wParam, lParam);
    } catch (const std::bad_alloc&) {
        self->ReportEscaped("Out of memory");
    } catch (const std::exception& e) {
        self->ReportEscaped(e.what());
    } catch (...) {
        self->ReportEscaped("Unknown exception");
    }
    if (msg == WM_NCDESTROY) self->m_hWnd = nullptr;
    return r;
}

void ZDialog::ReportEscaped(const char* what) {
    std::wstring text;
    for (const char* p = what ? what : ""; *p; ++p) text.push_back(static_cast<unsigned char>(*p));
    if (m_hWnd && IsWindow(m_hWnd)) {
        ShowErrorBox(L"Unexpected error while handling a window message:", text.c_str());
    } else if (LogFile* log = OwnLog(); log && log->IsOpen()) {
        log->LogLine(L"Unexpected error while handling a window message:", text.c_str());
    }
}

INT_PTR ZDialog::RunModal() {
    if (m_nResId == 0) {
        ShowErrorBox(L"Lack DLGPROC or resource");
        return -1;
    }
    m_bModal = true;
    m_hParentWnd = m_pParent ? m_pParent->Hwnd() : m_hParentWnd;
    return DialogBoxParamW(m_hInst, MAKEINTRESOURCEW(m_nResId), m_hParentWnd,
                           InstanceProc, reinterpret_cast<LPARAM>(this));
}

HWND ZDialog::CreateModeless() {
    if (m_nResId == 0) {
        ShowErrorBox(L"Lack DLGPROC or resource");
        return nullptr;
    }
    m_bModal = false;
    m_hParentWnd = m_pParent ? m_pParent->Hwnd() : m_hParentWnd;
    HWND h = CreateDialogParamW(m_hInst, MAKEINTRESOURCEW(m_nResId), m_hParentWnd,
                                InstanceProc, reinterpret_cast<LPARAM>(this));
    if (h) m_hWnd = h;
    return h;
}

INT_PTR ZDialog::DefaultHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        if (!OnInitDialog()) {
            EndDialog(m_hWnd, 0);
            return FALSE;
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) { OnOK(); return TRUE; }
        if (LOWORD(wParam) == IDCANCEL) { OnCancel(); return TRUE; }
        return FALSE;
    case WM_HELP:  // F1, or the caption's help button
        ShowHelpTopic(HelpTopic());
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_DPICHANGED:             // a top-level window: the dialog manager rescales it after this
    case WM_DPICHANGED_AFTERPARENT:  // a page, after its parent
        PostMessageW(m_hWnd, WM_APP_DPI_CHANGED, msg == WM_DPICHANGED ? LOWORD(wParam) : 0, 0);
        return FALSE;
    case WM_APP_DPI_CHANGED:
        OnDpiChanged(wParam ? static_cast<UINT>(wParam) : WindowDpi(m_hWnd));
        return TRUE;
    }
    return FALSE;
}

}  // namespace swirlo
