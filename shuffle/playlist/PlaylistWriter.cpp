#include "shuffle/playlist/PlaylistWriter.h"

#include <algorithm>

#include "foundation/Utilities.h"
#include "foundation/BackgroundJob.h"
#include "foundation/WinHandles.h"

namespace swirlo {

bool Win32File::Create(const std::wstring& sPath) {
    Close();
    m_h.Reset(CreateFileW(LongPathForm(sPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_h) {
        m_dwError = GetLastError();
        return false;
    }
    return true;
}

bool Win32File::Write(const char* data, std::size_t nLen, std::size_t& nWritten) {
    nWritten = 0;
    // WriteFile takes 32-bit lengths; larger blocks go in pieces.
    while (nWritten < nLen) {
        DWORD nChunk = static_cast<DWORD>(std::min<std::size_t>(nLen - nWritten, 1u << 30));
        DWORD nDone = 0;
        BOOL ok = WriteFile(m_h.Get(), data + nWritten, nChunk, &nDone, nullptr);
        nWritten += nDone;
        if (!ok) {
            m_dwError = GetLastError();
            return false;
        }
        if (nDone < nChunk) {  // no error yet nothing more taken: a full disk on some systems
            m_dwError = ERROR_DISK_FULL;
            return false;
        }
    }
    return true;
}

void Win32File::Close() { m_h.Reset(); }

bool Win32File::LastErrorText(std::wstring& text) {
    return GetWinErrorText(text, m_dwError) > 0;
}

bool ConvertToAnsi(std::wstring_view text, std::string& out, std::wstring& error) {
    if (ToAnsi(text, out)) return true;
    error = TakeErrorText(true);
    return false;
}

namespace {

// Converts without best-fit mapping; inexact tells whether a character was replaced by the default one.
bool ToAnsiExact(std::wstring_view text, std::string& out, bool& inexact, std::wstring& error) {
    inexact = false;
    out.clear();
    if (text.empty()) return true;
    // A UTF-8 code page holds every character, and refuses the flags and the flag pointer.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL used = FALSE;
    const int len = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, flags, text.data(), len, nullptr, 0, nullptr, utf8 ? nullptr : &used);
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n));
        n = WideCharToMultiByte(CP_ACP, flags, text.data(), len, out.data(), n, nullptr, utf8 ? nullptr : &used);
    }
    if (n <= 0) {
        error = L"WideCharToMultiByte error converting to ANSI\r\n" + WinErrorText(0);
        return false;
    }
    inexact = used != FALSE;
    return true;
}

// A path back from the long form, as a player reading the list takes it: "\\?\UNC\server\..." as
// "\\server\...", "\\?\C:\..." as "C:\...".
std::wstring PlainForm(const std::wstring& p) {
    if (p.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + p.substr(8);
    return p.rfind(L"\\\\?\\", 0) == 0 ? p.substr(4) : p;
}

}  // namespace

bool M3uPathConverter::operator()(std::wstring_view text, std::string& out, std::wstring& error) {
    bool inexact = false;
    if (!ToAnsiExact(text, out, inexact, error)) return false;
    if (!inexact) return true;
    // A song deeper than MAX_PATH is looked up in the long form, and its short form written plain.
    const std::wstring path = LongPathForm(std::wstring(text));
    DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n > 0) {
        std::wstring shortPath(n, L'\0');
        n = GetShortPathNameW(path.c_str(), shortPath.data(), n);
        if (n >= shortPath.size()) n = 0;  // renamed meanwhile
        shortPath.resize(n);
        shortPath = PlainForm(shortPath);
        std::string shortAnsi;
        bool shortInexact = true;
        std::wstring ignored;
        if (n > 0 && ToAnsiExact(shortPath, shortAnsi, shortInexact, ignored) && !shortInexact) {
            out = std::move(shortAnsi);
            ++m_nShort;
            return true;
        }
    }
    ++m_nDefault;
    return true;
}

bool WritePlaylist(RunContext& ctx, const PlaylistRequest& req, PlaylistWritten* pWritten) {
    Win32File file;
    M3uPathConverter paths;
    auto convert = [&paths](std::wstring_view text, std::string& out, std::wstring& error) {
        return paths(text, out, error);
    };
    if (!WritePlaylistTo(ctx, file, convert, req, pWritten)) return false;
    if (pWritten) pWritten->nUnplayable = paths.DefaultChars();
    LogSink* log = ctx.Log();
    if (log && log->IsOpen() && (paths.ShortForms() || paths.DefaultChars()))
        log->LogLine(FormatW(L"%u playlist entries written in their short (8.3) form and %u with the code page's default "
                             L"character: the ANSI code page cannot hold their paths",
                             paths.ShortForms(), paths.DefaultChars())
                         .c_str());
    return true;
}

bool ReplaceWithPlaylist(RunContext& ctx, const PlaylistRequest& req, PlaylistWritten* pWritten) {
    PlaylistRequest part = req;
    part.sPath = req.sPath + L".swirlo-part";  // as the messages name it
    // Past MAX_PATH (a deep folder, a name typed in full) only these forms reach the files.
    const std::wstring sPartLong = LongPathForm(part.sPath), sFinalLong = LongPathForm(req.sPath);
    const wchar_t* sPart = sPartLong.c_str();
    if (!WritePlaylist(ctx, part, pWritten)) {
        DeleteFileW(sPart);
        if (ctx.IsCancelled()) ctx.Error().SetErrorParts(L"Processing stopped by user Cancel");
        return false;
    }
    // On disk before the rename: after a power cut the name holds the old list or the whole new one.
    bool flushed = false;
    DWORD flushError = 0;
    if (UniqueFile file{CreateFileW(sPart, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)}) {
        auto flush = [&] {
            flushed = FlushFileBuffers(file.Get()) != FALSE;
            flushError = flushed ? 0 : GetLastError();
        };
        // A slow drive takes its time: the window goes on meanwhile.
        BackgroundJob job;
        if (job.Start(flush)) job.WaitDispatching(ctx);
        else flush();
    } else {
        flushError = GetLastError();
    }  // closed before the rename
    DWORD error = flushed ? 0 : std::max<DWORD>(flushError, ERROR_WRITE_FAULT);
    if (flushed && !MoveFileExW(sPart, sFinalLong.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (!error) return true;
    DeleteFileW(sPart);
    return ctx.Error().SetErrorParts(
        FormatW(flushed ? L"Error renaming temp playlist\r\n%ls\r\nto final location\r\n%ls\r\nWindows' error message was:"
                        : L"Error saving temp playlist to disk\r\n%ls\r\nbefore renaming it to\r\n%ls\r\nWindows' error message was:",
                part.sPath.c_str(), req.sPath.c_str())
            .c_str(),
        WinErrorText(error).c_str());
}

}  // namespace swirlo
