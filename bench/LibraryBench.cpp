// Reads a 100,000-song library into a song array in rating mode with a 90-day filter, the way a
// shuffle reads an all-songs group, and prints items per second and the share of the time spent in
// message dispatch. Natively the library is the stand-in's model in memory and dispatch has no
// queue to empty; the Windows build reads through COM from the registered stand-in and dispatches
// real window messages (run it under Wine in the test prefix).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "library/SongReading.h"
#include "standin/LibraryModel.h"
#include "tools/demolib/DemoGen.h"

#ifdef _WIN32
#include <windows.h>

#include "library/MediaLibrary.h"
#include "library/WmpSongReading.h"
#endif

using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A run context whose pump either dispatches at every call (every 10 items) or at most every
// budgetMs, and which times itself.
class BenchRun : public swirlo::RunContext {
public:
    explicit BenchRun(int budgetMs) : m_budget(std::chrono::milliseconds(budgetMs)) {}
    int GetProgress() const override { return m_pos; }
    void SetProgress(int pos) override { m_pos = pos; }
    void PumpMessages() override {
        auto t0 = Clock::now();
        if (m_budget.count() == 0 || t0 - m_last >= m_budget) {
            Dispatch();
            m_last = Clock::now();
            ++dispatches;
        }
        pumpTime += Clock::now() - t0;
    }
    bool IsCancelled() const override { return false; }
    swirlo::ErrorRecord& Error() override { return m_error; }
    swirlo::LogSink* Log() override { return nullptr; }
    unsigned long TickCount() const override { return 0; }

    Clock::duration pumpTime{};
    long dispatches = 0;

private:
    static void Dispatch() {
#ifdef _WIN32
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
#endif
    }
    std::chrono::milliseconds m_budget;
    Clock::time_point m_last{};
    int m_pos = 0;
    swirlo::ErrorRecord m_error;
};

// The stand-in's model as a library playlist object, its texts copied out as COM strings would be.
class ModelItems : public swirlo::LibraryItems {
public:
    explicit ModelItems(const swirlo::standin::LibraryModel& m) : m_model(m) {}
    bool GetCount(long& n) override {
        n = static_cast<long>(m_model.AudioItems().size());
        return true;
    }
    bool OpenItem(long i) override {
        m_item = &m_model.items[m_model.AudioItems()[static_cast<std::size_t>(i)]];
        return true;
    }
    bool GetInfo(const wchar_t* a, std::wstring& v) override {
        v = swirlo::standin::LibraryModel::ItemInfo(*m_item, a);
        return true;
    }
    bool GetSourceUrl(std::wstring& url) override {
        url = m_item->sPath;
        return true;
    }
    void CloseItem() override { m_item = nullptr; }

private:
    const swirlo::standin::LibraryModel& m_model;
    const swirlo::standin::LibraryItem* m_item = nullptr;
};

struct Today {
    int y, m, d;
};

Today Now() {
    std::time_t t = std::time(nullptr);
    std::tm* tm = std::localtime(&t);
    return {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday};
}

void Report(const char* what, long items, std::size_t songs, std::uint64_t plays, Clock::duration total,
            const BenchRun& run) {
    double secs = Seconds(total);
    std::printf("%-34s %8ld items  %7.3f s  %10.0f items/s  %zu songs, %llu plays kept  dispatch %5.2f%% (%ld)\n",
                what, items, secs, items / secs, songs, static_cast<unsigned long long>(plays),
                100.0 * Seconds(run.pumpTime) / secs, run.dispatches);
}

}  // namespace

int main() {
    const int kSongs = 100000;
    const int freq[6] = {0, 1, 2, 3, 4, 5};
    Today today = Now();
    std::string text = swirlo::demolib::MakeDemoLibrary(kSongs, 7, today.y, today.m, today.d);
    int failures = 0;
    auto box = [&](const wchar_t* a, const wchar_t* b) {
        std::fprintf(stderr, "%ls: %ls\n", a, b ? b : L"");
        ++failures;
    };
#ifdef _WIN32
    // Through COM: the stand-in reads the library from a file of its own.
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, tmp);
    std::wstring path = std::wstring(tmp) + L"swirlo-bench-library.txt";
    if (FILE* f = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", path.c_str());
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        swirlo::MediaLibrary lib(nullptr, L"Bench", false, std::wstring(tmp));
        lib.NoteSelectDialogStarted();  // keep the caching thread out of the measurement
        if (!lib.Setup() || !lib.HaltCaching()) return 1;
        BSTR a = SysAllocString(L"MediaType"), v = SysAllocString(L"audio");
        Microsoft::WRL::ComPtr<IWMPPlaylist> all;
        lib.MediaCollection()->getByAttribute(a, v, &all);
        SysFreeString(a);
        SysFreeString(v);
        // A window of this thread with some traffic, so that dispatch has something to do.
        HWND w = CreateWindowW(L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        for (int budget : {0, 20}) {
            BenchRun run(budget);
            swirlo::SongReadEnv env{run, box, 2, 0};
            swirlo::CSongArray target;
            SetTimer(w, 1, 10, nullptr);
            auto t0 = Clock::now();
            swirlo::AddToSongArrayWrapper(target, all.Get(), freq, false, 31.5f, 3, L"Reading", 90, env);
            auto t = Clock::now() - t0;
            KillTimer(w, 1);
            Report(budget ? "COM, dispatch every 20 ms" : "COM, dispatch every 10 items", kSongs, target.GetSize(),
                   target.GetTotal(), t, run);
        }
        DestroyWindow(w);
        all.Reset();
        lib.Release();
    }
    CoUninitialize();
    DeleteFileW(path.c_str());
#else
    swirlo::standin::LibraryModel model;
    if (!model.Parse(text)) return 1;
    for (int budget : {0, 20}) {
        BenchRun run(budget);
        swirlo::SongReadEnv env{run, box, 2, 0};
        swirlo::CSongArray target;
        ModelItems items(model);
        auto t0 = Clock::now();
        swirlo::AddToSongArrayWrapper(target, items, freq, false, 31.5f, 3, L"Reading", 90, env);
        auto t = Clock::now() - t0;
        Report(budget ? "in memory, dispatch every 20 ms" : "in memory, dispatch every 10 items", kSongs,
               target.GetSize(), target.GetTotal(), t, run);
    }
#endif
    return failures ? 1 : 0;
}
