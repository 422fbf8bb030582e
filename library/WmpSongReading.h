// Song reading over the player's automation objects: the library playlist object seen as
// LibraryItems, and the wrapper the shuffle run calls. Uses only <wmp.h> and COM, so it works the
// same against the real player and the stand-in.
#pragma once
#include <windows.h>
#include <wmp.h>
#include <wrl/client.h>

#include "foundation/WinHandles.h"
#include "library/SongReading.h"

namespace swirlo {

class WmpPlaylistItems final : public LibraryItems {
public:
    explicit WmpPlaylistItems(IWMPPlaylist* pPlaylist);
    ~WmpPlaylistItems() override;
    WmpPlaylistItems(const WmpPlaylistItems&) = delete;
    WmpPlaylistItems& operator=(const WmpPlaylistItems&) = delete;

    bool GetCount(long& n) override;
    bool OpenItem(long i) override;
    bool GetInfo(const wchar_t* attribute, std::wstring& value) override;
    bool GetSourceUrl(std::wstring& url) override;
    void CloseItem() override { m_cpSong.Reset(); }

private:
    IWMPPlaylist* m_pPlaylist;
    Microsoft::WRL::ComPtr<IWMPMedia> m_cpSong;
};

// A playlist's own attributes ("Title", "PlaylistType").
class WmpPlaylistInfo {
public:
    explicit WmpPlaylistInfo(IWMPPlaylist* pPlaylist) : m_pPlaylist(pPlaylist) {}
    bool Get(const wchar_t* attribute, std::wstring& value);

private:
    IWMPPlaylist* m_pPlaylist;
};

// Reads one library playlist object into target (see SongReading.h). Returns 1, or 0 after the
// error box.
int AddToSongArrayWrapper(CSongArray& target, IWMPPlaylist* pPlaylist, const int freq[6], bool ignoreRepeats,
                          float share, int addMode, const std::wstring& statusLabel, int days, SongReadEnv& env);

// A COM string made for one call, freed after it.
class ComString : public UniqueBstr {
public:
    explicit ComString(const wchar_t* s) : UniqueBstr(SysAllocString(s)) {}
    BSTR get() const { return Get(); }
};

// Takes a returned COM string into text and frees it.
void TakeComString(BSTR b, std::wstring& text);

}  // namespace swirlo
