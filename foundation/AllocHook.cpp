#include "foundation/AllocHook.h"

#include <utility>

namespace swirlo {

namespace {
AllocFailFn gAllocFail = nullptr;
}

AllocFailFn SetAllocFailHandler(AllocFailFn fn) { return std::exchange(gAllocFail, fn); }

void CheckAlloc(AllocSite site) {
    if (gAllocFail && gAllocFail(site)) throw std::bad_alloc();
}

}  // namespace swirlo
