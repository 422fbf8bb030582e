// The spread window from its resource on a small known playlist: the ticks where the model puts
// them at two DPIs, the buttons following a resize, and the picture saved as a PNG that decodes to
// the picture's size.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include "framework/Handles.h"
#include "resources/resource.h"
#include "shuffle/page/SpreadWindow.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;
using Microsoft::WRL::ComPtr;

namespace {
std::wstring g_pngPath;
BOOL AnswerPngPath(OPENFILENAMEW* ofn) {
    lstrcpynW(ofn->lpstrFile, g_pngPath.c_str(), static_cast<int>(ofn->nMaxFile));
    return TRUE;
}
}  // namespace

TEST(SpreadWindow, TicksAtTheModelsPlacesAndPngOfThePictureSize) {
    const HRESULT co = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SpreadSource src;  // A B A C B A D A, one record per play
    src.songs = std::make_unique<CSongArray>();
    for (const wchar_t* s : {L"A", L"B", L"A", L"C", L"B", L"A", L"D", L"A"})
        src.songs->AddSong((std::wstring(L"C:\\Music\\") + s + L".mp3").c_str(), 1);
    src.order = {0, 1, 2, 3, 4, 5, 6, 7};
    src.nEntries = 8;
    SpreadWindow w(GetModuleHandleW(nullptr), nullptr, src);
    ASSERT_TRUE(w.CreateModeless());
    EXPECT_EQ(w.Model().gaps, (std::vector<std::uint64_t>{0, 2, 2}));

    for (UINT dpi : {96u, 192u}) {
        const SIZE size{400 * static_cast<int>(dpi) / 96, 300 * static_cast<int>(dpi) / 96};
        WindowDC screen(nullptr);
        UniqueMemDC dc(CreateCompatibleDC(screen.Get()));
        UniqueBitmap bmp(CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
        SelectGuard keep(dc.Get(), bmp.Get());
        const SpreadLayout lay = w.Draw(dc.Get(), size, dpi);
        ASSERT_EQ(lay.strips.size(), 4u);
        const int y = (lay.strips[0].top + lay.strips[0].bottom) / 2;
        const COLORREF tick = GetPixel(dc.Get(), lay.stripLeft + TickX(0, 8, lay.stripWidth), y);
        // A plays at 0, 2, 5 and 7: a tick there, the strip's own colour where the others play.
        for (std::uint32_t p = 0; p < 8; ++p) {
            const bool bA = p == 0 || p == 2 || p == 5 || p == 7;
            const COLORREF c = GetPixel(dc.Get(), lay.stripLeft + TickX(p, 8, lay.stripWidth), y);
            EXPECT_EQ(c == tick, bA) << "dpi " << dpi << " entry " << p;
        }
        EXPECT_GT(lay.strips[0].bottom - lay.strips[0].top, dpi == 96 ? 8 : 16);
    }

    // The buttons follow a resize: Close stays at the bottom right corner.
    SetWindowPos(w.Hwnd(), nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, close;
    GetClientRect(w.Hwnd(), &client);
    GetWindowRect(GetDlgItem(w.Hwnd(), IDCANCEL), &close);
    MapWindowPoints(nullptr, w.Hwnd(), reinterpret_cast<POINT*>(&close), 2);
    EXPECT_EQ(client.right - close.right, client.bottom - close.bottom);
    EXPECT_LT(client.bottom - close.bottom, 20);

    TempDir dir;
    g_pngPath = dir / L"spread.png";
    SetSaveAsHandler(AnswerPngPath);
    SendMessageW(w.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SPREAD_SAVE, BN_CLICKED), 0);
    SetSaveAsHandler(nullptr);
    ComPtr<IWICImagingFactory> wic;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&wic)));
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ASSERT_HRESULT_SUCCEEDED(wic->CreateDecoderFromFilename(g_pngPath.c_str(), nullptr, GENERIC_READ,
                                                            WICDecodeMetadataCacheOnDemand, &decoder));
    ASSERT_HRESULT_SUCCEEDED(decoder->GetFrame(0, &frame));
    UINT pw = 0, ph = 0;
    frame->GetSize(&pw, &ph);
    const SIZE want = w.PictureSize();
    EXPECT_EQ(static_cast<LONG>(pw), want.cx);
    EXPECT_EQ(static_cast<LONG>(ph), want.cy);
    EXPECT_EQ(GetFileAttributesW((g_pngPath + L".swirlo-part").c_str()), INVALID_FILE_ATTRIBUTES);
    frame = nullptr, decoder = nullptr, wic = nullptr;
    DestroyWindow(w.Hwnd());
    if (SUCCEEDED(co)) CoUninitialize();
}
