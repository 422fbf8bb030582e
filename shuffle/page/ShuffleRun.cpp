// OnShuffle: from the song groups to the written playlist, as a sequence of stages: the options,
// the output file, reading the groups, the main array, the order, the write, the outcome. What the
// stages need of the page (or of the run without a window) they ask of its ShuffleHost.
#include "shuffle/page/ShuffleRun.h"

#include <wrl/client.h>

#include <cmath>
#include <ctime>
#include <new>
#include <unordered_set>
#include <vector>

#include "foundation/IniSettings.h"
#include "foundation/LogFile.h"
#include "foundation/Utilities.h"
#include "library/MediaLibrary.h"
#include "library/WmpSongReading.h"
#include "shuffle/core/ArrayShuffle.h"
#include "shuffle/core/EvenDistribution.h"
#include "shuffle/core/OutputName.h"
#include "shuffle/core/SeparateDups.h"
#include "shuffle/page/SongSelection.h"
#include "shuffle/playlist/PlaylistWriter.h"

using Microsoft::WRL::ComPtr;

namespace swirlo {

namespace {

const wchar_t* const kStopped = L"Processing stopped by user Cancel";

// The songs the groups name: every group merged into the working array, and the exclusions.
struct GroupSongs {
    std::unique_ptr<CSongArray> working;
    std::unique_ptr<CSongArray> exclusions;
};

// The order of plays, and what its making leaves for the outcome.
struct PlayOrder {
    std::vector<std::uint32_t> order;
    std::wstring notice;  // the even placement's shortfalls
    int nShortfalls = 0;
    bool bSepFailed = false;  // repeats left close together at the end of the list
    std::wstring sepDetail;
};

// What the write did, for the summary.
struct WriteResult {
    PlaylistWritten written;
    bool bNoReps = false;
    int nEffective = -1;
    std::wstring sCounts;
};

// The tick counts of the log's timing table.
struct RunTimes {
    DWORD tStart = 0, tOrder = 0, tShuffle1 = 0, tShuffle2 = 0, tWrite = 0;
};

// The bar of one run, counted in units: 5 to begin, 10 to fetch the all-songs list when the library
// holds none, 45 per group, 10 when there are exclusions, 35 for the main array and the order's
// share (25 for the plain random order, 10 otherwise); all of them together make 95 points.
struct BarUnits {
    float scale = 0;
    int units = 0;
    int orderUnits = 10;
    int orderBase = 0;  // the bar's position when the order began
    float OrderStep() const { return static_cast<float>(orderUnits) * scale / 90.0f; }
    int OrderSpan(int steps) const { return static_cast<int>((static_cast<float>(steps) + 0.5f) * OrderStep()); }
};

// The different songs among the first n entries (the random orders hold one record per play).
std::uint64_t UniqueSongs(const CSongArray& main, const std::uint32_t* order, std::uint64_t n) {
    std::unordered_set<std::wstring_view> seen;
    for (std::uint64_t i = 0; i < n; ++i) seen.insert(main.GetSongView(order[i]));
    return seen.size();
}

unsigned Pct(DWORD d, DWORD total) { return total ? static_cast<unsigned>((200ull * d + total) / (2ull * total)) : 0; }

std::wstring TimingTable(ShuffleMethod method, const RunTimes& t, DWORD t5) {
    const DWORD t0 = t.tStart, t1 = t.tOrder, t2 = t.tShuffle1, t3 = t.tShuffle2, t4 = t.tWrite, tt = t5 - t0;
    if (method == ShuffleMethod::Separated)
        return FormatW(L"Finished writing shuffled file.\r\n%5u millisecs (%02u%%) reading source playlists/groups\r\n%5u "
                       L"millisecs (%02u%%) array shuffle 1\r\n%5u millisecs (%02u%%) array shuffle 2\r\n          %u "
                       L"millisecs (%02u%%) shuffle total\r\n%5u millisecs (%02u%%) separating repeats\r\n%5u millisecs "
                       L"(%02u%%) writing file\r\n%5u millisecs TOTAL\r\n",
                       t1 - t0, Pct(t1 - t0, tt), t2 - t1, Pct(t2 - t1, tt), t3 - t2, Pct(t3 - t2, tt), t3 - t1,
                       Pct(t3 - t1, tt), t4 - t3, Pct(t4 - t3, tt), t5 - t4, Pct(t5 - t4, tt), tt);
    if (method == ShuffleMethod::Random)
        return FormatW(L"Finished writing shuffled file.\r\n%5u millisecs (%02u%%) reading source playlists/groups\r\n%5u "
                       L"millisecs (%02u%%) array shuffle 1\r\n%5u millisecs (%02u%%) array shuffle 2\r\n          %u "
                       L"millisecs (%02u%%) shuffle total\r\n%5u millisecs (%02u%%) writing file\r\n%5u millisecs TOTAL\r\n",
                       t1 - t0, Pct(t1 - t0, tt), t2 - t1, Pct(t2 - t1, tt), t4 - t2, Pct(t4 - t2, tt), t4 - t1,
                       Pct(t4 - t1, tt), t5 - t4, Pct(t5 - t4, tt), tt);
    return FormatW(L"Finished writing shuffled file.\r\n%5u millisecs (%02u%%) reading source playlists/groups\r\n%5u "
                   L"millisecs (%02u%%) shuffling and distributing repeats\r\n%5u millisecs (%02u%%) writing "
                   L"file\r\n%5u millisecs TOTAL\r\n",
                   t1 - t0, Pct(t1 - t0, tt), t4 - t1, Pct(t4 - t1, tt), t5 - t4, Pct(t5 - t4, tt), tt);
}

// One run: its context for the core (bar, pump, stop flag, error record, log, status line) over its
// host, and the run's stages. Each stage returns 1, or 0 after its box.
class Run final : public RunContext {
public:
    explicit Run(ShuffleHost& host) : m_h(host), m_set(host.Settings()) {}
    int GetProgress() const override { return m_nProgPos; }
    void SetProgress(int pos) override {
        m_nProgPos = pos;
        m_h.SetBar(pos);
    }
    void PumpMessages() override { m_h.Pump(); }
    bool IsCancelled() const override { return m_h.StopAsked(); }
    ErrorRecord& Error() override { return m_h.Error(); }
    LogSink* Log() override { return m_h.Log().IsOpen() ? &m_h.Log() : nullptr; }
    void SetStatus(const std::wstring& text) override { m_h.SetStatus(text); }
    unsigned long TickCount() const override { return GetTickCount(); }

    int Shuffle(std::wstring& sOutPath, std::wstring& sSummary, ShuffleReport* report);

private:
    int Begin();
    int ReadGroups(GroupSongs& songs);
    int TakeAllSongs();
    int ReadRow(const SongSelection& rec, int row, int rows, float rowShare, GroupSongs& songs);
    int ReadGroup(const SongSelection& rec, CSongArray& target, float rowShare, const std::wstring& status);
    std::unique_ptr<CSongArray> MainArray(ShuffleMethod method, GroupSongs& songs);
    int MakeOrder(const ShuffleOptions& opt, const OutputChoice& out, const CSongArray& main, PlayOrder& po);
    int EvenOrder(int nSeparation, const CSongArray& main, PlayOrder& po);
    int RandomOrder(const ShuffleOptions& opt, const OutputChoice& out, const CSongArray& main, PlayOrder& po);
    int SeparateRepeats(int nSeparation, const OutputChoice& out, const CSongArray& main, PlayOrder& po);
    int Write(const ShuffleOptions& opt, const OutputChoice& out, const CSongArray& main, const PlayOrder& po,
              WriteResult& w);
    void Outcome(const ShuffleOptions& opt, const OutputChoice& out, std::uint64_t total, const PlayOrder& po,
                 const WriteResult& w, std::wstring& sSummary);

    // Dispatches now; true (after its box) when Stop was pressed.
    bool Cancelled() {
        m_h.ForcePump();
        return m_h.StopAsked() ? (m_h.ShowErrorBox(kStopped), true) : false;
    }
    int StageFailed(const wchar_t* what) {
        if (m_h.StopAsked()) return m_h.ShowErrorBox(kStopped);
        std::wstring err = m_h.Error().Take(true);
        return m_h.ShowErrorBox(what, err.c_str());
    }
    // The library's collection and all-songs list, which the run fetches itself when missing.
    ComPtr<IWMPMediaCollection>& MediaColl() { return m_h.Library() ? m_h.Library()->MediaCollection() : m_noColl; }
    ComPtr<IWMPPlaylist>& AllSongs() { return m_h.Library() ? m_h.Library()->AllSongs() : m_noAll; }
    int Bar(float units) const { return static_cast<int>(units * m_units.scale); }

    ShuffleHost& m_h;
    IniSettings& m_set;
    int m_nProgPos = 0;
    int m_nMinSegmentSize = 0;
    BarUnits m_units;
    RunTimes m_times;
    ComPtr<IWMPMediaCollection> m_noColl;
    ComPtr<IWMPPlaylist> m_noAll;
};

int Run::Shuffle(std::wstring& sOutPath, std::wstring& sSummary, ShuffleReport* report) {
    ShuffleOptions opt;
    OutputChoice out;
    if (!m_h.ReadOptions(opt) || !m_h.ChooseOutput(opt, out) || !Begin()) return 0;
    m_units.orderUnits = opt.method == ShuffleMethod::Random ? 25 : 10;
    GroupSongs groups;
    if (!ReadGroups(groups)) return 0;
    std::unique_ptr<CSongArray> main = MainArray(opt.method, groups);
    if (!main) return 0;
    PlayOrder order;
    WriteResult written;
    if (!MakeOrder(opt, out, *main, order) || !Write(opt, out, *main, order, written)) return 0;
    if (report)
        *report = {written.written.nEntries, UniqueSongs(*main, order.order.data(), written.written.nEntries),
                   order.nShortfalls, order.bSepFailed};
    Outcome(opt, out, main->GetTotal(), order, written, sSummary);
    // The order and its songs go to the page as they are, for the spread picture if it is asked for.
    m_h.KeepSpread({std::move(order.order), std::move(main), opt.method, opt.nSeparation, written.written.nEntries, out.sTitle});
    sOutPath = out.sPath;
    return 1;
}

// The log, the page in its running state, and the clock.
int Run::Begin() {
    swirlo::PumpMessages();
    if (m_set.SaveLog && !m_h.Log().StartLog(L"last shuffle log.txt", L"Start OnShuffle", m_set.FlushEachWrite != 0)) {
        std::wstring err = m_h.Log().Error().Take(true);
        return m_h.ShowErrorBox(L"StartLog failed", err.c_str());
    }
    SetStatus(L"Reading and calculating list selection ...");
    m_nProgPos = 0;
    m_h.BeginRun();
    m_h.Log().LogLine(L"Start read ListView rows");
    m_times.tStart = GetTickCount();
    return 1;
}

// Every row's songs, once the caching thread has stopped; sets the bar's scale.
int Run::ReadGroups(GroupSongs& songs) {
    std::vector<const SongSelection*> recs;
    if (!m_h.Groups(recs)) return 0;
    const int rows = static_cast<int>(recs.size());
    int nExclusions = 0;
    for (const SongSelection* rec : recs) nExclusions += rec->IsExclusion() ? 1 : 0;
    if (nExclusions == rows) return m_h.ShowErrorBox(L"Nothing to shuffle.\nAll song selections are exclusions.");
    if (Cancelled()) return 0;
    // The wait for the caching thread may be long on a big library: Stop ends it.
    if (m_h.Library() && !m_h.Library()->HaltCaching([this] { return m_h.StopAsked(); })) return Cancelled(), 0;

    const int T = 5 + 35 + 45 * rows + m_units.orderUnits + (nExclusions ? 10 : 0) + (AllSongs() ? 0 : 10);
    m_units.scale = 95.0f / static_cast<float>(T);
    SetProgress(Bar(5));
    if (Cancelled()) return 0;
    m_units.units = 5;
    if (!AllSongs() && !TakeAllSongs()) return 0;

    songs.working = std::make_unique<CSongArray>();
    if (nExclusions) songs.exclusions = std::make_unique<CSongArray>();
    const float rowShare = 45 * m_units.scale;
    m_h.Log().LogLine(FormatW(L"Begin reading %d song selections. Progress pct 1 row = %f", rows, rowShare).c_str());
    for (int r = 0; r < rows; ++r)
        if (!ReadRow(*recs[static_cast<std::size_t>(r)], r, rows, rowShare, songs)) return 0;
    return 1;
}

// The library's list of all audio items, when the caching thread left none for this thread.
int Run::TakeAllSongs() {
    ComPtr<IWMPMediaCollection>& coll = MediaColl();
    ComPtr<IWMPPlaylist>& all = AllSongs();
    SetStatus(L"Getting list of all songs from Windows Media Player ...");
    const wchar_t* failed = nullptr;
    if (!coll) {
        m_h.Log().LogLine(L"Begin get_mediaCollection for all songs");
        IWMPPlayer* player = m_h.Library() ? m_h.Library()->Player() : nullptr;
        if (!player || FAILED(player->get_mediaCollection(&coll)) || !coll) failed = L"get_mediaCollection failed";
    }
    if (!failed) {
        if (Cancelled()) return 0;
        m_h.Log().LogLine(L"Begin get all songs playlist");
        ComString attr(L"MediaType"), value(L"audio");
        if (FAILED(coll->getByAttribute(attr.get(), value.get(), &all)) || !all) failed = L"getByAttribute failed";
    }
    if (failed) {
        all.Reset();
        coll.Reset();
        return m_h.ShowErrorBox(L"Error getting list of all songs in WMP", failed);
    }
    m_units.units = 15;
    SetProgress(Bar(15));
    if (Cancelled()) return 0;
    m_h.Log().LogLine(L"Finished get m_cpWmpPlaylistAll");
    return 1;
}

// One row: a group read into its own array and merged into the working one, or an exclusion group
// read into the exclusions.
int Run::ReadRow(const SongSelection& rec, int row, int rows, float rowShare, GroupSongs& songs) {
    const std::wstring status = FormatW(L"Reading songs selection %d of %d", row + 1, rows);
    SetStatus(status);
    const bool bExcl = rec.IsExclusion();
    std::unique_ptr<CSongArray> group;
    if (!bExcl) group = std::make_unique<CSongArray>();
    if (!ReadGroup(rec, bExcl ? *songs.exclusions : *group, rowShare, status)) return 0;
    CSongArray& working = *songs.working;
    if (!bExcl && working.GetSize() == 0) {
        songs.working = std::move(group);  // merging into nothing gives the group itself
    } else if (!bExcl) {
        for (std::uint32_t i = 0, n = group->GetSize(); i < n; ++i) {
            if (i % 1024 == 0) m_h.Pump();
            working.AddOrIncrement(group->GetSong(i), group->GetCount(i));  // past 255 keeps its count
        }
    }
    m_units.units += 45;
    SetProgress(Bar(static_cast<float>(m_units.units)));
    m_h.Log().LogLine(FormatW(L"Added selection %d of %d.  m_nProgPos = %d", row, rows, m_nProgPos).c_str());
    return Cancelled() ? 0 : 1;
}

// The songs of one group: all songs, or its genres and playlists, each song with its plays.
int Run::ReadGroup(const SongSelection& rec, CSongArray& target, float rowShare, const std::wstring& status) {
    const bool bExcl = rec.IsExclusion();
    const bool bIgnore = bExcl || rec.IgnoreRepeats();
    const float factor = bExcl ? 1.0f : 0.7f;
    SongReadEnv env{*this, [this](const wchar_t* p1, const wchar_t* p2) { m_h.ShowErrorBox(p1, p2); },
                    m_set.DefaultRating, 0};
    auto add = [&](IWMPPlaylist* list, float share) {
        return AddToSongArrayWrapper(target, list, rec.Frequencies().data(), bIgnore, factor * share, 3, status,
                                     rec.Days(), env);
    };
    if (rec.IsAllSongs()) return add(AllSongs().Get(), rowShare);
    const int n = rec.ChosenCount();
    if (n == 0) return m_h.ShowErrorBox(L"Song selection of genres and playlists contains none");
    const float itemShare = rowShare / static_cast<float>(n);
    const int rowStart = m_nProgPos;
    int k = 0;
    ComPtr<IWMPMediaCollection>& coll = MediaColl();
    for (const std::wstring& genre : rec.GenreNames()) {
        ComPtr<IWMPPlaylist> list;
        ComString name(genre.c_str());
        if (!coll || FAILED(coll->getByGenre(name.get(), &list)) || !list) continue;
        if (!add(list.Get(), itemShare)) return 0;
        const int pos = static_cast<int>(static_cast<float>(rowStart) + static_cast<float>(++k) * itemShare);
        if (pos > m_nProgPos) SetProgress(pos);
    }
    IWMPPlaylistArray* arr = m_h.Library() ? m_h.Library()->PlaylistArray() : nullptr;
    for (int idx : rec.PlaylistIndexes()) {
        ComPtr<IWMPPlaylist> list;
        if (!arr || idx < 0 || FAILED(arr->Item(idx, &list)) || !list) continue;
        if (!add(list.Get(), itemShare)) return 0;
    }
    return 1;
}

// The working array without the excluded songs: one record per song with its count for the even
// placement, one per play for the random orders. Both group arrays are freed. Null after the box.
std::unique_ptr<CSongArray> Run::MainArray(ShuffleMethod method, GroupSongs& songs) {
    m_h.Log().LogLine(L"Main song array allocated");
    SetStatus(L"Creating list of all selected songs for shuffle");
    const bool bEven = method == ShuffleMethod::Even;
    std::unique_ptr<CSongArray>& working = songs.working;
    const CSongArray* excl = songs.exclusions.get();
    const std::uint32_t nWork = working->GetSize();
    // Without exclusions the even method's main array is the working array as it stands.
    std::unique_ptr<CSongArray> main = bEven && !excl ? std::move(working) : std::make_unique<CSongArray>();
    for (std::uint32_t i = 0; working && i < nWork; ++i) {
        if (i && i % 10 == 0) {
            SetProgress(Bar(static_cast<float>(i + 1) * 35 / static_cast<float>(nWork) + static_cast<float>(m_units.units)));
            m_h.Pump();
            if (m_h.StopAsked()) return m_h.ShowErrorBox(kStopped), nullptr;
        }
        const wchar_t* path = working->GetSong(i);
        if (excl && excl->FindSong(path) >= 0) continue;
        const int count = working->GetCount(i);
        bool ok = true;
        if (bEven) ok = main->AddOrIncrement(path, count) != 0;
        else
            for (int c = 0; c < count && ok; ++c) ok = main->AddSong(path, 1) != 0;
        if (!ok) {
            std::wstring err = main->GetError(true);
            return m_h.ShowErrorBox(L"Error adding song to main song array", err.c_str()), nullptr;
        }
    }
    songs = GroupSongs();
    m_units.units += 35;
    SetProgress(Bar(static_cast<float>(m_units.units)));
    if (Cancelled()) return nullptr;
    return main;
}

// The order of plays, by the method the options chose.
int Run::MakeOrder(const ShuffleOptions& opt, const OutputChoice& out, const CSongArray& main,
                                PlayOrder& po) {
    m_units.orderBase = m_nProgPos;
    m_times.tOrder = m_times.tShuffle1 = m_times.tShuffle2 = GetTickCount();
    const std::uint64_t total = main.GetTotal();
    try {
        po.order.resize(static_cast<std::size_t>(total));
    } catch (const std::bad_alloc&) {
        return m_h.ShowErrorBox(L"Error allocating song index array");
    }
    m_h.Log().LogLine(FormatW(L"Begin shuffling song index array with %u members", static_cast<unsigned>(total)).c_str());
    if (Cancelled()) return 0;
    if (opt.method == ShuffleMethod::Even) return EvenOrder(opt.nSeparation, main, po);
    return RandomOrder(opt, out, main, po);
}

int Run::EvenOrder(int nSeparation, const CSongArray& main, PlayOrder& po) {
    SetStatus(L"Shuffling songs and distributing repeats ...");
    RandomSource rng;
    PlacementResult placed;
    Win32File csvFile;
    DistributionFile csv;
    if (m_h.Log().IsOpen()) csv = {&csvFile, m_h.Paths() ? m_h.Paths()->gsAppDocsDirSlash : std::wstring()};
    if (!Distribute(*this, rng, main, nSeparation, po.order.data(), m_units.OrderSpan(90), placed, csv))
        return StageFailed(L"Error shuffling song array");
    m_nMinSegmentSize = placed.nMinSegmentSize;
    m_h.SetMinSegmentSize(placed.nMinSegmentSize);
    po.nShortfalls = placed.nShortfalls;
    if (placed.nShortfalls > 0)
        po.notice = FormatW(L"Non fatal error (playlist is still usable):\n%d repeated songs were not separated as far as "
                            L"requested.\n\nDetails of last song not sufficiently separated:\n%ls",
                            placed.nShortfalls, m_h.Error().Text().c_str());
    m_h.Log().LogLine(L"Finished shuffling song index array. Start writing output file");
    return 1;
}

// Two array shuffles, then for the separated method the repeats moved apart.
int Run::RandomOrder(const ShuffleOptions& opt, const OutputChoice& out, const CSongArray& main,
                                  PlayOrder& po) {
    const bool bSeparate = opt.method == ShuffleMethod::Separated;
    const int base = m_units.orderBase, span = m_units.OrderSpan(bSeparate ? 10 : 45);
    std::uint32_t* order = po.order.data();
    const auto n = static_cast<std::uint32_t>(po.order.size());
    RandomSource rng;
    SetStatus(L"Generating random order (stage 1) ...");
    for (std::uint32_t i = 0; i < n; ++i) order[i] = i;
    if (!ShuffleArrayMethod1(*this, rng, static_cast<std::uint32_t>(std::time(nullptr)), order, n, span, base))
        return StageFailed(L"Error shuffling song index array method 1");
    m_times.tShuffle1 = GetTickCount();
    m_h.Log().LogLine(L"Finished shuffle by method 1, start shuffle by method 2.");
    SetProgress(base + span);
    SetStatus(L"Generating random order (stage 2) ...");
    m_h.ForcePump();
    if (!ShuffleArrayMethod2(*this, rng, order, n, span, base + span))
        return StageFailed(L"Error shuffling song index array method 2");
    if (!bSeparate) {
        m_h.Log().LogLine(L"Finished shuffling song index array. Start writing output file");
        return 1;
    }
    m_times.tShuffle2 = GetTickCount();
    return SeparateRepeats(opt.nSeparation, out, main, po);
}

// With the log on, the list as it was before is kept beside the log for comparison.
int Run::SeparateRepeats(int nSeparation, const OutputChoice& out, const CSongArray& main, PlayOrder& po) {
    m_h.Log().LogLine(L"Finished shuffling song index array. Start separating repeats");
    SetStatus(L"Moving songs that repeat too soon ...");
    SetProgress(m_units.orderBase + static_cast<int>(20 * m_units.OrderStep()));
    m_h.ForcePump();
    if (m_set.SaveLog && m_h.Paths()) {
        PlaylistRequest cmp{m_h.Paths()->gsAppDocsDirSlash + L"Playlist b4 move repeats.txt", &main, po.order.data(),
                            out.nFormat, -1, out.sTitle, m_h.Version()};
        if (!WritePlaylist(*this, cmp))
            return StageFailed(L"Error writing comparison (repeats not moved) shuffled playlist file");
    }
    if (!SeparateDups(*this, main, po.order.data(), nSeparation)) {
        if (m_h.StopAsked()) return m_h.ShowErrorBox(kStopped);
        po.bSepFailed = true;
        po.sepDetail = m_h.Error().Take(true);
    }
    m_h.Log().LogLine(L"Finished separating repeats. Start writing shuffled file");
    return 1;
}

// The order, cut to the effective limit, written over the chosen file.
int Run::Write(const ShuffleOptions& opt, const OutputChoice& out, const CSongArray& main,
                            const PlayOrder& po, WriteResult& w) {
    m_times.tWrite = GetTickCount();
    SetStatus(L"Writing shuffled playlist file to disk ...");
    SetProgress(m_units.orderBase + static_cast<int>(90 * m_units.OrderStep()));
    m_h.ForcePump();
    const int nMinSegment = m_nMinSegmentSize;
    w.bNoReps = opt.bNoReps && opt.method == ShuffleMethod::Even;
    w.nEffective = EffectiveLimit(opt.nLimit, w.bNoReps, opt.bLarger, nMinSegment);
    if (w.bNoReps && m_set.SaveLog)
        m_h.Log().LogLine(FormatW(L"Output limit values, truncate to prevent duplicates:\r\nnMaxSizeFixed = %d  "
                                  L"m_nMinSegmentSize = %d  nMaxSizeEffective = %d", opt.nLimit, nMinSegment, w.nEffective)
                              .c_str());
    // The list goes straight beside the chosen file and is renamed into place: nothing to copy.
    PlaylistRequest req{out.sPath, &main, po.order.data(), out.nFormat, w.nEffective, out.sTitle, m_h.Version()};
    if (!ReplaceWithPlaylist(*this, req, &w.written)) return StageFailed(L"Error writing shuffled playlist file");
    // Where earlier versions kept their copy of every list.
    if (m_h.Paths()) DeleteFileW((m_h.Paths()->sIniDirSlash + L"playlist temp final.txt").c_str());
    w.sCounts = WrittenSummary(opt.method, main, po.order.data(), w.written);
    return 1;
}

// The timing table, the list added to the library, the non-fatal notices, and the summary.
void Run::Outcome(const ShuffleOptions& opt, const OutputChoice& out, std::uint64_t total,
                               const PlayOrder& po, const WriteResult& w, std::wstring& sSummary) {
    const DWORD tEnd = GetTickCount();
    if (m_h.Log().IsOpen()) m_h.Log().LogLine(TimingTable(opt.method, m_times, tEnd).c_str());
    if (m_set.WmpNotify && MediaColl()) {
        ComPtr<IWMPMedia> added;
        ComString path(out.sPath.c_str());
        MediaColl()->add(path.get(), &added);
    }
    if (!po.notice.empty()) m_h.ShowErrorBox(po.notice.c_str());
    if (po.bSepFailed)
        m_h.ShowErrorBox(L"Non-fatal error:\nGenerated playlist is usable, but repeats are close to each other at end of playlist.",
                         po.sepDetail.c_str(), L"This occurs more often as the specified separation between repeats is larger,",
                         L"relative to playlist size divided by number of times the same song is included.");
    sSummary = w.sCounts + TruncationText(opt.nLimit, w.nEffective, w.bNoReps, m_nMinSegmentSize, total) +
               UnplayableNotice(w.written.nUnplayable);
    if (m_set.ShowElapsed)
        sSummary += FormatW(L"\n\nShuffle took %.1f seconds.", static_cast<double>(tEnd - m_times.tStart) / 1000.0);
}

}  // namespace

int RunShuffle(ShuffleHost& host, std::wstring& sOutPath, std::wstring& sSummary, ShuffleReport* report) {
    host.Error().Clear();
    Run run(host);
    return run.Shuffle(sOutPath, sSummary, report);
}

std::wstring DefaultNameBySettings(const IniSettings& set, const std::wstring* firstName) {
    OutputNameOptions names;
    names.nConvertWpl = set.ConvertWpl;
    names.bAddSrcName = set.AddSrcName != 0;
    names.bAddLabel = set.AddLabel != 0;
    names.sLabel = set.LabelText;
    names.bLabelAfter = set.LabelPlace != 0;
    names.bAddDate = set.AddDate != 0;
    names.bDateAfter = set.DatePlace != 0;
    wchar_t mmdd[8] = L"";
    GetDateFormatW(LOCALE_SYSTEM_DEFAULT, 0, nullptr, L"MMdd", mmdd, 8);
    names.sDateMMdd = mmdd;
    return DefaultOutputName(names, firstName);
}

}  // namespace swirlo
