// A file the OS-free core writes bytes to. The Win32 implementation lives with the playlist writer;
// tests use fakes that fail on demand. OS-free.
#pragma once
#include <cstddef>
#include <string>

namespace swirlo {

class ByteFile {
public:
    virtual ~ByteFile() = default;
    // Creates the file for writing, readable by others while open, replacing one that exists.
    virtual bool Create(const std::wstring& sPath) = 0;
    // Writes the bytes in one call; false when not all were written (nWritten says how many were).
    virtual bool Write(const char* data, std::size_t nLen, std::size_t& nWritten) = 0;
    virtual void Close() = 0;
    // The system's text for the last failure. False when none could be had; text then says so.
    virtual bool LastErrorText(std::wstring& text) = 0;
};

// The two message pieces that follow a failed call: the prefix ("Windows' error message was:\r\n"
// when the system gave a text, else empty) and the text.
struct SystemErrorPieces {
    std::wstring sPrefix;
    std::wstring sText;
};
inline SystemErrorPieces ErrorPiecesOf(ByteFile& file) {
    SystemErrorPieces p;
    if (file.LastErrorText(p.sText)) p.sPrefix = L"Windows' error message was:\r\n";
    return p;
}

}  // namespace swirlo
