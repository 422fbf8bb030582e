// An image file decoded by the system's imaging component (JPEG, PNG, GIF, BMP and whatever else the
// machine has a decoder for) and drawn stretched into a rectangle.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace swirlo {

class CPicture {
public:
    CPicture() = default;
    // A picture read on another thread is handed over whole: it is plain memory, bound to no thread.
    CPicture(CPicture&&) noexcept = default;
    CPicture& operator=(CPicture&&) noexcept = default;

    // Reads the whole file and decodes its first frame; 1 on success, 0 with the reason in
    // ErrorText(). COM must be started on the calling thread.
    int Load(const std::wstring& sPath);
    // The whole picture scaled into the rectangle (no aspect-ratio correction); 1 or 0.
    int Draw(HDC hDC, int x, int y, int width, int height);
    bool IsLoaded() const { return !m_pixels.empty(); }
    // The image's size in pixels as stored in the file.
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    void Free();
    const std::wstring& ErrorText() const { return m_sError; }

private:
    // Top-down rows of 32-bit BGR, transparent parts laid on the thumbnail frame's colour. A large
    // image is kept reduced: it is only ever drawn as a thumbnail.
    std::vector<std::uint32_t> m_pixels;
    int m_nPixelsWide = 0;
    int m_nPixelsHigh = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::wstring m_sError;
};

}  // namespace swirlo
