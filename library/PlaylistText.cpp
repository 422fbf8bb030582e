#include "library/PlaylistText.h"

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
#include "shuffle/Utf8.h"

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

// Entries are gathered into blocks so that a long playlist takes few system calls, and a full block
// is written by a second thread while the next one is formatted. Before Stop or a failure is
// reported every block handed over has been written (or has failed), so the file then holds every
// entry formatted, or is left as far as written.
class EntryBlocks {
public:
    explicit EntryBlocks(ByteFile& file) : m_file(file) {
        m_cur.buf.resize(kBlock * 2);
        m_spare.buf.resize(kBlock * 2);
    }
    ~EntryBlocks() {
        if (!m_writer.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cv.notify_all();
        m_writer.join();
    }
    // Room for n more bytes at the end of the block; grows for a line longer than a block.
    char* Room(std::size_t n) {
        if (m_cur.size + n > m_cur.buf.size()) m_cur.buf.resize(m_cur.size + n);
        return m_cur.buf.data() + m_cur.size;
    }
    void Advance(std::size_t n) { m_cur.size += n; }
    void Append(std::string_view s) {
        std::copy(s.begin(), s.end(), Room(s.size()));
        m_cur.size += s.size();
    }
    // Marks the end of entry number nEntry (0-based).
    void EndEntry(std::uint64_t nEntry) {
        if (m_cur.ends.empty()) m_cur.firstEntry = nEntry;
        m_cur.ends.push_back(m_cur.size);
    }
    bool Full() const { return m_cur.size >= kBlock; }

    // Hands the full block to the writer thread and goes on in the other buffer. False when the
    // block handed over before it failed (nFailedEntry then says at which entry).
    bool HandOver(std::uint64_t& nBytes, std::uint64_t& nFailedEntry) {
        if (!WaitForWriter(nBytes, nFailedEntry)) return false;
        if (!m_writer.joinable() && !m_bNoThread) {
            try {
                m_writer = std::thread([this] { WriterLoop(); });
            } catch (const std::exception&) {
                m_bNoThread = true;  // no thread to be had: write on this one
            }
        }
        if (m_bNoThread) return Flush(nBytes, nFailedEntry);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            std::swap(m_cur, m_spare);
            m_busy = true;
        }
        m_cv.notify_all();
        m_cur.size = 0;
        m_cur.ends.clear();
        return true;
    }
    // Writes everything formatted so far. On failure nFailedEntry is the 0-based number of the
    // first entry that did not reach the file whole.
    bool Flush(std::uint64_t& nBytes, std::uint64_t& nFailedEntry) {
        if (!WaitForWriter(nBytes, nFailedEntry)) return false;
        bool ok = WriteBlock(m_cur);
        nBytes += m_cur.nWritten;
        if (!ok) nFailedEntry = m_cur.failedEntry;
        m_cur.size = 0;
        m_cur.ends.clear();
        return ok;
    }
    // The system's words for the failed write, taken on the thread that made it.
    const SystemErrorPieces& Failure() const { return m_failure; }

private:
    struct Block {
        std::vector<char> buf;
        std::size_t size = 0;
        std::vector<std::size_t> ends;
        std::uint64_t firstEntry = 0;
        std::size_t nWritten = 0;
        std::uint64_t failedEntry = 0;
        bool ok = true;
    };

    bool WriteBlock(Block& b) {
        b.nWritten = 0;
        b.ok = true;
        if (b.size == 0) return true;
        b.ok = m_file.Write(b.buf.data(), b.size, b.nWritten);
        if (!b.ok) {
            m_failure = ErrorPiecesOf(m_file);
            std::size_t e = 0;
            while (e < b.ends.size() && b.ends[e] <= b.nWritten) ++e;
            b.failedEntry = b.firstEntry + e;
        }
        return b.ok;
    }
    bool WaitForWriter(std::uint64_t& nBytes, std::uint64_t& nFailedEntry) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return !m_busy; });
        if (!m_spareCounted) {
            m_spareCounted = true;
            nBytes += m_spare.nWritten;
            if (!m_spare.ok) {
                nFailedEntry = m_spare.failedEntry;
                return false;
            }
        }
        return true;
    }
    void WriterLoop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_cv.wait(lock, [this] { return m_busy || m_quit; });
            if (m_quit && !m_busy) return;
            lock.unlock();
            WriteBlock(m_spare);
            lock.lock();
            m_busy = false;
            m_spareCounted = false;
            m_cv.notify_all();
        }
    }

    static constexpr std::size_t kBlock = 1 << 20;
    ByteFile& m_file;
    Block m_cur;    // being formatted (window thread)
    Block m_spare;  // being written (writer thread) or written and waiting to be counted
    SystemErrorPieces m_failure;
    std::thread m_writer;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_busy = false;
    bool m_spareCounted = true;
    bool m_quit = false;
    bool m_bNoThread = false;
};

// The entry writer: returns the bytes written, 0 on failure (error record filled).
std::uint64_t WriteEntries(RunContext& ctx, ByteFile& file, const AnsiConverter& toAnsi, const PlaylistRequest& req) {
    const CSongArray& songs = *req.pSongs;
    const std::uint64_t total = songs.GetTotal();
    const std::uint64_t n =
        (req.nLimit < 0 || static_cast<std::uint64_t>(req.nLimit) >= total) ? total : static_cast<std::uint64_t>(req.nLimit);
    if (n == 0) return 0;
    const int base = ctx.GetProgress();
    EntryBlocks blocks(file);
    std::uint64_t nBytes = 0, nFailed = 0;
    std::string ansi;
    std::wstring convError;
    auto writeFailed = [&]() {
        const SystemErrorPieces& e = blocks.Failure();
        ctx.Error().SetErrorParts(FormatW(L"Error writing song entry %u to file:\r\n%ls\r\n%ls%ls",
                                          static_cast<unsigned>(nFailed + 1), req.sPath.c_str(), e.sPrefix.c_str(),
                                          e.sText.c_str())
                                      .c_str());
        return 0;
    };
    // Whatever was formatted goes to the file before a failure or Stop is reported.
    auto flushThenStop = [&]() -> bool { return blocks.Flush(nBytes, nFailed); };

    // The bar moves by up to five points; it is told only at the entries where it changes.
    std::uint64_t nextMove = 0;
    for (std::uint64_t i = 0; i < n; ++i) {
        // The paths lie scattered over the heap: ask for the ones a few entries ahead early, so
        // that formatting does not wait on memory at every entry.
        if (i + 16 < n) songs.Prefetch(req.pOrder[i + 16]);
        if (i >= nextMove) {
            const int step = static_cast<int>(5 * i / n);
            ctx.SetProgress(base + step);
            nextMove = ((step + 1) * n + 4) / 5;  // the first i with 5 * i / n > step
        }
        if (i % 20 == 0) ctx.PumpMessages();
        if (ctx.IsCancelled()) {
            if (!flushThenStop()) return writeFailed();
            ctx.Error().SetErrorParts(L"Processing stopped by user Cancel", L"Shuffled playlist PARTIALLY written:",
                                      req.sPath.c_str());
            return 0;
        }
        const wchar_t* sSong = songs.GetSong(req.pOrder[i]);
        if (req.nFormat == kFormatM3u) {
            if (!toAnsi(sSong, ansi, convError)) {
                if (!flushThenStop()) return writeFailed();
                ctx.Error().SetErrorParts(FormatW(L"Error converting song path from UTF-16 to ANSI for playlist "
                                                  L"file\n%ls\nSong path in UTF-16:\n%ls",
                                                  convError.c_str(), sSong)
                                              .c_str());
                return 0;
            }
            blocks.Append(ansi);
        } else if (req.nFormat == kFormatWpl) {
            std::wstring escaped;
            try {
                escaped = XmlEscape(sSong);
            } catch (const std::bad_alloc&) {
                if (!flushThenStop()) return writeFailed();
                ctx.Error().SetErrorParts(L"Error converting special chars to xml codes for playlist file",
                                          L"ReplaceSubStr: Error allocating memory", L"Song path:", sSong);
                return 0;
            }
            blocks.Append("<media src=\"");
            blocks.Advance(EncodeUtf8(blocks.Room(MaxUtf8Bytes(escaped.size())), escaped));
            blocks.Append("\"/>");
        } else {
            const std::wstring_view song = songs.GetSongView(req.pOrder[i]);
            blocks.Advance(EncodeUtf8(blocks.Room(MaxUtf8Bytes(song.size())), song));
        }
        blocks.Append("\r\n");
        blocks.EndEntry(i);
        if (blocks.Full() && !blocks.HandOver(nBytes, nFailed)) return writeFailed();
    }
    if (!blocks.Flush(nBytes, nFailed)) return writeFailed();
    return nBytes;
}

}  // namespace

bool WritePlaylistTo(RunContext& ctx, ByteFile& file, const AnsiConverter& toAnsi, const PlaylistRequest& req) {
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
    return true;
}

}  // namespace swirlo
