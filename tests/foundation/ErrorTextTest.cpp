#include <gtest/gtest.h>

#include <vector>

#include "foundation/ErrorText.h"

using namespace swirlo;

TEST(ErrorText, PartsArePrecededByLineBreaksAndCutAtCapacity) {
    std::wstring t;
    AppendErrorPart(t, 20, L"abc");
    EXPECT_EQ(t, L"\r\nabc");
    AppendErrorPart(t, 20, L"0123456789ABCDEFGHIJ");
    AppendErrorPart(t, 20, L"x");  // full: nothing more, not even the line break
    EXPECT_EQ(t, L"\r\nabc\r\n0123456789ABC");
    // Exactly one character of room: the line break does not fit and is not added half.
    std::wstring u(19, L'a');
    AppendErrorPart(u, 20, L"x");
    EXPECT_EQ(u, std::wstring(19, L'a'));
}

TEST(ErrorText, RecordSetTakeAndMissingParts) {
    ErrorRecord r;
    EXPECT_EQ(r.SetErrorParts(L"one", nullptr, L"three"), 0);
    EXPECT_EQ((std::vector<std::wstring>{r.Take(false), r.Take(true), r.Text()}),  // in this order
              (std::vector<std::wstring>{L"\r\none\r\nthree", L"\r\none\r\nthree", L""}));
    std::wstring huge(20000, L'z');
    r.SetErrorParts(huge.c_str(), L"after");
    EXPECT_EQ(r.Text().size(), kWindowErrorCap);
}

TEST(ErrorText, FormatHandlesLongArguments) {
    std::wstring big(100000, L'q');
    std::wstring s = FormatW(L"[%ls] %d %u", big.c_str(), -5, 7u);
    EXPECT_EQ(s.size(), big.size() + 2 + 5);
    EXPECT_EQ(s.substr(s.size() - 5), L" -5 7");
}
