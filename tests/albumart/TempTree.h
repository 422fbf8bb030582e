// A folder tree under the temporary folder, removed again when the object goes. Win32, for the
// scan tests and the scan benchmark.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace swirlo::test {

class TempTree {
public:
    TempTree() {
        wchar_t tmp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, tmp);
        static int serial = 0;
        m_sRoot = std::wstring(tmp) + L"albumart-scan-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++serial);
        RemoveTree(m_sRoot);
        CreateDirectoryW(m_sRoot.c_str(), nullptr);
    }
    ~TempTree() { RemoveTree(m_sRoot); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::wstring& Root() const { return m_sRoot; }
    std::wstring Path(const std::wstring& rel) const { return m_sRoot + L"\\" + rel; }

    // Creates the folder and its parents.
    bool Dir(const std::wstring& rel) {
        std::size_t at = 0;
        while ((at = rel.find(L'\\', at + 1)) != std::wstring::npos)
            CreateDirectoryW(Path(rel.substr(0, at)).c_str(), nullptr);
        return CreateDirectoryW(Path(rel).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    }
    // A file of the given number of bytes.
    bool File(const std::wstring& rel, DWORD bytes) {
        HANDLE h = CreateFileW(Path(rel).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        std::vector<char> data(bytes, 'x');
        DWORD written = 0;
        if (bytes) WriteFile(h, data.data(), bytes, &written, nullptr);
        CloseHandle(h);
        return written == bytes;
    }

    // Through "\\?\" so that names the usual path rules cannot reach (trailing dots) go too.
    static void RemoveTree(const std::wstring& dir) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((L"\\\\?\\" + dir + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring p = dir + L"\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(p);
                else
                    DeleteFileW((L"\\\\?\\" + p).c_str());
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW((L"\\\\?\\" + dir).c_str());
    }

private:
    std::wstring m_sRoot;
};

}  // namespace swirlo::test
