#include "albumart/page/Picture.h"

#include <gdiplus.h>

#include "foundation/WinHandles.h"

namespace swirlo {

int CPicture::Load(const std::wstring& sPath) {
    Free();
    m_sError.clear();
    UniqueFile file(CreateFileW(sPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > 256 * 1024 * 1024) {
        m_sError = L"Error opening or sizing the image file";
        return 0;
    }
    DWORD bytes = static_cast<DWORD>(size.QuadPart);
    UniqueGlobal hMem(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!hMem) {
        m_sError = L"Error allocating memory for the image";
        return 0;
    }
    void* data = GlobalLock(hMem.Get());
    DWORD read = 0;
    BOOL ok = data && ReadFile(file.Get(), data, bytes, &read, nullptr) && read == bytes;
    if (data) GlobalUnlock(hMem.Get());
    if (!ok) {
        m_sError = L"Error reading the image file";
        return 0;
    }
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(hMem.Get(), TRUE, &stream))) {
        m_sError = L"Error creating a stream on the image";
        return 0;
    }
    hMem.Release();  // the stream frees the memory when it is released
    HRESULT hr = OleLoadPicture(stream.Get(), static_cast<LONG>(bytes), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(m_pPicture.ReleaseAndGetAddressOf()));
    if (FAILED(hr) || !m_pPicture) {
        m_pPicture.Reset();
        m_sError = L"The picture decoder could not read the image";
        return 0;
    }
    return 1;
}

int CPicture::Draw(HDC hDC, int x, int y, int width, int height) {
    if (!m_pPicture || !hDC) return 0;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    m_pPicture->get_Width(&hmWidth);
    m_pPicture->get_Height(&hmHeight);
    // HIMETRIC runs bottom-up: start at the picture's top and go down.
    HRESULT hr = m_pPicture->Render(hDC, x, y, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr);
    return SUCCEEDED(hr) ? 1 : 0;
}

namespace {

// GDI+ is started once for the process, on first use.
bool StartGdiplus() {
    static ULONG_PTR token = 0;
    static bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

}  // namespace

bool GetImagePixelSize(const std::wstring& sPath, int& width, int& height) {
    if (!StartGdiplus()) return false;
    Gdiplus::GpImage* image = nullptr;
    if (Gdiplus::DllExports::GdipLoadImageFromFile(sPath.c_str(), &image) != Gdiplus::Ok || !image) return false;
    UINT w = 0, h = 0;
    bool ok = Gdiplus::DllExports::GdipGetImageWidth(image, &w) == Gdiplus::Ok &&
              Gdiplus::DllExports::GdipGetImageHeight(image, &h) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return ok;
}

}  // namespace swirlo
