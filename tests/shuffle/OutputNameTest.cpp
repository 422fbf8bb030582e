#include <gtest/gtest.h>

#include "shuffle/OutputName.h"

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
