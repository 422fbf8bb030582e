// Allocations whose failure the program must survive, each named so that a test can make it fail
// without exhausting memory. The program itself never sets the hook. OS-free.
#pragma once
#include <new>

namespace swirlo {

enum class AllocSite { SongTableGrowth, SongPathCopy };

// Answers whether the allocation at the site is to fail; null (the program's state) fails none.
using AllocFailFn = bool (*)(AllocSite site);
AllocFailFn SetAllocFailHandler(AllocFailFn fn);  // returns the previous one

// Throws std::bad_alloc when the hook says the allocation at the site fails.
void CheckAlloc(AllocSite site);

}  // namespace swirlo
