// What happens between a click on Find and the copy-selection dialog on the screen, on a computer
// tree and a player tree of 5,000 albums each with no name in common (so the list has 10,000 rows):
// the two scans, the matching, and filling and sorting the list. A hook on the thread's message
// retrieval, with a 5 ms timer always due, gives the longest time without a dispatch.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "albumart/CopySelectDialog.h"
#include "albumart/FolderScan.h"
#include "albumart/MatchFolders.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "bench/BenchAlbums.h"
#include "bench/BenchClock.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using swirlo::bench::Now;
using namespace swirlo::test;

namespace {

double g_lastDispatch = 0, g_longestGap = 0, g_gapEnd = 0;
bool g_watch = false;

LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && g_watch && wParam == PM_REMOVE) {
        double t = Now();
        if (t - g_lastDispatch > g_longestGap) {
            g_longestGap = t - g_lastDispatch;
            g_gapEnd = t;
        }
        g_lastDispatch = t;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class BenchPage : public MatchContext {
public:
    double matchStart = 0;
    int GetProgress() const override { return m_nPos; }
    void SetProgress(int pos) override { m_nPos = pos; }
    void PumpMessages() override { swirlo::PumpMessages(); }
    bool IsCancelled() const override { return false; }
    ErrorRecord& Error() override { return m_error; }
    LogSink* Log() override { return nullptr; }
    void SetStatus(const std::wstring& text) override {
        if (text == L"Comparing subfolders of source and target ...") matchStart = Now();
    }
    unsigned long TickCount() const override { return GetTickCount(); }
    void ShowErrorBox(const wchar_t* p1, const wchar_t*, const wchar_t*, const wchar_t*) override {
        std::printf("error box: %ls\n", p1);
    }

private:
    int m_nPos = 0;
    ErrorRecord m_error;
};

bool MakeTree(TempDir& tree, const std::vector<AlbumEntry>& albums) {
    for (const AlbumEntry& a : albums) {
        std::wstring rel = a.sArtist + L"\\" + a.sAlbum;
        if (!tree.Dir(rel)) return false;
        if (a.nImageSize && !tree.File(rel + L"\\Folder.jpg", 4)) return false;
    }
    return true;
}

}  // namespace

// The images of this tree are not real pictures: the preview's boxes are answered and counted.
int g_boxes = 0;
int CountBox(HWND, const wchar_t*, const wchar_t*, UINT) {
    ++g_boxes;
    return IDOK;
}

// With two folder arguments the trees are taken as they are (made faster outside Wine); without,
// they are built here.
int main(int argc, char** argv) {
    InitCommonControls();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetMessageBoxHandler(CountBox);
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::mt19937 rng(5);
    TreePair trees = MakeDisjointTrees(rng, 5000);
    TempDir source, target;
    std::wstring sourceRoot = source.Path(), targetRoot = target.Path();
    if (argc == 3) {
        sourceRoot.assign(argv[1], argv[1] + strlen(argv[1]));
        targetRoot.assign(argv[2], argv[2] + strlen(argv[2]));
    } else if (!MakeTree(source, trees.sources) || !MakeTree(target, trees.targets)) {
        std::printf("could not build the trees\n");
        return 1;
    }
    HWND owner = CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetTimer(owner, 1, 5, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());

    // The first dialog of the process loads what the list view, the picture decoder and the image
    // library need; timed on its own, as it happens once per run of the program.
    double w0 = Now();
    {
        AlbumFolderArray one(L"C:\\t", L"C:\\s");
        one.Add(L"A", L"B", 0, 4, L"A\\B", 0);
        CopySelectDialog first(GetModuleHandleW(nullptr), L"Swirlo", nullptr, nullptr, one, L"F.jpg", L"F.jpg");
        HWND x = first.CreateModeless();
        ShowWindow(x, SW_SHOW);
        UpdateWindow(x);
        DestroyWindow(x);
    }
    std::printf("first dialog of the process %.0f ms\n", Now() - w0);

    BenchPage page;
    AlbumFolderArray result(targetRoot, sourceRoot);
    g_watch = true;
    double click = g_lastDispatch = Now();
    int ok = MatchFolders(page, sourceRoot, targetRoot, L"Folder.jpg", L"Folder.jpg", false, result);
    double matched = Now();
    CopySelectDialog dlg(GetModuleHandleW(nullptr), L"Swirlo", nullptr, nullptr, result, L"Folder.jpg", L"Folder.jpg");
    HWND h = dlg.CreateModeless();
    ShowWindow(h, SW_SHOW);
    UpdateWindow(h);
    double shown = Now();
    swirlo::PumpMessages();
    g_watch = false;
    int rows = static_cast<int>(SendMessageW(dlg.List(), LVM_GETITEMCOUNT, 0, 0));

    double scan = page.matchStart - click, match = matched - page.matchStart, fill = shown - matched;
    std::printf("find %s: %d rows; click to dialog shown %.0f ms\n", ok ? "ok" : "FAILED", rows, shown - click);
    std::printf("  scan of both trees  %7.0f ms\n  matching            %7.0f ms\n  list filled, sorted %7.0f ms\n",
                scan, match, fill);
    std::printf("  list / scan         %7.2f (at most 1 wanted)\n", fill / scan);
    std::printf("  longest time without a dispatch %.0f ms (at most 50 wanted), ending %.0f ms after the click; "
                "%d preview boxes\n", g_longestGap, g_gapEnd - click, g_boxes);
    DestroyWindow(h);
    UnhookWindowsHookEx(hook);
    DestroyWindow(owner);
    return 0;
}
