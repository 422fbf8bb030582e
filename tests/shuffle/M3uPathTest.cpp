#include <gtest/gtest.h>

#include "library/PlaylistWriter.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;

// A .m3u entry never names a look-alike file: a path the code page cannot hold is written in its
// short form when that exists and round-trips, else with the default character.
TEST(M3uPath, NoBestFitLookAlikes) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "a UTF-8 code page holds every path";
    test::TempDir dir;
    const std::wstring real = dir / L"\u0141\u00f3d\u017a.mp3";
    ASSERT_TRUE(test::WriteBytes(real, "x"));
    M3uPathConverter convert;
    std::string out;
    std::wstring error;
    for (const std::wstring& ghost : {dir / L"\u0100 song.mp3", dir / L"\uff21 song.mp3"}) {
        ASSERT_TRUE(convert(ghost, out, error));
        EXPECT_EQ(out.find('A', out.size() - 10), std::string::npos) << out;  // no best fit
    }
    EXPECT_EQ(convert.DefaultChars(), 2u);
    ASSERT_TRUE(convert(real, out, error));
    wchar_t back[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, out.c_str(), -1, back, MAX_PATH);
    wchar_t full[MAX_PATH] = L"";
    GetLongPathNameW(back, full, MAX_PATH);
    if (convert.ShortForms() == 1) EXPECT_EQ(std::wstring(full), real) << out;  // names the same file
    else EXPECT_EQ(convert.DefaultChars(), 3u);
}
