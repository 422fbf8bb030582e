#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FakePage.h"
#include "LiteralMatch.h"
#include "RandomAlbums.h"
#include "albumart/MatchFolders.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {

struct Run {
    FakePage page;
    AlbumFolderArray src{L"C:\\Src"};
    AlbumFolderArray tgt{L"E:\\Tgt"};
    std::unique_ptr<AlbumFolderArray> result;
    int rc = -1;
};

std::unique_ptr<Run> Prepare(const std::vector<AlbumEntry>& sources, const std::vector<AlbumEntry>& targets,
                             std::size_t resultLimit = AlbumFolderArray::kDefaultMaxRecords) {
    auto r = std::make_unique<Run>();
    FillArray(r->src, sources);
    FillArray(r->tgt, targets);
    r->result = std::make_unique<AlbumFolderArray>(L"E:\\Tgt", L"C:\\Src", resultLimit);
    return r;
}

std::unique_ptr<Run> Match(const std::vector<AlbumEntry>& sources, const std::vector<AlbumEntry>& targets,
                           bool detail = false) {
    auto r = Prepare(sources, targets);
    r->rc = MatchAlbumArrays(r->page, r->src, r->tgt, detail, *r->result);
    return r;
}

struct Row {
    std::wstring artist, album, counterpart;
    int size, counterpartSize, code;
};

void ExpectRow(const AlbumFolderArray& a, int i, const Row& row) {
    SCOPED_TRACE(testing::Message() << "row " << i);
    ASSERT_LT(i, a.Count());
    EXPECT_EQ(a.GetArtist(i), row.artist);
    EXPECT_EQ(a.GetAlbum(i), row.album);
    EXPECT_EQ(a.GetCounterpart(i), row.counterpart);
    EXPECT_EQ(a.GetImageSize(i), row.size);
    EXPECT_EQ(a.GetCounterpartImageSize(i), row.counterpartSize);
    EXPECT_EQ(a.GetMatchCode(i), row.code);
}

bool Has(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

}  // namespace

// Examples by comparison: the result rows in order, and one summary line of the log.
TEST(MatchFolders, Examples) {
    const std::wstring tokyo = L"\u6771\u4eac\u4e8b\u5909", kyoiku = L"\u6559\u80b2";
    const std::wstring mumiy = L"\u041c\u0443\u043c\u0438\u0439 \u0422\u0440\u043e\u043b\u043b\u044c";
    const std::wstring morskaya = L"\u041c\u043e\u0440\u0441\u043a\u0430\u044f";
    struct Case {
        std::vector<AlbumEntry> sources, targets;
        std::vector<Row> rows;
        std::wstring logLine;
    } cases[] = {
        {{{L"The Beatles", L"Abbey Road", 1000}, {L"Pink Floyd", L"The Wall", 500}, {L"Madonna", L"Now 50", 10}},
         {{L"Beatles, The", L"Abbey Road", 0}, {L"The Wall", L"Pink Floyd", 0}, {L"Various Artists", L"Now 50", 0}},
         {{L"Beatles, The", L"Abbey Road", L"The Beatles\\Abbey Road", 0, 1000, 0},
          {L"The Wall", L"Pink Floyd", L"Pink Floyd\\The Wall", 0, 500, 1},
          {L"Various Artists", L"Now 50", L"Madonna\\Now 50", 0, 10, 2}},
         L"Finished compare literal paths reversed, 1 matches (level 1)"},
        // An album key empty on the target side only is contained in the first source in order.
        {{{L"Bjork", L"Debut", 1}, {L"Queens of the Stone Age", L"Songs", 2}, {L"Queen", L"Hits", 3}},
         {{L"Queen", L"[Live]", 0}},
         {{L"Queen", L"[Live]", L"Queens of the Stone Age\\Songs", 0, 2, 2},
          {L"", L"<No match found in target folders>", L"Bjork\\Debut", -1, 1, 7},
          {L"", L"<No match found in target folders>", L"Queen\\Hits", -1, 3, 7}},
         L"Finished compare normalized (max) substrings, 1 matches (level 2)"},
        {{{L"Artist", L"Album", 100}},
         {{L"Artist", L"Album (Disc 1)", 0}, {L"Artist", L"Album (Disc 2)", 0}},
         {{L"Artist", L"Album (Disc 1)", L"Artist\\Album", 0, 100, 1},
          {L"Artist", L"Album (Disc 2)", L"Artist\\Album", 0, 100, 1}},
         L"Finished compare normalized (max) paths, 2 matches (level 1)"},
        // Codes from the image sizes: none in the source, equal, different, none on the player.
        {{{L"A", L"X", 0}, {L"B", L"Y", 100}, {L"C", L"Z", 100}, {L"D", L"W", 100}},
         {{L"a", L"x", 50}, {L"B", L"Y", 100}, {L"C", L"Z", 200}, {L"D", L"W", 0}},
         {{L"a", L"x", L"A\\X", 50, 0, 5}, {L"B", L"Y", L"B\\Y", 100, 100, 4}, {L"C", L"Z", L"C\\Z", 200, 100, 3},
          {L"D", L"W", L"D\\W", 0, 100, 0}},
         L"Finished compare literal paths, 4 matches (level 0)"},
        // Names with no Latin letter or digit have empty keys, which pair with nothing...
        {{{mumiy, morskaya, 100}, {L"!!!", L"...", 7}},
         {{tokyo, kyoiku, 0}, {L"Various Artists", morskaya, 0}},
         {{tokyo, kyoiku, L"<No match found in source folders>", 0, -1, 6},
          {L"Various Artists", morskaya, L"<No match found in source folders>", 0, -1, 6},
          {L"", L"<No match found in target folders>", mumiy + L"\\" + morskaya, -1, 100, 7},
          {L"", L"<No match found in target folders>", L"!!!\\...", -1, 7, 7}},
         L"Finished compare normalized (min) paths, 0 matches (level 0)"},
        // ...but identical names pair in any script, and a key empty on one side still contains.
        {{{tokyo, kyoiku, 100}, {L"Queen", L"Hits", 5}},
         {{tokyo, kyoiku, 0}, {L"Queen", L"!!!", 0}},
         {{tokyo, kyoiku, tokyo + L"\\" + kyoiku, 0, 100, 0}, {L"Queen", L"!!!", L"Queen\\Hits", 0, 5, 2}},
         L"Finished compare literal paths, 1 matches (level 0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        auto r = Match(c.sources, c.targets);
        ASSERT_EQ(r->rc, 1);
        ASSERT_EQ(r->result->Count(), static_cast<int>(c.rows.size()));
        for (std::size_t i = 0; i < c.rows.size(); ++i) ExpectRow(*r->result, static_cast<int>(i), c.rows[i]);
        EXPECT_TRUE(Has(r->page.log.text, c.logLine));
        EXPECT_EQ(r->page.statuses.back(), L"Folder matching completed");
    }
}

TEST(MatchFolders, NothingInCommonListsTargetsThenSources) {
    auto r = Match({{L"Abba", L"Gold", 11}, {L"Blur", L"Fade", 0}}, {{L"Muse", L"Unit", 22}, {L"Kiss", L"Wynn", 0}});
    ASSERT_EQ(r->rc, 1);
    ASSERT_EQ(r->result->Count(), 4);
    ExpectRow(*r->result, 0, {L"Muse", L"Unit", L"<No match found in source folders>", 22, -1, 6});
    ExpectRow(*r->result, 1, {L"Kiss", L"Wynn", L"<No match found in source folders>", 0, -1, 6});
    ExpectRow(*r->result, 2, {L"", L"<No match found in target folders>", L"Abba\\Gold", -1, 11, 7});
    ExpectRow(*r->result, 3, {L"", L"<No match found in target folders>", L"Blur\\Fade", -1, 0, 7});
    EXPECT_EQ(r->result->GetRelPath(2), L"\\<No match found in target folders>");
    const std::wstring& log = r->page.log.text;
    EXPECT_TRUE(Has(log, L"Finished list unmatched target folders, 2\r\n\r\n"));
    EXPECT_TRUE(Has(log, L"Finished list unmatched source folders, 2\r\n\r\n"));
}

TEST(MatchFolders, CompareLogByteForByte) {
    auto r = Match({{L"The Beatles", L"Abbey Road", 100}, {L"Madonna", L"Now 50", 0}},
                   {{L"Beatles, The", L"Abbey Road", 0}, {L"Various Artists", L"Now 50", 0}, {L"Muse", L"Unit", 0}},
                   true);
    ASSERT_EQ(r->rc, 1);
    const std::wstring sep = L"\r\n===============================================================================\r\n";
    ASSERT_EQ(sep.size(), 83u);
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
    EXPECT_EQ(r->result->GetMatchCode(1), 5);  // Madonna has no image
}

TEST(MatchFolders, DetailLinesOfContainmentPutTheLongerTextFirst) {
    EXPECT_EQ(ContainedLine(L"abc", L"xabcx"), L"Matched \"xabcx\" and \"abc\"\r\n");
    EXPECT_EQ(ContainedLine(L"xabcx", L"abc"), L"Matched \"xabcx\" and \"abc\"\r\n");
    EXPECT_EQ(ContainedLine(L"tgt", L"src"), L"Matched \"src\" and \"tgt\"\r\n");  // equal length: source first
    EXPECT_TRUE(Contains(L"", L"anything"));
    EXPECT_TRUE(Contains(L"long text", L"text"));
    EXPECT_FALSE(Contains(L"abc", L"abd"));
    EXPECT_TRUE(EqualNoCase(L"ABC xyz", L"abc XYZ"));
    EXPECT_FALSE(EqualNoCase(L"\u00c9", L"\u00e9"));  // only A-Z fold
}

TEST(MatchFolders, NoLogWhenTheLogIsClosed) {
    auto r = Prepare({{L"A", L"B", 1}}, {{L"C", L"D", 1}});
    r->page.log.open = false;
    ASSERT_EQ(MatchAlbumArrays(r->page, r->src, r->tgt, true, *r->result), 1);
    EXPECT_EQ(r->page.log.text, L"");
    EXPECT_EQ(r->result->Count(), 2);
}

TEST(MatchFolders, RefusedAdditionsShowTheirMessage) {
    auto r = Prepare({{L"A", L"X", 1}}, {{L"A", L"X", 0}}, 0);
    EXPECT_EQ(MatchAlbumArrays(r->page, r->src, r->tgt, false, *r->result), 0);
    ASSERT_EQ(r->page.boxes.size(), 1u);
    EXPECT_EQ(r->page.boxes[0], L"Error adding to matched folders array (exact)|E:\\Tgt\\A\\X|"
                                L"\r\nError allocating album structure\r\nAlbum folders array is full (0 albums)");

    auto u = Prepare({{L"S", L"T", 1}}, {{L"A", L"X", 0}, {L"B", L"Y", 0}}, 1);
    EXPECT_EQ(MatchAlbumArrays(u->page, u->src, u->tgt, false, *u->result), 0);
    ASSERT_EQ(u->page.boxes.size(), 1u);
    EXPECT_EQ(u->page.boxes[0], L"Error adding to unmatched folders array (target)|E:\\Tgt\\B\\Y|"
                                L"\r\nError allocating album structure\r\nAlbum folders array is full (1 albums)");

    auto s = Prepare({{L"S", L"T", 1}}, {{L"A", L"X", 0}}, 1);
    EXPECT_EQ(MatchAlbumArrays(s->page, s->src, s->tgt, false, *s->result), 0);
    ASSERT_EQ(s->page.boxes.size(), 1u);
    EXPECT_EQ(s->page.boxes[0].substr(0, 60), L"Error adding to unmatched folders array (source)|C:\\Src\\S\\T|");
}

// The whole run over a scan passed in: the loading lines, the progress and the scan failures.
TEST(MatchFolders, WholeRunScansSourceThenTarget) {
    TreePair trees{{{L"The Beatles", L"Abbey Road", 9}}, {{L"Beatles", L"Abbey Road", 0}, {L"X", L"Y", 0}}};
    std::vector<std::wstring> scanned;
    AlbumScanFn scan = [&](MatchContext& page, const std::wstring& parent, const std::wstring& image,
                           AlbumFolderArray& arr) {
        scanned.push_back(parent + L"|" + image + L"|" + arr.GetRoot1());
        FillArray(arr, parent == L"C:\\Src" ? trees.sources : trees.targets);
        return 1;
    };
    FakePage page;
    AlbumFolderArray result(L"E:\\Tgt", L"C:\\Src");
    ASSERT_EQ(MatchFolders(page, scan, L"C:\\Src", L"E:\\Tgt", L"Folder.jpg", L"AlbumArt.jpg", false, result), 1);
    ASSERT_EQ(scanned.size(), 2u);
    EXPECT_EQ(scanned[0], L"C:\\Src|Folder.jpg|C:\\Src");
    EXPECT_EQ(scanned[1], L"E:\\Tgt|AlbumArt.jpg|E:\\Tgt");
    const std::wstring loading =
        L"12:34:56  Finished loading source folder info\r\n          C:\\Src\r\n"
        L"          1 album folders with image\r\n12:34:56  Finished loading target folder info\r\n"
        L"          E:\\Tgt\r\n          2 album folders\r\n";
    EXPECT_EQ(page.log.text.substr(0, loading.size()), loading);
    ASSERT_GE(page.progressSent.size(), 4u);
    EXPECT_EQ(page.progressSent[0], 3);
    EXPECT_EQ(page.progressSent[1], 30);
    EXPECT_EQ(page.progressSent[2], 60);
    for (std::size_t i = 1; i < page.progressSent.size(); ++i) {
        EXPECT_NE(page.progressSent[i], page.progressSent[i - 1]);
        EXPECT_LE(page.progressSent[i], 100);
    }
    EXPECT_EQ(page.statuses.front(), L"Waiting for directory info from Windows, may take several seconds ...");
    EXPECT_EQ(result.Count(), 2);

    // A failed source scan ends the run before the target is read.
    scanned.clear();
    AlbumScanFn failing = [&](MatchContext&, const std::wstring& parent, const std::wstring&, AlbumFolderArray&) {
        scanned.push_back(parent);
        return 0;
    };
    FakePage page2;
    AlbumFolderArray result2(L"E:\\Tgt", L"C:\\Src");
    EXPECT_EQ(MatchFolders(page2, failing, L"C:\\Src", L"E:\\Tgt", L"a", L"b", false, result2), 0);
    EXPECT_EQ(scanned.size(), 1u);

    // Stop pressed while the source was read: the target is never scanned.
    scanned.clear();
    FakePage page3;
    page3.cancelAtPump = 1;
    AlbumFolderArray result3(L"E:\\Tgt", L"C:\\Src");
    EXPECT_EQ(MatchFolders(page3, scan, L"C:\\Src", L"E:\\Tgt", L"a", L"b", false, result3), 0);
    EXPECT_EQ(scanned.size(), 1u);
    EXPECT_TRUE(page3.boxes.empty());
}

namespace {

void ExpectSameArrays(const AlbumFolderArray& a, const AlbumFolderArray& b) {
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
        const AlbumRecord& x = a.Record(i);
        const AlbumRecord& y = b.Record(i);
        ASSERT_EQ(x.sRelPath, y.sRelPath) << i;
        ASSERT_EQ(x.sArtist, y.sArtist) << i;
        ASSERT_EQ(x.sAlbum, y.sAlbum) << i;
        ASSERT_EQ(x.sNmlArtist, y.sNmlArtist) << i;
        ASSERT_EQ(x.sNmlAlbum, y.sNmlAlbum) << i;
        ASSERT_EQ(x.sCounterpart, y.sCounterpart) << i;
        ASSERT_EQ(x.nImageSize, y.nImageSize) << i;
        ASSERT_EQ(x.nCounterpartImageSize, y.nCounterpartImageSize) << i;
        ASSERT_EQ(x.nMatchCode, y.nMatchCode) << i;
    }
}

}  // namespace

// The program's run against the plain nested loops on thousands of random trees: same pairs, order,
// codes, counterparts, log bytes, progress positions and messages, also when the result array
// runs full part way.
TEST(MatchFolders, SameAsTheLiteralLoopsOnRandomTrees) {
    std::mt19937 rng(3);
    int comparisonsHit[kComparisonCount] = {};
    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        TreePair trees = MakeVocabularyTrees(rng, 24);
        bool detail = round % 2 == 1;
        std::size_t limit = round % 10 == 9 ? static_cast<std::size_t>(round % 7) : AlbumFolderArray::kDefaultMaxRecords;
        auto fast = Prepare(trees.sources, trees.targets, limit);
        auto slow = Prepare(trees.sources, trees.targets, limit);
        fast->page.tickStep = static_cast<unsigned long>(round % 30);
        int rcFast = MatchAlbumArrays(fast->page, fast->src, fast->tgt, detail, *fast->result);
        int rcSlow = LiteralMatchAlbumArrays(slow->page, slow->src, slow->tgt, detail, *slow->result);
        ASSERT_EQ(rcFast, rcSlow);
        ExpectSameArrays(*fast->result, *slow->result);
        ExpectSameArrays(fast->src, slow->src);
        ExpectSameArrays(fast->tgt, slow->tgt);
        ASSERT_EQ(fast->page.log.text, slow->page.log.text);
        ASSERT_EQ(fast->page.progressSent, slow->page.progressSent);
        ASSERT_EQ(fast->page.statuses, slow->page.statuses);
        ASSERT_EQ(fast->page.boxes, slow->page.boxes);
        for (int k = 0; k < kComparisonCount; ++k) {
            std::wstring none = FormatW(GetComparison(k).sSummary, 0);
            std::wstring prefix = none.substr(0, none.find(L", 0 matches"));
            std::size_t at = fast->page.log.text.find(prefix + L", ");
            if (at != std::wstring::npos && fast->page.log.text.compare(at, none.size(), none) != 0) ++comparisonsHit[k];
        }
    }
    // The vocabulary reaches every comparison.
    for (int k = 0; k < kComparisonCount; ++k) EXPECT_GT(comparisonsHit[k], 0) << "comparison " << k;
}

// Stop at any moment: the run returns failure at its next stop test, shows nothing and lists nothing.
TEST(MatchFolders, StopEndsTheRunAtItsNextStep) {
    std::mt19937 rng(11);
    for (int round = 0; round < 500; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        TreePair trees = MakeVocabularyTrees(rng, 30);
        auto r = Prepare(trees.sources, trees.targets);
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
