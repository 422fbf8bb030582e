// What the scan and the matching need of the album art page beyond a run context: its error box,
// and the count of the folders that could not be read. The page implements it over its window;
// tests record what would have been shown. OS-free.
#pragma once
#include <string>
#include <vector>

#include "foundation/RunContext.h"

namespace swirlo {

// Folders of a tree that could not be read, so that their albums are missing from the result:
// how many, and the first few by name, for the message at the end of Find.
struct UnreadFolders {
    static constexpr std::size_t kNamed = 3;
    int nCount = 0;
    std::vector<std::wstring> named;

    void Add(const std::wstring& sFolder) {
        ++nCount;
        if (named.size() < kNamed) named.push_back(sFolder);
    }
};

class MatchContext : public RunContext {
public:
    // The page's error box: a message and detail lines, null parts left out.
    virtual void ShowErrorBox(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                              const wchar_t* p4 = nullptr) = 0;

    UnreadFolders& Unread() { return m_unread; }

private:
    UnreadFolders m_unread;
};

// The step between two folders: lets messages run (the page's context keeps the time budget, so
// this costs a tick count per folder) and reports the stop flag, read at every step.
class PumpGate {
public:
    explicit PumpGate(RunContext& ctx) : m_ctx(ctx) {}

    // True when the run is to stop.
    bool Stopped() {
        m_ctx.PumpMessages();
        return m_ctx.IsCancelled();
    }

private:
    RunContext& m_ctx;
};

}  // namespace swirlo
