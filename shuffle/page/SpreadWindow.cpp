#include "shuffle/page/SpreadWindow.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>

#include "foundation/Seams.h"
#include "foundation/TextUtil.h"
#include "foundation/Utilities.h"
#include "framework/Controls.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;

namespace swirlo {

namespace {

const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kText = RGB(0, 0, 0);
const COLORREF kStrip = RGB(232, 232, 232);
const COLORREF kTick = RGB(20, 70, 150);
const COLORREF kBar = RGB(70, 130, 180);
const COLORREF kShort = RGB(200, 40, 40);  // bars of gaps below the promise, and the promise's line

// The dialog's own face at a pixel height.
UniqueFont MakeFont(int pixels, int weight = FW_NORMAL) {
    LOGFONTW lf{};
    lf.lfHeight = -std::max(pixels, 1);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&lf));
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
    if (r <= l || b <= t) return;
    RECT rc{l, t, r, b};
    SetBkColor(dc, c);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);  // a fill without a brush to own
}

void Text(HDC dc, int x, int y, const std::wstring& s, UINT align = TA_LEFT | TA_TOP) {
    SetTextAlign(dc, align);
    TextOutW(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

int TextWidth(HDC dc, const std::wstring& s) {
    SIZE sz{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &sz);
    return sz.cx;
}

std::wstring Num(std::uint64_t n) { return std::to_wstring(n); }

// Writes the 24-bit top-down pixels as a PNG at path through WIC, beside it first and then renamed
// over it, so that a failed save never leaves half a picture under the chosen name.
HRESULT WritePng(const BYTE* bits, UINT width, UINT height, UINT stride, const std::wstring& path) {
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    ComPtr<IWICBitmap> bitmap;
    if (SUCCEEDED(hr))
        hr = factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat24bppBGR, stride, stride * height,
                                             const_cast<BYTE*>(bits), &bitmap);
    const std::wstring part = path + L".swirlo-part";
    ComPtr<IWICStream> stream;
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(part.c_str(), GENERIC_WRITE);
    const bool bCreated = SUCCEEDED(hr);
    ComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr)) hr = frame->SetSize(width, height);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr)) hr = frame->WriteSource(bitmap.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    frame.Reset();
    encoder.Reset();
    stream.Reset();  // closes the file
    if (SUCCEEDED(hr) && !MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        hr = HRESULT_FROM_WIN32(GetLastError());
    if (FAILED(hr) && bCreated) DeleteFileW(part.c_str());
    return hr;
}

}  // namespace

SpreadWindow::SpreadWindow(HINSTANCE hInst, ZWin* parent, const SpreadSource& src)
    : ZDialog(hInst, parent ? parent->Caption().c_str() : L"Swirlo", L"Spread of repeats", parent,
              parent ? parent->Paths() : nullptr),
      m_model(MakeSpread(src)),
      m_sTitle(src.sTitle) {
    m_nResId = IDD_SPREAD;
}

BOOL SpreadWindow::OnInitDialog() {
    ZWin::OnInitDialog();
    RECT r;
    GetWindowRect(m_hWnd, &r);
    m_minSize = {(r.right - r.left) * 3 / 4, (r.bottom - r.top) * 3 / 4};
    m_nDpi = static_cast<int>(WindowDpi(m_hWnd));
    Layout();
    return TRUE;
}

SIZE SpreadWindow::PictureSize() const {
    RECT client{}, button{};
    GetClientRect(m_hWnd, &client);
    GetWindowRect(GetDlgItem(m_hWnd, IDCANCEL), &button);
    const int margin = MulDiv(8, static_cast<int>(WindowDpi(m_hWnd)), 96);
    return {client.right, std::max(0L, client.bottom - (button.bottom - button.top) - 2 * margin)};
}

// The buttons at the bottom corners; the picture takes the rest.
void SpreadWindow::Layout() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int margin = MulDiv(8, static_cast<int>(WindowDpi(m_hWnd)), 96);
    auto place = [&](int id, bool right) {
        HWND h = GetDlgItem(m_hWnd, id);
        RECT r;
        GetWindowRect(h, &r);
        const int w = r.right - r.left, hgt = r.bottom - r.top;
        SetWindowPos(h, nullptr, right ? client.right - margin - w : margin, client.bottom - margin - hgt, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_SPREAD_SAVE, false);
    place(IDCANCEL, true);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

SpreadLayout SpreadWindow::Draw(HDC dc, SIZE size, UINT dpi) const {
    SpreadLayout lay;
    const int W = size.cx, H = size.cy;
    auto px = [dpi](int at96) { return MulDiv(at96, static_cast<int>(dpi), 96); };
    const int margin = px(8), fontPx = px(11);
    Fill(dc, 0, 0, W, H, kBack);
    UniqueFont font = MakeFont(fontPx), bold = MakeFont(fontPx, FW_BOLD);
    SelectGuard keepFont(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int line = tm.tmHeight;
    const SpreadModel& m = m_model;

    // The strips take the upper part, the histogram the lower one. As many of the most played songs
    // as have rows tall enough for their names: more when the window grows.
    int y = margin + line + px(4);
    const int stripsBottom = y + (H - 2 * margin - line - px(4)) * 60 / 100 - line;
    const int minRowH = px(11);
    const int rows = std::min(static_cast<int>(m.top.size()), std::max(1, (stripsBottom - y) / minRowH));
    const int rowH = rows ? std::clamp((stripsBottom - y) / rows, minRowH, px(22)) : 0;
    {
        SelectGuard b(dc, bold.Get());
        Text(dc, margin, margin, L"The " + Num(static_cast<std::uint64_t>(rows)) + L" most played songs, one tick per play "
                                 L"across the playlist's " + Num(m.nLength) + L" entries");
    }
    UniqueFont small = MakeFont(std::min(fontPx, rowH - 1));
    int nameW = 0;
    {
        SelectGuard s(dc, small.Get());
        for (int r = 0; r < rows; ++r) nameW = std::max(nameW, TextWidth(dc, m.top[static_cast<std::size_t>(r)].sName));
    }
    nameW = std::min(nameW + px(6), W * 35 / 100);
    lay.stripLeft = margin + nameW;
    lay.stripWidth = std::max(1, W - margin - lay.stripLeft);
    for (int r = 0; r < rows; ++r) {
        const SpreadSong& song = m.top[static_cast<std::size_t>(r)];
        const int top = y + r * rowH, bottom = top + std::max(1, rowH - std::max(1, rowH / 6));
        lay.strips.push_back({lay.stripLeft, top, lay.stripLeft + lay.stripWidth, bottom});
        Fill(dc, lay.stripLeft, top, lay.stripLeft + lay.stripWidth, bottom, kStrip);
        for (std::uint32_t pos : song.positions) {
            const int x = lay.stripLeft + TickX(pos, m.nLength, lay.stripWidth);
            Fill(dc, x, top, x + std::max(1, px(1)), bottom, kTick);
        }
        SelectGuard s(dc, small.Get());
        RECT nameRc{margin, top, lay.stripLeft - px(6), bottom};
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        DrawTextW(dc, song.sName.c_str(), static_cast<int>(song.sName.size()), &nameRc,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    y += rows * rowH;
    Text(dc, lay.stripLeft, y, L"1");
    Text(dc, lay.stripLeft + lay.stripWidth, y, Num(m.nLength), TA_RIGHT | TA_TOP);
    y += line + px(10);

    // The histogram: a bar per range of gaps, the promise drawn as a line at its gap.
    {
        SelectGuard b(dc, bold.Get());
        Text(dc, margin, y, L"Songs between two plays of the same song (" + Num(m.RepeatCount()) + L" repeats)");
    }
    y += line + px(4);
    const int axisW = TextWidth(dc, L"0000000") + px(4);
    lay.histogram = {margin + axisW, y, W - margin, std::max(y + 1, H - margin - line)};
    const RECT& hr = lay.histogram;
    const int hw = hr.right - hr.left, hh = hr.bottom - hr.top;
    if (m.gaps.empty()) {
        Text(dc, hr.left, y, L"No song plays more than once in this playlist.");
        return lay;
    }
    std::vector<std::uint64_t> gaps = m.gaps;
    if (gaps.size() <= static_cast<std::size_t>(m.nPromisedGap)) gaps.resize(static_cast<std::size_t>(m.nPromisedGap) + 1, 0);
    const GapBars bars = MakeGapBars(gaps, std::max(1, hw / std::max(2, px(3))), static_cast<std::uint64_t>(m.nPromisedGap));
    const std::uint64_t most = *std::max_element(bars.counts.begin(), bars.counts.end());
    Fill(dc, hr.left - 1, hr.top, hr.left, hr.bottom + 1, kText);
    Fill(dc, hr.left - 1, hr.bottom, hr.right, hr.bottom + 1, kText);
    const int nBars = static_cast<int>(bars.counts.size());
    for (int b = 0; b < nBars; ++b) {
        const std::uint64_t count = bars.counts[static_cast<std::size_t>(b)];
        if (!count) continue;
        const int l = hr.left + ScaleX(static_cast<std::uint64_t>(b), static_cast<std::uint64_t>(nBars), hw);
        int r = hr.left + ScaleX(static_cast<std::uint64_t>(b) + 1, static_cast<std::uint64_t>(nBars), hw);
        if (r - l > 2) --r;  // a pixel of space between bars that have room for it
        const int h = std::max(1, static_cast<int>(static_cast<double>(count) * hh / static_cast<double>(most)));
        const bool bShort = bars.Last(static_cast<std::size_t>(b)) < static_cast<std::uint64_t>(m.nPromisedGap);
        Fill(dc, l, hr.bottom - h, std::max(r, l + 1), hr.bottom, bShort ? kShort : kBar);
    }
    Text(dc, hr.left - px(4), hr.top, Num(most), TA_RIGHT | TA_TOP);
    Text(dc, hr.left - px(4), hr.bottom - line / 2, L"0", TA_RIGHT | TA_TOP);
    // The first and the last bar named by the gaps they hold, under their middles.
    auto barLabel = [&](int b) {
        const std::uint64_t first = bars.First(static_cast<std::size_t>(b)), last = bars.Last(static_cast<std::size_t>(b));
        const std::wstring s = first == last ? Num(first) : Num(first) + L"-" + Num(last);
        const int x = hr.left + ScaleX(2 * static_cast<std::uint64_t>(b) + 1, 2 * static_cast<std::uint64_t>(nBars), hw);
        Text(dc, std::max(static_cast<int>(hr.left) + TextWidth(dc, s) / 2, std::min(x, static_cast<int>(hr.right) - TextWidth(dc, s) / 2)), hr.bottom + 1, s,
             TA_CENTER | TA_TOP);
    };
    barLabel(0);
    if (nBars > 1) barLabel(nBars - 1);
    if (m.nPromisedGap > 0) {
        const int x = hr.left + ScaleX(static_cast<std::uint64_t>(m.nPromisedGap) + bars.shift, bars.Span(), hw);
        for (int dy = hr.top; dy < hr.bottom; dy += px(6)) Fill(dc, x, dy, x + std::max(1, px(1)), dy + px(3), kShort);
        SetTextColor(dc, kShort);
        const std::wstring label = L"promised: at least " + std::to_wstring(m.nPromisedGap);
        const bool bLeft = x + px(4) + TextWidth(dc, label) > hr.right;
        Text(dc, bLeft ? x - px(4) : x + px(4), hr.top, label, (bLeft ? TA_RIGHT : TA_LEFT) | TA_TOP);
        SetTextColor(dc, kText);
    } else {
        Text(dc, hr.right, hr.top, L"no smallest distance promised", TA_RIGHT | TA_TOP);
    }
    return lay;
}

void SpreadWindow::OnPaint() {
    PaintDC dc(m_hWnd);
    const SIZE size = PictureSize();
    if (size.cx <= 0 || size.cy <= 0) return;
    // Drawn off screen and copied in one step: no flicker while the window is resized.
    UniqueMemDC mem(CreateCompatibleDC(dc.Get()));
    UniqueBitmap bmp(CreateCompatibleBitmap(dc.Get(), size.cx, size.cy));
    if (!mem || !bmp) return;
    SelectGuard keep(mem.Get(), bmp.Get());
    Draw(mem.Get(), size, WindowDpi(m_hWnd));
    BitBlt(dc.Get(), 0, 0, size.cx, size.cy, mem.Get(), 0, 0, SRCCOPY);
}

bool SpreadWindow::SavePng(const std::wstring& path) {
    const SIZE size = PictureSize();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = size.cx;
    bi.bmiHeader.biHeight = -size.cy;  // top-down, as WIC reads it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap dib(size.cx > 0 && size.cy > 0 ? CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
    UniqueMemDC mem(dib ? CreateCompatibleDC(nullptr) : nullptr);
    HRESULT hr = E_OUTOFMEMORY;
    if (mem) {
        {
            SelectGuard keep(mem.Get(), dib.Get());
            Draw(mem.Get(), size, WindowDpi(m_hWnd));
            GdiFlush();
        }
        const UINT stride = (static_cast<UINT>(size.cx) * 3 + 3) & ~3u;
        hr = WritePng(static_cast<const BYTE*>(bits), static_cast<UINT>(size.cx), static_cast<UINT>(size.cy), stride, path);
    }
    if (SUCCEEDED(hr)) return true;
    ShowErrorBox(L"Error saving the picture as PNG:", path.c_str(), L"Windows' error message was:",
                 WinErrorText(static_cast<DWORD>(hr)).c_str());
    return false;
}

void SpreadWindow::OnSave() {
    std::wstring name = (m_sTitle.empty() ? std::wstring(L"playlist") : m_sTitle) + L" spread.png";
    std::vector<wchar_t> file(MAX_PATH + 1, L'\0');
    lstrcpynW(file.data(), name.c_str(), MAX_PATH);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"PNG pictures (*.png)\0*.png\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Save the spread picture as ...";
    ofn.lpstrDefExt = L"png";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!ShowSaveAs(&ofn)) {
        if (DWORD err = SaveAsError()) ShowErrorBox(L"Error getting the file name for the picture", Num(err).c_str());
        return;
    }
    SavePng(file.data());
}

INT_PTR SpreadWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_ERASEBKGND: {
        // Only the button row: the picture covers the rest.
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client;
        GetClientRect(m_hWnd, &client);
        client.top = PictureSize().cy;
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return SetMsgResult(m_hWnd, TRUE);
    }
    case WM_SIZE:
        Layout();
        return TRUE;
    case WM_GETMINMAXINFO: {
        auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
        if (m_minSize.cx > 0) mm->ptMinTrackSize = {m_minSize.cx, m_minSize.cy};
        return TRUE;
    }
    case WM_DPICHANGED: {
        // The dialog manager scales the buttons and moves the window to the suggested rectangle;
        // the picture reads the new DPI when it is painted. The smallest size follows the DPI.
        const int dpi = LOWORD(wParam);
        if (m_nDpi > 0 && dpi > 0) m_minSize = {MulDiv(m_minSize.cx, dpi, m_nDpi), MulDiv(m_minSize.cy, dpi, m_nDpi)};
        m_nDpi = dpi;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SPREAD_SAVE && HIWORD(wParam) == BN_CLICKED) {
            OnSave();
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
