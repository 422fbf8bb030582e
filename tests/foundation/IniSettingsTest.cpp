// The settings store against real INI files in a temporary folder, through the platform's profile
// functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/IniSettings.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;

namespace {

using test::FileExists;
using test::ReadBytes;
using test::WriteBytes;

// The file as text: UTF-16LE after a byte order mark, else the ANSI code page.
std::wstring ReadIniText(const std::wstring& path) {
    std::string b = ReadBytes(path);
    if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE')
        return std::wstring(reinterpret_cast<const wchar_t*>(b.data() + 2), (b.size() - 2) / 2);
    return test::FromAnsi(b);
}

std::vector<std::wstring> NonEmptyLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    for (std::size_t a = 0, b; a < text.size(); a = b + 1)
        if ((b = std::min(text.find_first_of(L"\r\n", a), text.size())) > a) lines.push_back(text.substr(a, b - a));
    return lines;
}

// Every registered key with its field's value, section by section: two stores hold the same
// settings exactly when their snapshots are equal.
std::wstring Snapshot(const IniSettings& s) {
    std::wstring out;
    for (int i = 0; i < kIniSectionCount; ++i) {
        const IniSection& sect = s.Section(static_cast<IniSect>(i));
        out += L"[" + sect.sName + L"]\n";
        for (const IniVariable& v : sect.vars) {
            out += v.sKey + L"=" + (v.psValue ? *v.psValue : v.pnValue ? std::to_wstring(*v.pnValue) : std::to_wstring(*v.puValue)) + L"\n";
        }
    }
    return out;
}

class IniFileTest : public ::testing::Test {
protected:

    // A store loaded from the test folder.
    void Init(IniSettings& s) { ASSERT_EQ(s.InitSettings(m_dir.c_str()), 1); }

    test::TempDir m_tmp{L"swirlo-settings-"};
    std::wstring m_dir = m_tmp.Path();
};

}  // namespace

TEST_F(IniFileTest, NothingIsWrittenUntilASaveAndSavedValuesComeBack) {
    IniSettings a;
    Init(a);
    EXPECT_EQ(a.IniPath(), m_dir + L"settings_win_tests.ini");
    EXPECT_FALSE(FileExists(a.IniPath()));
    a.TruncateSize = 9999;
    a.RepeatSepOnlySize = 99;
    a.LabelText = L"mix tape";
    a.LastDir = L"C:\\Users\\me\\Music\\Playlists\\";
    a.DaysNew = 0;
    a.ArtTgtDirOther = L"MUSIC2";
    a.ArtHideNoTgt = 1;
    a.MatchLogFlush = 1;
    for (int i = 0; i < kIniSectionCount; ++i) ASSERT_EQ(a.SaveSection(static_cast<IniSect>(i)), 1);
    EXPECT_EQ(ReadBytes(a.IniPath()).substr(0, 15), "[Shuffle Tab]\r\n");  // plain ANSI text

    IniSettings b;
    Init(b);
    EXPECT_EQ(Snapshot(b), Snapshot(a));

    // Initialising again reloads the file over changed fields, with each key registered once.
    b.DaysNew = 5;
    b.LabelText.clear();
    Init(b);
    EXPECT_EQ(Snapshot(b), Snapshot(a));
    EXPECT_EQ(b.Section(IniSect::ShuffleSettings).nCount, 28);
}

TEST_F(IniFileTest, SingleKeySavesWriteOnlyThatKey) {
    IniSettings s;
    Init(s);
    ASSERT_EQ(s.SetIntAndSave(s.DaysNew, 12), 1);
    ASSERT_EQ(s.SetStringAndSave(s.LastDir, L"D:\\Lists\\"), 1);
    ASSERT_EQ(s.SetIntAndSave(s.ArtSrcDir, 1u), 1);
    EXPECT_EQ(NonEmptyLines(ReadIniText(s.IniPath())),
              (std::vector<std::wstring>{L"[Shuffle Settings]", L"DaysNew=12", L"LastDir=D:\\Lists\\",
                                         L"[Album Art Settings]", L"ArtSrcDir=1"}));
}

TEST_F(IniFileTest, IniPathIsCheckedAndKeptWithinLimits) {
    IniSettings s;
    ASSERT_EQ(s.SetIniPath(m_dir.c_str(), L"Other.ini"), 1);
    EXPECT_EQ(s.IniPath(), m_dir + L"Other.ini");
    EXPECT_EQ(s.IniDirSlash(), m_dir);

    // A folder so long that the file's path passes 259 characters is refused, the old path kept.
    EXPECT_EQ(s.SetIniPath((m_dir + std::wstring(250, L'd') + L"\\").c_str(), nullptr), 0);
    EXPECT_EQ(s.ErrorText().rfind(L"INI settings class error:\r\nError setting ini file path\r\n", 0), 0u);
    EXPECT_EQ(s.IniPath(), m_dir + L"Other.ini");

    // A folder that is not there: defaults load, and a save fails instead of claiming success.
    IniSettings t;
    ASSERT_EQ(t.InitSettings((m_dir + L"missing\\").c_str()), 1);
    EXPECT_EQ(t.DaysNew, 45);
    for (int wide = 0; wide < 2; ++wide) {  // a value outside the code page takes another way
        EXPECT_EQ(wide ? t.SetStringAndSave(t.LastDir, L"\u97f3") : t.SaveSection(IniSect::LoggingSettings), 0);
        EXPECT_EQ(t.ErrorText().rfind(L"INI settings class error:\r\nError writing to ini file", 0), 0u);
    }
}

// A 2,000-character or a 1 MB value comes back as its first 1,023 characters; keys on either side
// still read, and a value text not starting with a number reads 0.
TEST_F(IniFileTest, LongValuesAreCutAndNeighboursStillRead) {
    IniSettings s;
    ASSERT_EQ(s.SetIniPath(m_dir.c_str(), nullptr), 1);
    std::string longValue(2000, 'L');
    longValue[1022] = 'E';  // the last character kept
    ASSERT_TRUE(WriteBytes(s.IniPath(), "[Shuffle Settings]\r\nDaysNew=7\r\nLabelText=" + longValue + "\r\nLastDir=" +
                                            std::string(1 << 20, 'q') + "\r\nWmpNotify=yes\r\nDefaultRating=4\r\n"));
    Init(s);
    EXPECT_EQ((std::vector<int>{s.DaysNew, s.DefaultRating, s.WmpNotify}), (std::vector<int>{7, 4, 0}));
    EXPECT_EQ(s.LabelText, std::wstring(1022, L'L') + L"E");
    EXPECT_EQ(s.LastDir, std::wstring(1023, L'q'));
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddKeysOrSections) {
    IniSettings s;
    Init(s);
    s.LabelText = L"abc\r\n[Logging Settings]\r\nSaveLog=1";
    s.ArtTgtDirOther = L"MUSIC\n[Logging Settings]\nShowElapsed=1";  // a line feed alone too
    ASSERT_EQ(s.SaveSection(IniSect::ShuffleSettings), 1);
    ASSERT_EQ(s.SaveSection(IniSect::AlbumArtSettings), 1);
    IniSettings t;
    Init(t);
    EXPECT_EQ(t.LabelText + L"|" + t.ArtTgtDirOther + L"|" + std::to_wstring(t.SaveLog) + std::to_wstring(t.ShowElapsed),
              L"abc|MUSIC|00");
}

TEST_F(IniFileTest, NamesOutsideTheAnsiCodePageSurviveASave) {
    IniSettings s;
    Init(s);
    s.SaveLog = 1;
    s.LabelText = L"caf\u00e9";  // where the code page holds it, the file stays ANSI
    ASSERT_EQ(s.SaveSection(IniSect::LoggingSettings), 1);
    ASSERT_EQ(s.SaveSection(IniSect::ShuffleSettings), 1);
    bool holds = false;
    test::InAnsi(s.LabelText, &holds);
    EXPECT_EQ(ReadBytes(s.IniPath()).substr(0, holds ? 1 : 2), holds ? "[" : "\xFF\xFE");

    const std::wstring folder = L"D:\\\u97f3\u697d\\\u0421\u0431\u043e\u0440\u043d\u0438\u043a\\\u05d0\\";
    ASSERT_EQ(s.SetStringAndSave(s.LastSourceFolder, folder), 1);
    IniSettings t;
    Init(t);
    // What was there before the change of encoding is kept.
    EXPECT_EQ(t.LastSourceFolder + L"|" + t.LabelText + L"|" + std::to_wstring(t.SaveLog), folder + L"|caf\u00e9|1");
    // Such a value as the very first write creates the file wide from the start, and later saves
    // keep it readable.
    ASSERT_EQ(t.SetIniPath(m_dir.c_str(), L"Fresh.ini"), 1);
    ASSERT_EQ(t.SetStringAndSave(t.LastDir, folder), 1);
    ASSERT_EQ(t.SaveSection(IniSect::LoggingSettings), 1);
    test::InAnsi(folder, &holds);
    EXPECT_EQ(ReadBytes(m_dir + L"Fresh.ini").substr(0, 2), holds ? "[S" : "\xFF\xFE");
    EXPECT_EQ(NonEmptyLines(ReadIniText(m_dir + L"Fresh.ini")).at(1), L"LastDir=" + folder);
}

// Notepad may save the file as UTF-8 (or UTF-16 big-endian) with a byte order mark, which Windows'
// profile functions read as part of the first section's name. Such a file is rewritten as UTF-16LE
// when loaded, its text unchanged; one that gains a mark while the program runs, when it is saved.
TEST_F(IniFileTest, AByteOrderMarkOfAnotherEncodingLosesNoSection) {
    const std::wstring text = L"[Shuffle Tab]\r\nTruncateSize=77\r\n[Album Art Tab]\r\n"
                              L"LastSourceFolder=\u97f3\u0421\r\n";
    const std::string utf8 = "[Shuffle Tab]\r\nTruncateSize=77\r\n[Album Art Tab]\r\n"
                             "LastSourceFolder=\xE9\x9F\xB3\xD0\xA1\r\n";
    std::string utf16be = "\xFE\xFF";
    for (wchar_t c : text) utf16be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    for (const std::string& bytes : {"\xEF\xBB\xBF" + utf8, utf16be}) {
        IniSettings s;
        ASSERT_TRUE(s.SetIniPath(m_dir.c_str(), nullptr) && WriteBytes(s.IniPath(), bytes));
        Init(s);
        EXPECT_EQ(std::to_wstring(s.TruncateSize) + s.LastSourceFolder + ReadIniText(s.IniPath()),
                  L"77\u97f3\u0421" + text);
        EXPECT_EQ(s.LoadNotes().size(), 1u);
        ASSERT_TRUE(WriteBytes(s.IniPath(), bytes) && s.SetIntAndSave(s.DaysNew, 9));
        EXPECT_EQ(NonEmptyLines(ReadIniText(s.IniPath())), NonEmptyLines(text + L"[Shuffle Settings]\r\nDaysNew=9"));
    }
}

TEST(IniSettings, RememberFrequencyDecidesWhereANewSessionStarts) {
    for (unsigned remember : {0u, 1u, 2u}) {
        IniSettings b;
        b.RememberFrequency = remember;
        b.Frequency1 = 7, b.Frequency5 = 11, b.FrequencySame = 6;
        b.Frequency1Default = 8, b.Frequency5Default = 12, b.FrequencySameDefault = 3;
        b.StartSessionFrequencies();
        const std::vector<int> want = remember == 0 ? std::vector<int>{7, 11, 6} : std::vector<int>{8, 12, 3};
        EXPECT_EQ((std::vector<int>{b.Frequency1, b.Frequency5, b.FrequencySame}), want) << remember;
    }
}

// A hand-edited value outside what its key allows (a choice used as a table index) loads as the
// default with a note naming it; edges of each range are kept.
TEST_F(IniFileTest, OutOfRangeValuesLoadAsTheirDefaults) {
    IniSettings s;
    ASSERT_EQ(s.SetIniPath(m_dir.c_str(), nullptr), 1);
    ASSERT_TRUE(WriteBytes(s.IniPath(), "[Shuffle Settings]\r\nConvertWpl=9\r\nRememberFrequency=-1\r\nDefaultRating=5\r\n"
                                        "FrequencySameDefault=0\r\nDaysNew=20260101\r\n[Shuffle Tab]\r\nTruncateSize=10000\r\n"
                                        "RepeatSepOnlySize=0\r\n[Album Art Tab]\r\nSourceJpg=4\r\nTargetJpg=3\r\n"));
    Init(s);
    const std::pair<long long, long long> loadedAndWanted[] = {
        {s.ConvertWpl, 0},     {s.RememberFrequency, 1}, {s.FrequencySameDefault, 4}, {s.TruncateSize, 300},
        {s.SourceJpg, 0},      {s.DefaultRating, 5},     {s.DaysNew, 20260101},       {s.RepeatSepOnlySize, 0},
        {s.TargetJpg, 3}};
    for (const auto& [loaded, wanted] : loadedAndWanted) EXPECT_EQ(loaded, wanted);
    ASSERT_EQ(s.LoadNotes().size(), 5u);
    EXPECT_EQ(s.LoadNotes()[0], L"[Shuffle Tab] TruncateSize=10000 is outside 1 to 9999; the default 300 is used");
}

// A rewrite that cannot complete leaves the previous file as it was, and a good one leaves no
// temporary copy behind.
TEST_F(IniFileTest, AFailedRewriteKeepsThePreviousFile) {
    IniSettings s;
    Init(s);
    s.DaysNew = 12;
    ASSERT_EQ(s.SaveSection(IniSect::ShuffleSettings), 1);
    EXPECT_FALSE(FileExists(s.IniPath() + L".new"));
    const std::string before = ReadBytes(s.IniPath());
    ASSERT_TRUE(CreateDirectoryW((s.IniPath() + L".new").c_str(), nullptr));  // the copy cannot be written
    s.DaysNew = 13;
    EXPECT_EQ(s.SaveSection(IniSect::ShuffleSettings), 0);
    EXPECT_EQ(s.SetStringAndSave(s.LastDir, L"\u97f3"), 0);
    EXPECT_EQ(ReadBytes(s.IniPath()), before);
}
