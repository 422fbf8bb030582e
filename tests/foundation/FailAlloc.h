// Makes the next allocation at one site fail, while the object lives.
#pragma once
#include <optional>

#include "foundation/AllocHook.h"

namespace swirlo::testing {

class FailNextAlloc {
public:
    explicit FailNextAlloc(AllocSite site) : m_prev(SetAllocFailHandler(&Answer)) { Armed() = site; }
    ~FailNextAlloc() { SetAllocFailHandler(m_prev); Armed().reset(); }
    FailNextAlloc(const FailNextAlloc&) = delete;
    FailNextAlloc& operator=(const FailNextAlloc&) = delete;

private:
    static std::optional<AllocSite>& Armed() { static std::optional<AllocSite> site; return site; }
    static bool Answer(AllocSite site) {
        if (Armed() != site) return false;
        Armed().reset();
        return true;
    }
    AllocFailFn m_prev;
};

}  // namespace swirlo::testing
