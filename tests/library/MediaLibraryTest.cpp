// Library setup, the caching thread and its log, the halt before a shuffle, release.
#include <functional>

#include "library/MediaLibrary.h"
#include "tests/library/ComTestSupport.h"

namespace swirlo::testing {
namespace {

class CachingTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        UseLibrary(L"caching.txt", LibraryText(3000, "75", "20200101",
                                               "playlist\tA\tstatic\t\nentry\t1\nplaylist\tB\tauto\t\n"
                                               "playlist\tC\tstatic\t\nentry\t2\n"));
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_dir = TempFolder(std::wstring(name.begin(), name.end()));
        DeleteFileW(LogPath().c_str());
    }
    std::wstring LogPath() const { return m_dir + L"startup log.txt"; }
    static bool WaitFor(const std::function<bool()>& done, int ms) {
        for (int waited = 0; waited < ms; waited += 10) {
            if (done()) return true;
            Sleep(10);
        }
        return done();
    }
    static bool Has(const std::wstring& text, const wchar_t* piece) { return text.find(piece) != std::wstring::npos; }
    std::wstring m_dir;
    BoxSpy m_spy;
};

TEST_F(CachingTest, SetupHoldsTheHandlesAndTheThreadLogsItsTimes) {
    MediaLibrary lib(nullptr, L"Shuffle", true, m_dir);
    ASSERT_EQ(lib.Setup(), 1);
    EXPECT_TRUE(lib.Player() && lib.PlaylistCollection() && lib.PlaylistArray() && lib.MediaCollection());
    ASSERT_TRUE(WaitFor([&] { return lib.CachingFinished(); }, 10000));
    EXPECT_TRUE(lib.AllSongs()) << "the thread keeps the all-songs list for the shuffle";
    EXPECT_TRUE(WaitFor([&] { return !lib.CachingThreadRunning(); }, 2000));
    std::wstring log = ReadUtf16(LogPath());
    for (const wchar_t* line : {L" Begin caching Windows Media Player library data\r\n",
                                L" milliseconds loading media and playlist collections\r\n",
                                L" Begin cache WMP playlist and song data\r\n", L" milliseconds getting playlist count 3\r\n",
                                L" milliseconds caching list of all playlists\r\n",
                                L" milliseconds load WMP all media (audio) pointers\r\n", L" milliseconds read all songs\r\n",
                                L" milliseconds TOTAL\r\n", L" Finished caching WMP data\r\n"})
        EXPECT_TRUE(Has(log, line)) << line << " missing from:\n" << std::string(log.begin(), log.end());
    EXPECT_EQ(lib.HaltCaching(), 1);
    // The dialog's lines go straight to the file once the thread has finished.
    lib.LogSelectDialogLoad(L"dialog lines\r\n");
    EXPECT_EQ(ReadUtf16(LogPath()), log + L"dialog lines\r\n");
    EXPECT_TRUE(m_spy.Boxes().empty());
}

TEST_F(CachingTest, TheSelectionDialogSuspendsThePlaylistWalkUntilItReturns) {
    MediaLibrary lib(nullptr, L"Shuffle", true, m_dir);
    lib.NoteSelectDialogStarted();
    ASSERT_EQ(lib.Setup(), 1);
    Sleep(300);
    EXPECT_FALSE(lib.CachingFinished()) << "the thread waits for the dialog";
    EXPECT_FALSE(lib.AllSongs());
    lib.LogSelectDialogLoad(L"first load of the dialog\r\n");  // held while the thread collects
    lib.NoteSelectDialogReturned();
    EXPECT_TRUE(lib.SelectDialogReturned());
    ASSERT_TRUE(WaitFor([&] { return lib.CachingFinished(); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return !lib.CachingThreadRunning(); }, 2000));
    std::wstring log = ReadUtf16(LogPath());
    EXPECT_TRUE(Has(log, L" Caching thread suspended by start of Select Songs dialog after\r\n")) << std::string(log.begin(), log.end());
    EXPECT_TRUE(Has(log, L" milliseconds sleep until Select Dlg returned\r\n"));
    EXPECT_FALSE(Has(log, L"caching list of all playlists"));
    EXPECT_TRUE(Has(log, L" Finished caching WMP data\r\nfirst load of the dialog\r\n"));
    EXPECT_TRUE(m_spy.Boxes().empty());
}

TEST_F(CachingTest, AHaltStopsTheThreadBeforeTheShuffleReads) {
    MediaLibrary lib(nullptr, L"Shuffle", true, m_dir);
    lib.NoteSelectDialogStarted();  // holds the thread in its wait, so that the halt finds it running
    ASSERT_EQ(lib.Setup(), 1);
    Sleep(200);
    ASSERT_TRUE(lib.CachingThreadRunning());
    DWORD t0 = GetTickCount();
    EXPECT_EQ(lib.HaltCaching(), 1);
    EXPECT_LT(GetTickCount() - t0, 2100u);
    EXPECT_TRUE(lib.CachingFinished());
    std::wstring log = ReadUtf16(LogPath());
    EXPECT_TRUE(Has(log, L"Caching all songs halted for actual shuffle\r\n")) << std::string(log.begin(), log.end());
    EXPECT_FALSE(Has(log, L"Finished caching WMP data"));
    EXPECT_TRUE(m_spy.Boxes().empty());
}

TEST_F(CachingTest, NoThreadMeansNothingToWaitFor) {
    MediaLibrary never(nullptr, L"Shuffle", false, m_dir);
    DWORD t0 = GetTickCount();
    EXPECT_EQ(never.HaltCaching(), 1);
    EXPECT_LT(GetTickCount() - t0, 500u);
    EXPECT_TRUE(m_spy.Boxes().empty());
    EXPECT_EQ(GetFileAttributesW(LogPath().c_str()), INVALID_FILE_ATTRIBUTES) << "no log without SaveLog";
}

TEST_F(CachingTest, ReleaseWaitsForTheThreadAndFreesEveryHandle) {
    {
        MediaLibrary lib(nullptr, L"Shuffle", false, m_dir);
        lib.NoteSelectDialogStarted();
        ASSERT_EQ(lib.Setup(), 1);
        Sleep(100);
        ASSERT_TRUE(lib.CachingThreadRunning());
        DWORD t0 = GetTickCount();
        lib.Release();
        EXPECT_LT(GetTickCount() - t0, 2000u) << "the dialog wait also ends on a halt";
        EXPECT_FALSE(lib.Player() || lib.PlaylistCollection() || lib.PlaylistArray() || lib.MediaCollection() ||
                     lib.AllSongs());
        EXPECT_EQ(StandinLiveObjects(), 0);
    }  // and the destructor after a release is harmless
    EXPECT_EQ(StandinLiveObjects(), 0);
    EXPECT_TRUE(m_spy.Boxes().empty());
}

TEST_F(CachingTest, AFailedStartupLogIsReportedAsNonFatal) {
    // A log folder that is a file cannot be written.
    std::wstring blocker = m_dir + L"not a folder";
    ASSERT_TRUE(WriteBytes(blocker, "x"));
    MediaLibrary lib(nullptr, L"Shuffle", true, blocker + L"\\");
    ASSERT_EQ(lib.Setup(), 1);
    ASSERT_TRUE(WaitFor([&] { return lib.CachingFinished(); }, 10000));
    lib.Release();
    std::vector<std::wstring> boxes = m_spy.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind(L"Shuffle - ERROR: Non-fatal error logging start up cache times\r\n", 0), 0u);
}

}  // namespace
}  // namespace swirlo::testing
