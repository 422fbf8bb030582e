// An image file decoded by the system's picture decoder and drawn stretched into a rectangle; and
// the pixel size of an image file as the image library reads it.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <wrl/client.h>

#include <string>

namespace swirlo {

class CPicture {
public:
    CPicture() = default;
    // A picture read on another thread is handed over whole.
    CPicture(CPicture&&) noexcept = default;
    CPicture& operator=(CPicture&&) noexcept = default;

    // Reads the whole file and decodes it; 1 on success, 0 with the reason in ErrorText().
    int Load(const std::wstring& sPath);
    // The whole picture scaled into the rectangle (no aspect-ratio correction); 1 or 0.
    int Draw(HDC hDC, int x, int y, int width, int height);
    bool IsLoaded() const { return m_pPicture != nullptr; }
    void Free() { m_pPicture.Reset(); }
    const std::wstring& ErrorText() const { return m_sError; }

private:
    Microsoft::WRL::ComPtr<IPicture> m_pPicture;
    std::wstring m_sError;
};

// Width and height in pixels read by the image library (GDI+); false when it cannot read the file.
bool GetImagePixelSize(const std::wstring& sPath, int& width, int& height);

}  // namespace swirlo
