// One program window per session. Two copies would share the settings file (and its ".new"), the
// shuffle's temporary playlist and the kept song groups, each overwriting the other's work, so a
// second plain start shows the running window instead and ends. Runs without a window, started
// from the command line, do not ask.
#pragma once
#include <windows.h>

#include "foundation/WinHandles.h"

namespace swirlo {

class SingleInstance {
public:
    // True when no other copy runs in this session; this one then holds the claim while it lives.
    bool Claim();
    // Brings the running copy's main window to the front, restored if minimised (the dialog it has
    // open, if any, on top). Waits a few seconds for a copy that is still starting.
    static void ShowRunning(const wchar_t* caption);

private:
    UniqueKernelHandle m_claim;
};

}  // namespace swirlo
