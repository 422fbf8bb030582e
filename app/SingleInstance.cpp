#include "app/SingleInstance.h"

#include <commctrl.h>

#include "resources/resource.h"

namespace swirlo {

namespace {
// The running copy's main window: a top-level dialog with the program's caption and its tab strip (a
// message box of the program may bear the same caption).
HWND FindMainWindow(const wchar_t* caption) {
    HWND h = nullptr;
    wchar_t cls[32];
    while ((h = FindWindowExW(nullptr, h, L"#32770", caption)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        HWND tab = GetDlgItem(h, IDC_MAIN_TAB);
        if (pid != GetCurrentProcessId() && tab && GetClassNameW(tab, cls, 32) && lstrcmpiW(cls, WC_TABCONTROLW) == 0)
            return h;
    }
    return nullptr;
}
}  // namespace

bool SingleInstance::Claim() {
    // The session's namespace: another user logged on beside this one keeps a copy of their own.
    m_claim.Reset(CreateMutexW(nullptr, FALSE, L"Local\\Swirlo.Blendo.MainWindow"));
    const DWORD err = GetLastError();
    if (m_claim) {
        if (err != ERROR_ALREADY_EXISTS) return true;
        m_claim.Reset();
        return false;
    }
    // Denied: a copy running elevated holds it. Anything else says nothing about other copies, and
    // the user is never kept out for it.
    return err != ERROR_ACCESS_DENIED;
}

void SingleInstance::ShowRunning(const wchar_t* caption) {
    HWND main = nullptr;
    // The other copy makes its window after reading its settings.
    for (int i = 0; i < 50 && !(main = FindMainWindow(caption)); ++i) Sleep(100);
    if (!main) return;
    // Not waiting on the other copy, which may be busy with a long run.
    if (IsIconic(main)) ShowWindowAsync(main, SW_RESTORE);
    // This process was just started by the user, so it may hand the foreground on.
    HWND front = GetLastActivePopup(main);
    SetForegroundWindow(front ? front : main);
}

}  // namespace swirlo
