// Scans a tree of 20,000 album folders (1,000 artists of 20 albums, half with an image) with a page
// that dispatches real window messages, and prints the share of the scan spent dispatching; for
// contrast, what a dispatch before every entry would have cost.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "albumart/core/FolderScan.h"
#include "foundation/Utilities.h"
#include "framework/MessagePump.h"
#include "bench/BenchClock.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using swirlo::bench::Now;
using namespace swirlo::test;

namespace {

class BenchPage : public MatchContext {
public:
    double dispatchMs = 0;
    int dispatches = 0;

    int GetProgress() const override { return m_nPos; }
    void SetProgress(int pos) override { m_nPos = pos; }
    // As the page does: a dispatch when the budget has run out.
    void PumpMessages() override {
        double t = Now();
        dispatches += m_pump.Pump();
        dispatchMs += Now() - t;
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
    MessagePump m_pump;
};

bool MakeTree(TempDir& tree, int artists, int albums) {
    for (int a = 0; a < artists; ++a) {
        for (int b = 0; b < albums; ++b) {
            std::wstring album = L"Artist " + std::to_wstring(a) + L"\\Album " + std::to_wstring(b);
            if (!tree.Dir(album)) return false;
            if (b % 2 == 0 && !tree.File(album + L"\\Folder.jpg", 4)) return false;
        }
    }
    return true;
}

}  // namespace

int main() {
    TempDir tree;
    const std::wstring& root = tree.Root();
    // A window, so that the thread has a queue with something in it as a page's thread would.
    HWND hwnd = CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    double t0 = Now();
    if (!MakeTree(tree, 1000, 20)) {
        std::printf("could not build the tree under %ls\n", root.c_str());
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
    return 0;
}
