#include "framework/MessagePump.h"

#include "foundation/Utilities.h"

namespace swirlo {

void MessagePump::Force() {
    const DWORD before = GetTickCount();
    PumpMessages();
    m_budget.Dispatched(before, GetTickCount());
}

}  // namespace swirlo
