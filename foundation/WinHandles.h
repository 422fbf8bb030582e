// Move-only owners of Win32 handles: each closes its handle once, when it goes out of scope or is
// given another. This file holds the template and the owners of the system's objects (files,
// searches, kernel objects, registry keys, memory, COM strings); framework/Handles.h adds the window-side ones
// (GDI objects, DCs, image lists, icons, menus) on the same template. One owner type per kind.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace swirlo {

// Traits: Invalid() is the "no handle" value; Close(h) frees h and says whether the system took it.
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
    // Closes now, for callers that report a failed close (a file's last writes can fail there).
    // True when there was nothing to close.
    bool Close() {
        H h = Release();
        return h == Traits::Invalid() || Traits::Close(h);
    }

private:
    H m_h = Traits::Invalid();
};

struct FileTraits {  // CreateFile: INVALID_HANDLE_VALUE when absent
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct KernelTraits {  // events, threads, processes: null when absent
    static HANDLE Invalid() { return nullptr; }
    static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE h) { return FindClose(h) != FALSE; }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool Close(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};
struct GlobalTraits {  // GlobalAlloc
    static HGLOBAL Invalid() { return nullptr; }
    static bool Close(HGLOBAL h) { return GlobalFree(h) == nullptr; }
};
template <typename P>
struct LocalTraits {  // buffers the system allocated with LocalAlloc (FormatMessage)
    static P Invalid() { return nullptr; }
    static bool Close(P p) { return LocalFree(p) == nullptr; }
};
template <typename P>
struct CoTaskMemTraits {  // buffers the shell allocated (item id lists)
    static P Invalid() { return nullptr; }
    static bool Close(P p) {
        CoTaskMemFree(const_cast<void*>(static_cast<const void*>(p)));
        return true;
    }
};

struct BstrTraits {  // COM strings
    static BSTR Invalid() { return nullptr; }
    static bool Close(BSTR b) {
        SysFreeString(b);
        return true;
    }
};

using UniqueFile = UniqueHandle<HANDLE, FileTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalTraits>;
using UniqueBstr = UniqueHandle<BSTR, BstrTraits>;
template <typename P>
using UniqueLocal = UniqueHandle<P, LocalTraits<P>>;
template <typename P>
using UniqueCoTaskMem = UniqueHandle<P, CoTaskMemTraits<P>>;

}  // namespace swirlo
