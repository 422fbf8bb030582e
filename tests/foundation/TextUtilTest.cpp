#include <gtest/gtest.h>

#include "foundation/DateMath.h"
#include "foundation/TextUtil.h"

using namespace swirlo;

TEST(SplitPath, SplitsAndRefusesBadPaths) {
    std::wstring dir, name, ext;
    ASSERT_EQ(SplitPath(L"C:\\Music\\Blendo.exe", dir, name, ext, true), 1);
    EXPECT_EQ(dir, L"C:\\Music\\");
    EXPECT_EQ(name, L"Blendo");
    EXPECT_EQ(ext, L".exe");

    EXPECT_EQ(SplitPath(L"C:\\Music\\Blendo", dir, name, ext, true), 0);
    EXPECT_EQ(dir, L"'.' not found in supplied sPath");
    ASSERT_EQ(SplitPath(L"C:\\Music\\Blendo", dir, name, ext, false), 1);
    EXPECT_EQ(name, L"Blendo");
    EXPECT_EQ(ext, L"");

    EXPECT_EQ(SplitPath(L"a\\b.c", dir, name, ext, true), 0);
    EXPECT_EQ(dir, L"Directory name less than 3 chars, or empty file name");
    EXPECT_EQ(SplitPath(L"C:\\Music\\.exe", dir, name, ext, true), 0);
    EXPECT_EQ(dir, L"Directory name less than 3 chars, or empty file name");
    EXPECT_EQ(SplitPath(L"Blendo.exe", dir, name, ext, true), 0);
    EXPECT_EQ(dir, L"'\\' not found in supplied sPath");

    // Long paths are handled whole.
    std::wstring longDir = L"C:\\" + std::wstring(5000, L'd') + L"\\";
    ASSERT_EQ(SplitPath(longDir + L"x.mp3", dir, name, ext, true), 1);
    EXPECT_EQ(dir, longDir);
}

TEST(ReplaceSubStr, CaseFirstOnlyAndFailures) {
    std::wstring s = L"aXbXc", out;
    EXPECT_NE(ReplaceSubStr(s, L"x", L"-", &out, false, false), 0);
    EXPECT_EQ(out, L"a-b-c");
    EXPECT_NE(ReplaceSubStr(s, L"x", L"-", &out, true, false), 0);
    EXPECT_EQ(out, L"a-bXc");
    EXPECT_EQ(ReplaceSubStr(s, L"x", L"-", &out, false, true), 0);
    EXPECT_EQ(out, L"aXbXc");
    EXPECT_TRUE(gsErrorText.empty());
    EXPECT_EQ(ReplaceSubStrOk(s, L"x", L"-", &out, false, true), 1);

    // In place, growing and deleting; the search continues after each occurrence.
    std::wstring t = L"aaa";
    EXPECT_EQ(ReplaceSubStr(t, L"a", L"aa", nullptr, false, true), 3);
    EXPECT_EQ(t, L"aaaaaa");
    EXPECT_EQ(ReplaceSubStr(t, L"aa", L"", nullptr, false, true), 3);
    EXPECT_EQ(t, L"");

    std::wstring empty;
    EXPECT_EQ(ReplaceSubStr(empty, L"x", L"y", nullptr, false, true), 0);
    EXPECT_EQ(gsErrorText, L"\r\nReplaceSubStr: NULL or empty required string param(s)");
    EXPECT_EQ(ReplaceSubStrOk(empty, L"x", L"y", nullptr, false, true), 0);
    EXPECT_EQ(ReplaceSubStr(s, L"", L"y", nullptr, false, true), 0);
    EXPECT_EQ(ReplaceSubStr(s, L"x", nullptr, nullptr, false, true), 0);
    gsErrorText.clear();
}

TEST(JoinWithin, StopsAtTheFirstItemThatDoesNotFit) {
    std::wstring out;
    EXPECT_EQ(JoinWithin(out, 11, {L"abc", L"def", L"gh", L"i"}, L", "), 2);
    EXPECT_EQ(out, L"abc, def");
    out = L"x";
    EXPECT_EQ(JoinWithin(out, 100, {L"a", L"b"}, L""), 2);
    EXPECT_EQ(out, L"xab");
    out.clear();
    EXPECT_EQ(JoinWithin(out, 3, {L"abcd", L"a"}, L"+"), 0);
    EXPECT_EQ(out, L"");
}

TEST(DateMath, StampsAndDayCounts) {
    std::wstring err;
    // 2011-03-31 12:00 local; 30 days before is 2011-03-01.
    std::tm tm{};
    tm.tm_year = 111; tm.tm_mon = 2; tm.tm_mday = 31; tm.tm_hour = 12; tm.tm_isdst = -1;
    std::int64_t t = static_cast<std::int64_t>(std::mktime(&tm));
    EXPECT_EQ(DateStampDaysAgoAt(t, 0, err), 20110331);
    EXPECT_EQ(DateStampDaysAgoAt(t, 30, err), 20110301);
    EXPECT_EQ(DateStampDaysAgoAt(t, 31, err), 20110228);
    EXPECT_EQ(DateStampDaysAgoAt(t, 366, err), 20100330);
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(DaysSinceDateAt(t, 20110331, err), 0);
    EXPECT_EQ(DaysSinceDateAt(t, 20110330, err), 1);
    EXPECT_EQ(DaysSinceDateAt(t, 20110228, err), 31);
    EXPECT_EQ(DateStampDaysAgoAt(-5, 0, err), 0);
    EXPECT_EQ(err, L"\r\nInvalid _time64 result");
    // Further back than the clock's origin.
    EXPECT_EQ(DateStampDaysAgoAt(86400 * 10, 11, err), 0);
    EXPECT_EQ(err, L"\r\nInvalid _time64 subtraction result");
    std::int64_t now = NowSeconds();
    int today = DateStampDaysAgoAt(now, 0, err);
    EXPECT_EQ(DaysSinceDateAt(now, today, err), 0);
    EXPECT_EQ(DaysSinceDateAt(now, DateStampDaysAgoAt(now, 1, err), err), 1);
}
