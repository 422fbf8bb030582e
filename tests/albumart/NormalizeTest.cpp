#include <gtest/gtest.h>

#include <random>
#include <string>

#include "albumart/LowerCase.h"
#include "albumart/Normalize.h"

using namespace swirlo;

namespace {

std::wstring N(const std::wstring& name, int level) {
    std::wstring out = L"<unset>";
    EXPECT_TRUE(Normalize(name, level, out)) << "level " << level;
    return out;
}

}  // namespace

TEST(Normalize, ExamplesOfEachLevel) {
    for (int level = 1; level <= 3; ++level) EXPECT_EQ(N(L"The Beatles", level), L"beatles");
    EXPECT_EQ(N(L"Sgt. Pepper's Lonely Hearts Club Band", 1), L"sgt peppers lonely hearts club band");
    EXPECT_EQ(N(L"Sgt. Pepper's Lonely Hearts Club Band", 2), L"sgtpepperslonelyheartsclubband");
    EXPECT_EQ(N(L"Abbey Road [2009 Remaster]", 3), L"abbeyroad");
    EXPECT_EQ(N(L"Disc 01", 1), L"disc 1");
    EXPECT_EQ(N(L"Live [Disc 1] (Remix)", 3), L"live");
    EXPECT_EQ(N(L"Live [Disc 1] (Remix)", 2), L"livedisc1remix");
    // Brackets go first, so the trailing article is found at the end of the shortened text.
    EXPECT_EQ(N(L"Beatles, The [Remastered]", 3), L"beatles");
    EXPECT_EQ(N(L"Beatles, The [Remastered]", 2), L"beatlestheremastered");
    // A trailing space can remain at level 1; no leading or doubled ones.
    EXPECT_EQ(N(L"  Hello -- World !", 1), L"hello world ");
}

TEST(Normalize, AccentsFoldOnlyAtMaximumLevel) {
    EXPECT_EQ(N(L"D\u00e9j\u00e0 Vu", 1), L"dj vu");
    EXPECT_EQ(N(L"D\u00e9j\u00e0 Vu", 3), L"dejavu");
    EXPECT_EQ(N(L"Ch\u00e2teau", 3), L"chteau");
    // Upper-case accented letters are lowered first, then folded.
    EXPECT_EQ(N(L"\u00c0\u00c9\u00d6\u00dc\u00d1\u00c7", 3), L"aeounc");
    // The whole table, and the letters that are deliberately not in it.
    const std::wstring folded = L"\u00e0\u00e1\u00e3\u00e4\u00e6\u00e7\u00e8\u00e9\u00eb\u00ec\u00ed\u00ef\u00f1"
                                L"\u00f2\u00f3\u00f5\u00f6\u00f8\u00f9\u00fa\u00fc\u00ff";
    EXPECT_EQ(N(folded, 3), L"aaaaaceeeiiinooooouuuy");
    EXPECT_EQ(N(L"\u00e2\u00ea\u00ee\u00f4\u00fb\u00e5\u00fd\u00fe\u00df\u00f0\u00f7", 3), L"");
    EXPECT_EQ(FoldAccent(L'\u00df'), L'\u00df');
    EXPECT_EQ(FoldAccent(L'\u0101'), L'\u0101');
}

TEST(Normalize, ArticleRule) {
    EXPECT_EQ(N(L"A Tribe Called Quest", 1), L"tribe called quest");
    EXPECT_EQ(N(L"The", 1), L"the");          // "the " needs more than four characters
    EXPECT_EQ(N(L"The ", 1), L"the ");
    EXPECT_EQ(N(L"A", 2), L"a");
    EXPECT_EQ(N(L"A b", 2), L"b");
    EXPECT_EQ(N(L"Wall, The", 1), L"wall");
    EXPECT_EQ(N(L"Night, A", 2), L"night");
    EXPECT_EQ(N(L"ab, a", 2), L"aba");        // ", a" needs more than five characters
    EXPECT_EQ(N(L"The Wall, The", 2), L"wallthe");  // at most one article
    EXPECT_EQ(N(L"Theatre", 2), L"theatre");
    std::wstring s = L"x, the";
    RemoveArticle(s);
    EXPECT_EQ(s, L"x");
}

TEST(Normalize, LeadingZerosOfNumbers) {
    EXPECT_EQ(N(L"007", 2), L"7");
    EXPECT_EQ(N(L"100", 2), L"100");
    EXPECT_EQ(N(L"0", 2), L"0");
    EXPECT_EQ(N(L"Now 050", 1), L"now 50");
    EXPECT_EQ(N(L"x0 05", 2), L"x05");        // the zero after a letter is not part of a number
    EXPECT_EQ(N(L"1.05", 2), L"15");          // the dot produced nothing, so "05" leads
    EXPECT_EQ(N(L"00", 3), L"0");
}

TEST(Normalize, BracketBlocks) {
    EXPECT_EQ(RemoveBracketBlocks(L"a [b] c", L'[', L']'), L"a  c");
    // Nested: only the inner block goes, the text between the openers stays.
    EXPECT_EQ(RemoveBracketBlocks(L"a [b [c] d] e", L'[', L']'), L"a b  d] e");
    EXPECT_EQ(RemoveBracketBlocks(L"abc [def", L'[', L']'), L"abc def");
    EXPECT_EQ(RemoveBracketBlocks(L"abc] def", L'[', L']'), L"abc] def");
    EXPECT_EQ(RemoveBracketBlocks(L"[[[x]", L'[', L']'), L"");
    EXPECT_EQ(RemoveBracketBlocks(L"[a][b]c", L'[', L']'), L"c");
    EXPECT_EQ(N(L"Hits [Disc [2]]", 3), L"hitsdisc");
    EXPECT_EQ(N(L"[Live]", 3), L"");
    EXPECT_EQ(N(L"The [x] Band", 3), L"band");
}

TEST(Normalize, EmptyKeysAndRefusedLevels) {
    for (int level = 1; level <= 3; ++level) {
        EXPECT_EQ(N(L"!?...--//", level), L"");
        EXPECT_EQ(N(L"", level), L"");
    }
    EXPECT_EQ(AlphaNormalize(L"!?...--//"), L"");
    std::wstring out = L"kept";
    EXPECT_FALSE(Normalize(L"abc", 0, out));
    EXPECT_FALSE(Normalize(L"abc", 4, out));
    EXPECT_EQ(out, L"kept");
}

TEST(AlphaNormalize, LettersOnlyWithOeRule) {
    EXPECT_EQ(AlphaNormalize(L"Mot\u00f6rhead"), L"motorhead");
    EXPECT_EQ(AlphaNormalize(L"Motoerhead"), L"motorhead");
    EXPECT_EQ(AlphaNormalize(L"MOT\u00d6RHEAD"), L"motorhead");
    EXPECT_EQ(AlphaNormalize(L"Estate"), L"estate");       // a leading e stays
    EXPECT_EQ(AlphaNormalize(L"Bl\u00e4e Queue"), L"blaquu");
    EXPECT_EQ(AlphaNormalize(L"Mo\u00e9"), L"mo");  // a folded e is dropped too
    EXPECT_EQ(AlphaNormalize(L"The Wall (Live) 2"), L"walllive");
    EXPECT_EQ(AlphaNormalize(L"Beatles, The"), L"beatles");
    EXPECT_EQ(AlphaNormalize(L"Ch\u00e2teau"), L"chteau");
}

// Whatever a folder name holds, keys are bounded by the name and made of their alphabet only.
TEST(Normalize, AnyUtf16InputGivesBoundedKeys) {
    std::mt19937 rng(20261206);
    const wchar_t kPunct[] = L" !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    for (int round = 0; round < 3000; ++round) {
        std::size_t len = round % 500 == 0 ? 32768 : std::uniform_int_distribution<std::size_t>(0, 40)(rng);
        int kind = round % 4;
        std::wstring s(len, L' ');
        for (wchar_t& c : s) {
            switch (kind) {
            case 0: c = static_cast<wchar_t>(std::uniform_int_distribution<int>(1, 0xFFFF)(rng)); break;
            case 1: c = static_cast<wchar_t>(std::uniform_int_distribution<int>(0xD800, 0xDFFF)(rng)); break;
            case 2: c = kPunct[std::uniform_int_distribution<int>(0, 32)(rng)]; break;
            default: c = L"aT h0e1[(]), \u00e9\u00c4"[std::uniform_int_distribution<int>(0, 15)(rng)]; break;
            }
        }
        for (int level = 1; level <= 3; ++level) {
            std::wstring k;
            ASSERT_TRUE(Normalize(s, level, k));
            ASSERT_LE(k.size(), s.size());
            for (std::size_t i = 0; i < k.size(); ++i) {
                wchar_t c = k[i];
                bool ok = (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || (c == L' ' && level == 1);
                ASSERT_TRUE(ok) << "level " << level << " char " << static_cast<unsigned>(c);
                if (c == L' ') {
                    ASSERT_TRUE(i > 0 && k[i - 1] != L' ');
                }
            }
        }
        std::wstring a = AlphaNormalize(s);
        ASSERT_LE(a.size(), s.size());
        for (wchar_t c : a) ASSERT_TRUE(c >= L'a' && c <= L'z');
    }
}

// The keys follow the platform's mapping. The Windows build must use the system's (which knows
// every alphabet), not the native build's fixed table, which stops at Cyrillic.
TEST(Normalize, LowerCaseIsThePlatformsOwn) {
    std::wstring s = L"AZ\u00c0\u00de\u00d7\u0100\u0391\u0410\u0531";
    PlatformLowerCase(s);
#ifdef _WIN32
    EXPECT_EQ(s, L"az\u00e0\u00fe\u00d7\u0101\u03b1\u0430\u0561");
#else
    EXPECT_EQ(s, L"az\u00e0\u00fe\u00d7\u0101\u03b1\u0430\u0531");
#endif
    EXPECT_EQ(N(L"\u00c9LAN \u00d6L", 3), L"elanol");
}
