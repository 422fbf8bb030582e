// The library through COM against the stand-in: song reading through it equal to reading the same
// library in memory, and the caching thread (setup, its log, the wait for the
// selection dialog, the halt before a shuffle, failures).
#include <algorithm>
#include <functional>
#include <thread>

#include "foundation/Utilities.h"
#include "library/MediaLibrary.h"
#include "library/WmpSongReading.h"
#include "tests/library/ComTestSupport.h"
#include "tests/library/SongReader.h"

namespace swirlo::testing {
namespace {

// Each song with a rating and a date of its own, so that an attribute read in place of another shows.
const char kReading[] =
    "SWIRLO-LIBRARY 1\n"
    "song\tC:\\M\\r0.mp3\tA\tRock\t0\t20110301\nsong\tC:\\M\\rempty.mp3\tB\tRock\t\t20110228\n"
    "song\tC:\\M\\r12.mp3\tC\tRock\t12\t20110331\nsong\tC:\\M\\r13.mp3\tD\tJazz\t13\t20110301\n"
    "song\tC:\\M\\r86.mp3\tE\tJazz\t86\t20100101\nsong\tC:\\M\\r99.mp3\tG\tJazz\t99\t20110227\n"
    "playlist\tP1\tstatic\t\nentry\t1\nentry\t3\nentry\t6\nplaylist\tP2\tstatic\t\nentry\t3\nentry\t4\nentry\t6\n";

// Reading through COM is the reading the OS-free tests check: every source, frequency mode,
// ignore-repeats and date filter gives the same songs and counts in the same order. And like the
// player's objects, the stand-in's answer only the thread that made them (the tests that count calls
// from a wrong thread rely on it).
TEST_F(ComTest, ReadingThroughComEqualsReadingTheSameLibraryInMemory) {
    UseLibrary(L"reading.txt", kReading);
    standin::LibraryModel model;
    ASSERT_EQ(model.Parse(kReading), 1);
    ComPtr<IWMPPlayer> player;
    ComPtr<IWMPMediaCollection> media;
    ComPtr<IWMPPlaylistCollection> lists;
    ComPtr<IWMPPlaylistArray> all;
    ASSERT_EQ(CoCreateInstance(__uuidof(WindowsMediaPlayer), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWMPPlayer),
                               reinterpret_cast<void**>(player.GetAddressOf())), S_OK) << "is the stand-in registered?";
    ASSERT_TRUE(SUCCEEDED(player->get_mediaCollection(&media)) && SUCCEEDED(player->get_playlistCollection(&lists)) &&
                SUCCEEDED(lists->getAll(&all)));
    const LONG wrongBefore = StandinWrongThreadCalls();
    HRESULT fromOther[2] = {};
    std::thread([&] {
        ComPtr<IWMPMediaCollection> mc;
        fromOther[0] = player->get_mediaCollection(&mc);
        LONG n = 0;
        fromOther[1] = all->get_count(&n);
    }).join();
    EXPECT_TRUE(fromOther[0] == RPC_E_WRONG_THREAD && fromOther[1] == RPC_E_WRONG_THREAD);
    EXPECT_EQ(StandinWrongThreadCalls() - wrongBefore, 2);
    ComPtr<IWMPPlaylist> audio, jazz, p1, p2;
    ASSERT_EQ(media->getByAttribute(ComString(L"MediaType").get(), ComString(L"audio").get(), &audio), S_OK);
    ASSERT_EQ(media->getByGenre(ComString(L"jazz").get(), &jazz), S_OK);
    ASSERT_TRUE(all->Item(0, &p1) == S_OK && all->Item(1, &p2) == S_OK);
    const std::vector<std::pair<ComPtr<IWMPPlaylist>, std::vector<std::uint32_t>>> sources[] = {
        {{audio, model.AudioItems()}}, {{jazz, model.ByGenre(L"Jazz")}},
        {{p1, model.playlists[0].items}, {p2, model.playlists[1].items}}};
    const std::initializer_list<int> freqs[] = {{0, 11, 12, 13, 14, 15}, {0, 0, 1, 1, 1, 1}, {3, 0, 0, 0, 0, 0},
                                                {-1, 0, 0, 0, 0, 0}};
    int compared = 0;
    for (const auto& source : sources)
        for (auto freq : freqs)
            for (bool ignore : {false, true})
                for (int days : {0, 30}) {
                    SongReader com, memory;
                    com.env.nNow = memory.env.nNow = LocalNoon(2011, 3, 31);
                    for (const auto& [list, indexes] : source) {
                        MemoryItems items(model, indexes);
                        ASSERT_EQ(com.Read(list.Get(), freq, ignore, days), 1);
                        ASSERT_EQ(memory.Read(items, freq, ignore, days), 1);
                    }
                    ASSERT_EQ(com.target.GetSize(), memory.target.GetSize()) << compared;
                    for (std::uint32_t i = 0; i < com.target.GetSize(); ++i) {
                        ASSERT_EQ(std::wstring(com.target.GetSong(i)), memory.target.GetSong(i)) << compared;
                        ASSERT_EQ(com.target.GetCount(i), memory.target.GetCount(i)) << compared;
                    }
                    EXPECT_TRUE(com.boxes.empty());
                    compared += com.target.GetSize() > 0;
                }
    EXPECT_GT(compared, 40);
}

class CachingTest : public ComTest {
protected:
    // Waits as the window thread does: the caching thread's boxes arrive as messages.
    static bool WaitFor(const std::function<bool()>& done, int ms) {
        for (int waited = 0; waited < ms; waited += 10) {
            if (done()) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpMessages();
        }
        return done();
    }
    TempDir m_dir;
    BoxSpy m_spy;
};

// With the selection dialog open the thread waits before its walk through the playlists (the dialog
// makes that walk itself) and holds the dialog's log lines; once the dialog returns it finishes,
// leaves the window thread its all-songs list, and the dialog's lines follow its own in the log.
TEST_F(CachingTest, TheThreadWaitsForTheSelectionDialogAndLogsAfterIt) {
    UseLibrary(L"caching.txt", LibraryText(3000, "75", "20200101", "playlist\tA\tstatic\t\nentry\t1\nplaylist\tB\tauto\t\n"));
    MediaLibrary lib(nullptr, L"Shuffle", true, m_dir.Path());
    lib.NoteSelectDialogStarted();
    ASSERT_EQ(lib.Setup(), 1);
    EXPECT_TRUE(lib.Player() && lib.PlaylistCollection() && lib.PlaylistArray() && lib.MediaCollection());
    Sleep(300);
    ASSERT_TRUE(lib.CachingThreadRunning());
    EXPECT_FALSE(lib.CachingFinished() || lib.AllSongs()) << "the thread waits for the dialog";
    lib.LogSelectDialogLoad(L"dialog lines\r\n");
    lib.NoteSelectDialogReturned();
    ASSERT_TRUE(WaitFor([&] { return lib.CachingFinished() && !lib.CachingThreadRunning(); }, 10000));
    EXPECT_EQ(lib.HaltCaching(), 1);
    EXPECT_TRUE(lib.AllSongs());
    const std::wstring log = ReadUtf16(m_dir / L"startup log.txt");
    EXPECT_NE(log.find(L" milliseconds sleep until Select Dlg returned\r\n"), std::wstring::npos) << std::string(log.begin(), log.end());
    EXPECT_NE(log.find(L" Finished caching WMP data\r\ndialog lines\r\n"), std::wstring::npos);
    EXPECT_EQ(log.find(L"caching list of all playlists"), std::wstring::npos);
    EXPECT_TRUE(m_spy.boxes.empty());
}

// A shuffle's halt, asked amid the songs, stops the thread there: it reads no song to the end of the
// library, the shuffle does not wait for it, and its log says why it stopped. A real library answers
// its all-songs query slowly: asked during such a call, the halt waits for it rather than give up.
TEST_F(CachingTest, AHaltStopsTheThreadReadingSongsAndWaitsOutASlowCall) {
    const long slowBefore = std::max(0L, StandinCounter("StandinSlowCalls"));  // -1 before it is loaded
    UseLibrary(L"slow.txt", LibraryText(20) + "delay\tmedia.getByAttribute\t3000\n");
    MediaLibrary slow(nullptr, L"Shuffle", true, m_dir.Path());
    ASSERT_TRUE(slow.Setup() && WaitFor([&] { return StandinCounter("StandinSlowCalls") > slowBefore; }, 20000));
    EXPECT_FALSE(slow.HaltCaching([] { return true; }));  // a Stop ends the wait at once
    EXPECT_TRUE(slow.HaltCaching() && slow.AllSongs() && m_spy.boxes.empty());
    EXPECT_NE(ReadUtf16(m_dir / L"startup log.txt").find(L"Caching all songs halted"), std::wstring::npos);

    const long n = 100000;
    UseLibrary(L"halt.txt", LibraryText(n));
    MediaLibrary lib(nullptr, L"Shuffle", true, m_dir.Path());
    const long before = std::max(0L, StandinCounter("StandinItemsHandedOut"));  // -1 before the stand-in is loaded
    ASSERT_EQ(lib.Setup(), 1);
    ASSERT_TRUE(WaitFor([&] { return StandinCounter("StandinItemsHandedOut") > before; }, 60000));
    ASSERT_EQ(lib.HaltCaching(), 1);
    EXPECT_LT(StandinCounter("StandinItemsHandedOut") - before, n);
    EXPECT_NE(ReadUtf16(m_dir / L"startup log.txt").find(L" milliseconds caching each song halted for actual shuffle\r\n"),
              std::wstring::npos);
    EXPECT_TRUE(m_spy.boxes.empty());
}

// A failed call shows one box naming it. In setup: no handle is kept and no thread started; in the
// caching thread (or its log, written to a folder that is a file): non-fatal, and the media
// collection the window thread may be using stays. Either way a later shuffle does not wait for the
// thread, and every object is freed.
TEST_F(CachingTest, AFailedCallShowsOneBoxNamingItAndHoldsUpNothing) {
    const std::wstring kCaching = L"Shuffle - ERROR: Non-fatal error caching list of all songs in WMP\r\n";
    const std::pair<const char*, std::wstring> cases[] = {
        {"player.get_playlistCollection", L"Shuffle: Error: get_playlistCollection\nHRESULT return was -2147467259\r\n"},
        {"playlists.getAll", L"Shuffle: Error: m_cpWmpPlaylistColl->getAll\nHRESULT return was -2147467259\r\n"},
        {"player.get_mediaCollection", L"Shuffle: Error: get_mediaCollection failed\nHRESULT return was 0\r\n"},
        {"playlistArray.get_count", L"Shuffle - ERROR: Can't load playlists, failed m_cpWmpPlaylistArr->get_count\r\n"},
        {"media.getByAttribute", kCaching + L"getByAttribute failed\r\n"},
        {"playlist.get_count", kCaching + L"Playlist get_count failed\r\n"},
        {"playlist.get_item", kCaching + L"cpPlaylist->get_item failed\r\n"},
        {"item.getItemInfo", kCaching + L"Error getting date information on song\r\n"},
        {"item.get_sourceURL", kCaching + L"cpSong->get_sourceURL failed\r\n"},
        {"", L"Shuffle - ERROR: Non-fatal error logging start up cache times\r\n"},
    };
    ASSERT_TRUE(WriteBytes(m_dir / L"not a folder", "x"));
    for (const auto& [call, box] : cases) {
        SCOPED_TRACE(call);
        UseLibrary(L"failing.txt", LibraryText(10, "50", "20200101", "playlist\tA\tstatic\t\n") +
                                       (*call ? "fail\t" + std::string(call) + "\n" : ""));
        m_spy.boxes.clear();
        const bool inSetup = box.rfind(L"Shuffle: Error", 0) == 0;
        MediaLibrary lib(nullptr, L"Shuffle", !*call, m_dir / (*call ? L"" : L"not a folder\\"));
        ASSERT_EQ(lib.Setup(), inSetup ? 0 : 1);
        ASSERT_TRUE(WaitFor([&] { return !lib.CachingThreadRunning(); }, 10000));
        EXPECT_EQ(lib.MediaCollection().Get() == nullptr, inSetup);
        EXPECT_FALSE(inSetup && (lib.Player() || lib.PlaylistCollection() || lib.PlaylistArray() || StandinLiveObjects()));
        EXPECT_EQ(lib.HaltCaching(), 1);  // shows what the thread had left to say
        lib.Release();
        EXPECT_EQ(StandinLiveObjects(), 0);
        ASSERT_EQ(m_spy.boxes.size(), 1u);
        const std::wstring shown = m_spy.Texts()[0];
        EXPECT_EQ(shown.substr(0, box.size()), box);
        EXPECT_TRUE(!inSetup || shown.find(L"Windows' error message was:") != std::wstring::npos) << shown;
    }
}

}  // namespace
}  // namespace swirlo::testing
