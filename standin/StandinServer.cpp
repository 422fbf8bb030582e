// The stand-in media library: an in-process COM server that answers the player's public
// automation interfaces from a library file (see LibraryModel.h). It exists so that the program can
// be run and tested under Wine, whose own player object has no library. It is registered only in
// the private Wine prefix of the run and test commands, never by itself: on a real Windows machine it
// would shadow the real player.
#include <windows.h>
#include <ole2.h>
#include <wmp.h>

#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "foundation/WinHandles.h"
#include "standin/LibraryModel.h"
#include "standin/StageHold.h"

// Like the player's own objects, each object answers only the thread that created it.
#define NI { return this->WrongThread() ? RPC_E_WRONG_THREAD : E_NOTIMPL; }
#define OWNER_ONLY if (this->WrongThread()) return RPC_E_WRONG_THREAD

namespace swirlo::standin {
namespace {

LONG g_nLiveObjects = 0;  // every automation object and class factory alive
LONG g_nWrongThreadCalls = 0;  // calls refused (or, for AddRef and Release, seen) from a foreign thread
LONG g_nServerLocks = 0;
LONG g_nItemsHandedOut = 0;  // media items handed out by playlists
LONG g_nSlowCalls = 0;       // calls the library file slows, counted as they begin
HMODULE g_hModule = nullptr;

const wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{6BF52A52-394A-11D3-B153-00C04F79FAA6}";

// One loaded library, shared by the objects a player hands out. The model never changes after
// loading; added paths are kept apart under a lock.
struct Library {
    LibraryModel model;
    std::wstring sFile;
    std::mutex addLock;
    std::vector<std::wstring> added;
};
using LibraryPtr = std::shared_ptr<Library>;
using IndexList = std::shared_ptr<const std::vector<std::uint32_t>>;

HRESULT ToBstr(const std::wstring& s, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

std::wstring FromBstr(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

bool ReadWholeFile(const std::wstring& path, std::string& out) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file.Get(), &size) && size.QuadPart < (1LL << 30);
    if (ok) {
        out.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        ok = out.empty() || (ReadFile(file.Get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr) &&
                             got == out.size());
    }
    return ok;
}

// The library file: SWIRLO_STANDIN_LIBRARY when set (tests use their own files), else the
// "LibraryFile" value beside the class registration.
std::wstring LibraryFilePath() {
    std::vector<wchar_t> buf(32768);
    DWORD n = GetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", buf.data(), static_cast<DWORD>(buf.size()));
    if (n > 0 && n < buf.size()) return std::wstring(buf.data(), n);
    DWORD bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kClassKey, L"LibraryFile", RRF_RT_REG_SZ, nullptr, buf.data(),
                     &bytes) == ERROR_SUCCESS)
        return std::wstring(buf.data());
    return std::wstring();
}

LibraryPtr LoadLibraryData() {
    auto lib = std::make_shared<Library>();
    lib->sFile = LibraryFilePath();
    std::string text;
    if (lib->sFile.empty()) {
        lib->model.sReason = L"No library file is registered: the library is empty";
    } else if (!ReadWholeFile(lib->sFile, text)) {
        lib->model.sReason = L"Cannot read the library file " + lib->sFile + L": the library is empty";
    } else if (!lib->model.Parse(text)) {
        lib->model.sReason += L" (" + lib->sFile + L"): the library is empty";
    } else {
        lib->model.sReason += L" from " + lib->sFile;
    }
    return lib;
}

// A listed call as the library file has it: first its delay, spent the way a busy library spends it
// (the calling thread does nothing else meanwhile), then false when it is to fail.
bool Answers(const LibraryModel& model, const wchar_t* call) {
    if (const unsigned ms = model.DelayOf(call)) {
        InterlockedIncrement(&g_nSlowCalls);
        Sleep(ms);
    }
    return !model.Fails(call);
}

// IUnknown with a thread-safe count. Automation objects count themselves as live; the class
// factory does not, since COM may keep it.
template <class I, bool Counted>
class ComUnknown : public I {
public:
    ComUnknown() : m_nOwner(GetCurrentThreadId()) {
        if (Counted) InterlockedIncrement(&g_nLiveObjects);
    }
    virtual ~ComUnknown() {
        if (Counted) InterlockedDecrement(&g_nLiveObjects);
    }
    ComUnknown(const ComUnknown&) = delete;
    ComUnknown& operator=(const ComUnknown&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (WrongThread()) {
            *ppv = nullptr;
            return RPC_E_WRONG_THREAD;
        }
        if (riid == IID_IUnknown || riid == __uuidof(I) || IsAlso(riid)) {
            *ppv = static_cast<I*>(this);
            this->AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        WrongThread();
        return static_cast<ULONG>(InterlockedIncrement(&m_nRefs));
    }
    STDMETHODIMP_(ULONG) Release() override {
        WrongThread();
        LONG n = InterlockedDecrement(&m_nRefs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // True (and counted) for a call from any thread but the creator's. The class factory is exempt:
    // COM may hand it to whichever thread asks.
    bool WrongThread() {
        if (!Counted || GetCurrentThreadId() == m_nOwner) return false;
        InterlockedIncrement(&g_nWrongThreadCalls);
        return true;
    }

protected:
    virtual bool IsAlso(REFIID) { return false; }

private:
    DWORD m_nOwner;
    LONG m_nRefs = 1;  // the creator holds the first reference
};

// An automation object: its IDispatch offers no type information (callers use the vtable).
template <class I>
class ComObject : public ComUnknown<I, true> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {
        OWNER_ONLY;
        if (!pctinfo) return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override NI
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override NI
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override NI

protected:
    bool IsAlso(REFIID riid) override { return riid == IID_IDispatch || IsAlsoMore(riid); }
    virtual bool IsAlsoMore(REFIID) { return false; }
};

// Hands a new object to an out pointer (its first reference goes to the caller).
template <class I, class T>
HRESULT HandOut(T* obj, I** out) {
    if (!obj) return E_OUTOFMEMORY;
    *out = obj;
    return S_OK;
}

class Media final : public ComObject<IWMPMedia> {
public:
    Media(LibraryPtr lib, const LibraryItem* item) : m_lib(std::move(lib)), m_item(item) {}
    Media(LibraryPtr lib, LibraryItem own) : m_lib(std::move(lib)), m_own(std::move(own)), m_item(&m_own) {}

    STDMETHODIMP get_sourceURL(BSTR* p) override {
        OWNER_ONLY;
        if (!Answers(m_lib->model, L"item.get_sourceURL")) return E_FAIL;
        return ToBstr(m_item->sPath, p);
    }
    STDMETHODIMP get_name(BSTR* p) override {
        OWNER_ONLY;
        return ToBstr(m_item->sTitle, p);
    }
    STDMETHODIMP getItemInfo(BSTR name, BSTR* p) override {
        OWNER_ONLY;
        if (!Answers(m_lib->model, L"item.getItemInfo")) return E_FAIL;
        return ToBstr(LibraryModel::ItemInfo(*m_item, FromBstr(name)), p);
    }
    STDMETHODIMP get_isIdentical(IWMPMedia*, VARIANT_BOOL*) override NI
    STDMETHODIMP put_name(BSTR) override NI
    STDMETHODIMP get_imageSourceWidth(LONG*) override NI
    STDMETHODIMP get_imageSourceHeight(LONG*) override NI
    STDMETHODIMP get_markerCount(LONG*) override NI
    STDMETHODIMP getMarkerTime(LONG, double*) override NI
    STDMETHODIMP getMarkerName(LONG, BSTR*) override NI
    STDMETHODIMP get_duration(double*) override NI
    STDMETHODIMP get_durationString(BSTR*) override NI
    STDMETHODIMP get_attributeCount(LONG*) override NI
    STDMETHODIMP getAttributeName(LONG, BSTR*) override NI
    STDMETHODIMP setItemInfo(BSTR, BSTR) override NI
    STDMETHODIMP getItemInfoByAtom(LONG, BSTR*) override NI
    STDMETHODIMP isMemberOf(IWMPPlaylist*, VARIANT_BOOL*) override NI
    STDMETHODIMP isReadOnlyItem(BSTR, VARIANT_BOOL*) override NI

private:
    LibraryPtr m_lib;  // keeps the item alive
    LibraryItem m_own;
    const LibraryItem* m_item;
};

// A list of library items: a stored playlist or the answer of a query.
class Playlist final : public ComObject<IWMPPlaylist> {
public:
    Playlist(LibraryPtr lib, IndexList items, std::wstring title, std::wstring type)
        : m_lib(std::move(lib)), m_items(std::move(items)), m_sTitle(std::move(title)), m_sType(std::move(type)) {}

    STDMETHODIMP get_count(LONG* p) override {
        OWNER_ONLY;
        if (!p) return E_POINTER;
        if (!Answers(m_lib->model, L"playlist.get_count")) return E_FAIL;
        *p = static_cast<LONG>(m_items->size());
        return S_OK;
    }
    STDMETHODIMP get_Item(LONG i, IWMPMedia** pp) override {
        OWNER_ONLY;
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (!Answers(m_lib->model, L"playlist.get_item")) return E_FAIL;
        if (i < 0 || static_cast<std::size_t>(i) >= m_items->size()) return E_INVALIDARG;
        InterlockedIncrement(&g_nItemsHandedOut);
        return HandOut(new (std::nothrow) Media(m_lib, &m_lib->model.items[(*m_items)[i]]), pp);
    }
    STDMETHODIMP get_name(BSTR* p) override {
        OWNER_ONLY;
        return ToBstr(m_sTitle, p);
    }
    STDMETHODIMP getItemInfo(BSTR name, BSTR* p) override {
        OWNER_ONLY;
        std::wstring n = FromBstr(name);
        if (EqualNoCase(n, L"PlaylistType")) return ToBstr(m_sType, p);
        if (EqualNoCase(n, L"Title") || EqualNoCase(n, L"Name")) return ToBstr(m_sTitle, p);
        return ToBstr(std::wstring(), p);
    }
    STDMETHODIMP put_name(BSTR) override NI
    STDMETHODIMP get_attributeCount(LONG*) override NI
    STDMETHODIMP get_attributeName(LONG, BSTR*) override NI
    STDMETHODIMP setItemInfo(BSTR, BSTR) override NI
    STDMETHODIMP get_isIdentical(IWMPPlaylist*, VARIANT_BOOL*) override NI
    STDMETHODIMP clear() override NI
    STDMETHODIMP insertItem(LONG, IWMPMedia*) override NI
    STDMETHODIMP appendItem(IWMPMedia*) override NI
    STDMETHODIMP removeItem(IWMPMedia*) override NI
    STDMETHODIMP moveItem(LONG, LONG) override NI

private:
    LibraryPtr m_lib;
    IndexList m_items;
    std::wstring m_sTitle, m_sType;
};

HRESULT NewPlaylist(const LibraryPtr& lib, std::vector<std::uint32_t> items, std::wstring title,
                    std::wstring type, IWMPPlaylist** pp) {
    if (!pp) return E_POINTER;
    *pp = nullptr;
    auto list = std::make_shared<const std::vector<std::uint32_t>>(std::move(items));
    return HandOut(new (std::nothrow) Playlist(lib, list, std::move(title), std::move(type)), pp);
}

HRESULT StoredPlaylist(const LibraryPtr& lib, std::size_t index, IWMPPlaylist** pp) {
    const LibraryPlaylist& pl = lib->model.playlists[index];
    return NewPlaylist(lib, pl.items, pl.sTitle, pl.bAuto ? L"auto" : L"static", pp);
}

class PlaylistArray final : public ComObject<IWMPPlaylistArray> {
public:
    explicit PlaylistArray(LibraryPtr lib) : m_lib(std::move(lib)) {}
    STDMETHODIMP get_count(LONG* p) override {
        OWNER_ONLY;
        if (!p) return E_POINTER;
        if (!Answers(m_lib->model, L"playlistArray.get_count")) return E_FAIL;
        *p = static_cast<LONG>(m_lib->model.playlists.size());
        return S_OK;
    }
    STDMETHODIMP Item(LONG i, IWMPPlaylist** pp) override {
        OWNER_ONLY;
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (i < 0 || static_cast<std::size_t>(i) >= m_lib->model.playlists.size()) return E_INVALIDARG;
        return StoredPlaylist(m_lib, static_cast<std::size_t>(i), pp);
    }

private:
    LibraryPtr m_lib;
};

class PlaylistCollection final : public ComObject<IWMPPlaylistCollection> {
public:
    explicit PlaylistCollection(LibraryPtr lib) : m_lib(std::move(lib)) {}
    STDMETHODIMP getAll(IWMPPlaylistArray** pp) override {
        OWNER_ONLY;
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (!Answers(m_lib->model, L"playlists.getAll")) return E_FAIL;
        return HandOut(new (std::nothrow) PlaylistArray(m_lib), pp);
    }
    STDMETHODIMP newPlaylist(BSTR, IWMPPlaylist**) override NI
    STDMETHODIMP getByName(BSTR, IWMPPlaylistArray**) override NI
    STDMETHODIMP remove(IWMPPlaylist*) override NI
    STDMETHODIMP setDeleted(IWMPPlaylist*, VARIANT_BOOL) override NI
    STDMETHODIMP isDeleted(IWMPPlaylist*, VARIANT_BOOL*) override NI
    STDMETHODIMP importPlaylist(IWMPPlaylist*, IWMPPlaylist**) override NI

private:
    LibraryPtr m_lib;
};

class StringCollection final : public ComObject<IWMPStringCollection> {
public:
    explicit StringCollection(std::vector<std::wstring> s) : m_s(std::move(s)) {}
    STDMETHODIMP get_count(LONG* p) override {
        OWNER_ONLY;
        if (!p) return E_POINTER;
        *p = static_cast<LONG>(m_s.size());
        return S_OK;
    }
    STDMETHODIMP Item(LONG i, BSTR* p) override {
        OWNER_ONLY;
        if (!p) return E_POINTER;
        *p = nullptr;
        if (i < 0 || static_cast<std::size_t>(i) >= m_s.size()) return E_INVALIDARG;
        return ToBstr(m_s[static_cast<std::size_t>(i)], p);
    }

private:
    std::vector<std::wstring> m_s;
};

// Appends an added path, one UTF-8 line, to "<library file>.added.txt" so that tests and users can
// see what the program asked the library to learn.
void RecordAdded(Library& lib, const std::wstring& path) {
    std::lock_guard<std::mutex> hold(lib.addLock);
    lib.added.push_back(path);
    if (lib.sFile.empty()) return;
    std::wstring line = path + L"\r\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return;
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), n, nullptr, nullptr);
    UniqueFile file(CreateFileW((lib.sFile + L".added.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

class MediaCollection final : public ComObject<IWMPMediaCollection> {
public:
    explicit MediaCollection(LibraryPtr lib) : m_lib(std::move(lib)) {}

    STDMETHODIMP add(BSTR url, IWMPMedia** pp) override {
        OWNER_ONLY;
        std::wstring path = FromBstr(url);
        if (path.empty()) return E_INVALIDARG;
        RecordAdded(*m_lib, path);
        if (!pp) return S_OK;
        LibraryItem item;
        item.sPath = path;
        item.bPlaylistFile = true;
        *pp = nullptr;
        return HandOut(new (std::nothrow) Media(m_lib, std::move(item)), pp);
    }
    STDMETHODIMP getAll(IWMPPlaylist** pp) override {
        OWNER_ONLY;
        std::vector<std::uint32_t> all(m_lib->model.items.size());
        for (std::uint32_t i = 0; i < all.size(); ++i) all[i] = i;
        return NewPlaylist(m_lib, std::move(all), L"All media", L"", pp);
    }
    STDMETHODIMP getByName(BSTR name, IWMPPlaylist** pp) override {
        OWNER_ONLY;
        std::wstring n = FromBstr(name);
        return NewPlaylist(m_lib, m_lib->model.ByName(n), n, L"", pp);
    }
    STDMETHODIMP getByGenre(BSTR genre, IWMPPlaylist** pp) override {
        OWNER_ONLY;
        std::wstring g = FromBstr(genre);
        return NewPlaylist(m_lib, m_lib->model.ByGenre(g), g, L"", pp);
    }
    STDMETHODIMP getByAttribute(BSTR attribute, BSTR value, IWMPPlaylist** pp) override {
        OWNER_ONLY;
        std::wstring a = FromBstr(attribute), v = FromBstr(value);
        const LibraryModel& m = m_lib->model;
        if (!Answers(m, L"media.getByAttribute")) {
            if (pp) *pp = nullptr;
            return E_FAIL;
        }
        std::vector<std::uint32_t> found;
        if (EqualNoCase(a, L"MediaType") && EqualNoCase(v, L"audio")) {
            found = m.AudioItems();
        } else if (EqualNoCase(a, L"MediaType") && EqualNoCase(v, L"playlist")) {
            for (std::uint32_t i = 0; i < m.items.size(); ++i)
                if (m.items[i].bPlaylistFile) found.push_back(i);
        } else if (EqualNoCase(a, L"WM/Genre") || EqualNoCase(a, L"Genre")) {
            found = m.ByGenre(v);
        } else if (EqualNoCase(a, L"Title") || EqualNoCase(a, L"Name")) {
            found = m.ByName(v);
        } else {
            return E_NOTIMPL;
        }
        return NewPlaylist(m_lib, std::move(found), v, L"", pp);
    }
    STDMETHODIMP getAttributeStringCollection(BSTR attribute, BSTR mediaType, IWMPStringCollection** pp) override {
        OWNER_ONLY;
        if (!pp) return E_POINTER;
        *pp = nullptr;
        std::wstring a = FromBstr(attribute), t = FromBstr(mediaType);
        if (!(EqualNoCase(a, L"Genre") || EqualNoCase(a, L"WM/Genre"))) return E_NOTIMPL;
        std::vector<std::wstring> genres;
        if (EqualNoCase(t, L"Audio")) genres = m_lib->model.Genres();
        return HandOut(new (std::nothrow) StringCollection(std::move(genres)), pp);
    }
    STDMETHODIMP getByAuthor(BSTR, IWMPPlaylist**) override NI
    STDMETHODIMP getByAlbum(BSTR, IWMPPlaylist**) override NI
    STDMETHODIMP remove(IWMPMedia*, VARIANT_BOOL) override NI
    STDMETHODIMP getMediaAtom(BSTR, LONG*) override NI
    STDMETHODIMP setDeleted(IWMPMedia*, VARIANT_BOOL) override NI
    STDMETHODIMP isDeleted(IWMPMedia*, VARIANT_BOOL*) override NI

private:
    LibraryPtr m_lib;
};

class Player final : public ComObject<IWMPPlayer> {
public:
    Player() : m_lib(LoadLibraryData()) { InstallStageHold(); }

    STDMETHODIMP get_mediaCollection(IWMPMediaCollection** pp) override {
        OWNER_ONLY;
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (!Answers(m_lib->model, L"player.get_mediaCollection")) return E_FAIL;
        return HandOut(new (std::nothrow) MediaCollection(m_lib), pp);
    }
    STDMETHODIMP get_playlistCollection(IWMPPlaylistCollection** pp) override {
        OWNER_ONLY;
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (!Answers(m_lib->model, L"player.get_playlistCollection")) return E_FAIL;
        return HandOut(new (std::nothrow) PlaylistCollection(m_lib), pp);
    }
    // What was loaded, or why the library is empty.
    STDMETHODIMP get_status(BSTR* p) override {
        OWNER_ONLY;
        return ToBstr(m_lib->model.sReason, p);
    }

    STDMETHODIMP close() override NI
    STDMETHODIMP get_URL(BSTR*) override NI
    STDMETHODIMP put_URL(BSTR) override NI
    STDMETHODIMP get_openState(WMPOpenState*) override NI
    STDMETHODIMP get_playState(WMPPlayState*) override NI
    STDMETHODIMP get_controls(IWMPControls**) override NI
    STDMETHODIMP get_settings(IWMPSettings**) override NI
    STDMETHODIMP get_currentMedia(IWMPMedia**) override NI
    STDMETHODIMP put_currentMedia(IWMPMedia*) override NI
    STDMETHODIMP get_versionInfo(BSTR*) override NI
    STDMETHODIMP launchURL(BSTR) override NI
    STDMETHODIMP get_network(IWMPNetwork**) override NI
    STDMETHODIMP get_currentPlaylist(IWMPPlaylist**) override NI
    STDMETHODIMP put_currentPlaylist(IWMPPlaylist*) override NI
    STDMETHODIMP get_cdromCollection(IWMPCdromCollection**) override NI
    STDMETHODIMP get_closedCaption(IWMPClosedCaption**) override NI
    STDMETHODIMP get_isOnline(VARIANT_BOOL*) override NI
    STDMETHODIMP get_Error(IWMPError**) override NI
    STDMETHODIMP get_enabled(VARIANT_BOOL*) override NI
    STDMETHODIMP put_enabled(VARIANT_BOOL) override NI
    STDMETHODIMP get_fullScreen(VARIANT_BOOL*) override NI
    STDMETHODIMP put_fullScreen(VARIANT_BOOL) override NI
    STDMETHODIMP get_enableContextMenu(VARIANT_BOOL*) override NI
    STDMETHODIMP put_enableContextMenu(VARIANT_BOOL) override NI
    STDMETHODIMP put_uiMode(BSTR) override NI
    STDMETHODIMP get_uiMode(BSTR*) override NI

protected:
    bool IsAlsoMore(REFIID riid) override { return riid == __uuidof(IWMPCore); }

private:
    LibraryPtr m_lib;
};

class Factory final : public ComUnknown<IClassFactory, false> {
public:
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        Player* p = new (std::nothrow) Player();
        if (!p) return E_OUTOFMEMORY;
        HRESULT hr = p->QueryInterface(riid, ppv);
        p->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) InterlockedIncrement(&g_nServerLocks);
        else InterlockedDecrement(&g_nServerLocks);
        return S_OK;
    }
};

}  // namespace
}  // namespace swirlo::standin

using namespace swirlo::standin;

extern "C" BOOL WINAPI DllMain(HINSTANCE h, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_hModule = h;
        DisableThreadLibraryCalls(h);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (clsid != __uuidof(WindowsMediaPlayer)) return CLASS_E_CLASSNOTAVAILABLE;
    Factory* f = new (std::nothrow) Factory();
    if (!f) return E_OUTOFMEMORY;
    HRESULT hr = f->QueryInterface(riid, ppv);
    f->Release();
    return hr;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return (g_nLiveObjects == 0 && g_nServerLocks == 0) ? S_OK : S_FALSE;
}

// How many of the server's objects are alive: lets the leak tests see every reference returned.
extern "C" __declspec(dllexport) LONG STDAPICALLTYPE StandinLiveObjects() { return g_nLiveObjects; }

// How many calls reached an object from a thread other than its creator's.
extern "C" __declspec(dllexport) LONG STDAPICALLTYPE StandinWrongThreadCalls() { return g_nWrongThreadCalls; }

// How many media items playlists have handed out: shows whether a reader goes on reading.
extern "C" __declspec(dllexport) LONG STDAPICALLTYPE StandinItemsHandedOut() { return g_nItemsHandedOut; }

// How many slowed calls have begun: a test acts while the program is inside one.
extern "C" __declspec(dllexport) LONG STDAPICALLTYPE StandinSlowCalls() { return g_nSlowCalls; }
