#include "framework/Dpi.h"

#include <algorithm>

namespace swirlo {

UINT WindowDpi(HWND h) {
    // Looked up at run time: the program also starts on systems older than the call.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi && h) {
        if (UINT dpi = getDpi(h)) return dpi;
    }
    WindowDC dc(h);
    int dpi = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

int DialogUnitsX(HWND dlg, int units) {
    RECT r{0, 0, units, 0};
    if (dlg && MapDialogRect(dlg, &r)) return r.right;
    return MulDiv(units, LOWORD(GetDialogBaseUnits()), 4);
}

SIZE BitmapSize(HBITMAP bmp) {
    BITMAP bm{};
    if (!bmp || !GetObjectW(bmp, sizeof(bm), &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

UniqueBitmap LoadBitmapAtWidth(HINSTANCE hInst, int resId, int width) {
    if (!hInst) hInst = GetModuleHandleW(nullptr);  // the program's own resources
    UniqueBitmap src(static_cast<HBITMAP>(LoadImageW(hInst, MAKEINTRESOURCEW(resId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const SIZE from = BitmapSize(src.Get());
    if (!src || width <= 0 || width == from.cx || from.cx <= 0) return src;
    const int w = width, h = std::max(1, MulDiv(from.cy, width, from.cx));
    WindowDC screen(nullptr);
    UniqueMemDC srcDc(CreateCompatibleDC(screen.Get())), dstDc(CreateCompatibleDC(screen.Get()));
    UniqueBitmap dst(screen.Get() ? CreateCompatibleBitmap(screen.Get(), w, h) : nullptr);
    if (!srcDc || !dstDc || !dst) return src;  // drawn at its own size rather than not at all
    SelectGuard keepSrc(srcDc.Get(), src.Get());
    SelectGuard keepDst(dstDc.Get(), dst.Get());
    // Nearest pixel, not blended: a blend of a picture's edge with the key colour would show as a
    // fringe of that colour around the picture.
    SetStretchBltMode(dstDc.Get(), COLORONCOLOR);
    if (!StretchBlt(dstDc.Get(), 0, 0, w, h, srcDc.Get(), 0, 0, from.cx, from.cy, SRCCOPY)) return src;
    return dst;
}

UniqueBitmap LoadBitmapForDpi(HINSTANCE hInst, int resId, UINT dpi) {
    if (!hInst) hInst = GetModuleHandleW(nullptr);
    UniqueBitmap own(static_cast<HBITMAP>(LoadImageW(hInst, MAKEINTRESOURCEW(resId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const int width = ScaleToDpi(BitmapSize(own.Get()).cx, dpi ? dpi : kBaseDpi);
    return LoadBitmapAtWidth(hInst, resId, width);
}

}  // namespace swirlo
