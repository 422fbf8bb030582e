#include "library/WmpSongReading.h"

namespace swirlo {

void TakeComString(BSTR b, std::wstring& text) {
    UniqueBstr owned(b);
    if (b) text.assign(b, SysStringLen(b));
    else text.clear();
}

WmpPlaylistItems::WmpPlaylistItems(IWMPPlaylist* pPlaylist) : m_pPlaylist(pPlaylist) {}
WmpPlaylistItems::~WmpPlaylistItems() = default;

bool WmpPlaylistItems::GetCount(long& n) {
    LONG count = 0;
    if (!m_pPlaylist || FAILED(m_pPlaylist->get_count(&count))) return false;
    n = count;
    return true;
}

bool WmpPlaylistItems::OpenItem(long i) {
    m_cpSong.Reset();
    return SUCCEEDED(m_pPlaylist->get_Item(i, &m_cpSong)) && m_cpSong;
}

bool WmpPlaylistItems::GetInfo(const wchar_t* attribute, std::wstring& value) {
    ComString name(attribute);
    if (!name) return false;  // out of memory ends the operation like a failed call
    BSTR v = nullptr;
    HRESULT hr = m_cpSong->getItemInfo(name.get(), &v);
    TakeComString(v, value);
    return SUCCEEDED(hr);
}

bool WmpPlaylistInfo::Get(const wchar_t* attribute, std::wstring& value) {
    ComString name(attribute);
    if (!name) return false;
    BSTR v = nullptr;
    HRESULT hr = m_pPlaylist->getItemInfo(name.get(), &v);
    TakeComString(v, value);
    return SUCCEEDED(hr);
}

bool WmpPlaylistItems::GetSourceUrl(std::wstring& url) {
    BSTR v = nullptr;
    HRESULT hr = m_cpSong->get_sourceURL(&v);
    TakeComString(v, url);
    return SUCCEEDED(hr);
}

int AddToSongArrayWrapper(CSongArray& target, IWMPPlaylist* pPlaylist, const int freq[6], bool ignoreRepeats,
                          float share, int addMode, const std::wstring& statusLabel, int days, SongReadEnv& env) {
    WmpPlaylistItems items(pPlaylist);
    return AddToSongArrayWrapper(target, static_cast<LibraryItems&>(items), freq, ignoreRepeats, share, addMode,
                                 statusLabel, days, env);
}

}  // namespace swirlo
