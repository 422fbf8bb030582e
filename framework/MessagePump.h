// Message dispatch during long work on the window thread, on the one PumpBudget: Pump lets the
// waiting messages run when the budget has run out, Force at the points where a run must show
// what it has just done.
#pragma once
#include <windows.h>

#include "foundation/RunContext.h"

namespace swirlo {

class MessagePump {
public:
    MessagePump() : m_budget(GetTickCount()) {}

    // True when it dispatched.
    bool Pump() {
        if (!m_budget.Due(GetTickCount())) return false;
        Force();
        return true;
    }
    void Force();
    DWORD LongestGapMs() const { return m_budget.LongestGapMs(); }
    void Restart() { m_budget.Restart(GetTickCount()); }

private:
    PumpBudget m_budget;
};

}  // namespace swirlo
