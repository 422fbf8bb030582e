// What happens between a click on Find and the copy-selection dialog on the screen, on a computer
// tree and a player tree of 5,000 albums each with no name in common (so the list has 10,000 rows):
// the two scans, the matching, and filling and sorting the list; then the preview of the first row
// and a walk down ten rows with the Down key. Every album image is a real cover-sized JPEG. A hook
// on the thread's message retrieval, with a 5 ms timer always due, gives the longest time without a
// dispatch.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "albumart/page/CopySelectDialog.h"
#include "albumart/core/FolderScan.h"
#include "albumart/core/MatchFolders.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "framework/MessagePump.h"
#include "bench/BenchAlbums.h"
#include "bench/BenchClock.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using swirlo::bench::Now;
using namespace swirlo::test;

namespace {

double g_lastDispatch = 0, g_longestGap = 0, g_gapEnd = 0;
bool g_watch = false;
// The message retrieved last, and the one whose handling (or whatever ran after it) made the longest
// gap: the gap runs from its retrieval to the next.
MSG g_last{}, g_gapAfter{}, g_gapBefore{};
wchar_t g_classAfter[64], g_classBefore[64];
int g_idAfter = 0, g_idBefore = 0;
struct Gap {
    double from, to;
} g_gaps[64];
int g_gapCount = 0;

void Describe(const MSG& m, wchar_t* cls, int& id) {
    lstrcpyW(cls, L"-");
    if (m.hwnd) GetClassNameW(m.hwnd, cls, 64);
    id = m.hwnd ? GetDlgCtrlID(m.hwnd) : 0;
}

LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && g_watch && wParam == PM_REMOVE) {
        double t = Now();
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (t - g_lastDispatch > g_longestGap) {
            g_longestGap = t - g_lastDispatch;
            g_gapEnd = t;
            g_gapAfter = g_last;
            g_gapBefore = *m;
            Describe(g_gapAfter, g_classAfter, g_idAfter);
            Describe(g_gapBefore, g_classBefore, g_idBefore);
        }
        if (t - g_lastDispatch > 40 && g_gapCount < 64) g_gaps[g_gapCount++] = {g_lastDispatch, t};
        g_lastDispatch = t;
        g_last = *m;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PrintMessage(const char* what, const MSG& m, const wchar_t* cls, int id) {
    std::printf("    %s: message 0x%04x to %ls (id %d)\n", what, m.message, cls, id);
}

// The owner of the dialog, as the page is: the modal loop tells it when the queue is empty. The
// first time is just after the dialog was shown, the second once everything in it has painted;
// then the preview of the first row has arrived; then the user walks down the list a row at a
// time, each step when the previous row's images are on show.
const CopySelectDialog* g_dialog = nullptr;
double g_idle[2] = {0, 0}, g_entered = 0, g_previewShown = 0, g_walked = 0;
int g_idleCount = 0, g_steps = 0;
constexpr int kWalk = 10;
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        if (g_idleCount < 2) g_idle[g_idleCount] = Now();
        if (++g_idleCount < 2 || (g_dialog && g_dialog->PreviewPending())) return 0;
        if (!g_previewShown) g_previewShown = Now();
        if (g_steps == kWalk || !g_dialog) {
            g_walked = Now();
            EndDialog(reinterpret_cast<HWND>(lParam), 2);
        } else {
            ++g_steps;
            PostMessageW(g_dialog->List(), WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(g_dialog->List(), WM_KEYUP, VK_DOWN, 0);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class OwnerWin : public ZWin {
public:
    explicit OwnerWin(HWND h) : ZWin(GetModuleHandleW(nullptr), L"Swirlo", nullptr, nullptr, nullptr) { m_hWnd = h; }
};

// Runs the dialog modally until it has been shown and painted, its preview has arrived and the
// walk down the list is done; returns the time it was built.
double RunShown(OwnerWin& owner, AlbumFolderArray& arr, const wchar_t* image, int* rows) {
    g_idleCount = 0;
    struct Dlg : CopySelectDialog {
        using CopySelectDialog::CopySelectDialog;
        int* rows = nullptr;
        double built = 0;
        BOOL OnInitDialog() override {
            g_entered = Now();
            BOOL r = CopySelectDialog::OnInitDialog();
            built = Now();
            if (rows) *rows = static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
            return r;
        }
    } dlg(GetModuleHandleW(nullptr), L"Swirlo", &owner, nullptr, arr, image, image);
    dlg.rows = rows;
    g_dialog = &dlg;
    g_previewShown = g_walked = 0;
    g_steps = 0;
    dlg.RunModal();
    g_dialog = nullptr;
    return dlg.built;
}

class BenchPage : public MatchContext {
public:
    double matchStart = 0;
    int GetProgress() const override { return m_nPos; }
    void SetProgress(int pos) override { m_nPos = pos; }
    void PumpMessages() override { m_pump.Pump(); }  // as the page does
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
    MessagePump m_pump;
};

// Every album image is the cover made at build time (a real JPEG, linked rather than copied).
bool MakeTree(TempDir& tree, const std::vector<AlbumEntry>& albums) {
    std::wstring cover = WinPath(BENCH_COVER);
    for (const AlbumEntry& a : albums) {
        std::wstring rel = a.sArtist + L"\\" + a.sAlbum;
        if (!tree.Dir(rel)) return false;
        std::wstring image = tree / (rel + L"\\Folder.jpg");
        if (a.nImageSize && !CreateHardLinkW(image.c_str(), cover.c_str(), nullptr) &&
            !CopyFileW(cover.c_str(), image.c_str(), TRUE)) {
            std::printf("could not place %ls (error %lu)\n", image.c_str(), GetLastError());
            return false;
        }
    }
    return true;
}

}  // namespace

// Boxes of the preview (an image that cannot be read) are answered and counted.
int g_boxes = 0;
int CountBox(HWND, const wchar_t*, const wchar_t*, UINT) {
    ++g_boxes;
    return IDOK;
}

// With two folder arguments the trees are taken as they are (made faster outside Wine, or left by
// an earlier run); without, they are built here, and with --keep they are left behind for later runs.
int main(int argc, char** argv) {
    InitCommonControls();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetMessageBoxHandler(CountBox);
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::wstring sourceRoot, targetRoot;
    std::unique_ptr<TempDir> source, target;
    if (argc == 3) {
        sourceRoot.assign(argv[1], argv[1] + strlen(argv[1]));
        targetRoot.assign(argv[2], argv[2] + strlen(argv[2]));
    } else {
        std::mt19937 rng(5);
        TreePair trees = MakeDisjointTrees(rng, 5000);
        source = std::make_unique<TempDir>();
        target = std::make_unique<TempDir>();
        sourceRoot = source->Path();
        targetRoot = target->Path();
        if (!MakeTree(*source, trees.sources) || !MakeTree(*target, trees.targets)) {
            std::printf("could not build the trees\n");
            return 1;
        }
        if (argc == 2 && std::strcmp(argv[1], "--keep") == 0) {
            std::printf("trees kept: %ls %ls\n", sourceRoot.c_str(), targetRoot.c_str());
            source.release();
            target.release();
        }
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchOwner";
    RegisterClassW(&wc);
    HWND hOwner = CreateWindowW(L"BenchOwner", L"bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    OwnerWin owner(hOwner);
    SetTimer(hOwner, 1, 5, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());

    // The first dialog of the process loads what the list view, the picture decoder and the image
    // library need; timed on its own, as it happens once per run of the program.
    double w0 = Now();
    {
        AlbumFolderArray one(L"C:\\t", L"C:\\s");
        one.Add(L"A", L"B", 0, 4, L"A\\B", 0);
        RunShown(owner, one, L"F.jpg", nullptr);
    }
    std::printf("first dialog of the process %.0f ms\n", Now() - w0);

    g_boxes = 0;
    BenchPage page;
    AlbumFolderArray result(targetRoot, sourceRoot);
    g_watch = true;
    double click = g_lastDispatch = Now();
    int ok = MatchFolders(page, sourceRoot, targetRoot, L"Folder.jpg", L"Folder.jpg", false, result);
    double matched = Now();
    swirlo::PumpMessages();  // as the page does before it builds the dialog
    int rows = 0;
    double built = RunShown(owner, result, L"Folder.jpg", &rows);
    double shown = g_idle[1];
    g_watch = false;
    double walkGap = 0;
    for (int i = 0; i < g_gapCount; ++i)
        if (g_gaps[i].to > g_previewShown) walkGap = std::max(walkGap, g_gaps[i].to - g_gaps[i].from);

    double scan = page.matchStart - click, match = matched - page.matchStart, fill = built - matched;
    std::printf("find %s: %d rows; click to dialog shown and painted %.0f ms\n", ok ? "ok" : "FAILED", rows,
                shown - click);
    std::printf("  scan of both trees  %7.0f ms\n  matching            %7.0f ms\n  list filled, sorted %7.0f ms\n"
                "  shown, painted      %7.0f ms\n", scan, match, fill, shown - built);
    std::printf("  list / scan         %7.2f (at most 1 wanted)\n", fill / scan);
    std::printf("  preview of row 1 on show %.0f ms after the dialog; %d rows walked with the Down key in %.0f ms, "
                "longest gap over 40 ms meanwhile %.0f ms\n",
                g_previewShown - shown, g_steps, g_walked - g_previewShown, walkGap);
    std::printf("  longest time without a dispatch %.0f ms (at most 50 wanted), ending %.0f ms after the click; "
                "%d preview boxes\n", g_longestGap, g_gapEnd - click, g_boxes);
    PrintMessage("after", g_gapAfter, g_classAfter, g_idAfter);
    PrintMessage("before", g_gapBefore, g_classBefore, g_idBefore);
    std::printf("  gaps over 40 ms (ms after the click; scan ends %.0f, matching %.0f, dialog created %.0f, built %.0f, shown %.0f):\n",
                page.matchStart - click, matched - click, g_entered - click, built - click, g_idle[0] - click);
    for (int i = 0; i < g_gapCount; ++i)
        std::printf("    %.0f to %.0f (%.0f)\n", g_gaps[i].from - click, g_gaps[i].to - click, g_gaps[i].to - g_gaps[i].from);
    UnhookWindowsHookEx(hook);
    DestroyWindow(hOwner);
    return 0;
}
