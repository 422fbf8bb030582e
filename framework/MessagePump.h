// Message dispatch during long work on the window thread. Under Wine every look at the queue is a
// round trip to the server, so a run lets messages through on a time budget read from the cheap
// tick count, not at every item; the budget keeps the window painting and a Stop answered promptly.
#pragma once
#include <windows.h>

namespace swirlo {

class PumpBudget {
public:
    static constexpr DWORD kDefaultMs = 20;

    explicit PumpBudget(DWORD budgetMs = kDefaultMs) : m_nBudget(budgetMs), m_nLast(GetTickCount()) {}

    // Dispatches the waiting messages when the budget has run out since the last dispatch; true when
    // it dispatched.
    bool Pump() {
        DWORD now = GetTickCount();
        if (now - m_nLast < m_nBudget) return false;
        Force(now);
        return true;
    }
    // Dispatches now, whatever the budget says.
    void Force() { Force(GetTickCount()); }
    // The longest time between two dispatches so far (for benchmarks).
    DWORD LongestGapMs() const { return m_nLongest; }
    void Restart() {
        m_nLast = GetTickCount();
        m_nLongest = 0;
    }

private:
    void Force(DWORD now);

    DWORD m_nBudget;
    DWORD m_nLast;
    DWORD m_nLongest = 0;
};

}  // namespace swirlo
