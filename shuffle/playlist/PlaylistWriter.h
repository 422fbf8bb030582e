// The playlist writer over Win32: the file is created with CreateFileW and written with WriteFile,
// .m3u paths go through the system's ANSI code page.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/ByteFile.h"
#include "foundation/WinHandles.h"
#include "shuffle/playlist/PlaylistText.h"

namespace swirlo {

// A file for writing, readable by others while open, replacing one that exists. Keeps the error
// code of its last failed call for the message.
class Win32File : public ByteFile {
public:
    Win32File() = default;
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;
    ~Win32File() override { Close(); }

    bool Create(const std::wstring& sPath) override;
    bool Write(const char* data, std::size_t nLen, std::size_t& nWritten) override;
    void Close() override;
    bool LastErrorText(std::wstring& text) override;

private:
    UniqueFile m_h;
    DWORD m_dwError = 0;
};

// ToAnsi of the utilities, its failure text taken from gsErrorText.
bool ConvertToAnsi(std::wstring_view text, std::string& out, std::wstring& error);

// The ANSI form of a .m3u entry. The system's conversion maps characters the code page lacks to
// look-alikes (a Polish city name loses its accents), so the entry would name another file: a path the code
// page cannot hold exactly is written in its short (8.3) form when the file system has one that the
// code page holds, else with the code page's default character. Counts both kinds.
class M3uPathConverter {
public:
    bool operator()(std::wstring_view text, std::string& out, std::wstring& error);
    unsigned ShortForms() const { return m_nShort; }
    unsigned DefaultChars() const { return m_nDefault; }

private:
    unsigned m_nShort = 0;
    unsigned m_nDefault = 0;
};

// Writes the playlist to req.sPath; true on success, else false with the page's error record filled.
bool WritePlaylist(RunContext& ctx, const PlaylistRequest& req, PlaylistWritten* pWritten = nullptr);

// Replaces req.sPath by the playlist without ever leaving it half written: the playlist goes to a
// file beside it (its name + ".swirlo-part"), is put on disk and renamed into place in one step, so
// nothing is copied. On failure or Stop that file is removed, req.sPath is as it was, and the error
// record says why.
bool ReplaceWithPlaylist(RunContext& ctx, const PlaylistRequest& req, PlaylistWritten* pWritten = nullptr);

}  // namespace swirlo
