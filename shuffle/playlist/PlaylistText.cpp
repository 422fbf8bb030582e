#include "shuffle/playlist/PlaylistText.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <cstdint>
#include <cwchar>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "foundation/ErrorText.h"
#include "foundation/Utf8.h"

namespace swirlo {

std::wstring XmlEscape(std::wstring_view text) {
    if (text.find_first_of(L"&\"<>") == std::wstring_view::npos) return std::wstring(text);
    std::wstring out;
    out.reserve(text.size() + 16);
    for (wchar_t c : text) {
        switch (c) {
            case L'&': out += L"&amp;"; break;
            case L'\'': out += L"&apos;"; break;
            case L'"': out += L"&quot;"; break;
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string WplHeader(std::string_view versionUtf8, std::string_view titleUtf8) {
    std::string s = "<?wpl version=\"1.0\"?>\r\n<smil>\r\n<head>\r\n<meta name=\"Generator\" content=\"Swirlo -- ";
    s += versionUtf8;
    s += "\"/>\r\n<author/>\r\n<title>";
    s += titleUtf8;
    s += "</title>\r\n</head>\r\n<body>\r\n<seq>\r\n";
    return s;
}

namespace {

// One stretch of consecutive entries on its way to the file: formatted into one buffer, written
// with one call.
struct EntryJob {
    enum State { Free, Committed, Formatting, Formatted, Writing };
    State state = Free;
    std::uint64_t first = 0, last = 0;   // the entries [first, last)
    std::vector<char> buf;
    std::size_t size = 0;
    std::vector<std::size_t> ends;       // where each entry's line ends in buf
    std::uint64_t nNoMemory = kNoEntry;  // the entry whose line could not get memory; formatting stopped there

    static constexpr std::uint64_t kNoEntry = ~std::uint64_t{0};

    void Reset(std::uint64_t nFirst) {
        first = last = nFirst;
        size = 0;
        ends.clear();
        nNoMemory = kNoEntry;
    }
    // Room for n more bytes at the end; the buffer is kept between uses and grows when it must.
    char* Room(std::size_t n) {
        if (size + n > buf.size()) buf.resize(std::max<std::size_t>(size + n, std::max<std::size_t>(buf.size() * 2, 1 << 20)));
        return buf.data() + size;
    }
    void Advance(std::size_t n) { size += n; }
    void Append(std::string_view s) {
        std::copy(s.begin(), s.end(), Room(s.size()));
        size += s.size();
    }
};

// The line of one .wpl or .m3u8 entry, CR LF included.
void FormatLine(EntryJob& job, int nFormat, std::wstring_view song) {
    if (nFormat == kFormatWpl) {
        job.Append("<media src=\"");
        if (song.find_first_of(L"&\"<>") == std::wstring_view::npos) {
            job.Advance(EncodeUtf8(job.Room(MaxUtf8Bytes(song.size())), song));
        } else {
            const std::wstring escaped = XmlEscape(song);
            job.Advance(EncodeUtf8(job.Room(MaxUtf8Bytes(escaped.size())), escaped));
        }
        job.Append("\"/>\r\n");
    } else {
        char* p = job.Room(MaxUtf8Bytes(song.size()) + 2);
        const std::size_t n = EncodeUtf8(p, song);
        p[n] = '\r';
        p[n + 1] = '\n';
        job.Advance(n + 2);
    }
}

// Formats and writes the entries. The window thread walks the entries in order for the progress
// bar, the message dispatch and the Stop button, and hands them over a stretch at a time; a second
// thread writes the stretches to the file in order and, while it has nothing to write, formats
// stretches too, so that both processors share the work. The window thread never writes while the
// second thread runs: a slow disk does not hold up the window beyond waiting for a free stretch.
// When Stop or a failure is reported, every stretch handed over before it has been written (or the
// write has failed), so the file holds every entry walked before Stop, or is left as far as written.
class EntryPipeline {
public:
    EntryPipeline(ByteFile& file, const PlaylistRequest& req) : m_file(file), m_req(req) {}
    ~EntryPipeline() {
        if (!m_worker.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bQuit = true;
        }
        m_cv.notify_all();
        m_worker.join();
    }

    // The stretch for the entries from nFirst on; nullptr when a write has failed. Waits while
    // every stretch is still on its way, helping with the formatting meanwhile.
    EntryJob* Acquire(std::uint64_t nFirst) {
        if (m_nPublished == 1 && !m_worker.joinable() && !m_bNoThread) {
            // A second stretch: worth a thread.
            try {
                m_worker = std::thread([this] { WorkerLoop(); });
            } catch (const std::exception&) {
                m_bNoThread = true;  // no thread to be had: everything on this one
            }
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        EntryJob& job = m_jobs[m_nPublished % kJobs];
        while (!m_bFailed && job.state != EntryJob::Free)
            if (!Step(lock, !m_worker.joinable())) m_cv.wait(lock);
        if (m_bFailed) return nullptr;
        job.Reset(nFirst);
        return &job;
    }
    // Hands the stretch over: to be formatted, or (formatted already) to be written.
    void Publish(EntryJob& job, bool bFormatted) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            job.state = bFormatted ? EntryJob::Formatted : EntryJob::Committed;
            ++m_nPublished;
        }
        m_cv.notify_all();
    }
    // Waits until every stretch handed over is written; false when a write failed or a line
    // could not get memory.
    bool Finish() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_bFailed && m_nWritten < m_nPublished)
            if (!Step(lock, !m_worker.joinable())) m_cv.wait(lock);
        return !m_bFailed;
    }

    std::uint64_t Bytes() const { return m_nBytes; }
    // After a failure: the entry (0-based) that did not reach the file whole, whether it was
    // left out for want of memory, and for a failed write the system's words, taken on the
    // thread that made the call.
    std::uint64_t FailedEntry() const { return m_nFailedEntry; }
    bool FailedForMemory() const { return m_bNoMemory; }
    const SystemErrorPieces& Failure() const { return m_failure; }

private:
    static constexpr int kJobs = 4;

    // One piece of work under the lock, the lock released while it runs: writing the next
    // stretch if it is formatted and this thread writes, else formatting the oldest stretch
    // that waits for it. False when there is none.
    bool Step(std::unique_lock<std::mutex>& lock, bool bWrites) {
        if (m_bFailed) return false;
        EntryJob& next = m_jobs[m_nWritten % kJobs];
        if (bWrites && m_nWritten < m_nPublished && next.state == EntryJob::Formatted) {
            next.state = EntryJob::Writing;
            lock.unlock();
            std::size_t nDone = 0;
            const bool ok = next.size == 0 || m_file.Write(next.buf.data(), next.size, nDone);
            SystemErrorPieces failure;
            if (!ok) failure = ErrorPiecesOf(m_file);
            lock.lock();
            m_nBytes += nDone;
            if (!ok) {
                m_failure = std::move(failure);
                const auto e = std::upper_bound(next.ends.begin(), next.ends.end(), nDone) - next.ends.begin();
                m_nFailedEntry = next.first + static_cast<std::uint64_t>(e);
                m_bFailed = true;
            } else if (next.nNoMemory != EntryJob::kNoEntry) {
                m_nFailedEntry = next.nNoMemory;
                m_bNoMemory = m_bFailed = true;
            }
            next.state = EntryJob::Free;
            ++m_nWritten;
            m_cv.notify_all();
            return true;
        }
        for (std::uint64_t s = m_nWritten; s < m_nPublished; ++s) {
            EntryJob& job = m_jobs[s % kJobs];
            if (job.state != EntryJob::Committed) continue;
            job.state = EntryJob::Formatting;
            lock.unlock();
            Format(job);
            lock.lock();
            job.state = EntryJob::Formatted;
            m_cv.notify_all();
            return true;
        }
        return false;
    }
    void Format(EntryJob& job) {
        const CSongArray& songs = *m_req.pSongs;
        const std::uint32_t* order = m_req.pOrder;
        for (std::uint64_t i = job.first; i < job.last; ++i) {
            // The paths lie scattered over the heap: ask for the ones a few entries ahead early,
            // so that formatting does not wait on memory at every entry.
            if (i + 16 < job.last) songs.Prefetch(order[i + 16]);
            const std::size_t nStart = job.size;
            try {
                FormatLine(job, m_req.nFormat, songs.GetSongView(order[i]));
                job.ends.push_back(job.size);
            } catch (const std::bad_alloc&) {
                job.size = nStart;
                job.nNoMemory = i;
                job.last = i;
                return;
            }
        }
    }
    void WorkerLoop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_bQuit)
            if (!Step(lock, true)) m_cv.wait(lock);
    }

    ByteFile& m_file;
    const PlaylistRequest& m_req;
    EntryJob m_jobs[kJobs];
    std::uint64_t m_nPublished = 0;  // stretches handed over
    std::uint64_t m_nWritten = 0;    // of those, written (in order)
    std::uint64_t m_nBytes = 0;
    std::uint64_t m_nFailedEntry = 0;
    bool m_bFailed = false, m_bNoMemory = false, m_bQuit = false, m_bNoThread = false;
    SystemErrorPieces m_failure;
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_cv;
};

// The entries the window thread walks before handing them over.
constexpr std::uint64_t kEntriesPerJob = 8192;

// The error record after the pipeline failed: a line without memory, or a failed write. Returns 0.
std::uint64_t PipelineFailed(RunContext& ctx, const EntryPipeline& pipe, const PlaylistRequest& req) {
    if (pipe.FailedForMemory()) {
        const wchar_t* sSong = req.pSongs->GetSong(req.pOrder[pipe.FailedEntry()]);
        if (req.nFormat == kFormatWpl)
            ctx.Error().SetErrorParts(L"Error converting special chars to xml codes for playlist file",
                                      L"ReplaceSubStr: Error allocating memory", L"Song path:", sSong);
        else
            ctx.Error().SetErrorParts(FormatW(L"Error converting song path from UTF-16 to %ls for playlist file\n"
                                              L"Error allocating memory\nSong path in UTF-16:\n%ls",
                                              req.nFormat == kFormatM3u ? L"ANSI" : L"UTF-8", sSong)
                                          .c_str());
        return 0;
    }
    const SystemErrorPieces& e = pipe.Failure();
    ctx.Error().SetErrorParts(FormatW(L"Error writing song entry %u to file:\r\n%ls\r\n%ls%ls",
                                      static_cast<unsigned>(pipe.FailedEntry() + 1), req.sPath.c_str(),
                                      e.sPrefix.c_str(), e.sText.c_str())
                                  .c_str());
    return 0;
}

// The entry writer: returns the bytes written, 0 on failure (error record filled).
std::uint64_t WriteEntries(RunContext& ctx, ByteFile& file, const AnsiConverter& toAnsi, const PlaylistRequest& req) {
    const CSongArray& songs = *req.pSongs;
    const std::uint64_t total = songs.GetTotal();
    const std::uint64_t n =
        (req.nLimit < 0 || static_cast<std::uint64_t>(req.nLimit) >= total) ? total : static_cast<std::uint64_t>(req.nLimit);
    if (n == 0) return 0;
    const int base = ctx.GetProgress();
    EntryPipeline pipe(file, req);
    std::string ansi;
    std::wstring convError;
    auto failed = [&] { return PipelineFailed(ctx, pipe, req); };

    // The bar moves by up to five points; it is told only at the entries where it changes.
    std::uint64_t nextMove = 0;
    for (std::uint64_t i = 0; i < n;) {
        EntryJob* job = pipe.Acquire(i);
        if (!job) return failed();
        const std::uint64_t end = std::min(n, i + kEntriesPerJob);
        bool bCancelled = false, bConvFailed = false;
        for (; i < end; ++i) {
            if (i >= nextMove) {
                const int step = static_cast<int>(5 * i / n);
                ctx.SetProgress(base + step);
                nextMove = ((step + 1) * n + 4) / 5;  // the first i with 5 * i / n > step
            }
            if (i % 20 == 0) ctx.PumpMessages();
            if (ctx.IsCancelled()) {
                bCancelled = true;
                break;
            }
            if (req.nFormat != kFormatM3u) continue;
            // ANSI lines are converted here: the conversion reports through the window thread.
            const wchar_t* sSong = songs.GetSong(req.pOrder[i]);
            try {
                if (!toAnsi(sSong, ansi, convError)) {
                    bConvFailed = true;
                    break;
                }
                job->Append(ansi);
                job->Append("\r\n");
                job->ends.push_back(job->size);
            } catch (const std::bad_alloc&) {
                job->size = job->ends.empty() ? 0 : job->ends.back();
                job->nNoMemory = i;
                break;
            }
        }
        const bool bNoMemory = job->nNoMemory != EntryJob::kNoEntry;
        job->last = bNoMemory ? job->nNoMemory : i;
        pipe.Publish(*job, req.nFormat == kFormatM3u);  // the job is the pipeline's from here on
        if (bCancelled || bConvFailed || bNoMemory) {
            // Whatever was walked goes to the file before Stop or the failure is reported.
            if (!pipe.Finish()) return failed();
            if (bCancelled)
                ctx.Error().SetErrorParts(L"Processing stopped by user Cancel", L"Shuffled playlist PARTIALLY written:",
                                          req.sPath.c_str());
            else
                ctx.Error().SetErrorParts(FormatW(L"Error converting song path from UTF-16 to ANSI for playlist "
                                                  L"file\n%ls\nSong path in UTF-16:\n%ls",
                                                  convError.c_str(), songs.GetSong(req.pOrder[i]))
                                              .c_str());
            return 0;
        }
    }
    if (!pipe.Finish()) return failed();
    return pipe.Bytes();
}

}  // namespace

bool WritePlaylistTo(RunContext& ctx, ByteFile& file, const AnsiConverter& toAnsi, const PlaylistRequest& req,
                     PlaylistWritten* pWritten) {
    const CSongArray& songs = *req.pSongs;
    // A limit of 0 would write a playlist without entries and report it as a failure without a
    // reason; it is refused up front like an empty song array.
    if (songs.GetTotal() == 0 || songs.GetSize() == 0 || req.nLimit == 0)
        return ctx.Error().SetErrorParts(L"Program logic error", L"WritePlaylist called with 0 songs to write");

    std::string header;
    if (req.nFormat == kFormatWpl) {
        std::string title;
        try {
            title = ToUtf8Text(XmlEscape(req.sTitle));
        } catch (const std::bad_alloc&) {
            return ctx.Error().SetErrorParts(L"Error converting UTF-16 playlist title to UTF-8", req.sTitle.c_str(),
                                             L"ReplaceSubStr: Error allocating memory");
        }
        header = WplHeader(ToUtf8Text(req.sVersion), title);
    } else {
        header = kM3uHeader;
    }

    if (!file.Create(req.sPath)) {
        SystemErrorPieces e = ErrorPiecesOf(file);
        return ctx.Error().SetErrorParts(
            FormatW(L"Error opening file for write:\r\n%ls\r\n%ls%ls", req.sPath.c_str(), e.sPrefix.c_str(), e.sText.c_str())
                .c_str());
    }
    auto fail = [&](const wchar_t* fmt) {
        SystemErrorPieces e = ErrorPiecesOf(file);
        ctx.Error().SetErrorParts(FormatW(fmt, req.sPath.c_str(), e.sPrefix.c_str(), e.sText.c_str()).c_str());
        file.Close();
        return false;
    };
    std::size_t nWritten = 0;
    if (!file.Write(header.data(), header.size(), nWritten)) return fail(L"Error writing start of file:\r\n%ls\r\n%ls%ls");
    std::uint64_t nBytes = nWritten;

    const std::uint64_t nEntryBytes = WriteEntries(ctx, file, toAnsi, req);
    if (nEntryBytes == 0) {
        file.Close();
        return false;
    }
    nBytes += nEntryBytes;
    if (req.nFormat == kFormatWpl) {
        if (!file.Write(kWplFooter.data(), kWplFooter.size(), nWritten))
            return fail(L"Error writing last part of file:\r\n%ls\r\n%ls%ls");
        nBytes += nWritten;
    }
    file.Close();
    if (LogSink* log = ctx.Log(); log && log->IsOpen())
        log->LogLine(FormatW(L"%llu bytes written to %ls", static_cast<unsigned long long>(nBytes), req.sPath.c_str()).c_str());
    if (pWritten) {
        const std::uint64_t total = songs.GetTotal();
        pWritten->nEntries = req.nLimit < 0 ? total : std::min<std::uint64_t>(total, static_cast<std::uint64_t>(req.nLimit));
    }
    return true;
}

std::wstring WrittenSummary(ShuffleMethod method, const CSongArray& songs, const std::uint32_t* order, const PlaylistWritten& written) {
    const auto total = static_cast<unsigned>(songs.GetTotal());
    if (method != ShuffleMethod::Even) return FormatW(L"%u total songs in shuffled playlist, including repetitions", total);
    std::uint32_t nUnique = songs.GetSize();
    if (written.nEntries < songs.GetTotal()) {
        std::vector<bool> seen(songs.GetSize());
        nUnique = 0;
        for (std::uint64_t i = 0; i < written.nEntries; ++i)
            if (!seen[order[i]]) seen[order[i]] = true, ++nUnique;
    }
    return FormatW(L"%u unique songs in shuffled playlist\n%u total songs including repetitions", nUnique, total);
}

std::wstring UnplayableNotice(std::uint64_t nUnplayable) {
    if (nUnplayable == 0) return std::wstring();
    if (nUnplayable == 1)
        return L"\n\nNote: 1 entry will not play. Its path holds characters that an .m3u file cannot store, so it was "
               L"written with \"?\". Save as .m3u8 to keep it.";
    return FormatW(L"\n\nNote: %llu entries will not play. Their paths hold characters that an .m3u file cannot store, "
                   L"so they were written with \"?\". Save as .m3u8 to keep them.",
                   static_cast<unsigned long long>(nUnplayable));
}

}  // namespace swirlo
