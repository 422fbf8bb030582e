// Owners for the handles a window holds: GDI objects, image lists, device contexts, files and
// searches. Each closes its handle once, when it goes out of scope or is given another.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace swirlo {

template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : m_h(std::exchange(o.m_h, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.m_h, Traits::Invalid()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H Get() const { return m_h; }
    explicit operator bool() const { return m_h != Traits::Invalid(); }
    void Reset(H h = Traits::Invalid()) {
        if (m_h != Traits::Invalid()) Traits::Close(m_h);
        m_h = h;
    }
    H Release() { return std::exchange(m_h, Traits::Invalid()); }

private:
    H m_h = Traits::Invalid();
};

template <typename H>
struct GdiTraits {
    static H Invalid() { return nullptr; }
    static void Close(H h) { DeleteObject(h); }
};
struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct MemDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelTraits {  // events, threads, processes: null when absent
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};

using UniqueFont = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, GdiTraits<HPEN>>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using UniqueMemDC = UniqueHandle<HDC, MemDcTraits>;  // CreateCompatibleDC
using UniqueFile = UniqueHandle<HANDLE, FileTraits>;  // CreateFile
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;

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
