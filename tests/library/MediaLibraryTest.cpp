// Library setup, the caching thread and its log, the halt before a shuffle, release.
#include <functional>

#include "foundation/Utilities.h"
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
    // Waits as the window thread does: the caching thread's boxes arrive as messages.
    static bool WaitFor(const std::function<bool()>& done, int ms) {
        for (int waited = 0; waited < ms; waited += 10) {
            if (done()) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpMessages();
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
    EXPECT_TRUE(WaitFor([&] { return !lib.CachingThreadRunning(); }, 2000));
    std::wstring log = ReadUtf16(LogPath());
    for (const wchar_t* line : {L" Begin caching Windows Media Player library data\r\n",
                                L" milliseconds getting playlist count 3\r\n", L" milliseconds read all songs\r\n",
                                L" milliseconds TOTAL\r\n", L" Finished caching WMP data\r\n"})
        EXPECT_TRUE(Has(log, line)) << line << " missing from:\n" << std::string(log.begin(), log.end());
    EXPECT_EQ(lib.HaltCaching(), 1);
    EXPECT_TRUE(lib.AllSongs()) << "the window thread's own all-songs list for the shuffle";
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
    EXPECT_EQ(GetFileAttributesW(LogPath().c_str()), INVALID_FILE_ATTRIBUTES) << "no log without SaveLog";
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

// Setup that fails shows one box naming the call, keeps no handle and starts no thread, so that a
// later shuffle does not wait for one.
TEST_F(CachingTest, AFailedSetupKeepsNoHandleAndLeavesNothingToWaitFor) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"player.get_playlistCollection", L"Shuffle: Error: get_playlistCollection\nHRESULT return was -2147467259\r\n"},
        {"playlists.getAll", L"Shuffle: Error: m_cpWmpPlaylistColl->getAll\nHRESULT return was -2147467259\r\n"},
        {"player.get_mediaCollection", L"Shuffle: Error: get_mediaCollection failed\nHRESULT return was 0\r\n"},
    };
    for (auto [call, box] : cases) {
        UseLibrary(L"failing.txt", LibraryText(10) + "fail\t" + call + "\n");
        BoxSpy spy;
        MediaLibrary lib(nullptr, L"Shuffle", true, m_dir);
        EXPECT_EQ(lib.Setup(), 0) << call;
        EXPECT_FALSE(lib.Player() || lib.PlaylistCollection() || lib.PlaylistArray() || lib.MediaCollection()) << call;
        EXPECT_EQ(StandinLiveObjects(), 0) << call;
        std::vector<std::wstring> boxes = spy.Boxes();
        ASSERT_EQ(boxes.size(), 1u) << call;
        EXPECT_EQ(boxes[0].rfind(box, 0), 0u) << call;
        EXPECT_NE(boxes[0].find(L"Windows' error message was:"), std::wstring::npos);
        DWORD t0 = GetTickCount();
        EXPECT_EQ(lib.HaltCaching(), 1);
        EXPECT_LT(GetTickCount() - t0, 500u);
        EXPECT_EQ(spy.Boxes().size(), 1u);
    }
}

TEST_F(CachingTest, CachingFailuresAreNonFatalAndNameTheCall) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"playlistArray.get_count", L"Shuffle - ERROR: Can't load playlists, failed m_cpWmpPlaylistArr->get_count\r\n"},
        {"media.getByAttribute", L"Shuffle - ERROR: Non-fatal error caching list of all songs in WMP\r\ngetByAttribute failed\r\n"},
        {"playlist.get_count", L"Shuffle - ERROR: Non-fatal error caching list of all songs in WMP\r\nPlaylist get_count failed\r\n"},
        {"playlist.get_item", L"Shuffle - ERROR: Non-fatal error caching list of all songs in WMP\r\ncpPlaylist->get_item failed\r\n"},
        {"item.getItemInfo", L"Shuffle - ERROR: Non-fatal error caching list of all songs in WMP\r\nError getting date information on song\r\n"},
        {"item.get_sourceURL", L"Shuffle - ERROR: Non-fatal error caching list of all songs in WMP\r\ncpSong->get_sourceURL failed\r\n"},
    };
    for (auto [call, box] : cases) {
        UseLibrary(L"failing.txt", LibraryText(10, "50", "20200101", "playlist\tA\tstatic\t\n") + "fail\t" + call + "\n");
        BoxSpy spy;
        MediaLibrary lib(nullptr, L"Shuffle", false, m_dir);
        ASSERT_EQ(lib.Setup(), 1) << call;
        ASSERT_TRUE(WaitFor([&] { return !lib.CachingThreadRunning(); }, 10000)) << call;
        EXPECT_EQ(spy.Boxes(), std::vector<std::wstring>{box}) << call;
        // The window thread may be using the media collection: the thread leaves it in place.
        EXPECT_TRUE(lib.MediaCollection()) << call;
        // Ended at its first step or later, the thread does not hold up a shuffle.
        DWORD t0 = GetTickCount();
        EXPECT_EQ(lib.HaltCaching(), 1) << call;
        EXPECT_LT(GetTickCount() - t0, 500u) << call;
        lib.Release();
        EXPECT_EQ(StandinLiveObjects(), 0) << call;
    }
}

}  // namespace
}  // namespace swirlo::testing
