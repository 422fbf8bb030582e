// Sizes and pictures for the scale of the monitor a window is on. The program is per-monitor aware:
// dialog units follow the window's font, but pixel sizes (bitmaps, thumbnails, list columns set in
// pixels) are the program's to scale, at creation and again when the window moves to a monitor of
// another scale (ZDialog::OnDpiChanged).
#pragma once
#include <windows.h>

#include "framework/Handles.h"

// Sent to child windows after their parent was rescaled (Windows 10 1703 and later).
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace swirlo {

constexpr UINT kBaseDpi = 96;  // 100 %: the pixel sizes the program names are for this

// The window's dots per inch (GetDpiForWindow where the system has it, else the screen's).
UINT WindowDpi(HWND h);
// A length given in pixels at 96 dots per inch, at dpi.
inline int ScaleToDpi(int px96, UINT dpi) { return MulDiv(px96, static_cast<int>(dpi), static_cast<int>(kBaseDpi)); }
// A width in dialog units of the dialog dlg, in its pixels.
int DialogUnitsX(HWND dlg, int units);

// A bitmap resource at width pixels (its height in proportion), or at its size at 96 dots per inch
// times dpi/96. The key colour (pixels that are drawn transparent) stays pure: each pixel of the
// result is one of the original's, so that a transparent drawing of the result leaves the same
// parts out. Null when the resource cannot be loaded.
UniqueBitmap LoadBitmapAtWidth(HINSTANCE hInst, int resId, int width);
UniqueBitmap LoadBitmapForDpi(HINSTANCE hInst, int resId, UINT dpi);
// The size of a bitmap (0 x 0 for none).
SIZE BitmapSize(HBITMAP bmp);

}  // namespace swirlo
