// The stand-in through real COM, and song reading through it exactly as the shuffle run reads.

#include "library/MediaLibrary.h"
#include "library/WmpSongReading.h"
#include "tests/library/ComTestSupport.h"
#include "tests/library/FakeRun.h"

namespace swirlo::testing {
namespace {

ComPtr<IWMPPlaylist> ByAttribute(IWMPMediaCollection* mc, const wchar_t* a, const wchar_t* v) {
    BSTR ba = SysAllocString(a), bv = SysAllocString(v);
    ComPtr<IWMPPlaylist> p;
    EXPECT_TRUE(SUCCEEDED(mc->getByAttribute(ba, bv, &p)));
    SysFreeString(ba);
    SysFreeString(bv);
    return p;
}

// A query of the media collection that takes one name.
ComPtr<IWMPPlaylist> Query(IWMPMediaCollection* mc, HRESULT (STDMETHODCALLTYPE IWMPMediaCollection::*call)(BSTR, IWMPPlaylist**),
                           const wchar_t* name) {
    BSTR b = SysAllocString(name);
    ComPtr<IWMPPlaylist> p;
    EXPECT_TRUE(SUCCEEDED((mc->*call)(b, &p)));
    SysFreeString(b);
    return p;
}
ComPtr<IWMPPlaylist> ByGenre(IWMPMediaCollection* mc, const wchar_t* g) { return Query(mc, &IWMPMediaCollection::getByGenre, g); }
ComPtr<IWMPPlaylist> ByName(IWMPMediaCollection* mc, const wchar_t* n) { return Query(mc, &IWMPMediaCollection::getByName, n); }

ComPtr<IWMPMedia> ItemAt(IWMPPlaylist* p, long i) {
    ComPtr<IWMPMedia> m;
    EXPECT_TRUE(SUCCEEDED(p->get_Item(i, &m)));
    return m;
}

std::vector<std::wstring> Genres(IWMPMediaCollection* mc) {
    BSTR a = SysAllocString(L"Genre"), t = SysAllocString(L"Audio");
    ComPtr<IWMPStringCollection> sc;
    EXPECT_TRUE(SUCCEEDED(mc->getAttributeStringCollection(a, t, &sc)));
    SysFreeString(a);
    SysFreeString(t);
    std::vector<std::wstring> out;
    LONG n = 0;
    if (sc && SUCCEEDED(sc->get_count(&n)))
        for (LONG i = 0; i < n; ++i) {
            BSTR s = nullptr;
            EXPECT_TRUE(SUCCEEDED(sc->Item(i, &s)));
            out.push_back(Take(s));
        }
    return out;
}

struct Handles {
    ComPtr<IWMPPlayer> player;
    ComPtr<IWMPMediaCollection> media;
    ComPtr<IWMPPlaylistCollection> lists;
    ComPtr<IWMPPlaylistArray> all;
};

class StandinTest : public ComTest {
protected:
    Handles Open() {
        Handles h;
        h.player = NewPlayer();
        if (!h.player) return h;
        EXPECT_TRUE(SUCCEEDED(h.player->get_mediaCollection(&h.media)));
        EXPECT_TRUE(SUCCEEDED(h.player->get_playlistCollection(&h.lists)));
        EXPECT_TRUE(SUCCEEDED(h.lists->getAll(&h.all)));
        return h;
    }
    std::wstring Status(IWMPPlayer* p) {
        BSTR b = nullptr;
        EXPECT_TRUE(SUCCEEDED(p->get_status(&b)));
        return Take(b);
    }
};

const char kSmall[] =
    "SWIRLO-LIBRARY 1\n"
    "song\tC:\\Music\\A\\one.mp3\tOne\tRock\t99\t20110301\n"
    "song\tC:\\Music\\B\\two.mp3\tTwo\tJazz\t\t\n"
    "song\tC:\\Music\\C\\three.mp3\tThree\trock\t25\t20100715\n"
    "song\tC:\\Music\\D\\four.mp3\tFour\t\t1\t20090101\n"
    "playlist\tMix\tstatic\tC:\\Lists\\Mix.wpl\n"
    "entry\t4\nentry\t1\n"
    "playlist\tFresh\tauto\t\n"
    "entry\t1\n";

TEST_F(StandinTest, AnswersThePlayersLibraryQueries) {
    UseLibrary(L"small.txt", kSmall);
    Handles h = Open();
    ASSERT_TRUE(h.all);
    EXPECT_EQ(Status(h.player.Get()).rfind(L"4 songs and 2 playlists from ", 0), 0u);
    ComPtr<IWMPCore> core;
    ComPtr<IDispatch> disp;
    ComPtr<IWMPPlayer4> player4;
    EXPECT_EQ(h.player.As(&core), S_OK);
    EXPECT_EQ(h.player.As(&disp), S_OK);
    EXPECT_EQ(h.player.As(&player4), E_NOINTERFACE);

    ComPtr<IWMPPlaylist> audio = ByAttribute(h.media.Get(), L"MediaType", L"audio");
    ASSERT_EQ(Count(audio.Get()), 4);
    ComPtr<IWMPMedia> one = ItemAt(audio.Get(), 0);
    BSTR url = nullptr;
    ASSERT_EQ(one->get_sourceURL(&url), S_OK);
    EXPECT_EQ(Take(url), L"C:\\Music\\A\\one.mp3");
    EXPECT_EQ(Info(one.Get(), L"UserRating"), L"99");
    EXPECT_EQ(Info(one.Get(), L"MediaType"), L"audio");
    EXPECT_EQ(Info(one.Get(), L"AcquisitionTimeYear") + L"-" + Info(one.Get(), L"AcquisitionTimeMonth") + L"-" +
                  Info(one.Get(), L"AcquisitionTimeDay"),
              L"2011-3-1");
    EXPECT_EQ(Info(ItemAt(audio.Get(), 1).Get(), L"UserRating"), L"");
    ComPtr<IWMPMedia> none;
    EXPECT_EQ(audio->get_Item(4, &none), E_INVALIDARG);
    EXPECT_FALSE(none);

    EXPECT_EQ(Count(ByGenre(h.media.Get(), L"ROCK").Get()), 2);
    EXPECT_EQ(Count(ByGenre(h.media.Get(), L"Polka").Get()), 0);
    EXPECT_EQ(Genres(h.media.Get()), (std::vector<std::wstring>{L"Rock", L"Jazz", L""}));

    ComPtr<IWMPPlaylist> mixFile = ByName(h.media.Get(), L"Mix");
    ASSERT_EQ(Count(mixFile.Get()), 1);
    ComPtr<IWMPMedia> file = ItemAt(mixFile.Get(), 0);
    EXPECT_EQ(Info(file.Get(), L"MediaType"), L"playlist");
    EXPECT_EQ(Info(file.Get(), L"SourceURL"), L"C:\\Lists\\Mix.wpl");

    LONG n = 0;
    ASSERT_EQ(h.all->get_count(&n), S_OK);
    ASSERT_EQ(n, 2);
    ComPtr<IWMPPlaylist> mix, fresh, beyond;
    ASSERT_EQ(h.all->Item(0, &mix), S_OK);
    ASSERT_EQ(h.all->Item(1, &fresh), S_OK);
    EXPECT_EQ(h.all->Item(2, &beyond), E_INVALIDARG);
    EXPECT_EQ(Info(mix.Get(), L"Title"), L"Mix");
    EXPECT_EQ(Info(mix.Get(), L"PlaylistType"), L"static");
    EXPECT_EQ(Info(fresh.Get(), L"PlaylistType"), L"auto");
    ASSERT_EQ(Count(mix.Get()), 2);
    BSTR first = nullptr;
    ItemAt(mix.Get(), 0)->get_sourceURL(&first);
    EXPECT_EQ(Take(first), L"C:\\Music\\D\\four.mp3");

    // What the program does not use is not pretended.
    BSTR b = nullptr;
    EXPECT_EQ(h.player->get_URL(&b), E_NOTIMPL);
    EXPECT_EQ(h.media->getByAuthor(b, &beyond), E_NOTIMPL);
    EXPECT_EQ(h.lists->newPlaylist(b, &beyond), E_NOTIMPL);
    EXPECT_EQ(one->get_duration(nullptr), E_NOTIMPL);
}

TEST_F(StandinTest, AddRecordsThePathForAnyoneToSee) {
    std::wstring lib = UseLibrary(L"adds.txt", kSmall);
    DeleteFileW((lib + L".added.txt").c_str());
    Handles h = Open();
    ASSERT_TRUE(h.media);
    BSTR path = SysAllocString(L"C:\\Users\\Me\\Music\\Shuffled \u00e9.wpl");
    ComPtr<IWMPMedia> added;
    EXPECT_EQ(h.media->add(path, &added), S_OK);
    EXPECT_EQ(h.media->add(path, nullptr), S_OK);
    SysFreeString(path);
    ASSERT_TRUE(added);
    EXPECT_EQ(Info(added.Get(), L"SourceURL"), L"C:\\Users\\Me\\Music\\Shuffled \u00e9.wpl");
    EXPECT_EQ(ReadBytes(lib + L".added.txt"),
              "C:\\Users\\Me\\Music\\Shuffled \xC3\xA9.wpl\r\nC:\\Users\\Me\\Music\\Shuffled \xC3\xA9.wpl\r\n");
}

TEST_F(StandinTest, AFaultyOrMissingFileGivesAnEmptyLibraryWithItsReason) {
    UseLibrary(L"bad.txt", "SWIRLO-LIBRARY 1\nsong\tC:\\a.mp3\tA\tRock\t150\t\n");
    Handles h = Open();
    ASSERT_TRUE(h.all);
    EXPECT_EQ(Status(h.player.Get()).rfind(L"Library file line 2: rating must be a number from 0 to 99", 0), 0u);
    EXPECT_EQ(Count(ByAttribute(h.media.Get(), L"MediaType", L"audio").Get()), 0);
    EXPECT_TRUE(Genres(h.media.Get()).empty());
    LONG n = -1;
    EXPECT_EQ(h.all->get_count(&n), S_OK);
    EXPECT_EQ(n, 0);

    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", L"C:\\no\\such\\library.txt");
    Handles gone = Open();
    ASSERT_TRUE(gone.media);
    EXPECT_EQ(Status(gone.player.Get()).rfind(L"Cannot read the library file C:\\no\\such\\library.txt", 0), 0u);
    EXPECT_EQ(Count(ByAttribute(gone.media.Get(), L"MediaType", L"audio").Get()), 0);
}

// The registered demo library, listed as the program lists it: genres, then the playlists with the
// player's own auto playlists (kept in its sync and sample folders) marked.
TEST_F(StandinTest, TheRegisteredDemoLibraryListsItsGenresAndPlaylists) {
    UseRegisteredLibrary();
    Handles h = Open();
    ASSERT_TRUE(h.all);
    std::wstring status = Status(h.player.Get());
    printf("Library: %ls\n", status.c_str());
    EXPECT_GE(Count(ByAttribute(h.media.Get(), L"MediaType", L"audio").Get()), 5000);
    std::vector<std::wstring> genres = Genres(h.media.Get());
    EXPECT_GE(genres.size(), 12u);
    for (const auto& g : genres) printf("Genre: %ls\n", g.c_str());

    std::wstring sync(300, L'\0'), sample(300, L'\0');
    DWORD bytes = 600;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\MediaPlayer\\Preferences",
                           L"ObfuscatedSyncPlaylistsPath", RRF_RT_REG_SZ, nullptr, sync.data(), &bytes), ERROR_SUCCESS);
    sync.resize(wcslen(sync.c_str()));
    bytes = 600;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\MediaPlayer\\Preferences",
                           L"ObfuscatedSamplePlaylistsPath", RRF_RT_REG_SZ, nullptr, sample.data(), &bytes), ERROR_SUCCESS);
    sample.resize(wcslen(sample.c_str()));
    LONG n = 0;
    ASSERT_EQ(h.all->get_count(&n), S_OK);
    EXPECT_EQ(n, 30);
    int hidden = 0;
    for (LONG i = 0; i < n; ++i) {
        ComPtr<IWMPPlaylist> pl;
        ASSERT_EQ(h.all->Item(i, &pl), S_OK);
        std::wstring title = Info(pl.Get(), L"Title"), type = Info(pl.Get(), L"PlaylistType");
        bool players = false;
        if (_wcsicmp(type.c_str(), L"auto") == 0) {
            ComPtr<IWMPPlaylist> named = ByName(h.media.Get(), title.c_str());
            for (long k = 0; k < Count(named.Get()) && !players; ++k) {
                ComPtr<IWMPMedia> m = ItemAt(named.Get(), k);
                std::wstring where = Info(m.Get(), L"SourceURL");
                players = _wcsicmp(Info(m.Get(), L"MediaType").c_str(), L"playlist") == 0 &&
                          (where.find(sync) != std::wstring::npos || where.find(sample) != std::wstring::npos);
            }
        }
        hidden += players;
        printf("Playlist: %ls (%ls%ls, %ld songs)\n", title.c_str(), type.c_str(), players ? L", the player's own" : L"",
               Count(pl.Get()));
    }
    EXPECT_GE(hidden, 4);
    EXPECT_LE(hidden, 10);
}

// ---- Song reading through COM ----

using ComReader = SongReader;

const char kReading[] =
    "SWIRLO-LIBRARY 1\n"
    "song\tC:\\M\\r0.mp3\tA\tRock\t0\t20110301\n"
    "song\tC:\\M\\rempty.mp3\tB\tRock\t\t20110228\n"
    "song\tC:\\M\\r12.mp3\tC\tRock\t12\t20110331\n"
    "song\tC:\\M\\r13.mp3\tD\tJazz\t13\t20110301\n"
    "song\tC:\\M\\r86.mp3\tE\tJazz\t86\t20100101\n"
    "song\tC:\\M\\r87.mp3\tF\tJazz\t87\t20110302\n"
    "song\tC:\\M\\r99.mp3\tG\tJazz\t99\t20110227\n"
    "playlist\tP1\tstatic\t\nentry\t1\nentry\t3\n"
    "playlist\tP2\tstatic\t\nentry\t3\nentry\t4\n";

TEST_F(StandinTest, ReadingTurnsRatingsIntoStarsAndFiltersByDate) {
    UseLibrary(L"reading.txt", kReading);
    Handles h = Open();
    ASSERT_TRUE(h.media);
    ComPtr<IWMPPlaylist> audio = ByAttribute(h.media.Get(), L"MediaType", L"audio");

    ComReader stars;
    ASSERT_EQ(stars.Read(audio.Get(), {0, 11, 12, 13, 14, 15}), 1);
    EXPECT_EQ(stars.CountOf(L"C:\\M\\r0.mp3"), 12);  // DefaultRating 2
    EXPECT_EQ(stars.CountOf(L"C:\\M\\rempty.mp3"), 12);
    EXPECT_EQ(stars.CountOf(L"C:\\M\\r12.mp3"), 11);
    EXPECT_EQ(stars.CountOf(L"C:\\M\\r13.mp3"), 12);
    EXPECT_EQ(stars.CountOf(L"C:\\M\\r86.mp3"), 14);
    EXPECT_EQ(stars.CountOf(L"C:\\M\\r87.mp3"), 15);
    EXPECT_EQ(stars.CountOf(L"C:\\M\\r99.mp3"), 15);

    ComReader noOneStar;
    ASSERT_EQ(noOneStar.Read(audio.Get(), {0, 0, 1, 1, 1, 1}), 1);
    EXPECT_EQ(noOneStar.target.GetSize(), 6u);
    EXPECT_EQ(noOneStar.CountOf(L"C:\\M\\r12.mp3"), 0);

    ComReader aged;
    aged.env.nNow = LocalNoon(2011, 3, 31);
    ASSERT_EQ(aged.Read(audio.Get(), {1, 0, 0, 0, 0, 0}, false, 30), 1);
    EXPECT_EQ(aged.target.GetSize(), 4u);
    EXPECT_EQ(aged.CountOf(L"C:\\M\\r0.mp3"), 1);        // added 20110301: kept
    EXPECT_EQ(aged.CountOf(L"C:\\M\\rempty.mp3"), 0);    // added 20110228: skipped
    EXPECT_TRUE(stars.boxes.boxes.empty() && noOneStar.boxes.boxes.empty() && aged.boxes.boxes.empty());
}

TEST_F(StandinTest, ReadingTwoPlaylistsCountsSharedSongsByMode) {
    UseLibrary(L"reading2.txt", kReading);
    Handles h = Open();
    ASSERT_TRUE(h.all);
    ComPtr<IWMPPlaylist> p1, p2;
    ASSERT_EQ(h.all->Item(0, &p1), S_OK);
    ASSERT_EQ(h.all->Item(1, &p2), S_OK);

    ComReader same;
    ASSERT_EQ(same.Read(p1.Get(), {3, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(same.Read(p2.Get(), {3, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(same.CountOf(L"C:\\M\\r12.mp3"), 6);
    ComReader deduped;
    ASSERT_EQ(deduped.Read(p1.Get(), {3, 0, 0, 0, 0, 0}, true), 1);
    ASSERT_EQ(deduped.Read(p2.Get(), {3, 0, 0, 0, 0, 0}, true), 1);
    EXPECT_EQ(deduped.CountOf(L"C:\\M\\r12.mp3"), 3);
    ComReader excluded;
    ASSERT_EQ(excluded.Read(p1.Get(), {-1, 0, 0, 0, 0, 0}), 1);
    ASSERT_EQ(excluded.Read(p2.Get(), {-1, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(excluded.target.GetSize(), 3u);
    EXPECT_EQ(excluded.target.GetTotal(), 3u);
}

TEST_F(StandinTest, ReadingALongListGoesInSegmentsAndStopsOnCancel) {
    UseLibrary(L"long.txt", LibraryText(2500));
    Handles h = Open();
    ASSERT_TRUE(h.media);
    ComPtr<IWMPPlaylist> audio = ByAttribute(h.media.Get(), L"MediaType", L"audio");
    ComReader r;
    ASSERT_EQ(r.Read(audio.Get(), {1, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(r.target.GetSize(), 2500u);
    EXPECT_EQ(r.run.statuses, (std::vector<std::wstring>{L"Reading songs selection 1 of 1 1000 songs read",
                                                         L"Reading songs selection 1 of 1 2000 songs read"}));
    int segments = 0;
    for (const auto& l : r.run.log.lines) segments += l.rfind(L"AddToSongArray for segment begin", 0) == 0;
    EXPECT_EQ(segments, 3);
    EXPECT_EQ(r.run.positions.back(), static_cast<int>(2490.0f * 31.5f / 2500.0f));

    ComReader cancelled;
    cancelled.run.cancelAfterPumps = 150;
    EXPECT_EQ(cancelled.Read(audio.Get(), {1, 0, 0, 0, 0, 0}), 0);
    EXPECT_EQ(cancelled.target.GetSize(), 1500u);
    EXPECT_EQ(cancelled.boxes.boxes, std::vector<std::wstring>{L"AddToSongArray error|Processing stopped by user Cancel"});
}

// Every reference the program takes is given back: the stand-in counts its live objects.
TEST_F(StandinTest, AThousandSetupsAndReleasesLeaveNoObjectAlive) {
    UseLibrary(L"leak.txt", kSmall);
    BoxSpy spy;
    for (int i = 0; i < 1000; ++i) {
        MediaLibrary lib(nullptr, L"Shuffle", false, TempFolder(L"leak"));
        ASSERT_EQ(lib.Setup(), 1);
        if (i == 0) {
            EXPECT_GE(StandinLiveObjects(), 4);
        }
        if (i % 100 == 0) {
            // Some rounds also read songs and leave the thread to finish on its own first.
            ComReader r;
            ComPtr<IWMPPlaylist> audio = ByAttribute(lib.MediaCollection().Get(), L"MediaType", L"audio");
            ASSERT_EQ(r.Read(audio.Get(), {0, 1, 1, 1, 1, 1}), 1);
            for (int k = 0; k < 100 && !lib.CachingFinished(); ++k) Sleep(10);
        }
        lib.Release();
        ASSERT_EQ(StandinLiveObjects(), 0) << "round " << i;
    }
    EXPECT_TRUE(spy.Boxes().empty());
}

}  // namespace
}  // namespace swirlo::testing
