// Helpers for tests and benchmarks that run under Windows (Wine): temporary folder trees, reading
// files back, and a message box recorder that answers as a user would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/Seams.h"
#include "foundation/WinHandles.h"

namespace swirlo::test {

// A Unix path (of the build) as a Windows path: Wine maps the root as Z:.
inline std::wstring WinPath(const std::string& unix) {
    std::wstring w = L"Z:";
    for (char c : unix) w.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    return w;
}

inline std::string ReadBytes(const std::wstring& path) {
    std::string data;
    UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    char buf[65536];
    for (DWORD n; f && ReadFile(f.Get(), buf, sizeof buf, &n, nullptr) && n > 0;) data.append(buf, n);
    return data;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return f && WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

// Calls fn with each entry of the folder but "." and "..", in the platform's listing order.
template <typename Fn>
void ForEachEntry(const std::wstring& dirSlash, Fn fn) {
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileW((dirSlash + L"*").c_str(), &fd));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.Get(), &fd))
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) fn(fd);
}

// A fresh empty folder under the temporary folder, removed with its content at the end.
class TempDir {
public:
    explicit TempDir(const std::wstring& prefix = L"swirlo-test-") {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        m_path = std::wstring(base) + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter) + L"\\";
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const { return m_path; }  // ends in a backslash
    std::wstring Root() const { return m_path.substr(0, m_path.size() - 1); }
    std::wstring Path(const std::wstring& rel) const { return m_path + rel; }
    std::wstring operator/(const std::wstring& rel) const { return m_path + rel; }

    // Creates the folder and its parents.
    bool Dir(const std::wstring& rel) {
        for (std::size_t at = 0; (at = rel.find(L'\\', at + 1)) != std::wstring::npos;)
            CreateDirectoryW(Path(rel.substr(0, at)).c_str(), nullptr);
        return CreateDirectoryW(Path(rel).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    }
    // A file of the given number of bytes.
    bool File(const std::wstring& rel, DWORD bytes) { return WriteBytes(Path(rel), std::string(bytes, 'x')); }

    // Through "\\?\" so that names the usual path rules cannot reach (trailing dots) go too.
    static void RemoveTree(const std::wstring& dirSlash) {
        const std::wstring raw = L"\\\\?\\" + dirSlash;
        ForEachEntry(raw, [&](const WIN32_FIND_DATAW& fd) {
            SetFileAttributesW((raw + fd.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(dirSlash + fd.cFileName + L"\\");
            else DeleteFileW((raw + fd.cFileName).c_str());
        });
        RemoveDirectoryW(raw.c_str());
    }

private:
    std::wstring m_path;
};

// A log the program wrote: UTF-16LE without byte order mark.
inline std::wstring ReadUtf16(const std::wstring& path) {
    std::string b = ReadBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(b.data()), b.size() / 2);
}

// Text in and out of the system's ANSI code page (whichever the tests run under), without
// look-alikes; exact tells whether the text comes back the same.
inline std::wstring FromAnsi(const std::string& a) {
    std::wstring w(a.size(), L'\0');
    w.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), w.data(), static_cast<int>(w.size()))));
    return w;
}
inline std::string InAnsi(const std::wstring& w, bool* exact = nullptr) {
    std::string a(w.size() * 4, '\0');
    a.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS,
                                                          w.data(), static_cast<int>(w.size()), a.data(),
                                                          static_cast<int>(a.size()), nullptr, nullptr)));
    if (exact) *exact = FromAnsi(a) == w;
    return a;
}

inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Keys into an edit box as its window gets them: '*' selects all, '\b' deletes back, '^' and 'v' are
// the Up and Down arrows, '!' is the focus leaving it (its dialog hears EN_KILLFOCUS); the rest is typed.
inline void TypeInto(HWND edit, const wchar_t* keys) {
    for (; *keys; ++keys)
        *keys == L'*' ? SendMessageW(edit, EM_SETSEL, 0, -1)
        : *keys == L'^' || *keys == L'v' ? SendMessageW(edit, WM_KEYDOWN, *keys == L'^' ? VK_UP : VK_DOWN, 0)
        : *keys == L'!' ? SendMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_KILLFOCUS), 0)
                        : SendMessageW(edit, WM_CHAR, *keys, 0);
}

// Records every message box and answers with a fixed result; installed for its lifetime.
class MessageBoxRecorder {
public:
    struct Box { HWND owner; std::wstring text, caption; UINT flags; };
    explicit MessageBoxRecorder(int answer = IDOK) : m_answer(answer), m_previous(SetMessageBoxHandler(&Record)) { s_self = this; }
    ~MessageBoxRecorder() { SetMessageBoxHandler(m_previous), s_self = nullptr; }
    std::vector<Box> boxes;
    int m_answer;

private:
    static int Record(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
        s_self->boxes.push_back({owner, text ? text : L"", caption ? caption : L"", flags});
        return s_self->m_answer;
    }
    static inline MessageBoxRecorder* s_self = nullptr;
    MessageBoxFn m_previous;
};

}  // namespace swirlo::test
