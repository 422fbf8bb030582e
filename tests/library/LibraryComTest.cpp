// The stand-in through real COM: its answers, its apartment rule, and song reading through it giving
// exactly what the same library gives when read in memory.
#include <thread>

#include "library/WmpSongReading.h"
#include "standin/LibraryModel.h"
#include "tests/library/ComTestSupport.h"
#include "tests/library/FakeRun.h"

namespace swirlo::testing {
namespace {

ComPtr<IWMPPlaylist> Query(IWMPMediaCollection* mc, const wchar_t* attribute, const wchar_t* value) {
    BSTR a = SysAllocString(attribute), v = SysAllocString(value);
    ComPtr<IWMPPlaylist> p;
    HRESULT hr = wcscmp(attribute, L"Genre") == 0 ? mc->getByGenre(v, &p) : mc->getByAttribute(a, v, &p);
    EXPECT_TRUE(SUCCEEDED(hr)) << attribute;
    SysFreeString(a);
    SysFreeString(v);
    return p;
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
    "playlist\tMix\tstatic\tC:\\Lists\\Mix.wpl\n"
    "entry\t2\nentry\t1\n"
    "playlist\tFresh\tauto\t\n";

TEST_F(StandinTest, ObjectsAnswerOnlyTheThreadThatMadeThem) {
    UseLibrary(L"small.txt", kSmall);
    Handles h = Open();
    ASSERT_TRUE(h.all);
    EXPECT_EQ(Status(h.player.Get()).rfind(L"2 songs and 2 playlists from ", 0), 0u);
    ComPtr<IWMPPlaylist> beyond;
    EXPECT_EQ(h.all->Item(2, &beyond), E_INVALIDARG);

    // Like the player's objects, each one answers only the thread that made it.
    LONG before = StandinWrongThreadCalls();
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

TEST_F(StandinTest, AddRecordsThePathAndAMissingFileGivesAnEmptyLibrary) {
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
    EXPECT_EQ(ReadBytes(lib + L".added.txt"),
              "C:\\Users\\Me\\Music\\Shuffled \xC3\xA9.wpl\r\nC:\\Users\\Me\\Music\\Shuffled \xC3\xA9.wpl\r\n");

    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", L"C:\\no\\such\\library.txt");
    Handles gone = Open();
    ASSERT_TRUE(gone.player);
    EXPECT_EQ(Status(gone.player.Get()).rfind(L"Cannot read the library file C:\\no\\such\\library.txt", 0), 0u);
}

// The same items read from the parsed library file, as the in-memory reader tests read them.
class ModelItems final : public LibraryItems {
public:
    ModelItems(const standin::LibraryModel& m, std::vector<std::uint32_t> items) : m_model(m), m_items(std::move(items)) {}
    bool GetCount(long& n) override {
        n = static_cast<long>(m_items.size());
        return true;
    }
    bool OpenItem(long i) override {
        m_open = &m_model.items[m_items[static_cast<std::size_t>(i)]];
        return true;
    }
    bool GetInfo(const wchar_t* attribute, std::wstring& value) override {
        value = standin::LibraryModel::ItemInfo(*m_open, attribute);
        return true;
    }
    bool GetSourceUrl(std::wstring& url) override {
        url = m_open->sPath;
        return true;
    }
    void CloseItem() override { m_open = nullptr; }

private:
    const standin::LibraryModel& m_model;
    std::vector<std::uint32_t> m_items;
    const standin::LibraryItem* m_open = nullptr;
};

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
TEST_F(StandinTest, ReadingThroughComEqualsReadingTheSameLibraryInMemory) {
    UseLibrary(L"reading.txt", kReading);
    standin::LibraryModel model;
    ASSERT_EQ(model.Parse(kReading), 1);
    Handles h = Open();
    ASSERT_TRUE(h.all);
    ComPtr<IWMPPlaylist> p1, p2;
    ASSERT_EQ(h.all->Item(0, &p1), S_OK);
    ASSERT_EQ(h.all->Item(1, &p2), S_OK);
    struct Source {
        std::vector<ComPtr<IWMPPlaylist>> com;
        std::vector<std::vector<std::uint32_t>> memory;
    };
    const Source sources[] = {
        {{Query(h.media.Get(), L"MediaType", L"audio")}, {model.AudioItems()}},
        {{Query(h.media.Get(), L"Genre", L"jazz")}, {model.ByGenre(L"Jazz")}},
        {{p1, p2}, {model.playlists[0].items, model.playlists[1].items}},
    };
    const std::initializer_list<int> freqs[] = {{0, 11, 12, 13, 14, 15}, {0, 0, 1, 1, 1, 1}, {3, 0, 0, 0, 0, 0},
                                                {-1, 0, 0, 0, 0, 0}};
    int compared = 0;
    for (const Source& source : sources)
        for (auto freq : freqs)
            for (bool ignore : {false, true})
                for (int days : {0, 30}) {
                    SongReader com, memory;
                    com.env.nNow = memory.env.nNow = LocalNoon(2011, 3, 31);
                    for (std::size_t k = 0; k < source.com.size(); ++k) {
                        ModelItems items(model, source.memory[k]);
                        ASSERT_EQ(com.Read(source.com[k].Get(), freq, ignore, days), 1);
                        ASSERT_EQ(memory.Read(items, freq, ignore, days), 1);
                    }
                    ASSERT_EQ(com.target.GetSize(), memory.target.GetSize()) << compared;
                    for (std::uint32_t i = 0; i < com.target.GetSize(); ++i) {
                        ASSERT_EQ(std::wstring(com.target.GetSong(i)), memory.target.GetSong(i)) << compared;
                        ASSERT_EQ(com.target.GetCount(i), memory.target.GetCount(i)) << compared;
                    }
                    EXPECT_EQ(com.run.statuses, memory.run.statuses);
                    EXPECT_TRUE(com.boxes.boxes.empty());
                    compared += com.target.GetSize() > 0;
                }
    EXPECT_GT(compared, 40);
}

}  // namespace
}  // namespace swirlo::testing
