// Scans a tree of 20,000 album folders (1,000 artists of 20 albums, half with an image) with a page
// that dispatches real window messages, and prints the share of the scan spent dispatching; for
// contrast, what a dispatch before every entry would have cost.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "albumart/FolderScan.h"
#include "foundation/Utilities.h"

using namespace swirlo;

namespace {

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

class BenchPage : public MatchContext {
public:
    double dispatchMs = 0;
    int dispatches = 0;

    int GetProgress() const override { return m_nPos; }
    void SetProgress(int pos) override { m_nPos = pos; }
    void PumpMessages() override {
        double t = Now();
        swirlo::PumpMessages();
        dispatchMs += Now() - t;
        ++dispatches;
    }
    bool IsCancelled() const override { return false; }
    ErrorRecord& Error() override { return m_error; }
    LogSink* Log() override { return nullptr; }
    unsigned long TickCount() const override { return GetTickCount(); }
    void ShowErrorBox(const wchar_t* p1, const wchar_t* p2, const wchar_t* p3, const wchar_t* p4) override {
        std::printf("error box: %ls %ls %ls %ls\n", p1, p2 ? p2 : L"", p3 ? p3 : L"", p4 ? p4 : L"");
    }

private:
    int m_nPos = 0;
    ErrorRecord m_error;
};

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring p = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(p);
            else
                DeleteFileW(p.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

bool MakeTree(const std::wstring& root, int artists, int albums) {
    if (!CreateDirectoryW(root.c_str(), nullptr)) return false;
    for (int a = 0; a < artists; ++a) {
        std::wstring artist = root + L"\\Artist " + std::to_wstring(a);
        CreateDirectoryW(artist.c_str(), nullptr);
        for (int b = 0; b < albums; ++b) {
            std::wstring album = artist + L"\\Album " + std::to_wstring(b);
            if (!CreateDirectoryW(album.c_str(), nullptr)) return false;
            if (b % 2) continue;
            HANDLE f = CreateFileW((album + L"\\Folder.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (f == INVALID_HANDLE_VALUE) return false;
            DWORD written;
            WriteFile(f, "jpeg", 4, &written, nullptr);
            CloseHandle(f);
        }
    }
    return true;
}

}  // namespace

int main() {
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring root = std::wstring(tmp) + L"albumart-scan-bench-" + std::to_wstring(GetCurrentProcessId());
    // A window, so that the thread has a queue with something in it as a page's thread would.
    HWND hwnd = CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    double t0 = Now();
    if (!MakeTree(root, 1000, 20)) {
        std::printf("could not build the tree under %ls\n", root.c_str());
        RemoveTree(root);
        return 1;
    }
    std::printf("tree of 20000 album folders built in %.0f ms\n", Now() - t0);

    BenchPage page;
    AlbumFolderArray arr(root);
    PostMessageW(hwnd, WM_USER, 0, 0);
    double start = Now();
    int ok = ScanAlbumFolders(page, root, L"Folder.jpg", arr);
    double total = Now() - start;
    int withImage = 0;
    for (int i = 0; i < arr.Count(); ++i) withImage += arr.GetImageSize(i) > 0;
    std::printf("scan %s: %d albums (%d with image) in %.0f ms\n", ok ? "ok" : "FAILED", arr.Count(), withImage, total);
    std::printf("dispatch: %d times, %.1f ms = %.2f%% of the scan\n", page.dispatches, page.dispatchMs,
                100.0 * page.dispatchMs / total);

    // What dispatching before every one of the 21,000 entries would have cost.
    double every = Now();
    for (int i = 0; i < 21000; ++i) swirlo::PumpMessages();
    std::printf("dispatch before every entry would add %.0f ms\n", Now() - every);

    DestroyWindow(hwnd);
    RemoveTree(root);
    return 0;
}
