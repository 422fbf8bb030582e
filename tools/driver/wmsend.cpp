// Drives a running window from outside, for screenshots and manual checks under Wine:
//   wmsend "Window title" command ID      posts WM_COMMAND ID to the window
//   wmsend "Window title" click ID        clicks the button with control ID (BM_CLICK)
//   wmsend "Window title" settext ID TEXT sets a control's text
//   wmsend "Window title" wait            waits up to 30 s for the window
//   wmsend "Window title" activate        brings the window to the front, active
//   wmsend "Window title" press ID        a real mouse click (SendInput) on the control's centre
// A control ID is looked for among the window's children and then among all its descendants (the
// controls of a page inside the main window).
// Exits 0 when the window was found and the message sent, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

static HWND Item(HWND top, int id) {
    if (HWND c = GetDlgItem(top, id)) return c;
    struct Find { int id; HWND found; } f{id, nullptr};
    EnumChildWindows(top, [](HWND c, LPARAM p) -> BOOL {
        auto* find = reinterpret_cast<Find*>(p);
        if (GetDlgCtrlID(c) != find->id) return TRUE;
        find->found = c;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: wmsend TITLE command|click|settext|post|activate|press|wait [ID|MSG] [TEXT|WPARAM]\n");
        return 2;
    }
    HWND h = nullptr;
    for (int i = 0; i < 300 && !h; ++i) {
        h = FindWindowW(nullptr, argv[1]);
        if (!h) Sleep(100);
    }
    if (!h) {
        std::fwprintf(stderr, L"no window titled %ls\n", argv[1]);
        return 1;
    }
    std::wstring verb = argv[2];
    int id = argc > 3 ? _wtoi(argv[3]) : 0;
    if (verb == L"command") PostMessageW(h, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    else if (verb == L"click") PostMessageW(Item(h, id), BM_CLICK, 0, 0);
    else if (verb == L"settext" && argc > 4) SendMessageW(Item(h, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    else if (verb == L"post") PostMessageW(h, static_cast<UINT>(id), argc > 4 ? _wtoi(argv[4]) : 0, 0);
    else if (verb == L"activate") SetForegroundWindow(h);
    else if (verb == L"press") {
        SetForegroundWindow(h);
        RECT r;
        GetWindowRect(Item(h, id), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(300);
    } else if (verb != L"wait") return 2;
    return 0;
}
