#include "albumart/page/Picture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <new>

#include "albumart/core/AlbumFolderArray.h"
#include "foundation/WinHandles.h"

namespace swirlo {

namespace {

using Microsoft::WRL::ComPtr;

constexpr LONGLONG kMaxFileBytes = 256 * 1024 * 1024;
// A larger image is reduced to this on its longer side when it is decoded: plenty for a thumbnail
// at any scale, and a poster-sized scan does not take hundreds of megabytes.
constexpr UINT kKeptSide = 512;

// The whole file, or an error text.
const wchar_t* ReadWholeFile(const std::wstring& sPath, std::vector<BYTE>& bytes) {
    UniqueFile file(CreateFileW(FileApiPath(sPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes)
        return L"Error opening or sizing the image file";
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return L"Error reading the image file";
    return nullptr;
}

// Premultiplied BGRA laid on an opaque background colour, as 32-bit BGR.
void LayOn(std::vector<std::uint32_t>& pixels, COLORREF background) {
    const std::uint32_t bg[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    for (std::uint32_t& p : pixels) {
        std::uint32_t alpha = p >> 24, out = 0;
        for (int c = 0; c < 3; ++c) {
            std::uint32_t v = (p >> (8 * c)) & 0xFF;
            v += (bg[c] * (255 - alpha) + 127) / 255;
            out |= std::min<std::uint32_t>(v, 255) << (8 * c);
        }
        p = out;
    }
}

}  // namespace

void CPicture::Free() {
    std::vector<std::uint32_t>().swap(m_pixels);
    m_nPixelsWide = m_nPixelsHigh = m_nWidth = m_nHeight = 0;
}

int CPicture::Load(const std::wstring& sPath) {
    Free();
    m_sError.clear();
    try {
        std::vector<BYTE> bytes;
        const wchar_t* error = ReadWholeFile(sPath, bytes);
        if (error) {
            m_sError = error;
            return 0;
        }
        // Through COM, not an import: the imaging component is part of every Windows since XP SP3
        // and reads far more than the OLE picture decoder, which takes no PNG on Windows.
        ComPtr<IWICImagingFactory> factory;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory.GetAddressOf())))) {
            m_sError = L"The imaging component of Windows is not available";
            return 0;
        }
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        UINT width = 0, height = 0;
        if (FAILED(factory->CreateStream(&stream)) ||
            FAILED(stream->InitializeFromMemory(bytes.data(), static_cast<DWORD>(bytes.size()))) ||
            FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
            FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) || width == 0 ||
            height == 0) {
            m_sError = L"The picture decoder could not read the image";
            return 0;
        }
        ComPtr<IWICBitmapSource> source = frame;
        UINT wide = width, high = height;
        if (std::max(width, height) > kKeptSide) {
            wide = std::max<UINT>(1, static_cast<UINT>(static_cast<ULONGLONG>(width) * kKeptSide / std::max(width, height)));
            high = std::max<UINT>(1, static_cast<UINT>(static_cast<ULONGLONG>(height) * kKeptSide / std::max(width, height)));
            ComPtr<IWICBitmapScaler> scaler;
            if (FAILED(factory->CreateBitmapScaler(&scaler)) ||
                FAILED(scaler->Initialize(frame.Get(), wide, high, WICBitmapInterpolationModeFant))) {
                m_sError = L"The picture decoder could not reduce the image";
                return 0;
            }
            source = scaler;
        }
        ComPtr<IWICFormatConverter> converter;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(wide) * high);
        if (FAILED(factory->CreateFormatConverter(&converter)) ||
            FAILED(converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                         0.0, WICBitmapPaletteTypeCustom)) ||
            FAILED(converter->CopyPixels(nullptr, wide * 4, static_cast<UINT>(pixels.size() * 4),
                                         reinterpret_cast<BYTE*>(pixels.data())))) {
            m_sError = L"The picture decoder could not read the image";
            return 0;
        }
        LayOn(pixels, GetSysColor(COLOR_BTNFACE));
        m_pixels = std::move(pixels);
        m_nPixelsWide = static_cast<int>(wide);
        m_nPixelsHigh = static_cast<int>(high);
        m_nWidth = static_cast<int>(width);
        m_nHeight = static_cast<int>(height);
        return 1;
    } catch (const std::bad_alloc&) {
        Free();
        m_sError = L"Error allocating memory for the image";
        return 0;
    }
}

int CPicture::Draw(HDC hDC, int x, int y, int width, int height) {
    if (m_pixels.empty() || !hDC) return 0;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = m_nPixelsWide;
    bi.bmiHeader.biHeight = -m_nPixelsHigh;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    // Halftone averages the pixels a reduction drops, where the default mode would leave them out.
    int oldMode = SetStretchBltMode(hDC, HALFTONE);
    POINT oldOrg{};
    SetBrushOrgEx(hDC, 0, 0, &oldOrg);
    int lines = StretchDIBits(hDC, x, y, width, height, 0, 0, m_nPixelsWide, m_nPixelsHigh, m_pixels.data(), &bi,
                              DIB_RGB_COLORS, SRCCOPY);
    SetBrushOrgEx(hDC, oldOrg.x, oldOrg.y, nullptr);
    if (oldMode) SetStretchBltMode(hDC, oldMode);
    return lines > 0 ? 1 : 0;  // GDI_ERROR is negative
}

}  // namespace swirlo
