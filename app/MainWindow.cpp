#include "app/MainWindow.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cwctype>
#include <new>

#include "app/AboutBox.h"
#include "app/LoggingOptionsDialog.h"
#include "app/Pages.h"
#include "app/ShufflePrefsDialog.h"
#include "foundation/IniSettings.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "framework/Controls.h"
#include "framework/Dpi.h"
#include "foundation/WindowMessages.h"
#include "resources/resource.h"

namespace swirlo {

namespace {
const wchar_t kTabShuffle[] = L"  Zadered Iruzad Irovero   ";
const wchar_t kTabAlbumArt[] = L"  Copy Album Art to Player   ";
const int kTabHeight = 21;            // pixels at 96 dots per inch
MainWindow* g_pMainWindow = nullptr;  // the keyboard hook's window: one main window per program

// Whether a control of the page (or its children) shows the mnemonic key and can take it: the page's
// own control then has the key, as its underline promises; the menu stays one Tab away.
bool PageTakesMnemonic(HWND page, wchar_t key) {
    if (!page || !IsWindowVisible(page)) return false;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
        wchar_t text[256] = {};
        GetWindowTextW(c, text, 256);
        for (const wchar_t* p = text; *p && p[1]; ++p) {
            if (*p != L'&') continue;
            if (p[1] == L'&') {  // "&&" is a plain ampersand
                ++p;
                continue;
            }
            if (towupper(p[1]) == key) return true;
            break;
        }
        if (PageTakesMnemonic(c, key)) return true;
    }
    return false;
}
}  // namespace

MainWindow::MainWindow(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, const AppPaths* paths)
    : ZDialog(hInst, caption, nullptr, nullptr, paths), m_pSettings(settings) {
    m_nResId = IDD_MAIN;
    g_pMainWindow = this;
}

MainWindow::~MainWindow() {
    if (m_hKeyHook) UnhookWindowsHookEx(m_hKeyHook);
    if (g_pMainWindow == this) g_pMainWindow = nullptr;
}

BOOL MainWindow::OnInitDialog() {
    SetIcon(IDI_APP);
    m_hTab = GetDlgItem(m_hWnd, IDC_MAIN_TAB);
    m_hLabel[kSettings] = GetDlgItem(m_hWnd, IDC_SETTINGS_LABEL);
    m_hLabel[kHelp] = GetDlgItem(m_hWnd, IDC_HELP_LABEL);
    m_hFrame[kSettings] = GetDlgItem(m_hWnd, IDC_SETTINGS_FRAME);
    m_hFrame[kHelp] = GetDlgItem(m_hWnd, IDC_HELP_FRAME);
    m_rcLabel[kSettings] = ControlRect(IDC_SETTINGS_LABEL);
    m_rcLabel[kHelp] = ControlRect(IDC_HELP_LABEL);
    // The labels and frames sit over the tab strip, each label over its frame; the order is also the
    // Tab order: "Settings", "Help", the tabs, the page.
    for (int i = 1; i >= 0; --i) {
        SetWindowPos(m_hFrame[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(m_hLabel[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowSubclass(m_hLabel[i], LabelSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
        // A screen reader names it by its text and says that it opens a menu.
        SetAccessibleRole(m_hLabel[i], ROLE_SYSTEM_BUTTONMENU);
    }
    m_hbrHighlight.Reset(CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
    // Keys that belong to the whole program (tab switching, help, the two menus) are seen in every
    // message loop of this thread: the modal ones of dialogs and menus, and the long-run pump.
    m_hKeyHook = SetWindowsHookExW(WH_GETMESSAGE, KeyboardHook, nullptr, GetCurrentThreadId());

    CreatePages();
    InsertTabs();
    SizeTabsAndPages();
    ShowPage(0);
    m_bFirstShow = false;
    PostMessageW(m_hWnd, WM_APP_FIRST_SHOWN, 0, 0);
    return ZDialog::OnInitDialog();
}

void MainWindow::CreatePages() {
    m_pShufflePage = MakeShufflePage(m_hInst, m_pSettings, m_sCaption.c_str(), this, m_pPaths);
    if (!m_pShufflePage->CreateModeless())
        WinErrorBox(0, m_hWnd, ErrorCaption().c_str(), L"Error creating Vuriror Oduvizu child window");
    m_pAlbumArtPage = MakeAlbumArtPage(m_hInst, m_pSettings, m_sCaption.c_str(), this, m_pPaths);
    if (!m_pAlbumArtPage->CreateModeless())
        WinErrorBox(0, m_hWnd, ErrorCaption().c_str(), L"Error creating Album Art child window");
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
    // The strip's height follows the display's scale, as the labels over it (in dialog units) do.
    int height = MulDiv(kTabHeight, static_cast<int>(WindowDpi(m_hWnd)), 96);
    SendMessageW(m_hTab, TCM_SETITEMSIZE, 0, MAKELPARAM((client.right - client.left) / 3, height));
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
                     m_rcDisplay.right - m_rcDisplay.left, m_rcDisplay.bottom - m_rcDisplay.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    if (m_pShufflePage) m_pShufflePage->SetVisiblePage(index == 0);
    if (m_pSettings) m_pSettings->SetDialog(m_hVisiblePage);
    if (SendMessageW(m_hTab, TCM_GETCURSEL, 0, 0) != index) SendMessageW(m_hTab, TCM_SETCURSEL, index, 0);
}

bool MainWindow::AnyPageBusy() const {
    return (m_pShufflePage && m_pShufflePage->IsBusy()) || (m_pAlbumArtPage && m_pAlbumArtPage->IsBusy());
}

// Ctrl+Tab and Ctrl+Shift+Tab: the next or previous page, refused like a click while a page is busy.
void MainWindow::OnNextTab(int step) {
    if (AnyPageBusy()) {
        MessageBeep(MB_OK);
        return;
    }
    int count = static_cast<int>(SendMessageW(m_hTab, TCM_GETITEMCOUNT, 0, 0));
    if (count < 2) return;
    ShowPage(((m_nVisiblePage + step) % count + count) % count);
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
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);  // drawn highlighted while it has the focus
        break;
    case WM_GETDLGCODE: {
        // Enter, Space, Down and F4 open the menu, as on a menu button; Tab still moves on.
        auto* m = reinterpret_cast<MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN &&
            (m->wParam == VK_RETURN || m->wParam == VK_SPACE || m->wParam == VK_DOWN || m->wParam == VK_F4))
            return DLGC_WANTMESSAGE;
        return DLGC_WANTARROWS;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE || wParam == VK_DOWN || wParam == VK_F4) {
            PostMessageW(self->m_hWnd, WM_APP_OPEN_MENU, which, 0);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, LabelSubclass, 1);
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void MainWindow::OnLabelClick(Label which, bool fromKeyboard) {
    if (m_bMenuOpen[which]) return;
    // The menus lead to options a running job reads: refused like a tab change.
    if (AnyPageBusy()) {
        MessageBeep(MB_OK);
        return;
    }
    // The click that closed this label's menu is read after the menu has returned (input comes
    // after posted messages): a click from before that moment only closed the menu.
    if (!fromKeyboard && static_cast<LONG>(GetMessageTime() - m_dwMenuClosed[which]) <= 0) return;
    UniqueMenu owned(CreatePopupMenu());
    const HMENU menu = owned.Get();
    if (!menu) return;
    MENUINFO mi{};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIM_STYLE;
    mi.dwStyle = MNS_NOCHECK | MNS_AUTODISMISS;
    if (!SetMenuInfo(menu, &mi))
        WinErrorBox(0, m_hWnd, ErrorCaption().c_str(),
                    which == kSettings ? L"Error setting Settings menu appearance." : L"Error setting Help menu appearance.");
    if (which == kSettings) {
        if (!AppendMenuW(menu, MF_STRING, ID_SETTINGS_SHUFFLE, L"Vuriror Oduvizu options ..."))
            ShowErrorBox(L"Error adding shuffle options menu item");
        if (!AppendMenuW(menu, MF_STRING, ID_SETTINGS_ALBUMART, L"Album Art options ..."))
            ShowErrorBox(L"Error adding album options menu item");
        if (!AppendMenuW(menu, MF_STRING, ID_SETTINGS_LOGGING, L"Logging options ..."))
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
    SetHover(which, true);
    if (fromKeyboard) PostMessageW(m_hWnd, WM_KEYDOWN, VK_DOWN, 0);  // opened on its first item
    UINT cmd = static_cast<UINT>(TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON,
                                                frame.right - 1, frame.bottom - 1, 0, m_hWnd, nullptr));
    owned.Reset();
    m_dwMenuClosed[which] = GetTickCount();
    SetHover(which, false);
    if (cmd) RunCommand(cmd);
    PostMessageW(m_hWnd, WM_APP_MENU_CLOSED, which, 0);
}

const wchar_t* MainWindow::HelpTopic() const { return m_nVisiblePage == 0 ? L"shuffle.htm" : L"albumart.htm"; }

LRESULT CALLBACK MainWindow::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = g_pMainWindow;
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (self && code == HC_ACTION && wParam == PM_REMOVE && msg->hwnd &&
        (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)) {
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        bool ctrl = GetKeyState(VK_CONTROL) < 0;
        bool alt = msg->message == WM_SYSKEYDOWN;
        bool shift = GetKeyState(VK_SHIFT) < 0;
        bool handled = true;
        if (msg->wParam == VK_F1 && !ctrl && !alt && !shift) {
            // The help of the window the key was typed in: its dialog answers WM_HELP.
            HELPINFO hi{sizeof(hi), HELPINFO_WINDOW, GetDlgCtrlID(msg->hwnd), msg->hwnd, 0, {}};
            GetCursorPos(&hi.MousePos);
            SendMessageW(root, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
        } else if (root == self->m_hWnd && msg->wParam == VK_TAB && ctrl && !alt) {
            PostMessageW(self->m_hWnd, WM_APP_NEXT_TAB, shift ? static_cast<WPARAM>(-1) : 1, 0);
        } else if (root == self->m_hWnd && alt && !ctrl && (msg->wParam == 'S' || msg->wParam == 'H') &&
                   !PageTakesMnemonic(self->m_hVisiblePage, static_cast<wchar_t>(msg->wParam))) {
            PostMessageW(self->m_hWnd, WM_APP_OPEN_MENU, msg->wParam == 'S' ? kSettings : kHelp, 0);
        } else {
            handled = false;
        }
        if (handled) msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MainWindow::RunCommand(UINT id) {
    if (AnyPageBusy()) {
        MessageBeep(MB_OK);
        return;
    }
    switch (id) {
    case ID_SETTINGS_SHUFFLE: {
        std::unique_ptr<ShufflePrefsDialog> dlg(new (std::nothrow) ShufflePrefsDialog(
            m_hInst, m_pSettings, m_sCaption.c_str(), L"Vuriror Oduvizu Options", this, m_pPaths));
        if (!dlg) {
            ShowErrorBox(L"Error creating Shuffle Preferences dialog");
            break;
        }
        dlg->RunModal();
        if (m_pShufflePage) m_pShufflePage->RefreshFromSettings();  // whatever the result
        break;
    }
    case ID_SETTINGS_ALBUMART: {
        INT_PTR r = RunAlbumArtOptions(m_hInst, m_pSettings, m_sCaption.c_str(), this, m_pPaths);
        if (r == -1) ShowErrorBox(L"Error creating Album Art Preferences dialog");
        else if (r == 1 && m_pAlbumArtPage) m_pAlbumArtPage->RefreshFromSettings();
        break;
    }
    case ID_SETTINGS_LOGGING: {
        std::unique_ptr<LoggingOptionsDialog> dlg(new (std::nothrow) LoggingOptionsDialog(
            m_hInst, m_pSettings, m_sCaption.c_str(), L"Logging Options", this, m_pPaths));
        if (!dlg) {
            ShowErrorBox(L"Error creating Logging Options dialog");
            break;
        }
        if (dlg->RunModal() == 1) {
            if (m_pShufflePage) m_pShufflePage->RefreshFromSettings();
            if (m_pAlbumArtPage) m_pAlbumArtPage->RefreshFromSettings();
        }
        break;
    }
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

// Enter reaches the main window as OK (its hidden default button) from any edit box of a page: it
// must not end the program and lose what the pages hold. Esc, the close box and Alt+F4 close it.
int MainWindow::OnOK() { return 1; }

int MainWindow::OnCancel() {
    if (AnyPageBusy()) {
        // The job is stopped first, and the window closes once it has ended (WM_APP_PAGE_IDLE):
        // ending now would leave the job running, and its boxes, after the window is gone.
        m_bClosePending = true;
        for (TabPage* page : {m_pShufflePage.get(), m_pAlbumArtPage.get()})
            if (page && page->IsBusy()) page->StopForClose();
        return 1;
    }
    m_bClosePending = false;
    CloseDown();
    EndDialog(m_hWnd, 1);
    return 1;
}

void MainWindow::OnDestroy() {
    if (m_hKeyHook) UnhookWindowsHookEx(m_hKeyHook);
    m_hKeyHook = nullptr;
}

INT_PTR MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        // A busy page keeps its tab: the change is refused before it happens.
        if (hdr->hwndFrom == m_hTab && hdr->code == TCN_SELCHANGING) return SetMsgResult(m_hWnd, AnyPageBusy());
        if (hdr->hwndFrom == m_hTab && hdr->code == TCN_SELCHANGE) {
            ShowPage(static_cast<int>(SendMessageW(m_hTab, TCM_GETCURSEL, 0, 0)));
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDC_SETTINGS_LABEL || LOWORD(wParam) == IDC_HELP_LABEL) && HIWORD(wParam) == STN_CLICKED) {
            OnLabelClick(LOWORD(wParam) == IDC_SETTINGS_LABEL ? kSettings : kHelp, false);
            return TRUE;
        }
        if (LOWORD(wParam) >= 40000) {
            RunCommand(LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_DEVICECHANGE:
        // Windows tells top-level windows of volumes coming and going; the album art page looks for
        // the player.
        if (m_pAlbumArtPage && m_pAlbumArtPage->Hwnd()) SendMessageW(m_pAlbumArtPage->Hwnd(), msg, wParam, lParam);
        break;
    case WM_APP_PAGE_IDLE:
        if (m_bClosePending) OnCancel();
        return TRUE;
    case WM_APP_MENU_CLOSED:
        m_bMenuOpen[wParam == kHelp ? kHelp : kSettings] = false;
        return TRUE;
    case WM_APP_OPEN_MENU:
        OnLabelClick(wParam == kHelp ? kHelp : kSettings, true);
        return TRUE;
    case WM_APP_NEXT_TAB:
        OnNextTab(static_cast<int>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        // The dialog manager rescales the controls; the strip's pixel height follows afterwards.
        PostMessageW(m_hWnd, WM_APP_RELAYOUT, 0, 0);
        break;  // the default handling tells the pages afterwards
    case WM_APP_FIRST_SHOWN:
        // The window may have been activated while still hidden (the pages take the focus while
        // they are built) and then shows an inactive caption although it is the active window.
        if (GetActiveWindow() == m_hWnd) SendMessageW(m_hWnd, WM_NCACTIVATE, TRUE, 0);
        return TRUE;
    case WM_APP_RELAYOUT:
        SizeTabsAndPages();
        ShowPage(m_nVisiblePage);
        return TRUE;
    case WM_APP_DPI_CHANGED:
        // The pages hear it too (Windows tells child windows only from Windows 10 1703 on).
        for (TabPage* page : {m_pShufflePage.get(), m_pAlbumArtPage.get()})
            if (page && page->Hwnd()) PostMessageW(page->Hwnd(), WM_APP_DPI_CHANGED, wParam, 0);
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        HWND ctl = reinterpret_cast<HWND>(lParam);
        for (int i = 0; i < 2; ++i) {
            if (ctl == m_hLabel[i]) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                if (m_bHover[i] || GetFocus() == ctl) {
                    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
                    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
                    return reinterpret_cast<INT_PTR>(m_hbrHighlight.Get());
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
