#include <gtest/gtest.h>

#include <random>
#include <string>

#include "albumart/core/Normalize.h"
#include "albumart/core/Unicode.h"

using namespace swirlo;

// Folder names and their keys at levels 1 to 3; level 0 is the alpha key, level 4 the name without
// its [...] blocks.
TEST(Normalize, KeysOfEachLevel) {
    struct Row { std::wstring name; int level; std::wstring key; };
    const Row rows[] = {
        {L"Sgt. Pepper's Lonely Hearts Club Band", 1, L"sgt peppers lonely hearts club band"},
        {L"Sgt. Pepper's Lonely Hearts Club Band", 2, L"sgtpepperslonelyheartsclubband"},
        {L"Abbey Road [2009 Remaster]", 3, L"abbeyroad"},
        {L"Live [Disc 1] (Remix)", 3, L"live"}, {L"Live [Disc 1] (Remix)", 2, L"livedisc1remix"},
        // Brackets go first, so the trailing article is found at the end of the shortened text.
        {L"Beatles, The [Remastered]", 3, L"beatles"}, {L"Beatles, The [Remastered]", 2, L"beatlestheremastered"},
        // A trailing space can remain at level 1; no leading or doubled ones.
        {L"  Hello -- World !", 1, L"hello world "},
        // Accents fold at the maximum level only; upper-case ones are lowered first.
        {L"D\u00e9j\u00e0 Vu", 1, L"dj vu"}, {L"D\u00e9j\u00e0 Vu", 3, L"dejavu"}, {L"Ch\u00e2teau", 3, L"chteau"},
        {L"\u00c0\u00c9\u00d6\u00dc\u00d1\u00c7", 3, L"aeounc"},
        {L"\u00e0\u00e1\u00e3\u00e4\u00e6\u00e7\u00e8\u00e9\u00eb\u00ec\u00ed\u00ef\u00f1\u00f2\u00f3\u00f5\u00f6\u00f8\u00f9\u00fa\u00fc\u00ff", 3,
         L"aaaaaceeeiiinooooouuuy"},
        {L"x\u00e2\u00ea\u00ee\u00f4\u00fb\u00e5\u00fd\u00fe\u00df\u00f0\u00f7", 3, L"x"},
        // One article at most, and only with more than the article itself.
        {L"A Tribe Called Quest", 1, L"tribe called quest"}, {L"The", 1, L"the"}, {L"The ", 1, L"the "},
        {L"A", 2, L"a"}, {L"A b", 2, L"b"}, {L"Wall, The", 1, L"wall"}, {L"Night, A", 2, L"night"},
        {L"ab, a", 2, L"aba"}, {L"The Wall, The", 2, L"wallthe"}, {L"Theatre", 2, L"theatre"},
        // Leading zeros of numbers.
        {L"Disc 01", 1, L"disc 1"}, {L"007", 2, L"7"}, {L"100", 2, L"100"}, {L"0", 2, L"0"}, {L"Now 050", 1, L"now 50"},
        {L"x0 05", 2, L"x05"}, {L"1.05", 2, L"15"}, {L"00", 3, L"0"},
        {L"Hits [Disc [2]]", 3, L"hitsdisc"}, {L"[Live]", 3, L""}, {L"The [x] Band", 3, L"band"},
        {L"!?...--//", 1, L""}, {L"!?...--//", 3, L""}, {L"", 2, L""},
        {L"a [b] c", 4, L"a  c"}, {L"a [b [c] d] e", 4, L"a b  d] e"},  // nested: only the inner block goes
        {L"abc [def", 4, L"abc def"}, {L"abc] def", 4, L"abc] def"}, {L"[[[x]", 4, L""}, {L"[a][b]c", 4, L"c"},
        {L"Mot\u00f6rhead", 0, L"motorhead"}, {L"Motoerhead", 0, L"motorhead"}, {L"MOT\u00d6RHEAD", 0, L"motorhead"},
        {L"Estate", 0, L"estate"},  // a leading e stays
        {L"Bl\u00e4e Queue", 0, L"blaquu"}, {L"Mo\u00e9", 0, L"mo"}, {L"The Wall (Live) 2", 0, L"walllive"},
        {L"Beatles, The", 0, L"beatles"}, {L"Ch\u00e2teau", 0, L"chteau"}, {L"!?...--//", 0, L""},
        // Without a Latin letter, the letters and digits of every script after the level's bracket
        // and article rules, NFKC and lower case; a Latin key with a letter, however short, stays.
        {L"\u041a\u0418\u041d\u041e, The", 1, L"\u043a\u0438\u043d\u043e"}, {L"[\u041a\u0438\u043d\u043e]", 3, L""},
        {L"The \u0413\u0440\u0443\u043f\u043f\u0430 \u043a\u0440\u043e\u0432\u0438!", 1,
         L"\u0433\u0440\u0443\u043f\u043f\u0430\u043a\u0440\u043e\u0432\u0438"},
        {L"\u041c\u0435\u0434\u0443\u0437\u0430 [Live]", 3, L"\u043c\u0435\u0434\u0443\u0437\u0430"},
        {L"[\u041a\u0438\u043d\u043e]", 2, L"\u043a\u0438\u043d\u043e"}, {L"Bj\u00f6rk \u041c\u0435\u0434\u0443\u0437\u0430", 1, L"bjrk "},
        {L"\u0417\u0432\u0435\u0437\u0434\u0430 1986", 2, L"\u0437\u0432\u0435\u0437\u0434\u04301986"},
        {L"\u0417\u0432\u0435\u0437\u0434\u0430 1986", 0, L"\u0437\u0432\u0435\u0437\u0434\u0430"},
        {L"\u0418\u0306\u0430 \u0419\u0410", 2, L"\u0439\u0430\u0439\u0430"},  // decomposed and composed
        {L"\u0396\u039f\u03a1\u039c\u03a0\u0386\u03a3", 2, L"\u03b6\u03bf\u03c1\u03bc\u03c0\u03ac\u03c3"},
        {L"\u0396\u03bf\u03c1\u03bc\u03c0\u03ac\u03c2", 3, L"\u03b6\u03bf\u03c1\u03bc\u03c0\u03ac\u03c3"},
        {L"\u0531\u0532\u10a0\u13a0", 2, L"\u0561\u0562\u2d00\uab70"}, {L"\uff39\uff2d\uff2f", 1, L"ymo"},
        {L"\uff76\uff9e\uff78", 2, L"\u30ac\u30af"}, {L"\u337f", 2, L"\u682a\u5f0f\u4f1a\u793e"},
        {L"\u1100\u1161\u11a8 \uac01", 1, L"\uac01\uac01"}, {L"\u2460\u0301\u0663", 2, L"1\u0663"},
        {L"\u0915\u093f\u0924\u093e\u092c \u0967", 2, L"\u0915\u093f\u0924\u093e\u092c\u0967"},
        {L"\u0915\u093f\u0924\u093e\u092c \u0967", 0, L"\u0915\u093f\u0924\u093e\u092c"},
        {L"\u6f22\ufe00\U00020000\U0001d400", 2, L"\u6f22\U00020000a"}, {L"\u00e2\u00ea", 1, L"\u00e2\u00ea"},
    };
    for (const Row& r : rows) {
        std::wstring key = L"<unset>";
        if (r.level == 0) key = AlphaNormalize(r.name);
        else if (r.level == 4) key = RemoveBracketBlocks(r.name, L'[', L']');
        else EXPECT_TRUE(Normalize(r.name, r.level, key));
        EXPECT_EQ(key, r.key) << "row " << (&r - rows);
    }
}

// Whatever a folder name holds, a key is made of its alphabet only: Latin keys as the levels say and
// bounded by the name, keys of other scripts letters (with their marks) and digits in lower case.
TEST(Normalize, AnyUtf16InputGivesBoundedKeys) {
    std::mt19937 rng(20261206);
    const std::wstring alphabets[] = {L" !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", L"aT h0e1[(]), \u00e9\u00c4"};
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 3000; ++round) {
        const int kind = round % 4;
        std::wstring s(round % 500 == 0 ? 32768 : pick(0, 40), L' ');
        for (wchar_t& c : s)
            c = static_cast<wchar_t>(kind == 0   ? pick(1, 0xFFFF)
                                     : kind == 1 ? pick(0xD800, 0xDFFF)
                                                 : alphabets[kind - 2][pick(0, int(alphabets[kind - 2].size()) - 1)]);
        for (int level = 0; level <= 3; ++level) {  // 0: the alpha key
            std::wstring k;
            if (level) ASSERT_TRUE(Normalize(s, level, k));
            else k = AlphaNormalize(s);
            if (kind >= 2) {
                ASSERT_LE(k.size(), s.size());
            }
            bool latin = k.find(L"  ") == std::wstring::npos && (k.empty() || k[0] != L' '), script = true;
            for (wchar_t c : k)
                latin = latin && ((c >= L'a' && c <= L'z') || (level && c >= L'0' && c <= L'9') || (level == 1 && c == L' '));
            for (char32_t c : ToCodePoints(k))
                script = script && ClassOf(c) != CharClass::kOther && (level || ClassOf(c) != CharClass::kDigit) &&
                         SimpleLowerCase(c) == c;
            ASSERT_TRUE(latin || script) << "level " << level << ": " << testing::PrintToString(k);
        }
    }
}
