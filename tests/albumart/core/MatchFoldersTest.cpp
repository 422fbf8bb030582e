#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FakePage.h"
#include "LiteralMatch.h"
#include "RandomAlbums.h"
#include "albumart/core/MatchFolders.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {

// The player's side at a drive root, where no second backslash may enter the paths.
struct Run {
    FakePage page;
    AlbumFolderArray src{L"C:\\Src"};
    AlbumFolderArray tgt{L"E:\\"};
    std::unique_ptr<AlbumFolderArray> result;
};

std::unique_ptr<Run> Prepare(const TreePair& trees, std::size_t resultLimit = AlbumFolderArray::kDefaultMaxRecords) {
    auto r = std::make_unique<Run>();
    FillArray(r->src, trees.sources);
    FillArray(r->tgt, trees.targets);
    r->result = std::make_unique<AlbumFolderArray>(L"E:\\", L"C:\\Src", resultLimit);
    return r;
}

}  // namespace

// Examples by comparison: the result rows in order, and one summary line of the log.
TEST(MatchFolders, Examples) {
    const std::wstring tokyo = L"\u6771\u4eac\u4e8b\u5909", kyoiku = L"\u6559\u80b2";
    const std::wstring mumiy = L"\u041c\u0443\u043c\u0438\u0439 \u0422\u0440\u043e\u043b\u043b\u044c";
    const std::wstring morskaya = L"\u041c\u043e\u0440\u0441\u043a\u0430\u044f", kino = L"\u041a\u0438\u043d\u043e";
    const std::wstring krovi = L"\u0413\u0440\u0443\u043f\u043f\u0430 \u043a\u0440\u043e\u0432\u0438";
    const std::wstring KINO = L"\u041a\u0418\u041d\u041e", KROVI = L"\u0433\u0440\u0443\u043f\u043f\u0430 \u041a\u0420\u041e\u0412\u0418";
    const std::wstring medusa = L"\u041c\u0435\u0434\u0443\u0437\u0430", MEDUSA = L"\u041c\u0415\u0414\u0423\u0417\u0410";
    const std::wstring zorbas = L"\u0396\u03bf\u03c1\u03bc\u03c0\u03ac\u03c2", ZORBAS = L"\u0396\u039f\u03a1\u039c\u03a0\u0386\u03a3";
    const std::wstring noSource = L"|<No match found in source folders>|", noTarget = L"|<No match found in target folders>|";
    struct Case {
        TreePair trees;
        std::vector<std::wstring> rows;
    } cases[] = {
        {{{{L"The Beatles", L"Abbey Road", 1000}, {L"Pink Floyd", L"The Wall", 500}, {L"Madonna", L"Now 50", 10}},
          {{L"Beatles, The", L"Abbey Road", 0}, {L"The Wall", L"Pink Floyd", 0}, {L"Various Artists", L"Now 50", 0}}},
         {L"Beatles, The|Abbey Road|The Beatles\\Abbey Road|0|1000|0", L"The Wall|Pink Floyd|Pink Floyd\\The Wall|0|500|1",
          L"Various Artists|Now 50|Madonna\\Now 50|0|10|2"},},
        // An album key empty on the target side only is contained in the first source in order; but
        // a pair needs one containment between two non-empty keys, so no stranger is paired through
        // an empty key ("!!!", "...") on either side.
        {{{{L"Bjork", L"Debut", 1}, {L"Queens of the Stone Age", L"Songs", 2}, {L"Queen", L"Hits", 3},
           {L"Bj\u00f6rk", L"???", 4}},
          {{L"Queen", L"[Live]", 0}, {L"!!!", L"Louden Up Now", 0}, {L"Various Artists", L"...", 0}}},
         {L"Queen|[Live]|Queens of the Stone Age\\Songs|0|2|2", L"!!!|Louden Up Now" + noSource + L"0|-1|6",
          L"Various Artists|..." + noSource + L"0|-1|6", noTarget + L"Bjork\\Debut|-1|1|7", noTarget + L"Queen\\Hits|-1|3|7",
          noTarget + L"Bj\u00f6rk\\???|-1|4|7"},},
        {{{{L"Artist", L"Album", 100}}, {{L"Artist", L"Album (Disc 1)", 0}, {L"Artist", L"Album (Disc 2)", 0}}},
         {L"Artist|Album (Disc 1)|Artist\\Album|0|100|1", L"Artist|Album (Disc 2)|Artist\\Album|0|100|1"},},
        // Codes from the image sizes: none in the source, equal, different, none on the player.
        {{{{L"A", L"X", 0}, {L"B", L"Y", 100}, {L"C", L"Z", 100}, {L"D", L"W", 100}},
          {{L"a", L"x", 50}, {L"B", L"Y", 100}, {L"C", L"Z", 200}, {L"D", L"W", 0}}},
         {L"a|x|A\\X|50|0|5", L"B|Y|B\\Y|100|100|4", L"C|Z|C\\Z|200|100|3", L"D|W|D\\W|0|100|0"},},
        // Nothing in common: the targets first, then the sources.
        {{{{L"Abba", L"Gold", 11}, {L"Blur", L"Fade", 0}}, {{L"Muse", L"Unit", 22}, {L"Kiss", L"Wynn", 0}}},
         {L"Muse|Unit" + noSource + L"22|-1|6", L"Kiss|Wynn" + noSource + L"0|-1|6", noTarget + L"Abba\\Gold|-1|11|7",
          noTarget + L"Blur\\Fade|-1|0|7"},},
        // Names in other scripts pair as their readers see them: case, NFKC forms and brackets aside,
        // and a year does not make two albums one.
        {{{{mumiy, morskaya, 100}, {L"!!!", L"...", 7}, {kino, krovi, 9}, {tokyo, kyoiku, 100}, {zorbas, kino, 3},
           {kino, L"\u0417\u0432\u0435\u0437\u0434\u0430 1988", 5}, {L"Bj\u00f6rk", medusa, 1}},
          {{tokyo, kyoiku + L" (Disc 2)", 0}, {L"Various Artists", morskaya, 0}, {KINO, KROVI, 0}, {ZORBAS, kino, 3},
           {L"\uff39\uff2d\uff2f", tokyo, 0}, {kino, krovi + L" 1988", 0}, {L"BJ\u00d6RK", MEDUSA, 0}}},
         {KINO + L"|" + KROVI + L"|" + kino + L"\\" + krovi + L"|0|9|0", ZORBAS + L"|" + kino + L"|" + zorbas + L"\\" + kino + L"|3|3|4",
          L"BJ\u00d6RK|" + MEDUSA + L"|Bj\u00f6rk\\" + medusa + L"|0|1|0",
          tokyo + L"|" + kyoiku + L" (Disc 2)|" + tokyo + L"\\" + kyoiku + L"|0|100|1",
          kino + L"|" + krovi + L" 1988|" + kino + L"\\" + krovi + L"|0|9|2",
          L"Various Artists|" + morskaya + L"|" + mumiy + L"\\" + morskaya + L"|0|100|2",
          L"\uff39\uff2d\uff2f|" + tokyo + noSource + L"0|-1|6", noTarget + L"!!!\\...|-1|7|7",
          noTarget + kino + L"\\\u0417\u0432\u0435\u0437\u0434\u0430 1988|-1|5|7"},},
        // A key empty on one side contains anything, but one non-empty containment is needed.
        {{{{L"Queen", L"Hits", 5}}, {{L"Queen", L"!!!", 0}}}, {L"Queen|!!!|Queen\\Hits|0|5|2"},},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        auto r = Prepare(c.trees);
        ASSERT_EQ(MatchAlbumArrays(r->page, r->src, r->tgt, false, *r->result), 1);
        EXPECT_EQ(Rows(*r->result), c.rows);
    }
}

TEST(MatchFolders, CompareLogByteForByte) {
    auto r = Prepare({{{L"The Beatles", L"Abbey Road", 100}, {L"Madonna", L"Now 50", 0}},
                      {{L"Beatles, The", L"Abbey Road", 0}, {L"Various Artists", L"Now 50", 0}, {L"Muse", L"Unit", 0}}});
    ASSERT_EQ(MatchAlbumArrays(r->page, r->src, r->tgt, true, *r->result), 1);
    const std::wstring sep = L"\r\n===============================================================================\r\n";
    auto header = [&](const wchar_t* n, const wchar_t* text, const wchar_t* quality) {
        return sep + L"  Comparison " + n + L", " + text + L" (match quality " + quality + L")" + sep + L"\r\n";
    };
    auto line = [](const wchar_t* text) { return L"12:34:56  " + std::wstring(text) + L"\r\n"; };
    std::wstring expected =
        header(L"1", L"exact case insensitive match", L"BRIGHT GREEN") +
        line(L"Finished compare literal paths, 0 matches (level 0)") +
        line(L"Finished normalize (lite) folder names") +
        header(L"2", L"minimal normalization match", L"BRIGHT GREEN") +
        L"The Beatles\\Abbey Road\r\nBeatles, The\\Abbey Road\r\n"
        L"Matched \"beatles\" and \"beatles\"\r\nMatched \"abbey road\" and \"abbey road\"\r\n\r\n" +
        line(L"Finished compare normalized (min) paths, 1 matches (level 0)") +
        header(L"3", L"exact case insensitive reverse match", L"DULL GREEN") +
        line(L"Finished compare literal paths reversed, 0 matches (level 1)") +
        header(L"4", L"minimal normalization reverse match", L"DULL GREEN") +
        line(L"Finished compare normalized (min) paths reversed, 0 matches (level 1)") +
        line(L"Finished normalize (medium) folder names") +
        header(L"5", L"medium normalization match", L"DULL GREEN") +
        line(L"Finished compare normalized (med) paths, 0 matches (level 1)") +
        header(L"6", L"medium normalization reverse match", L"DULL GREEN") +
        line(L"Finished compare normalized (med) paths reversed, 0 matches (level 1)") +
        line(L"Finished normalize (max) folder names") +
        header(L"7", L"maximum normalization match", L"DULL GREEN") +
        line(L"Finished compare normalized (max) paths, 0 matches (level 1)") +
        header(L"8", L"maximum normalization reverse match", L"DULL GREEN") +
        line(L"Finished compare normalized (max) paths reversed, 0 matches (level 1)") +
        header(L"9", L"maximum normalization substring match", L"YELLOW") +
        line(L"Finished compare normalized (max) substrings, 0 matches (level 2)") +
        header(L"10", L"maximum normalization reverse substring match", L"YELLOW") +
        line(L"Finished compare reverse normalized (max) substrings, 0 matches (level 2)") +
        header(L"11", L"Various Artists and maximum normalization match of source album or artist on target album",
               L"YELLOW") +
        L"Madonna\\Now 50\r\nVarious Artists\\Now 50\r\nMatched \"variousartists\" and \"variousartists\"\r\n"
        L"Either matched \"now50\" and \"now50\"\r\n    or matched \"now50\" and \"madonna\"\r\n\r\n" +
        line(L"Finished compare to Various Artists, 1 matches (level 2)") +
        header(L"11", L"Various Artists and maximum normalization substring match on album", L"YELLOW") +
        line(L"Finished compare to Various Artists (substring), 0 matches (level 2)") +
        header(L"11", L"Various Artists and maximum normalization reverse substring match on target album", L"YELLOW") +
        line(L"Finished compare to Various Artists (reverse substring), 0 matches (level 2)") +
        header(L"12", L"alpha normalization substring match keeping parenthesized blocks", L"YELLOW") +
        line(L"Finished alpha normalization substring match keeping parenthesized blocks, 0 matches (level 2)") +
        sep + L"  Folders with match not found between source and target" + sep + L"\r\n" +
        line(L"Unmatched target folder") + L"          Muse\\Unit\r\n" +
        L"          Normalized: \"muse\\unit\"\r\nAlpha Normalized: \"muse\\unit\"\r\n" +
        line(L"Finished list unmatched target folders, 1\r\n") +
        line(L"Finished list unmatched source folders, 0\r\n");
    EXPECT_EQ(r->page.log.text, expected);
}

// The whole run over a scan passed in: the loading lines, the progress and the scan failures.
TEST(MatchFolders, WholeRunScansSourceThenTarget) {
    TreePair trees{{{L"The Beatles", L"Abbey Road", 9}, {L"Blur", L"Parklife", 0}},
                   {{L"Beatles", L"Abbey Road", 0}, {L"X", L"Y", 0}}};
    std::wstring scanned;
    int scanResult = 1;
    AlbumScanFn scan = [&](MatchContext&, const std::wstring& parent, const std::wstring& image, AlbumFolderArray& arr) {
        scanned += parent + L"|" + image + L"|" + arr.GetRoot1() + L";";
        FillArray(arr, parent == L"C:\\Src" ? trees.sources : trees.targets);
        return scanResult;
    };
    AlbumFolderArray result(L"E:\\Tgt", L"C:\\Src");
    auto run = [&](FakePage& page) {
        scanned.clear();
        return MatchFolders(page, scan, L"C:\\Src", L"E:\\Tgt", L"Folder.jpg", L"AlbumArt.jpg", false, result);
    };
    FakePage page;
    ASSERT_EQ(run(page), 1);
    EXPECT_EQ(scanned, L"C:\\Src|Folder.jpg|C:\\Src;E:\\Tgt|AlbumArt.jpg|E:\\Tgt;");
    const std::wstring loading =
        L"12:34:56  Finished loading source folder info\r\n          C:\\Src\r\n"
        L"          1 album folders with image\r\n12:34:56  Finished loading target folder info\r\n"
        L"          E:\\Tgt\r\n          2 album folders\r\n";
    EXPECT_EQ(page.log.text.substr(0, loading.size()), loading);
    ASSERT_GE(page.progressSent.size(), 4u);
    EXPECT_EQ(std::vector<int>(page.progressSent.begin(), page.progressSent.begin() + 3), (std::vector<int>{3, 30, 60}));
    EXPECT_EQ(page.statuses.front(), L"Waiting for directory info from Windows, may take several seconds ...");

    // A failed source scan, or Stop pressed while the source was read: the target is never scanned.
    FakePage failed, stopped;
    stopped.cancelAtPump = 1;
    scanResult = 0;
    EXPECT_EQ(run(failed), 0);
    EXPECT_EQ(scanned, L"C:\\Src|Folder.jpg|C:\\Src;");
    scanResult = 1;
    EXPECT_EQ(run(stopped), 0);
    EXPECT_EQ(scanned, L"C:\\Src|Folder.jpg|C:\\Src;");
    EXPECT_TRUE(stopped.boxes.empty());
}

// The program's run against the plain nested loops on thousands of random trees: same pairs, order,
// codes, counterparts, log bytes, progress positions and messages, also when the result array
// runs full part way.
TEST(MatchFolders, SameAsTheLiteralLoopsOnRandomTrees) {
    std::mt19937 rng(3);
    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        TreePair trees = MakeVocabularyTrees(rng, 24);
        bool detail = round % 2 == 1;
        std::size_t limit = round % 10 == 9 ? static_cast<std::size_t>(round % 7) : AlbumFolderArray::kDefaultMaxRecords;
        auto fast = Prepare(trees, limit);
        auto slow = Prepare(trees, limit);
        fast->page.tickStep = static_cast<unsigned long>(round % 30);
        int rcFast = MatchAlbumArrays(fast->page, fast->src, fast->tgt, detail, *fast->result);
        int rcSlow = LiteralMatchAlbumArrays(slow->page, slow->src, slow->tgt, detail, *slow->result);
        ASSERT_EQ(rcFast, rcSlow);
        ASSERT_EQ(Rows(*fast->result, true), Rows(*slow->result, true));
        ASSERT_EQ(Rows(fast->src, true), Rows(slow->src, true));
        ASSERT_EQ(Rows(fast->tgt, true), Rows(slow->tgt, true));
        ASSERT_EQ(fast->page.log.text, slow->page.log.text);
        ASSERT_EQ(fast->page.progressSent, slow->page.progressSent);
        ASSERT_EQ(fast->page.statuses, slow->page.statuses);
        ASSERT_EQ(fast->page.boxes, slow->page.boxes);
    }
}

// Stop at any moment: the run returns failure at its next stop test, shows nothing and lists nothing.
TEST(MatchFolders, StopEndsTheRunAtItsNextStep) {
    std::mt19937 rng(11);
    for (int round = 0; round < 500; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        TreePair trees = MakeVocabularyTrees(rng, 30);
        auto r = Prepare(trees);
        r->page.cancelAtPump = 1 + round % 12;
        r->page.tickStep = 1 + round % 40;
        int rc = MatchAlbumArrays(r->page, r->src, r->tgt, true, *r->result);
        if (r->page.pumps < r->page.cancelAtPump) continue;  // finished before the press
        EXPECT_EQ(rc, 0);
        EXPECT_TRUE(r->page.boxes.empty());
        EXPECT_EQ(r->page.checksAfterCancel, 1);
        EXPECT_NE(r->page.statuses.back(), L"Folder matching completed");
    }
}
