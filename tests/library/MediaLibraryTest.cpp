// The library through COM against the stand-in: its apartment rule, song reading through it equal to
// reading the same library in memory, and the caching thread (setup, its log, the wait for the
// selection dialog, the halt before a shuffle, failures).
#include <functional>
#include <thread>

#include "foundation/Utilities.h"
#include "library/MediaLibrary.h"
#include "library/WmpSongReading.h"
#include "tests/library/ComTestSupport.h"
#include "tests/library/SongReader.h"

namespace swirlo::testing {
namespace {

struct Handles {
    ComPtr<IWMPPlayer> player;
    ComPtr<IWMPMediaCollection> media;
    ComPtr<IWMPPlaylistCollection> lists;
    ComPtr<IWMPPlaylistArray> all;
    Handles() {
        EXPECT_EQ(CoCreateInstance(__uuidof(WindowsMediaPlayer), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWMPPlayer),
                                   reinterpret_cast<void**>(player.GetAddressOf())), S_OK) << "is the stand-in registered?";
        EXPECT_TRUE(player && SUCCEEDED(player->get_mediaCollection(&media)) &&
                    SUCCEEDED(player->get_playlistCollection(&lists)) && SUCCEEDED(lists->getAll(&all)));
    }
};

// Like the player's objects, the stand-in's answer only the thread that made them: the tests that
// count calls from a wrong thread rely on it.
TEST_F(ComTest, StandinObjectsAnswerOnlyTheThreadThatMadeThem) {
    UseLibrary(L"small.txt", LibraryText(2, "50", "20100101", "playlist\tMix\tstatic\t\nentry\t2\n"));
    Handles h;
    ASSERT_TRUE(h.all);
    const LONG before = StandinWrongThreadCalls();
    HRESULT fromOther[3] = {};
    std::thread([&] {
        ComPtr<IWMPMediaCollection> mc;
        ComPtr<IWMPCore> other;
        LONG n = 0;
        fromOther[0] = h.player->get_mediaCollection(&mc);
        fromOther[1] = h.all->get_count(&n);
        fromOther[2] = h.player.As(&other);
    }).join();
    for (HRESULT hr : fromOther) EXPECT_EQ(hr, RPC_E_WRONG_THREAD);
    EXPECT_EQ(StandinWrongThreadCalls() - before, 3);
}

const char kReading[] =
    "SWIRLO-LIBRARY 1\n"
    "song\tC:\\M\\r0.mp3\tA\tRock\t0\t20110301\n"
    "song\tC:\\M\\rempty.mp3\tB\tRock\t\t20110228\n"
    "song\tC:\\M\\r12.mp3\tC\tRock\t12\t20110331\n"
    "song\tC:\\M\\r13.mp3\tD\tJazz\t13\t20110301\n"
    "song\tC:\\M\\r86.mp3\tE\tJazz\t86\t20100101\n"
    "song\tC:\\M\\r87.mp3\tF\tJazz\t87\t20110302\n"
    "song\tC:\\M\\r99.mp3\tG\tJazz\t99\t20110227\n"
    "playlist\tP1\tstatic\t\nentry\t1\nentry\t3\nentry\t7\n"
    "playlist\tP2\tstatic\t\nentry\t3\nentry\t4\nentry\t7\n";

// Reading through COM is the reading the OS-free tests check: every source, frequency mode,
// ignore-repeats and date filter gives the same songs and counts in the same order.
TEST_F(ComTest, ReadingThroughComEqualsReadingTheSameLibraryInMemory) {
    UseLibrary(L"reading.txt", kReading);
    standin::LibraryModel model;
    ASSERT_EQ(model.Parse(kReading), 1);
    Handles h;
    ASSERT_TRUE(h.all);
    ComPtr<IWMPPlaylist> audio, jazz, p1, p2;
    ASSERT_EQ(h.media->getByAttribute(ComString(L"MediaType").get(), ComString(L"audio").get(), &audio), S_OK);
    ASSERT_EQ(h.media->getByGenre(ComString(L"jazz").get(), &jazz), S_OK);
    ASSERT_TRUE(h.all->Item(0, &p1) == S_OK && h.all->Item(1, &p2) == S_OK);
    auto pick = [&](const std::vector<std::uint32_t>& indexes) {
        std::vector<standin::LibraryItem> songs;
        for (std::uint32_t i : indexes) songs.push_back(model.items[i]);
        return songs;
    };
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
                        MemoryItems items(pick(indexes));
                        ASSERT_EQ(com.Read(list.Get(), freq, ignore, days), 1);
                        ASSERT_EQ(memory.Read(items, freq, ignore, days), 1);
                    }
                    ASSERT_EQ(com.target.GetSize(), memory.target.GetSize()) << compared;
                    for (std::uint32_t i = 0; i < com.target.GetSize(); ++i) {
                        ASSERT_EQ(std::wstring(com.target.GetSong(i)), memory.target.GetSong(i)) << compared;
                        ASSERT_EQ(com.target.GetCount(i), memory.target.GetCount(i)) << compared;
                    }
                    EXPECT_EQ(com.run.statuses, memory.run.statuses);
                    EXPECT_TRUE(com.boxes.empty());
                    compared += com.target.GetSize() > 0;
                }
    EXPECT_GT(compared, 40);
}

class CachingTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        UseLibrary(L"caching.txt", LibraryText(3000, "75", "20200101",
                                               "playlist\tA\tstatic\t\nentry\t1\nplaylist\tB\tauto\t\n"
                                               "playlist\tC\tstatic\t\nentry\t2\n"));
    }
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

// The thread's log without the dialog, with the dialog opened before setup (the thread waits for it
// before the playlist walk, and the dialog's lines follow the thread's), and halted while waiting
// (the halt does not wait for the dialog).
TEST_F(CachingTest, TheThreadLogsItsWorkWaitsForTheSelectionDialogAndStopsOnAHalt) {
    struct Case {
        bool dialog, halt;
        std::vector<const wchar_t*> present, absent;
    };
    const Case cases[] = {
        {false, false, {L" Begin caching Windows Media Player library data\r\n", L" milliseconds getting playlist count 3\r\n",
                        L" milliseconds read all songs\r\n", L" milliseconds TOTAL\r\n",
                        L" Finished caching WMP data\r\ndialog lines\r\n"}, {}},
        {true, false, {L" Caching thread suspended by start of Select Songs dialog after\r\n",
                       L" milliseconds sleep until Select Dlg returned\r\n", L" Finished caching WMP data\r\ndialog lines\r\n"},
         {L"caching list of all playlists"}},
        {true, true, {L"Caching all songs halted for actual shuffle\r\n"}, {L"Finished caching WMP data"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        TempDir dir;
        MediaLibrary lib(nullptr, L"Shuffle", true, dir.Path());
        if (c.dialog) lib.NoteSelectDialogStarted();
        ASSERT_EQ(lib.Setup(), 1);
        EXPECT_TRUE(lib.Player() && lib.PlaylistCollection() && lib.PlaylistArray() && lib.MediaCollection());
        if (c.dialog) {
            Sleep(300);
            ASSERT_TRUE(lib.CachingThreadRunning());
            EXPECT_FALSE(lib.CachingFinished() || lib.AllSongs()) << "the thread waits for the dialog";
        }
        if (c.halt) {
            DWORD t0 = GetTickCount();
            EXPECT_EQ(lib.HaltCaching(), 1);
            EXPECT_LT(GetTickCount() - t0, 2100u);
            EXPECT_TRUE(lib.CachingFinished());
        } else {
            if (c.dialog) {
                lib.LogSelectDialogLoad(L"dialog lines\r\n");  // held while the thread collects
                lib.NoteSelectDialogReturned();
            }
            ASSERT_TRUE(WaitFor([&] { return lib.CachingFinished() && !lib.CachingThreadRunning(); }, 10000));
            EXPECT_EQ(lib.HaltCaching(), 1);
            EXPECT_TRUE(lib.AllSongs()) << "the window thread's own all-songs list for the shuffle";
            if (!c.dialog) lib.LogSelectDialogLoad(L"dialog lines\r\n");  // straight to the file now
        }
        std::wstring log = ReadUtf16(dir / L"startup log.txt");
        for (const wchar_t* piece : c.present) EXPECT_NE(log.find(piece), std::wstring::npos) << std::string(log.begin(), log.end());
        for (const wchar_t* piece : c.absent) EXPECT_EQ(log.find(piece), std::wstring::npos) << piece;
    }
    EXPECT_TRUE(m_spy.boxes.empty());
}

TEST_F(CachingTest, AFailedStartupLogIsReportedAsNonFatal) {
    ASSERT_TRUE(WriteBytes(m_dir / L"not a folder", "x"));  // a log folder that is a file
    MediaLibrary lib(nullptr, L"Shuffle", true, m_dir / L"not a folder\\");
    ASSERT_EQ(lib.Setup(), 1);
    ASSERT_TRUE(WaitFor([&] { return lib.CachingFinished(); }, 10000));
    lib.Release();
    ASSERT_EQ(m_spy.boxes.size(), 1u);
    EXPECT_EQ(m_spy.Texts()[0].rfind(L"Shuffle - ERROR: Non-fatal error logging start up cache times\r\n", 0), 0u);
}

// A failed call shows one box naming it. In setup: no handle is kept and no thread started; in the
// caching thread: non-fatal, and the media collection the window thread may be using stays. Either
// way a later shuffle does not wait for the thread, and every object is freed.
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
    };
    for (const auto& [call, box] : cases) {
        SCOPED_TRACE(call);
        UseLibrary(L"failing.txt", LibraryText(10, "50", "20200101", "playlist\tA\tstatic\t\n") + "fail\t" + call + "\n");
        m_spy.boxes.clear();
        const bool inSetup = box.rfind(L"Shuffle: Error", 0) == 0;
        MediaLibrary lib(nullptr, L"Shuffle", false, m_dir.Path());
        ASSERT_EQ(lib.Setup(), inSetup ? 0 : 1);
        ASSERT_TRUE(WaitFor([&] { return !lib.CachingThreadRunning(); }, 10000));
        ASSERT_EQ(m_spy.boxes.size(), 1u);
        const std::wstring shown = m_spy.Texts()[0];
        EXPECT_EQ(inSetup ? shown.substr(0, box.size()) : shown, box);
        EXPECT_EQ(inSetup, shown.find(L"Windows' error message was:") != std::wstring::npos);
        EXPECT_EQ(lib.MediaCollection().Get() == nullptr, inSetup);
        if (inSetup) EXPECT_FALSE(lib.Player() || lib.PlaylistCollection() || lib.PlaylistArray() || StandinLiveObjects());
        DWORD t0 = GetTickCount();
        EXPECT_EQ(lib.HaltCaching(), 1);
        EXPECT_LT(GetTickCount() - t0, 500u);
        lib.Release();
        EXPECT_EQ(StandinLiveObjects(), 0);
        EXPECT_EQ(m_spy.boxes.size(), 1u);
    }
}

}  // namespace
}  // namespace swirlo::testing
