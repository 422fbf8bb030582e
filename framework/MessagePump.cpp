#include "framework/MessagePump.h"

#include "foundation/Utilities.h"

namespace swirlo {

void PumpBudget::Force(DWORD now) {
    if (now - m_nLast > m_nLongest) m_nLongest = now - m_nLast;
    PumpMessages();
    m_nLast = GetTickCount();
}

}  // namespace swirlo
