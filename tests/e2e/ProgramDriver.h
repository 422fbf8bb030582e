// Starts the real Blendo.exe and drives it from this process: real mouse and keyboard input
// (SendInput) where a person would use them, window messages to read controls back.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

namespace swirlo::test {

class ProgramDriver {
public:
    // The program file, as a Windows path (the build gives a Unix path; Wine maps it under Z:).
    static std::wstring ProgramPath() {
        std::string unix = BLENDO_EXE;
        std::wstring w = L"Z:";
        for (char c : unix) w.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
        return w;
    }

    bool Start() {
        std::wstring cmd = L"\"" + ProgramPath() + L"\"";
        STARTUPINFOW si{sizeof(si)};
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi))
            return false;
        m_started = true;
        return true;
    }

    // Waits for a top-level dialog of the program with the given title.
    HWND WaitForWindow(const wchar_t* title, DWORD ms = 30000) {
        return WaitFor([&]() -> HWND {
            HWND h = FindWindowW(L"#32770", title);
            DWORD pid = 0;
            if (h) GetWindowThreadProcessId(h, &pid);
            return pid == m_pi.dwProcessId ? h : nullptr;
        }, ms);
    }

    // Waits for the program to end; returns its exit code, or -1 on time-out.
    int WaitForExit(DWORD ms = 30000) {
        if (!m_started) return -1;
        if (WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<int>(code);
    }

    ~ProgramDriver() {
        if (!m_started) return;
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(m_pi.hProcess, 99);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }

    static std::wstring Text(HWND h) {
        wchar_t buf[1024] = {};
        SendMessageW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf));
        return buf;
    }

    // Polls until the probe gives a window (or, with a null result wanted, until it gives none).
    static HWND WaitFor(const std::function<HWND()>& probe, DWORD ms = 10000) {
        for (DWORD waited = 0;; waited += 50) {
            if (HWND h = probe()) return h;
            if (waited >= ms) return nullptr;
            Sleep(50);
        }
    }
    static bool WaitGone(HWND h) { return WaitFor([h] { return IsWindow(h) ? nullptr : HWND_BOTTOM; }) != nullptr; }

    // Real input: the pointer moved to a screen point, a left click there, a key with modifiers.
    static void Mouse(DWORD flags, POINT pt = {}) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi = {MulDiv(pt.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1,
                 MulDiv(pt.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1, 0, flags, 0, 0};
        SendInput(1, &in, sizeof(in));
        Sleep(150);
    }
    static void MoveTo(POINT pt) { Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt); }
    static void ClickAt(POINT pt) {
        MoveTo(pt);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        Mouse(MOUSEEVENTF_LEFTUP);
    }
    static POINT Centre(HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static void Click(HWND h) { ClickAt(Centre(h)); }
    static void Key(WORD vk, WORD mod1 = 0, WORD mod2 = 0) {
        INPUT in[6] = {};
        int n = 0;
        for (auto [k, up] : {std::pair{mod1, 0}, {mod2, 0}, {vk, 0}, {vk, 1}, {mod2, 1}, {mod1, 1}})
            if (k) in[n].type = INPUT_KEYBOARD, in[n].ki.wVk = k, in[n++].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        // One event at a time, as a person types: Wine's key state lags a burst of events by up to 50 ms.
        for (int i = 0; i < n; ++i) SendInput(1, &in[i], sizeof(INPUT)), Sleep(60);
        Sleep(200);
    }

private:
    PROCESS_INFORMATION m_pi{};
    bool m_started = false;
};

}  // namespace swirlo::test
