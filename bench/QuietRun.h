// A run context without a page, for the benchmarks: optionally a message dispatch on a time budget.
#pragma once
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include "foundation/RunContext.h"

namespace swirlo::bench {

class QuietRun : public RunContext {
public:
    explicit QuietRun(bool budgeted = false) : m_budgeted(budgeted) {}
    int GetProgress() const override { return m_prog; }
    void SetProgress(int pos) override {
        if (pos != m_prog) ++nSent;
        m_prog = pos;
    }
    // Like the page: the dispatch itself runs on the program's budget; each call reads a coarse
    // millisecond clock (GetTickCount on Windows).
    void PumpMessages() override {
        if (!m_budgeted) return;
        const auto ms = static_cast<unsigned long>(CoarseMilliseconds());
        if (m_budget.Due(ms)) {
            m_budget.Dispatched(ms, ms);
            ++nDispatches;
        }
    }
    static long CoarseMilliseconds() {
#ifdef _WIN32
        return static_cast<long>(GetTickCount());
#else
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
        return ts.tv_sec * 1000L + ts.tv_nsec / 1000000L;
#endif
    }
    bool IsCancelled() const override { return false; }
    ErrorRecord& Error() override { return m_error; }
    LogSink* Log() override { return nullptr; }
    unsigned long TickCount() const override { return 4242; }
    long nSent = 0, nDispatches = 0;

private:
    bool m_budgeted;
    int m_prog = 0;
    ErrorRecord m_error;
    PumpBudget m_budget;
};

template <class F>
double Seconds(F&& f) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace swirlo::bench
