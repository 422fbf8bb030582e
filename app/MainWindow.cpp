#include "app/MainWindow.h"

#include <commctrl.h>

#include <new>

#include "app/AboutBox.h"
#include "app/Pages.h"
#include "foundation/IniSettings.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "resources/resource.h"

namespace swirlo {

namespace {
const wchar_t kTabShuffle[] = L"  Zadered Iruzad Irovero   ";
const wchar_t kTabAlbumArt[] = L"  Copy Album Art to Player   ";
}  // namespace

MainWindow::MainWindow(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, const AppPaths* paths)
    : ZDialog(hInst, caption, nullptr, nullptr, paths), m_pSettings(settings) {
    m_nResId = IDD_MAIN;
}

MainWindow::~MainWindow() {
    if (m_hbrHighlight) DeleteObject(m_hbrHighlight);
}

BOOL MainWindow::OnInitDialog() {
    HICON big = static_cast<HICON>(LoadImageW(m_hInst, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    HICON small = static_cast<HICON>(LoadImageW(m_hInst, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    m_hTab = GetDlgItem(m_hWnd, IDC_MAIN_TAB);
    m_hLabel[kSettings] = GetDlgItem(m_hWnd, IDC_SETTINGS_LABEL);
    m_hLabel[kHelp] = GetDlgItem(m_hWnd, IDC_HELP_LABEL);
    m_hFrame[kSettings] = GetDlgItem(m_hWnd, IDC_SETTINGS_FRAME);
    m_hFrame[kHelp] = GetDlgItem(m_hWnd, IDC_HELP_FRAME);
    m_rcLabel[kSettings] = ControlRect(IDC_SETTINGS_LABEL);
    m_rcLabel[kHelp] = ControlRect(IDC_HELP_LABEL);
    // The labels and frames sit over the tab strip.
    for (int i = 0; i < 2; ++i) {
        SetWindowPos(m_hFrame[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(m_hLabel[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowSubclass(m_hLabel[i], LabelSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    m_hbrHighlight = CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT));

    CreatePages();
    InsertTabs();
    if (m_pPaths) m_sHelpPath = m_pPaths->sProgDirSlash + L"Blendo.chm";
    SizeTabsAndPages();
    ShowPage(0);
    m_bFirstShow = false;
    return ZDialog::OnInitDialog();
}

void MainWindow::CreatePages() {
    m_pShufflePage = MakeShufflePage(m_hInst, m_pSettings, m_sCaption.c_str(), this, m_pPaths);
    if (!m_pShufflePage->CreateModeless())
        WinErrorBox(0, m_hWnd, (m_sCaption + L" - ERROR").c_str(), L"Error creating Vuriror Oduvizu child window");
    m_pAlbumArtPage = MakeAlbumArtPage(m_hInst, m_pSettings, m_sCaption.c_str(), this, m_pPaths);
    if (!m_pAlbumArtPage->CreateModeless())
        WinErrorBox(0, m_hWnd, (m_sCaption + L" - ERROR").c_str(), L"Error creating Album Art child window");
}

void MainWindow::InsertTabs() {
    const wchar_t* texts[] = {kTabShuffle, kTabAlbumArt};
    for (int i = 0; i < 2; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(texts[i]);
        if (SendMessageW(m_hTab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item)) < 0)
            ShowErrorBox(L"Error insert tab for", texts[i]);
    }
}

void MainWindow::SizeTabsAndPages() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    SendMessageW(m_hTab, TCM_SETITEMSIZE, 0, MAKELPARAM((client.right - client.left) / 3, 21));
    RECT r = client;
    SendMessageW(m_hTab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    r.left -= 3;
    r.right += 1;
    r.bottom += 3;
    m_rcDisplay = r;
}

void MainWindow::ShowPage(int index) {
    TabPage* show = index == 0 ? m_pShufflePage.get() : m_pAlbumArtPage.get();
    TabPage* hide = index == 0 ? m_pAlbumArtPage.get() : m_pShufflePage.get();
    if (hide && hide->Hwnd()) ShowWindow(hide->Hwnd(), SW_HIDE);
    m_nVisiblePage = index;
    m_hVisiblePage = show ? show->Hwnd() : nullptr;
    if (m_hVisiblePage) {
        SetWindowPos(m_hVisiblePage, HWND_TOP, m_rcDisplay.left, m_rcDisplay.top,
                     m_rcDisplay.right - m_rcDisplay.left, m_rcDisplay.bottom - m_rcDisplay.top, SWP_SHOWWINDOW);
    }
    if (m_pShufflePage) m_pShufflePage->SetVisiblePage(index == 0);
    if (m_pSettings) m_pSettings->SetDialog(m_hVisiblePage);
    if (SendMessageW(m_hTab, TCM_GETCURSEL, 0, 0) != index) SendMessageW(m_hTab, TCM_SETCURSEL, index, 0);
}

void MainWindow::OnTabChange() {
    int sel = static_cast<int>(SendMessageW(m_hTab, TCM_GETCURSEL, 0, 0));
    bool busy = (m_pShufflePage && m_pShufflePage->IsBusy()) || (m_pAlbumArtPage && m_pAlbumArtPage->IsBusy());
    if (busy) {
        // A run is in progress: stay on the page that runs it.
        SendMessageW(m_hTab, TCM_SETCURSEL, sel == 0 ? 1 : 0, 0);
        return;
    }
    ShowPage(sel);
}

void MainWindow::SetHover(Label which, bool on) {
    if (m_bHover[which] == on) return;
    m_bHover[which] = on;
    InvalidateRect(m_hLabel[which], nullptr, TRUE);
}

LRESULT CALLBACK MainWindow::LabelSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
    auto* self = reinterpret_cast<MainWindow*>(data);
    Label which = hwnd == self->m_hLabel[kSettings] ? kSettings : kHelp;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!self->m_bHover[which]) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&tme);
            self->SetHover(which, true);
        }
        break;
    case WM_MOUSELEAVE:
        self->SetHover(which, false);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, LabelSubclass, 1);
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void MainWindow::OnLabelClick(Label which) {
    if (m_bMenuOpen[which]) return;  // the click only closed the open menu
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    MENUINFO mi{};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIM_STYLE;
    mi.dwStyle = MNS_NOCHECK | MNS_AUTODISMISS;
    if (!SetMenuInfo(menu, &mi))
        WinErrorBox(0, m_hWnd, (m_sCaption + L" - ERROR").c_str(),
                    which == kSettings ? L"Error setting Settings menu appearance." : L"Error setting Help menu appearance.");
    if (which == kSettings) {
        // The option dialogs are not part of this build yet: their items are shown but disabled.
        if (!AppendMenuW(menu, MF_STRING | MF_GRAYED, ID_SETTINGS_SHUFFLE, L"Vuriror Oduvizu options ..."))
            ShowErrorBox(L"Error adding shuffle options menu item");
        if (!AppendMenuW(menu, MF_STRING | MF_GRAYED, ID_SETTINGS_ALBUMART, L"Album Art options ..."))
            ShowErrorBox(L"Error adding album options menu item");
        if (!AppendMenuW(menu, MF_STRING | MF_GRAYED, ID_SETTINGS_LOGGING, L"Logging options ..."))
            ShowErrorBox(L"Error adding logging options menu item");
    } else {
        if (!AppendMenuW(menu, MF_STRING, ID_HELP_CONTENTS, L"Help Contents ..."))
            ShowErrorBox(L"Error adding help contents menu item");
        if (!AppendMenuW(menu, MF_STRING, ID_HELP_ABOUT, L"About Swirlo"))
            ShowErrorBox(L"Error adding help about menu item");
    }
    RECT frame;
    GetWindowRect(m_hFrame[which], &frame);
    m_bMenuOpen[which] = true;
    UINT cmd = static_cast<UINT>(TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON,
                                                frame.right - 1, frame.bottom - 1, 0, m_hWnd, nullptr));
    DestroyMenu(menu);
    SetHover(which, false);
    if (cmd) RunCommand(cmd);
    PostMessageW(m_hWnd, WM_APP_MENU_CLOSED, which, 0);
}

void MainWindow::ShowHelpTopic(const wchar_t* topic) {
    if (m_sHelpPath.empty()) return;
    ShowHelp(topic ? FormatW(L"%ls::/%ls", m_sHelpPath.c_str(), topic) : m_sHelpPath);
}

void MainWindow::RunCommand(UINT id) {
    switch (id) {
    case ID_HELP_CONTENTS:
        ShowHelpTopic(nullptr);
        break;
    case ID_HELP_ABOUT: {
        std::unique_ptr<AboutBox> about(new (std::nothrow) AboutBox(m_hInst, L"About \"Swirlo\"", this));
        if (!about) {
            ShowErrorBox(L"Error creating About box");
            break;
        }
        about->RunModal();
        break;
    }
    default:
        break;
    }
    if (m_pSettings) m_pSettings->SetDialog(m_hVisiblePage);
}

void MainWindow::CloseDown() {
    if (m_pAlbumArtPage) m_pAlbumArtPage->CloseDown();
    if (m_pShufflePage) m_pShufflePage->CloseDown();
}

int MainWindow::OnOK() {
    CloseDown();
    EndDialog(m_hWnd, 1);
    return 1;
}

int MainWindow::OnCancel() { return OnOK(); }

INT_PTR MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->hwndFrom == m_hTab && hdr->code == TCN_SELCHANGE) {
            OnTabChange();
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDC_SETTINGS_LABEL || LOWORD(wParam) == IDC_HELP_LABEL) && HIWORD(wParam) == STN_CLICKED) {
            OnLabelClick(LOWORD(wParam) == IDC_SETTINGS_LABEL ? kSettings : kHelp);
            return TRUE;
        }
        if (LOWORD(wParam) >= 40000) {
            RunCommand(LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_APP_MENU_CLOSED:
        m_bMenuOpen[wParam == kHelp ? kHelp : kSettings] = false;
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        HWND ctl = reinterpret_cast<HWND>(lParam);
        for (int i = 0; i < 2; ++i) {
            if (ctl == m_hLabel[i]) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                if (m_bHover[i]) {
                    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
                    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
                    return reinterpret_cast<INT_PTR>(m_hbrHighlight);
                }
                SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            }
        }
        break;
    }
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
