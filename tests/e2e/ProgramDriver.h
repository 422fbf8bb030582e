// Starts the real Blendo.exe and drives it from this process: real mouse and keyboard input
// (SendInput) where a person would use them, window messages to read controls back.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "tests/foundation/WinTestSupport.h"

namespace swirlo::test {

class ProgramDriver {
public:
    static std::wstring ProgramPath() { return WinPath(BLENDO_EXE); }
    // The program's settings folder (its settings file and the shuffle groups), made if this is the
    // prefix's first run, so that a test can write settings before the program ever started.
    static std::wstring ConfigDir() {
        wchar_t appData[MAX_PATH];
        SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
        const std::wstring dir = std::wstring(appData) + L"\\Swirlo\\";
        CreateDirectoryW(dir.c_str(), nullptr);
        return dir;
    }

    // With the command line's arguments; beforeRun, when given, is called before the program's first
    // instruction (to arm a hold, see HoldAt); exe, a copy of the program elsewhere.
    bool Start(const std::wstring& args = L"", const std::function<void()>& beforeRun = {},
               const std::wstring& exe = ProgramPath()) {
        std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        m_started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, beforeRun ? CREATE_SUSPENDED : 0,
                                   nullptr, nullptr, &si, &m_pi);
        if (m_started && beforeRun) beforeRun(), ResumeThread(m_pi.hThread);
        return m_started;
    }
    DWORD Pid() const { return m_pi.dwProcessId; }
    DWORD MainThreadId() const { return m_pi.dwThreadId; }

    // Holding the program at a stage (see "Holding a stage" in the README): the status texts to watch,
    // given before Start; HoldAt(k) arms prefix k so that the program's window thread waits at the next
    // text that begins with it. WaitHeld waits until it does; while it is held, input may be sent
    // (SendInput only: anything that sends a message to the program's thread would wait for it), and
    // Release lets it carry on, so that it sees that input inside the stage.
    static void HoldPrefixes(const std::wstring& list) { SetEnvironmentVariableW(L"SWIRLO_STANDIN_HOLD", list.c_str()); }
    void HoldAt(int k) { SetEvent(HoldEvent(k, L"armed")); }
    bool WaitHeld(int k, DWORD ms = 120000) { return WaitForSingleObject(HoldEvent(k, L"held"), ms) == WAIT_OBJECT_0; }
    void Release(int k) { SetEvent(HoldEvent(k, L"go")); }
    // The stand-in hooks the window thread when the shuffle page sets the library up, at its first
    // paint: a test that leaves that page at once waits for it first.
    bool WaitHooked(DWORD ms = 60000) { return WaitForSingleObject(HoldEvent(-1, L"hooked"), ms) == WAIT_OBJECT_0; }

    // Waits for a top-level dialog of the program with the given title.
    HWND WaitForWindow(const wchar_t* title, DWORD ms = 60000) {
        return WaitFor([&]() -> HWND {
            HWND h = FindWindowW(L"#32770", title);
            DWORD pid = 0;
            if (h) GetWindowThreadProcessId(h, &pid);
            return pid == m_pi.dwProcessId ? h : nullptr;
        }, ms);
    }

    // Waits for the program to end; returns its exit code, or -1 on time-out.
    int WaitForExit(DWORD ms = 30000) {
        DWORD code = 0;
        if (!m_started || WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<int>(code);
    }

    ~ProgramDriver() {
        if (!m_started) return;
        // Gone before the next test starts one: the program runs once per session.
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0 && TerminateProcess(m_pi.hProcess, 99))
            WaitForSingleObject(m_pi.hProcess, 30000);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }

    static std::wstring Text(HWND h) {
        wchar_t buf[1024] = {};
        SendMessageW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf));
        return buf;
    }

    // Polls until the probe gives a window (or, with a null result wanted, until it gives none).
    static HWND WaitFor(const std::function<HWND()>& probe, DWORD ms = 60000) {
        for (DWORD waited = 0;; waited += 50) {
            if (HWND h = probe()) return h;
            if (waited >= ms) return nullptr;
            Sleep(50);
        }
    }
    static bool WaitGone(HWND h, DWORD ms = 60000) {
        return WaitFor([h] { return IsWindow(h) ? nullptr : HWND_BOTTOM; }, ms) != nullptr;
    }
    // Waits until done() holds: for a state the program keeps until the test acts on it.
    static bool Until(const std::function<bool()>& done, DWORD ms = 60000) {
        return WaitFor([&] { return done() ? HWND_BOTTOM : nullptr; }, ms) != nullptr;
    }

    // What the window's thread has active and focused, as the window manager knows it (no message
    // reaches the program).
    static GUITHREADINFO GuiInfo(HWND h) {
        GUITHREADINFO gi{};
        gi.cbSize = sizeof(gi);
        GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gi);
        return gi;
    }
    // Brings the window's top-level window to the front and waits until its thread has made it the
    // active one, so that input sent next goes to it.
    static bool BringToFront(HWND h) {
        HWND root = GetAncestor(h, GA_ROOT);
        if (GuiInfo(root).hwndActive != root || GetForegroundWindow() != root) SetForegroundWindow(root);
        return Until([root] { return GuiInfo(root).hwndActive == root && GetForegroundWindow() == root; });
    }
    // Clicks a button of a dialog or box once that is the active window; true once it has gone.
    static bool Answer(HWND button) {
        if (!button || !BringToFront(button)) return false;
        Press(button);
        return WaitGone(GetAncestor(button, GA_ROOT));
    }
    // Waits until the window of button takes mouse input: a click sent before that is lost (a window
    // just shown may not be under the pointer yet for the display). The button lights up under the
    // pointer once it does; the pointer is kept moving on it. Only for a window of a new process or
    // the first of its kind: Wine keeps a button's hover tracking when a window is destroyed under
    // the pointer, and a button shown later at that place does not light up.
    static bool WaitMouse(HWND button) {
        RECT r{};
        GetWindowRect(button, &r);
        int i = 0;
        return Until([&] {
            if (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_HOT) return true;
            Mouse({r.left + 4 + ++i % 2, r.top + 4});
            return false;
        });
    }
    // Waits until the keyboard focus is in ctl (or a child of it, as in a combo box's edit).
    static bool WaitFocus(HWND ctl, DWORD ms = 60000) {
        return Until([ctl] { return GuiInfo(ctl).hwndFocus == ctl || IsChild(ctl, GuiInfo(ctl).hwndFocus); }, ms);
    }
    // Real input: the pointer moved to a screen point; a left click there (or on the centre of ctl, or
    // at dx, dy in it), which is input only, nothing that waits for the program, so that it may be
    // sent while the program's thread is held (see HoldAt). The move, press and release go in one
    // burst: after a pause, Wine takes the modifier keys from the display again, which loses a Ctrl
    // sent as input.
    static void Mouse(POINT pt, int events = 1) {
        INPUT in[3] = {};
        for (DWORD i = 0, flags[] = {MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}; i < 3; ++i)
            in[i] = {INPUT_MOUSE, {.mi = {MulDiv(pt.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1,
                                          MulDiv(pt.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1, 0, flags[i], 0, 0}}};
        SendInput(events, in, sizeof(INPUT));
    }
    static void MoveTo(POINT pt) { Mouse(pt), Sleep(150); }
    static void ClickAt(POINT pt) { Mouse(pt, 3); }
    static void Press(HWND ctl, int dx = -1, int dy = -1) {
        RECT r;
        GetWindowRect(ctl, &r);
        ClickAt(dx < 0 ? Centre(ctl) : POINT{r.left + dx, r.top + dy});
    }
    static POINT Centre(HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static void Click(HWND h) { Press(h); }
    // One event at a time, as a person types: Wine's key state lags a burst of events by up to 50 ms.
    static void KeyEvent(WORD vk, bool up, wchar_t unicode = 0) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki = {vk, unicode, static_cast<DWORD>((up ? KEYEVENTF_KEYUP : 0) | (unicode ? KEYEVENTF_UNICODE : 0)), 0, 0};
        SendInput(1, &in, sizeof(in));
        Sleep(unicode ? 15 : 60);
    }
    static void Key(WORD vk, WORD mod1 = 0, WORD mod2 = 0) {
        for (auto [k, up] : {std::pair{mod1, false}, {mod2, false}, {vk, false}, {vk, true}, {mod2, true}, {mod1, true}})
            if (k) KeyEvent(k, up);
        Sleep(200);
    }
    static void Type(const std::wstring& text) {
        for (wchar_t c : text) KeyEvent(0, false, c), KeyEvent(0, true, c);
    }

private:
    HANDLE HoldEvent(int k, const wchar_t* what) {
        const std::wstring name = L"SwirloHold-" + std::to_wstring(m_pi.dwProcessId) + (k < 0 ? L"" : L"-" + std::to_wstring(k)) + L"-" + what;
        UniqueKernelHandle& h = m_holdEvents[name];
        if (!h) h.Reset(CreateEventW(nullptr, k < 0, FALSE, name.c_str()));  // or opens the program's
        return h.Get();
    }
    std::map<std::wstring, UniqueKernelHandle> m_holdEvents;
    PROCESS_INFORMATION m_pi{};
    bool m_started = false;
};

}  // namespace swirlo::test
