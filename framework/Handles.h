// Owners for the handles a window holds: GDI objects, image lists, device contexts, icons and
// menus, on the template of foundation/WinHandles.h (which owns files, searches, kernel objects,
// registry keys and memory).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "foundation/WinHandles.h"

namespace swirlo {

template <typename H>
struct GdiTraits {
    static H Invalid() { return nullptr; }
    static bool Close(H h) { return DeleteObject(h) != FALSE; }
};
struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static bool Close(HIMAGELIST h) { return ImageList_Destroy(h) != FALSE; }
};
struct MemDcTraits {
    static HDC Invalid() { return nullptr; }
    static bool Close(HDC h) { return DeleteDC(h) != FALSE; }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool Close(HICON h) { return DestroyIcon(h) != FALSE; }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static bool Close(HMENU h) { return DestroyMenu(h) != FALSE; }
};

using UniqueFont = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, GdiTraits<HPEN>>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueMemDC = UniqueHandle<HDC, MemDcTraits>;  // CreateCompatibleDC
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

// A window's DC from GetDC, released to the same window.
class WindowDC {
public:
    explicit WindowDC(HWND h) : m_hWnd(h), m_hDC(GetDC(h)) {}
    ~WindowDC() {
        if (m_hDC) ReleaseDC(m_hWnd, m_hDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// BeginPaint/EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND h) : m_hWnd(h) { m_hDC = BeginPaint(h, &m_ps); }
    ~PaintDC() { EndPaint(m_hWnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return m_hDC; }
    const RECT& Area() const { return m_ps.rcPaint; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};

// Selects an object into a DC and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : m_hDC(dc), m_hOld(SelectObject(dc, obj)) {}
    ~SelectGuard() {
        if (m_hOld) SelectObject(m_hDC, m_hOld);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

}  // namespace swirlo
