// OnShuffle: from the page's song groups to the written playlist.
#include <wrl/client.h>

#include <cmath>
#include <ctime>
#include <new>
#include <vector>

#include "foundation/IniSettings.h"
#include "foundation/Utilities.h"
#include "library/MediaLibrary.h"
#include "library/PlaylistWriter.h"
#include "library/ShufflePage.h"
#include "library/WmpSongReading.h"
#include "resources/resource.h"
#include "shuffle/ArrayShuffle.h"
#include "shuffle/EvenDistribution.h"
#include "shuffle/OutputName.h"
#include "shuffle/SeparateDups.h"

using Microsoft::WRL::ComPtr;

namespace swirlo {

// The page as the run's context: its bar, pump, stop flag, error record, log and status line.
class ShufflePage::Run final : public RunContext {
public:
    explicit Run(ShufflePage& page) : m_p(page) {}
    int GetProgress() const override { return m_p.m_nProgPos; }
    void SetProgress(int pos) override {
        m_p.m_nProgPos = pos;
        m_p.m_bar.SetPos(pos);
    }
    void PumpMessages() override { m_p.PumpRun(); }
    bool IsCancelled() const override { return m_p.m_bCancel; }
    ErrorRecord& Error() override { return m_p.m_error; }
    LogSink* Log() override { return m_p.m_log.IsOpen() ? &m_p.m_log : nullptr; }
    void SetStatus(const std::wstring& text) override { SetItemText(m_p.m_hWnd, IDC_SHUF_STATUS, text); }
    unsigned long TickCount() const override { return GetTickCount(); }

private:
    ShufflePage& m_p;
};

namespace {

unsigned Pct(DWORD d, DWORD total) { return total ? static_cast<unsigned>((200ull * d + total) / (2ull * total)) : 0; }

}  // namespace

int ShufflePage::OnShuffle(std::wstring& sOutPath, std::wstring& sSummary) {
    Run run(*this);
    IniSettings& set = *m_pSettings;
    m_error.Clear();
    const bool bLog = set.SaveLog != 0;

    // Options.
    int nLimit = -1;
    if (IsChecked(m_hWnd, IDC_SHUF_TRUNC)) {
        nLimit = LeadingNumber(GetItemText(m_hWnd, IDC_SHUF_TRUNC_EDIT), 4);
        if (nLimit < 1 || nLimit > 9999) {
            std::wstring q = FormatW(L"The option to limit shuffled output size is checked, but the size\nlimit entered is "
                                     L"invalid. It must be a number between 1 and 9999.\n\nProceed with shuffle using "
                                     L"default limit %d?", 300);
            if (MsgBoxParts(m_hWnd, m_sCaption.c_str(), q.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                            MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
                return 0;
            nLimit = 300;
            m_boxes.Set(IDC_SHUF_TRUNC_EDIT, 300);
        }
    }
    const bool bWarn = IsChecked(m_hWnd, IDC_SHUF_WARN);
    int nMethod = 0, N = 0, nStage = 90;
    if (IsChecked(m_hWnd, IDC_SHUF_EVEN)) {
        N = LeadingNumber(GetItemText(m_hWnd, IDC_SHUF_DIST_EDIT), 2);
    } else {
        N = LeadingNumber(GetItemText(m_hWnd, IDC_SHUF_ONLY_EDIT), 2);
        nMethod = N == 0 ? 2 : 1;
        nStage = nMethod == 1 ? 10 : 45;
    }

    // The output file.
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
    std::wstring first;
    bool bFirst = !names.bAddSrcName || FirstRowName(first);
    if (!bFirst)
        ShowErrorBox(L"Non-fatal error getting list data for default output name", L"No default name set.",
                     L"Otherwise OK to continue normally");
    OutputChoice out;
    if (!ChooseOutputFile(*this, set, m_playlistsFolder, DefaultOutputName(names, bFirst ? &first : nullptr), bWarn, out))
        return 0;

    PumpMessages();
    if (bLog && !m_log.StartLog(L"last shuffle log.txt", L"Start OnShuffle", set.FlushEachWrite != 0)) {
        std::wstring err = m_log.Error().Take(true);
        return ShowErrorBox(L"StartLog failed", err.c_str());
    }
    run.SetStatus(L"Reading and calculating list selection ...");
    EnableControls(false);
    m_bar.Reset(0);
    m_bar.SetPos(0);
    m_nProgPos = 0;
    m_bCancel = IsClosing();  // a close asked for during the file choice stops the run at once
    m_pump.Restart();
    m_log.LogLine(L"Start read ListView rows");
    const DWORD t0 = GetTickCount();

    auto cancelled = [&]() {
        m_pump.Force();
        return m_bCancel ? (ShowErrorBox(L"Processing stopped by user Cancel"), true) : false;
    };

    const int rows = RowCount();
    std::vector<const SongSelection*> recs;
    int nExclusions = 0;
    for (int r = 0; r < rows; ++r) {
        const SongSelection* rec = RowRecord(r);
        if (!rec) return 0;
        recs.push_back(rec);
        nExclusions += rec->IsExclusion() ? 1 : 0;
    }
    if (nExclusions == rows) return ShowErrorBox(L"Nothing to shuffle.\nAll song selections are exclusions.");
    if (cancelled()) return 0;
    if (m_pLibrary && !m_pLibrary->HaltCaching()) return 0;

    ComPtr<IWMPMediaCollection> dummyColl;
    ComPtr<IWMPPlaylist> dummyAll;
    ComPtr<IWMPMediaCollection>& mediaColl = m_pLibrary ? m_pLibrary->MediaCollection() : dummyColl;
    ComPtr<IWMPPlaylist>& allSongs = m_pLibrary ? m_pLibrary->AllSongs() : dummyAll;
    const int W = nMethod == 2 ? 25 : 10;
    const int T = 5 + 35 + 45 * rows + W + (nExclusions ? 10 : 0) + (allSongs ? 0 : 10);
    const float scale = 95.0f / static_cast<float>(T);
    run.SetProgress(static_cast<int>(5 * scale));
    if (cancelled()) return 0;
    int units = 5;

    if (!allSongs) {
        run.SetStatus(L"Getting list of all songs from Windows Media Player ...");
        const wchar_t* failed = nullptr;
        if (!mediaColl) {
            m_log.LogLine(L"Begin get_mediaCollection for all songs");
            IWMPPlayer* player = m_pLibrary ? m_pLibrary->Player() : nullptr;
            if (!player || FAILED(player->get_mediaCollection(&mediaColl)) || !mediaColl) failed = L"get_mediaCollection failed";
        }
        if (!failed) {
            if (cancelled()) return 0;
            m_log.LogLine(L"Begin get all songs playlist");
            ComString attr(L"MediaType"), value(L"audio");
            if (FAILED(mediaColl->getByAttribute(attr.get(), value.get(), &allSongs)) || !allSongs)
                failed = L"getByAttribute failed";
        }
        if (failed) {
            allSongs.Reset();
            mediaColl.Reset();
            return ShowErrorBox(L"Error getting list of all songs in WMP", failed);
        }
        units = 15;
        run.SetProgress(static_cast<int>(15 * scale));
        if (cancelled()) return 0;
        m_log.LogLine(L"Finished get m_cpWmpPlaylistAll");
    }

    auto working = std::make_unique<CSongArray>();
    std::unique_ptr<CSongArray> exclusions;
    if (nExclusions) exclusions = std::make_unique<CSongArray>();
    SongReadEnv env{run, [this](const wchar_t* p1, const wchar_t* p2) { ShowErrorBox(p1, p2); }, set.DefaultRating, 0};
    const float rowShare = 45 * scale;
    m_log.LogLine(FormatW(L"Begin reading %d song selections. Progress pct 1 row = %f", rows, rowShare).c_str());
    for (int r = 0; r < rows; ++r) {
        const SongSelection& rec = *recs[static_cast<std::size_t>(r)];
        const std::wstring status = FormatW(L"Reading songs selection %d of %d", r + 1, rows);
        run.SetStatus(status);
        const bool bExcl = rec.IsExclusion();
        std::unique_ptr<CSongArray> group;
        if (!bExcl) group = std::make_unique<CSongArray>();
        CSongArray& target = bExcl ? *exclusions : *group;
        const bool bIgnore = bExcl || rec.IgnoreRepeats();
        const float factor = bExcl ? 1.0f : 0.7f;
        const int* freq = rec.Frequencies().data();
        if (rec.IsAllSongs()) {
            if (!AddToSongArrayWrapper(target, allSongs.Get(), freq, bIgnore, factor * rowShare, 3, status, rec.Days(), env))
                return 0;
        } else {
            const int n = rec.ChosenCount();
            if (n == 0) return ShowErrorBox(L"Song selection of genres and playlists contains none");
            const float itemShare = rowShare / static_cast<float>(n);
            const int rowStart = m_nProgPos;
            int k = 0;
            for (const std::wstring& genre : rec.GenreNames()) {
                ComPtr<IWMPPlaylist> list;
                ComString name(genre.c_str());
                if (!mediaColl || FAILED(mediaColl->getByGenre(name.get(), &list)) || !list) continue;
                if (!AddToSongArrayWrapper(target, list.Get(), freq, bIgnore, factor * itemShare, 3, status, rec.Days(), env))
                    return 0;
                int pos = static_cast<int>(static_cast<float>(rowStart) + static_cast<float>(++k) * itemShare);
                if (pos > m_nProgPos) run.SetProgress(pos);
            }
            IWMPPlaylistArray* arr = m_pLibrary ? m_pLibrary->PlaylistArray() : nullptr;
            for (int idx : rec.PlaylistIndexes()) {
                ComPtr<IWMPPlaylist> list;
                if (!arr || idx < 0 || FAILED(arr->Item(idx, &list)) || !list) continue;
                if (!AddToSongArrayWrapper(target, list.Get(), freq, bIgnore, factor * itemShare, 3, status, rec.Days(), env))
                    return 0;
            }
        }
        if (!bExcl && working->GetSize() == 0) {
            working = std::move(group);  // merging into nothing gives the group itself
        } else if (!bExcl)
            for (std::uint32_t i = 0, n = group->GetSize(); i < n; ++i) {
                if (i % 1024 == 0) m_pump.Pump();
                working->AddOrIncrement(group->GetSong(i), group->GetCount(i));  // past 255 keeps its count
            }
        units += 45;
        run.SetProgress(static_cast<int>(static_cast<float>(units) * scale));
        m_log.LogLine(FormatW(L"Added selection %d of %d.  m_nProgPos = %d", r, rows, m_nProgPos).c_str());
        if (cancelled()) return 0;
    }

    // The main array: the working array without the excluded songs.
    m_log.LogLine(L"Main song array allocated");
    run.SetStatus(L"Creating list of all selected songs for shuffle");
    std::unique_ptr<CSongArray> main;
    const std::uint32_t nWork = working->GetSize();
    // Without exclusions the even method's main array is the working array as it stands.
    if (nMethod == 0 && !exclusions) main = std::move(working);
    else main = std::make_unique<CSongArray>();
    for (std::uint32_t i = 0; working && i < nWork; ++i) {
        if (i && i % 10 == 0) {
            run.SetProgress(static_cast<int>((static_cast<float>(i + 1) * 35 / static_cast<float>(nWork) + static_cast<float>(units)) * scale));
            m_pump.Pump();
            if (m_bCancel) return ShowErrorBox(L"Processing stopped by user Cancel");
        }
        const wchar_t* path = working->GetSong(i);
        if (exclusions && exclusions->FindSong(path) >= 0) continue;
        const int count = working->GetCount(i);
        bool ok = true;
        if (nMethod == 0) {
            ok = main->AddOrIncrement(path, count) != 0;
        } else {
            for (int c = 0; c < count && ok; ++c) ok = main->AddSong(path, 1) != 0;
        }
        if (!ok) {
            std::wstring err = main->GetError(true);
            return ShowErrorBox(L"Error adding song to main song array", err.c_str());
        }
    }
    working.reset();
    exclusions.reset();
    units += 35;
    run.SetProgress(static_cast<int>(static_cast<float>(units) * scale));
    if (cancelled()) return 0;

    const int base = m_nProgPos;
    const DWORD t1 = GetTickCount();
    DWORD t2 = t1, t3 = t1;
    const std::uint64_t total = main->GetTotal();
    std::vector<std::uint32_t> order;
    try {
        order.resize(static_cast<std::size_t>(total));
    } catch (const std::bad_alloc&) {
        return ShowErrorBox(L"Error allocating song index array");
    }
    m_log.LogLine(FormatW(L"Begin shuffling song index array with %u members", static_cast<unsigned>(total)).c_str());
    if (cancelled()) return 0;
    const float stepScale = static_cast<float>(W) * scale / 90.0f;
    const int stageSpan = static_cast<int>((static_cast<float>(nStage) + 0.5f) * stepScale);
    RandomSource rng;
    std::wstring notice, sepDetail;
    bool bSepFailed = false;
    auto stageFailed = [&](const wchar_t* what) {
        if (m_bCancel) return ShowErrorBox(L"Processing stopped by user Cancel");
        std::wstring err = m_error.Take(true);
        return ShowErrorBox(what, err.c_str());
    };
    if (nMethod == 0) {
        run.SetStatus(L"Shuffling songs and distributing repeats ...");
        PlacementResult placed;
        Win32File csvFile;
        DistributionFile csv;
        if (m_log.IsOpen()) csv = {&csvFile, m_pPaths ? m_pPaths->gsAppDocsDirSlash : std::wstring()};
        if (!Distribute(run, rng, *main, N, order.data(), stageSpan, placed, csv))
            return stageFailed(L"Error shuffling song array");
        m_nMinSegmentSize = placed.nMinSegmentSize;
        if (placed.nShortfalls > 0)
            notice = FormatW(L"Non fatal error (playlist is still usable):\n%d repeated songs were not separated as far as "
                             L"requested.\n\nDetails of last song not sufficiently separated:\n%ls",
                             placed.nShortfalls, m_error.Text().c_str());
        m_log.LogLine(L"Finished shuffling song index array. Start writing output file");
    } else {
        run.SetStatus(L"Generating random order (stage 1) ...");
        for (std::uint32_t i = 0; i < total; ++i) order[i] = i;
        const auto n = static_cast<std::uint32_t>(total);
        if (!ShuffleArrayMethod1(run, rng, static_cast<std::uint32_t>(std::time(nullptr)), order.data(), n, stageSpan, base))
            return stageFailed(L"Error shuffling song index array method 1");
        t2 = GetTickCount();
        m_log.LogLine(L"Finished shuffle by method 1, start shuffle by method 2.");
        run.SetProgress(base + stageSpan);
        run.SetStatus(L"Generating random order (stage 2) ...");
        m_pump.Force();
        if (!ShuffleArrayMethod2(run, rng, order.data(), n, stageSpan, base + stageSpan))
            return stageFailed(L"Error shuffling song index array method 2");
        if (nMethod == 2) {
            m_log.LogLine(L"Finished shuffling song index array. Start writing output file");
        } else {
            t3 = GetTickCount();
            m_log.LogLine(L"Finished shuffling song index array. Start separating repeats");
            run.SetStatus(L"Moving songs that repeat too soon ...");
            run.SetProgress(base + static_cast<int>(20 * stepScale));
            m_pump.Force();
            if (bLog && m_pPaths) {
                PlaylistRequest cmp{m_pPaths->gsAppDocsDirSlash + L"Playlist b4 move repeats.txt", main.get(), order.data(),
                                    out.nFormat, -1, out.sTitle, m_sVersion};
                if (!WritePlaylist(run, cmp))
                    return stageFailed(L"Error writing comparison (repeats not moved) shuffled playlist file");
            }
            if (!SeparateDups(run, *main, order.data(), N)) {
                if (m_bCancel) return ShowErrorBox(L"Processing stopped by user Cancel");
                bSepFailed = true;
                sepDetail = m_error.Take(true);
            }
            m_log.LogLine(L"Finished separating repeats. Start writing shuffled file");
        }
    }

    const DWORD t4 = GetTickCount();
    run.SetStatus(L"Writing shuffled playlist file to disk ...");
    run.SetProgress(base + static_cast<int>(90 * stepScale));
    m_pump.Force();
    const bool bNoReps = IsChecked(m_hWnd, IDC_SHUF_NOREPS) && nMethod == 0;
    const int nEffective = EffectiveLimit(nLimit, bNoReps, IsChecked(m_hWnd, IDC_SHUF_LARGER), m_nMinSegmentSize);
    if (bNoReps && bLog)
        m_log.LogLine(FormatW(L"Output limit values, truncate to prevent duplicates:\r\nnMaxSizeFixed = %d  "
                              L"m_nMinSegmentSize = %d  nMaxSizeEffective = %d", nLimit, m_nMinSegmentSize, nEffective)
                          .c_str());
    // The list goes straight beside the chosen file and is renamed into place: nothing to copy.
    PlaylistRequest req{out.sPath, main.get(), order.data(), out.nFormat, nEffective, out.sTitle, m_sVersion};
    PlaylistWritten written;
    if (!ReplaceWithPlaylist(run, req, &written)) return stageFailed(L"Error writing shuffled playlist file");
    // Where earlier versions kept their copy of every list.
    if (m_pPaths) DeleteFileW((m_pPaths->sIniDirSlash + L"playlist temp final.txt").c_str());
    sSummary = WrittenSummary(nMethod, *main, order.data(), written);
    std::vector<std::uint32_t>().swap(order);
    const DWORD t5 = GetTickCount(), tt = t5 - t0;
    if (m_log.IsOpen()) {
        std::wstring s;
        if (nMethod == 1)
            s = FormatW(L"Finished writing shuffled file.\r\n%5u millisecs (%02u%%) reading source playlists/groups\r\n%5u "
                        L"millisecs (%02u%%) array shuffle 1\r\n%5u millisecs (%02u%%) array shuffle 2\r\n          %u "
                        L"millisecs (%02u%%) shuffle total\r\n%5u millisecs (%02u%%) separating repeats\r\n%5u millisecs "
                        L"(%02u%%) writing file\r\n%5u millisecs TOTAL\r\n",
                        t1 - t0, Pct(t1 - t0, tt), t2 - t1, Pct(t2 - t1, tt), t3 - t2, Pct(t3 - t2, tt), t3 - t1,
                        Pct(t3 - t1, tt), t4 - t3, Pct(t4 - t3, tt), t5 - t4, Pct(t5 - t4, tt), tt);
        else if (nMethod == 2)
            s = FormatW(L"Finished writing shuffled file.\r\n%5u millisecs (%02u%%) reading source playlists/groups\r\n%5u "
                        L"millisecs (%02u%%) array shuffle 1\r\n%5u millisecs (%02u%%) array shuffle 2\r\n          %u "
                        L"millisecs (%02u%%) shuffle total\r\n%5u millisecs (%02u%%) writing file\r\n%5u millisecs TOTAL\r\n",
                        t1 - t0, Pct(t1 - t0, tt), t2 - t1, Pct(t2 - t1, tt), t4 - t2, Pct(t4 - t2, tt), t4 - t1,
                        Pct(t4 - t1, tt), t5 - t4, Pct(t5 - t4, tt), tt);
        else
            s = FormatW(L"Finished writing shuffled file.\r\n%5u millisecs (%02u%%) reading source playlists/groups\r\n%5u "
                        L"millisecs (%02u%%) shuffling and distributing repeats\r\n%5u millisecs (%02u%%) writing "
                        L"file\r\n%5u millisecs TOTAL\r\n",
                        t1 - t0, Pct(t1 - t0, tt), t4 - t1, Pct(t4 - t1, tt), t5 - t4, Pct(t5 - t4, tt), tt);
        m_log.LogLine(s.c_str());
    }

    if (set.WmpNotify && mediaColl) {
        ComPtr<IWMPMedia> added;
        ComString path(out.sPath.c_str());
        mediaColl->add(path.get(), &added);
    }
    if (!notice.empty()) ShowErrorBox(notice.c_str());
    if (bSepFailed)
        ShowErrorBox(L"Non-fatal error:\nGenerated playlist is usable, but repeats are close to each other at end of playlist.",
                     sepDetail.c_str(), L"This occurs more often as the specified separation between repeats is larger,",
                     L"relative to playlist size divided by number of times the same song is included.");

    sOutPath = out.sPath;
    sSummary += TruncationText(nLimit, nEffective, bNoReps, m_nMinSegmentSize, total);
    sSummary += UnplayableNotice(written.nUnplayable);
    if (set.ShowElapsed) sSummary += FormatW(L"\n\nShuffle took %.1f seconds.", static_cast<double>(tt) / 1000.0);
    return 1;
}

}  // namespace swirlo
