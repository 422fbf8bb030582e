#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>
#include <vector>

#include "tests/foundation/FakeRun.h"
#include "LiteralForms.h"
#include "tests/foundation/SameBytes.h"
#include "shuffle/core/EvenDistribution.h"

using namespace swirlo;
using namespace swirlo::testing;

namespace {

std::wstring SongPath(int i) { return L"C:\\Music\\Artist " + std::to_wstring(i % 37) + L"\\song " + std::to_wstring(i) + L".mp3"; }

void AddSongs(CSongArray& songs, const std::vector<int>& counts) {
    for (std::size_t i = 0; i < counts.size(); ++i) songs.AddSong(SongPath(static_cast<int>(i)).c_str(), counts[i]);
}

// Counts of random songs until the list reaches about the given length, at most maxCount each.
std::vector<int> RandomCounts(std::mt19937& gen, int length, int maxCount) {
    std::vector<int> counts;
    for (int total = 0, c; total < length; total += c)  // mostly few repeats
        counts.push_back(c = std::min(1 + static_cast<int>(gen() % (gen() % 3 ? std::min(maxCount, 4) : maxCount)),
                                      std::max(1, length - total)));
    return counts;
}

struct Placed {
    int result;
    std::vector<std::uint32_t> order;
    PlacementResult out;
};

Placed Place(FakeRun& ctx, const CSongArray& songs, int N, const DistributionFile& csv = DistributionFile()) {
    Placed p;
    p.order.assign(songs.GetTotal(), 7);
    RandomSource rng;
    p.result = Distribute(ctx, rng, songs, N, p.order.data(), 90, p.out, csv);
    return p;
}

// Positions of each record's plays, ascending.
std::map<std::uint32_t, std::vector<std::int32_t>> PlaysOf(const std::vector<std::uint32_t>& order) {
    std::map<std::uint32_t, std::vector<std::int32_t>> plays;
    for (std::size_t i = 0; i < order.size(); ++i) plays[order[i]].push_back(static_cast<std::int32_t>(i));
    return plays;
}

}  // namespace

TEST(Distribute, SameResultAsStepByStepForm) {
    std::mt19937 gen(77);
    int nWithShortfalls = 0, nTooFew = 0;
    for (int round = 0; round < 2000; ++round) {
        // The first two rounds: the shortest list refused (9 plays) and the shortest one placed.
        const int length = round < 2 ? 9 + round : 10 + static_cast<int>(gen() % (round % 10 == 0 ? 4991 : 1200));
        const int maxCount = 1 + static_cast<int>(gen() % (round % 4 == 0 ? 255 : 12));
        CSongArray songs;
        std::vector<int> counts = RandomCounts(gen, length, maxCount);
        AddSongs(songs, counts);
        const int N = static_cast<int>(gen() % 100);
        FakeRun ctx, refCtx;
        ctx.nTicks = refCtx.nTicks = gen();
        ctx.bWithLog = refCtx.bWithLog = (round % 5 == 0);
        Placed p = Place(ctx, songs, N);
        RandomSource refRng;
        LiteralPlacement ref = LiteralDistribute(refCtx, refRng, songs, N, 90);
        ASSERT_EQ(p.result, ref.result) << "round " << round << ": " << std::string(ctx.error.Text().begin(), ctx.error.Text().end());
        ASSERT_EQ(p.out.nShortfalls, ref.nShortfalls) << "round " << round;
        ASSERT_EQ(p.out.nMinSegmentSize, ref.nMinSegmentSize);
        ASSERT_EQ(ctx.error.Text(), refCtx.error.Text()) << "round " << round;
        ASSERT_EQ(ctx.log.lines, refCtx.log.lines) << "round " << round;
        ASSERT_EQ(ctx.sent, refCtx.sent) << "round " << round;
        if (p.result) ASSERT_EQ(std::vector<std::int32_t>(p.order.begin(), p.order.end()), ref.order) << "round " << round;

        // Both ways of setting the segments are taken (the second only when a segment has too
        // few free slots, which only the log tells).
        nTooFew += ctx.log.Has(L"(too few)");
        nWithShortfalls += p.out.nShortfalls > 0;
    }
    EXPECT_GT(nWithShortfalls, 50);
    EXPECT_GT(nTooFew, 5);
}

TEST(DistributionFile, ContentIsByteForByte) {
    EXPECT_EQ(DistributionHeaderLine(3), "\"Song\",\"Count\",\"1st\",\"2nd\",\"3rd\"\r\n");
    EXPECT_EQ(DistributionHeaderLine(22).substr(32, 7) + DistributionHeaderLine(22).substr(145), ",\"4th\",,\"21th\",\"22th\"\r\n");
    std::int32_t pos[3] = {4, 17, 30};
    EXPECT_EQ(DistributionSongLines(L"C:\\M\\\u00e9t\u00e9.mp3", pos, 3),
              "\"C:\\M\\\xc3\xa9t\xc3\xa9.mp3\",\"3\",\"5\",\"18\",\"31\"\r\n"
              "\"REPEAT INTERVAL:\",\"\",\"\",\"13\",\"13\"\r\n");
    EXPECT_EQ(DistributionSongLines(L"a", pos, 1), "\"a\",\"1\",\"5\"\r\n");

    // The file: a note, the header, then each song's lines, the most repeated first.
    CSongArray songs;
    AddSongs(songs, {1, 2, 1, 1, 2, 1, 1, 1, 1, 1});
    MemoryFile file;
    FakeRun ctx;
    ctx.bWithLog = true;
    Placed p = Place(ctx, songs, 3, DistributionFile{&file, L"D:\\Docs\\"});
    ASSERT_EQ(p.result, 1);
    EXPECT_EQ(file.sPath, L"D:\\Docs\\Repeats distribution.csv");
    EXPECT_FALSE(file.bOpen);
    std::string want =
        "\"1st column is song path. 2nd is Count of times in playlist. Then locations in playlist of each "
        "occurrence of song, or on next line number of songs between repeats.\"\r\n" + DistributionHeaderLine(2);
    auto plays = PlaysOf(p.order);
    for (int m = 2; m >= 1; --m)
        for (std::uint32_t r = 0; r < songs.GetSize(); ++r)
            if (songs.GetCount(r) == m) want += DistributionSongLines(songs.GetSong(r), plays[r].data(), m);
    EXPECT_TRUE(SameBytes(file.bytes, want));
    EXPECT_EQ(file.nWrites, 2 + 10);  // one write per song

    // No log, no file.
    MemoryFile none;
    FakeRun quiet;
    EXPECT_EQ(Place(quiet, songs, 3, DistributionFile{&none, L"D:\\Docs\\"}).result, 1);
    EXPECT_EQ(none.nCreates, 0);
}

TEST(DistributionFile, FailuresFailThePlacementWithTheirTexts) {
    CSongArray songs;
    AddSongs(songs, {1, 2, 1, 1, 2, 1, 1, 1, 1, 1});
    const std::size_t line1 = 167, line2 = 28, never = static_cast<std::size_t>(-1);
    const std::wstring words = L"Windows' error message was:\r\n";
    const std::tuple<std::size_t, const wchar_t*, std::wstring> rows[] = {
        {never, L"\r\nError opening log file of repeat distribution:\r\n", L""},  // the file cannot be created
        {10, L"\r\nError writing start of file:\r\n", words},
        {line1 + 5, L"\r\nError writing column headers to log file:\r\n", words},
        {line1 + line2 + 5, L"\r\nError song placements line to log file:\r\n", words}};
    for (const auto& [failAt, text, middle] : rows) {
        MemoryFile file;
        file.bFailCreate = failAt == never;
        file.nFailAfterBytes = failAt;
        FakeRun c;
        c.bWithLog = true;
        EXPECT_EQ(Place(c, songs, 3, DistributionFile{&file, L"D:\\"}).result, 0);
        EXPECT_EQ(c.error.Text(), text + (L"D:\\Repeats distribution.csv\r\n" + middle) + L"There is not enough space on the disk.");
        EXPECT_FALSE(file.bOpen);
        EXPECT_EQ(file.bytes.size(), file.bFailCreate ? 0 : failAt);
    }
}
