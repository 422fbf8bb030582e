// Starts the real Blendo.exe and drives it from this process through window messages.
#pragma once
#include <windows.h>

#include <string>

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
        for (DWORD waited = 0; waited < ms; waited += 100) {
            HWND h = FindWindowW(L"#32770", title);
            if (h) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == m_pi.dwProcessId) return h;
            }
            Sleep(100);
        }
        return nullptr;
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

private:
    PROCESS_INFORMATION m_pi{};
    bool m_started = false;
};

}  // namespace swirlo::test
