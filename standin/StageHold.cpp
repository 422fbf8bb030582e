// A test must act while the program is in a given stage of a long job (press Stop, close the window,
// open a menu), however fast the machine. Polling the status line cannot do that: a stage may begin
// and end between two polls, and reading a control blocks while the window's thread works. So the
// stand-in, loaded into the program on its window thread, watches the texts that thread sets; when
// one begins with a prefix a test has armed, the thread waits there until the test lets it go. Input
// the test sends meanwhile is queued and seen at the program's next message dispatch, inside that
// stage.
//
// SWIRLO_STANDIN_HOLD="prefix 0|prefix 1|..." lists the prefixes; for prefix k of process pid the
// named auto-reset events are "SwirloHold-<pid>-<k>-armed" (set by the test: hold at the next such
// text, once), "-held" (set here: the thread waits) and "-go" (set by the test: carry on). The
// manual-reset event "SwirloHold-<pid>-hooked" tells that the hook is in place.
#include "standin/StageHold.h"

#include <windows.h>

#include <string>
#include <vector>

namespace swirlo::standin {
namespace {

struct Watched {
    std::wstring prefix;
    HANDLE armed, held, go;
};
std::vector<Watched> g_watched;  // read by the hooks only after every thread's hook is in place
INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
thread_local HHOOK t_hook = nullptr;

HANDLE Event(DWORD pid, std::size_t k, const wchar_t* what) {
    const std::wstring name = L"SwirloHold-" + std::to_wstring(pid) + L"-" + std::to_wstring(k) + L"-" + what;
    return CreateEventW(nullptr, FALSE, FALSE, name.c_str());
}

BOOL CALLBACK ReadPrefixes(INIT_ONCE*, void*, void**) {
    std::vector<wchar_t> buf(4096);
    DWORD n = GetEnvironmentVariableW(L"SWIRLO_STANDIN_HOLD", buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0 || n >= buf.size()) return TRUE;
    const std::wstring list(buf.data(), n);
    for (std::size_t from = 0, k = 0; from <= list.size(); ++k) {
        std::size_t bar = list.find(L'|', from);
        if (bar == std::wstring::npos) bar = list.size();
        const DWORD pid = GetCurrentProcessId();
        g_watched.push_back({list.substr(from, bar - from), Event(pid, k, L"armed"), Event(pid, k, L"held"), Event(pid, k, L"go")});
        from = bar + 1;
    }
    return TRUE;
}

LRESULT CALLBACK OnCallWndProc(int code, WPARAM w, LPARAM l) {
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(l);
    if (code == HC_ACTION && msg->message == WM_SETTEXT && msg->lParam) {
        const wchar_t* text = reinterpret_cast<const wchar_t*>(msg->lParam);
        for (const Watched& s : g_watched)
            if (!s.prefix.empty() && wcsncmp(text, s.prefix.c_str(), s.prefix.size()) == 0 &&
                WaitForSingleObject(s.armed, 0) == WAIT_OBJECT_0) {
                SetEvent(s.held);
                WaitForSingleObject(s.go, 5 * 60 * 1000);  // bounded: a test that died must not hang the program
            }
    }
    return CallNextHookEx(nullptr, code, w, l);
}

}  // namespace

void InstallStageHold() {
    InitOnceExecuteOnce(&g_once, ReadPrefixes, nullptr, nullptr);
    if (g_watched.empty() || t_hook) return;
    // The hook outlives the objects: keep this module loaded for the life of the process.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&OnCallWndProc), &self);
    t_hook = SetWindowsHookExW(WH_CALLWNDPROC, OnCallWndProc, nullptr, GetCurrentThreadId());
    const std::wstring hooked = L"SwirloHold-" + std::to_wstring(GetCurrentProcessId()) + L"-hooked";
    if (HANDLE h = t_hook ? CreateEventW(nullptr, TRUE, FALSE, hooked.c_str()) : nullptr) SetEvent(h);  // kept open
}

}  // namespace swirlo::standin
