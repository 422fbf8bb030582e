// A whole shuffle run of the real page on the 100,000-song library (rating mode, about 330,000
// plays, even distribution, .m3u8), against the sum of its three parts measured alone in the same
// run: reading through COM, placement, writing. Also the longest time the run went without letting
// window messages through. Run under Wine with the stand-in registered (tools/bench.sh --win).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "foundation/IniSettings.h"
#include "foundation/Seams.h"
#include "foundation/WindowMessages.h"
#include "library/MediaLibrary.h"
#include "shuffle/playlist/PlaylistWriter.h"
#include "shuffle/page/ShufflePage.h"
#include "library/WmpSongReading.h"
#include "resources/resource.h"
#include "shuffle/core/EvenDistribution.h"
#include "tools/demolib/DemoGen.h"

using namespace swirlo;
using Clock = std::chrono::steady_clock;

namespace {

std::wstring g_sOutput;
BOOL SaveAsAnswer(OPENFILENAMEW* ofn) {
    lstrcpynW(ofn->lpstrFile, g_sOutput.c_str(), static_cast<int>(ofn->nMaxFile));
    return TRUE;
}
int BoxAnswer(HWND, const wchar_t* text, const wchar_t*, UINT flags) {
    if ((flags & MB_TYPEMASK) == MB_YESNO) return IDYES;  // replace the last round's file
    std::fwprintf(stderr, L"box: %.60ls\n", text);
    return IDOK;
}

// The parts run alone: a context with the same 20 ms dispatch budget.
class PartRun : public RunContext {
public:
    int GetProgress() const override { return m_pos; }
    void SetProgress(int pos) override { m_pos = pos; }
    void PumpMessages() override { m_pump.Pump(); }
    bool IsCancelled() const override { return false; }
    ErrorRecord& Error() override { return m_error; }
    LogSink* Log() override { return nullptr; }
    unsigned long TickCount() const override { return GetTickCount(); }

private:
    int m_pos = 0;
    MessagePump m_pump;
    ErrorRecord m_error;
};

double Secs(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int wmain() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, tmp);
    const std::wstring dir = std::wstring(tmp) + L"swirlo-run-bench\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    std::time_t now = std::time(nullptr);
    std::tm* t = std::localtime(&now);
    std::string text = demolib::MakeDemoLibrary(100000, 7, t->tm_year + 1900, t->tm_mon + 1, t->tm_mday);
    const std::wstring libPath = dir + L"library.txt";
    if (FILE* f = _wfopen(libPath.c_str(), L"wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", libPath.c_str());

    AppPaths paths{dir, L"Blendo", dir, dir};
    IniSettings settings;
    settings.InitSettings(dir.c_str());
    settings.TruncateOutput = 0;
    settings.TruncateNoReps = 0;
    settings.RepeatsOption = 0;
    settings.ConvertWpl = 2;
    settings.UseLastDir = 0;
    settings.SaveLog = 0;
    g_sOutput = dir + L"run.m3u8";
    SetSaveAsHandler(SaveAsAnswer);
    SetMessageBoxHandler(BoxAnswer);

    HWND host = CreateWindowW(L"STATIC", L"Swirlo", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr, nullptr, nullptr);
    struct Host : ZDialog {
        using ZDialog::ZDialog;
    } hostWin(GetModuleHandleW(nullptr), L"Swirlo", nullptr, nullptr, &paths);
    hostWin.Attach(host);
    ShufflePage page(GetModuleHandleW(nullptr), &settings, L"Swirlo", &hostWin, &paths);
    if (!page.CreateModeless()) return 1;
    SendMessageW(page.Hwnd(), WM_APP_SHUFFLE_SETUP, 0, 0);
    MediaLibrary& lib = *page.Library();
    const int freq[6] = {0, 1, 2, 3, 5, 9};
    page.AddGroup(std::make_unique<SongSelection>(kSelectAllSongs, std::array<int, 6>{0, 1, 2, 3, 5, 9}, 0, false,
                                                  L"ALL SONGS", std::vector<int>{}, std::vector<int>{},
                                                  std::vector<std::wstring>{}, std::vector<std::wstring>{}));
    if (!lib.HaltCaching()) return 1;

    // Each side of the comparison is the best of its rounds: the whole run against the round whose
    // three parts summed least (a sum of per-part bests would pair times from different rounds).
    double bestWhole = 1e9, bestSum = 1e9;
    DWORD gap = 0;
    for (int round = 0; round < 5; ++round) {
        // The parts alone: read, place, write.
        PartRun run;
        auto errBox = [](const wchar_t* a, const wchar_t* b) { std::fwprintf(stderr, L"%ls %ls\n", a, b ? b : L""); };
        SongReadEnv env{run, errBox, 2, 0};
        CSongArray songs;
        auto t0 = Clock::now();
        AddToSongArrayWrapper(songs, lib.AllSongs().Get(), freq, false, 31.5f, 3, L"Reading", 0, env);
        auto t1 = Clock::now();
        std::vector<std::uint32_t> order(static_cast<std::size_t>(songs.GetTotal()));
        RandomSource rng;
        PlacementResult placed;
        Distribute(run, rng, songs, 50, order.data(), 10, placed);
        auto t2 = Clock::now();
        PlaylistRequest req{dir + L"part.m3u8", &songs, order.data(), 2, -1, L"part", L"3.21"};
        WritePlaylist(run, req);
        auto t3 = Clock::now();
        bestSum = std::min(bestSum, Secs(t3 - t0));
        // The whole run through the page's button handler.
        auto w0 = Clock::now();
        SendMessageW(page.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SHUF_SAVE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page.Hwnd(), IDC_SHUF_SAVE)));
        auto w1 = Clock::now();
        if (Secs(w1 - w0) < bestWhole) {
            bestWhole = Secs(w1 - w0);
            gap = page.LongestPumpGapMs();
        }
        std::printf("round %d: %u plays; read %.3f s, place %.3f s, write %.3f s; whole run %.3f s, "
                    "longest gap %lu ms\n",
                    round + 1, static_cast<unsigned>(songs.GetTotal()), Secs(t1 - t0), Secs(t2 - t1), Secs(t3 - t2),
                    Secs(w1 - w0), static_cast<unsigned long>(page.LongestPumpGapMs()));
    }
    std::printf("whole run / sum of parts: %.2f (%.3f s / %.3f s; at most 1.30)\n", bestWhole / bestSum, bestWhole, bestSum);
    std::printf("longest interval without a message dispatch during the run: %lu ms (at most 50)\n",
                static_cast<unsigned long>(gap));
    page.Destroy();
    DestroyWindow(host);
    return 0;
}
