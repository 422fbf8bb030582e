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

// Lets messages run on a time budget and reports the stop flag. Under Wine every dispatch is a
// server round trip, so dispatching before each of thousands of folders would cost more than the
// work itself; the flag is still read at every step.
class PumpGate {
public:
    static constexpr unsigned long kBudgetMs = 25;

    explicit PumpGate(RunContext& ctx) : m_ctx(ctx), m_nLast(ctx.TickCount() - kBudgetMs) {}

    // True when the run is to stop.
    bool Stopped() {
        unsigned long now = m_ctx.TickCount();
        if (now - m_nLast >= kBudgetMs) {
            m_ctx.PumpMessages();
            m_nLast = now;
        }
        return m_ctx.IsCancelled();
    }

private:
    RunContext& m_ctx;
    unsigned long m_nLast;
};

}  // namespace swirlo
