#include <gtest/gtest.h>

#include "shuffle/core/OutputName.h"

using namespace swirlo;

TEST(OutputName, ProposedNamesAndExtensions) {
    const std::wstring rock = L"Rock (deduped) <Genre>", odd = L"a:b?c", none;
    struct Case {
        bool src, label, labelAfter, date, dateAfter;
        int convert;
        const std::wstring* first;
        const wchar_t* name;
    } cases[] = {
        {true, true, false, true, true, 0, &rock, L"vxq Rock (deduped) 0305.wpl"},
        {false, false, false, false, false, 2, &rock, L"*.m3u8"},
        {true, false, false, false, false, 0, &odd, L"a_b_c.wpl"},
        {true, true, false, false, false, 0, nullptr, L"*.wpl"},  // the first row could not be read
        {false, true, true, true, true, 7, &none, L"vxq 0305.m3u8"},
    };
    for (const Case& c : cases) {
        OutputNameOptions o{c.convert, c.src, c.label, L"vxq", c.labelAfter, c.date, c.dateAfter, L"0305"};
        EXPECT_EQ(DefaultOutputName(o, c.first), c.name);
    }
    // The chosen name: an unknown extension gets the type's; a playlist extension in any case is kept.
    EXPECT_EQ(SettleExtension(L"C:\\m\\mix.txt", L".txt", L"wpl"), L"C:\\m\\mix.txt.wpl");
    EXPECT_EQ(SettleExtension(L"C:\\m\\mix.M3U", L".M3U", L"wpl"), L"C:\\m\\mix.M3U");
    EXPECT_EQ(FormatOfExtension(L".M3U"), 1);
}

// The run's limit: the box's first four characters, then the no-repetitions limit combined with it.
TEST(OutputName, OutputLimitAndSummaryText) {
    EXPECT_EQ(LeadingNumber(L"12345", 4), 1234);
    for (const wchar_t* bad : {L"", L"0", L"abc"}) EXPECT_EQ(LeadingNumber(bad, 4), 0) << bad;  // asks the question
    const std::wstring both = L"\nTruncated to 300 songs per specified options.\n\nBoth absolute limit and limit to no "
                              L"repetitions were checked.\nTruncated to the larger absolute limit as requested.\nLimit "
                              L"to ensure no repetitions would have been 120 songs.";
    struct Case {
        int limit;
        bool noReps, larger;
        unsigned long long plays;
        int effective;
        std::wstring text;
    } cases[] = {
        {300, true, false, 500, 120, L"\nTruncated to 120 songs to prevent any repetitions as requested."},
        {300, true, true, 500, 300, both},
        {-1, true, false, 500, 120, L"\nTruncated to 120 songs to prevent any repetitions as requested."},
        {300, false, true, 500, 300, L"\nTruncated to 300 songs as requested."},  // random methods ignore it
        {300, true, true, 250, 300, L""},                                          // nothing cut
    };
    for (const Case& c : cases) {
        const int effective = EffectiveLimit(c.limit, c.noReps, c.larger, 120);
        EXPECT_EQ(effective, c.effective) << c.limit << c.larger;
        EXPECT_EQ(TruncationText(c.limit, effective, c.noReps, 120, c.plays), c.text) << c.limit << c.larger;
    }
}
