// Times the matching run and the plain nested-loop form on the same trees in one run, checks that
// both give the same result, and prints the ratio.
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "albumart/core/MatchFolders.h"
#include "tests/albumart/core/FakePage.h"
#include "tests/albumart/core/LiteralMatch.h"
#include "bench/BenchAlbums.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {

// A page without a log whose clock is the real one, so the time budget of the dispatch applies.
class BenchPage : public FakePage {
public:
    LogSink* Log() override { return nullptr; }
    unsigned long TickCount() const override {
        using namespace std::chrono;
        return static_cast<unsigned long>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

struct Timed {
    double ms = 0;
    std::unique_ptr<AlbumFolderArray> result;
    int pumps = 0;
};

template <class Fn>
Timed TimeOne(const TreePair& trees, Fn match) {
    AlbumFolderArray src(L"C:\\Music"), tgt(L"P:\\MUSIC");
    FillArray(src, trees.sources);
    FillArray(tgt, trees.targets);
    Timed t;
    t.result = std::make_unique<AlbumFolderArray>(L"P:\\MUSIC", L"C:\\Music");
    BenchPage page;
    auto start = std::chrono::steady_clock::now();
    int rc = match(page, src, tgt, false, *t.result);
    t.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    t.pumps = page.pumps;
    if (!rc) std::printf("  run failed\n");
    return t;
}

bool SameResult(const AlbumFolderArray& a, const AlbumFolderArray& b) {
    if (a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i) {
        const AlbumRecord& x = a.Record(i);
        const AlbumRecord& y = b.Record(i);
        if (x.sRelPath != y.sRelPath || x.sCounterpart != y.sCounterpart || x.nMatchCode != y.nMatchCode ||
            x.nImageSize != y.nImageSize || x.nCounterpartImageSize != y.nCounterpartImageSize)
            return false;
    }
    return true;
}

bool gProgramOnly = false;  // for profiling the program's form alone

void Compare(const char* name, const TreePair& trees) {
    Timed fast = TimeOne(trees, MatchAlbumArrays);
    if (gProgramOnly) {
        std::printf("%s: program %.1f ms\n", name, fast.ms);
        return;
    }
    Timed slow = TimeOne(trees, LiteralMatchAlbumArrays);
    int paired = 0;
    for (int i = 0; i < fast.result->Count(); ++i) paired += fast.result->GetMatchCode(i) <= 5;
    std::printf("%s: %zu targets x %zu sources, %d pairs\n", name, trees.targets.size(), trees.sources.size(), paired);
    std::printf("  nested loops %9.1f ms (%d dispatches)\n", slow.ms, slow.pumps);
    std::printf("  program      %9.1f ms (%d dispatches)\n", fast.ms, fast.pumps);
    std::printf("  ratio        %9.1fx  results %s\n", slow.ms / fast.ms,
                SameResult(*fast.result, *slow.result) ? "identical" : "DIFFER");
}

}  // namespace

int main(int argc, char** argv) {
    gProgramOnly = argc > 1 && std::string(argv[1]) == "--program-only";
    std::mt19937 rng(2026);
    Compare("A, library-shaped", MakeLibraryTrees(rng, 5000));
    Compare("B, nothing in common", MakeDisjointTrees(rng, 3000));
    return 0;
}
