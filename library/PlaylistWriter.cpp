#include "library/PlaylistWriter.h"

#include <algorithm>

#include "foundation/Utilities.h"

namespace swirlo {

bool Win32File::Create(const std::wstring& sPath) {
    Close();
    m_h = CreateFileW(sPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                      nullptr);
    if (m_h == INVALID_HANDLE_VALUE) {
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
        BOOL ok = WriteFile(m_h, data + nWritten, nChunk, &nDone, nullptr);
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

void Win32File::Close() {
    if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
    m_h = INVALID_HANDLE_VALUE;
}

bool Win32File::LastErrorText(std::wstring& text) {
    return GetWinErrorText(text, m_dwError) > 0;
}

bool ConvertToAnsi(std::wstring_view text, std::string& out, std::wstring& error) {
    if (ToAnsi(text, out)) return true;
    error = TakeErrorText(true);
    return false;
}

bool WritePlaylist(RunContext& ctx, const PlaylistRequest& req) {
    Win32File file;
    return WritePlaylistTo(ctx, file, ConvertToAnsi, req);
}

}  // namespace swirlo
