#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "foundation/DateMath.h"
#include "foundation/TextUtil.h"
#include "foundation/Utf8.h"

using namespace swirlo;

TEST(SplitPath, SplitsAndRefusesBadPaths) {
    const std::wstring longDir = L"C:\\" + std::wstring(5000, L'd') + L"\\";
    struct Row { std::wstring path; bool requireExt; int result; std::wstring dir, name{}, ext{}; };
    const Row rows[] = {
        {L"C:\\Music\\Blendo.exe", true, 1, L"C:\\Music\\", L"Blendo", L".exe"},
        {L"C:\\Music\\Blendo", false, 1, L"C:\\Music\\", L"Blendo", L""},
        {longDir + L"x.mp3", true, 1, longDir, L"x", L".mp3"},
        {L"C:\\Music\\Blendo", true, 0, L"'.' not found in supplied sPath"},
        {L"a\\b.c", true, 0, L"Directory name less than 3 chars, or empty file name"},
        {L"C:\\Music\\.exe", true, 0, L"Directory name less than 3 chars, or empty file name"},
        {L"Blendo.exe", true, 0, L"'\\' not found in supplied sPath"},
    };
    for (const Row& r : rows) {
        std::wstring dir, name, ext;
        EXPECT_EQ(SplitPath(r.path, dir, name, ext, r.requireExt), r.result) << r.path.size();
        EXPECT_EQ(dir, r.dir);
        if (!r.result) continue;
        EXPECT_EQ(name, r.name);
        EXPECT_EQ(ext, r.ext);
    }
}

TEST(DateMath, StampsAndDayCounts) {
    // 2011-03-31 12:00 local.
    std::tm tm{};
    tm.tm_year = 111; tm.tm_mon = 2; tm.tm_mday = 31; tm.tm_hour = 12; tm.tm_isdst = -1;
    const std::int64_t t = static_cast<std::int64_t>(std::mktime(&tm));
    const std::pair<int, int> daysAndStamps[] = {{0, 20110331}, {1, 20110330}, {30, 20110301}, {31, 20110228}, {366, 20100330}};
    std::wstring err;
    for (auto [days, stamp] : daysAndStamps) {
        EXPECT_EQ(DateStampDaysAgoAt(t, days, err), stamp);
        EXPECT_EQ(DaysSinceDateAt(t, stamp, err), days);
        EXPECT_TRUE(err.empty());
    }
}

namespace {

// Code points as text: pairs of surrogates where wchar_t has 16 bits.
std::wstring Text(const std::vector<std::uint32_t>& codePoints) {
    std::wstring s;
    for (std::uint32_t c : codePoints) {
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            s += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            s += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            s += static_cast<wchar_t>(c);
        }
    }
    return s;
}

}  // namespace

// The boundaries of each sequence length, surrogate pairs (16-bit wchar_t: the Windows build) and
// lone or reversed surrogates, which become U+FFFD. Each alone and inside ASCII runs, which the
// encoder takes sixteen at a time.
TEST(Utf8, BoundariesAndSurrogates) {
    struct Row { std::vector<std::uint32_t> text; std::string utf8; };
    const Row rows[] = {
        {{0x7F}, "\x7f"},
        {{0x80}, "\xc2\x80"},
        {{0x7FF}, "\xdf\xbf"},
        {{0x800}, "\xe0\xa0\x80"},
        {{0xFFFF}, "\xef\xbf\xbf"},
        {{0x10000}, "\xf0\x90\x80\x80"},
        {{0x1F3B5}, "\xf0\x9f\x8e\xb5"},
        {{0x10FFFF}, "\xf4\x8f\xbf\xbf"},
        {{0xD800}, "\xef\xbf\xbd"},
        {{0xDBFF, 'a'}, "\xef\xbf\xbd" "a"},
        {{0xDC00, 0xD800}, "\xef\xbf\xbd\xef\xbf\xbd"},
        {{0xD83C, 0x1F3B5}, "\xef\xbf\xbd" "\xf0\x9f\x8e\xb5"},
    };
    const std::string run = "0123456789abcdefghij";
    const std::wstring wrun(run.begin(), run.end());
    for (const Row& r : rows) {
        const std::wstring t = Text(r.text);
        EXPECT_EQ(ToUtf8Text(t), r.utf8) << std::hex << r.text[0];
        EXPECT_EQ(ToUtf8Text(wrun + t + L"xyz"), run + r.utf8 + "xyz") << std::hex << r.text[0];
        EXPECT_EQ(ToUtf8Text(L"ab" + t + wrun), "ab" + r.utf8 + run) << std::hex << r.text[0];
    }
}
