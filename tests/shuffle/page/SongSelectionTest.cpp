// Song-selection records: names, tooltips, the frequency column and the file that keeps them. OS-free.
#include <gtest/gtest.h>

#include <random>

#include "shuffle/page/ShuffleGroups.h"
#include "shuffle/page/SongSelection.h"

namespace swirlo {
namespace {

using Names = std::vector<std::wstring>;

TEST(SongSelection, NamesSayWhatTheGroupHolds) {
    struct Case { int kind, days; bool ignore, exclusion; Names playlists, genres; const wchar_t* name; };
    const Case cases[] = {
        {2, 30, true, false, {L"a", L"b", L"c"}, {L"Rock", L"Jazz"}, L"3 Playlists and 2 Genres (last 30 days, deduped)"},
        {2, 0, true, false, {}, {L"Rock"}, L"Rock (deduped) <Genre>"},
        {2, 0, true, true, {}, {L"Rock"}, L"Rock <Genre>"},
        {2, 7, false, false, {L"Mix"}, {}, L"Mix (last 7 days) <Playlist>"},
        {2, 0, false, false, {L"a"}, {L"b", L"c"}, L"1 Playlist and 2 Genres"},
        {2, 5, true, true, {}, {L"a", L"b"}, L"2 Genres (last 5 days)"},
        {1, 10, true, false, {}, {}, L"ALL SONGS (New added in last 10 days)"},
        {1, 0, true, false, {}, {}, L"ALL SONGS"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SelectionName(c.kind, c.days, c.ignore, c.exclusion, c.playlists, c.genres), c.name);
}

TEST(SongSelection, FrequencyColumnLinesUpUnderTheStars) {
    auto text = [](std::array<int, 6> f) { return SongSelection(1, f, 0, false, L"x", {}, {}, {}, {}).FrequencyText(); };
    EXPECT_EQ(text({4, 0, 0, 0, 0, 0}), L" 4  (Same for all song ratings)    ");
    EXPECT_EQ(text({-1, 1, 2, 3, 5, 9}), L"Exclude songs from output playlist");
    EXPECT_EQ(text({0, 1, 2, 30, 5, 99}), L"99           5         30           2           1");
}

std::wstring RandomName(std::mt19937& rng, int longest) {
    std::wstring s(std::uniform_int_distribution<int>(1, longest)(rng), L'a');
    for (wchar_t& c : s) c = static_cast<wchar_t>(L'a' + rng() % 26);
    return s;
}

// The count of the note "[and N <what> not shown]", 0 without one.
int NoteCount(const std::wstring& text, const std::wstring& what) {
    std::size_t end = text.find(L" " + what + L" not shown]"), at = text.rfind(L"[and ", end);
    return end == std::wstring::npos ? 0 : std::stoi(text.substr(at + 5, end - at - 5));
}

TEST(SongSelection, TooltipsFitTheirMaximumAndCountWhatTheyLeaveOut) {
    std::mt19937 rng(20261207);
    int cut = 0, none = 0;
    for (int round = 0; round < 800; ++round) {
        Names pl, ge;
        int items = std::uniform_int_distribution<int>(0, 300)(rng);
        int longest = std::uniform_int_distribution<int>(1, 200)(rng);
        for (int i = 0; i < items; ++i) {  // unique names, so that each can be found in the text
            bool isPl = rng() % 2;
            (isPl ? pl : ge).push_back((isPl ? L"p" : L"g") + std::to_wstring(i) + L":" + RandomName(rng, longest));
        }
        std::wstring name = RandomName(rng, 60);
        int max = std::uniform_int_distribution<int>(20, 1023)(rng);
        std::wstring tip = BuildSelectionTooltip(name, pl, ge, max);
        std::wstring whole = BuildSelectionTooltip(name, pl, ge, 1 << 30);
        ASSERT_LE(tip.size(), static_cast<std::size_t>(max)) << round;
        if (whole.size() <= static_cast<std::size_t>(max)) {
            ASSERT_EQ(tip, whole) << round;
            continue;
        }
        if (tip.empty()) {
            ++none;
            continue;
        }
        ++cut;
        ASSERT_EQ(tip.rfind(name, 0), 0u);
        // Each item is shown whole or counted by its list's note.
        for (auto [list, word] : {std::pair{&pl, L"playlists"}, std::pair{&ge, L"genres"}}) {
            std::size_t shown = 0;
            for (const std::wstring& item : *list) shown += (tip + L"\r\n").find(L"\r\n" + item + L"\r\n") != std::wstring::npos;
            ASSERT_GE(shown, list->empty() ? 0u : 1u) << round;
            ASSERT_EQ(NoteCount(tip, word), static_cast<int>(list->size() - shown)) << round << " " << word;
        }
    }
    EXPECT_GT(cut, 100);
    EXPECT_GT(none, 0);
}

// The groups file in today's form and the earlier one without "end" lines, behind a byte-order mark,
// cut short, with a line not understood: every readable record is kept, every other one named.
TEST(ShuffleGroups, EveryReadableRecordIsKeptAndEveryOtherNamed) {
    SongSelection a(2, {0, 1, 2, 3, 5, 9}, 30, true, L"Mix", {4, 1}, {7}, {L"Road\\Trip\tx"}, {L"Jazz"});
    SongSelection b(1, {-1, 0, 0, 0, 0, 0}, 5, false, L"ALL SONGS", {}, {}, {}, {});
    const std::wstring now = FormatGroups({&a, &b}), aHead = now.substr(0, now.find(L"genre")),
                       bRec = now.substr(now.find(L"group\t1")), cutA = L"\"Mix\" (line 2)";
    const std::wstring earlier = L"SWIRLO-GROUPS 1\r\ngroup\t2\t0\t1\t2\t3\t5\t9\t30\t1\tMix\r\nselect\t4\t1\r\n"
                                 L"playlist\t7\tRoad\\\\Trip\\tx\r\ngenre\tJazz\r\ngroup\t1\t-1\t0\t0\t0\t0\t0\t5\t0\tALL SONGS\r\nselect\r\n";
    struct Case { std::wstring text; const char* kept; Names skipped; };  // kept null: no groups file at all
    const Case cases[] = {
        {now, "ab", {}}, {earlier, "ab", {}}, {L"\xFEFF" + now, "ab", {}}, {now.substr(0, now.size() - 2), "ab", {}},
        {earlier + L"group\t2\t0\t1\t1\t1\t1\t1\t0\t0\tS\r\nplaylist\t-1\tS", "ab", {L"\"S\" (line 8)"}},
        {aHead + bRec, "b", {cutA}}, {now.substr(0, now.find(L"Trip")), "", {cutA}},  // no "end"; cut in a line
        {aHead + L"colour\tred\r\n" + now.substr(aHead.size()), "b", {cutA}},
        {now.substr(0, now.find(L"group\t1")) + L"stray\r\nmore\r\n" + bRec, "ab", {L"line 7"}},
        {L"", nullptr, {}}, {L"SWIRLO-GROUPS 3\r\n", nullptr, {}}, {L"SWIRLO-GROU", nullptr, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<SongSelection>> groups;
        std::vector<const SongSelection*> got, want;
        Names skipped;
        std::wstring error;
        EXPECT_EQ(ParseGroups(c.text, groups, skipped, error), c.kept != nullptr) << testing::PrintToString(c.text);
        for (const auto& g : groups) got.push_back(g.get());
        for (const char* k = c.kept; k && *k; ++k) want.push_back(*k == 'a' ? &a : &b);
        EXPECT_EQ(FormatGroups(got), FormatGroups(want)) << testing::PrintToString(c.text);
        EXPECT_EQ(skipped, c.skipped);
    }
}

}  // namespace
}  // namespace swirlo
