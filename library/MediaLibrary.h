// The shuffle page's media library: the five library handles, the background thread that warms the
// player's caches, and the halt a shuffle needs before it reads songs. Uses only <wmp.h> and COM.
#pragma once
#include <windows.h>
#include <wmp.h>
#include <wrl/client.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace swirlo {

class MediaLibrary {
public:
    // hPage and sCaption: the owner and caption of the boxes shown; bSaveLog: the SaveLog setting;
    // sLogDirSlash: the folder of "startup log.txt".
    MediaLibrary(HWND hPage, std::wstring sCaption, bool bSaveLog, std::wstring sLogDirSlash);
    ~MediaLibrary();
    MediaLibrary(const MediaLibrary&) = delete;
    MediaLibrary& operator=(const MediaLibrary&) = delete;

    // Gets the handles and starts the caching thread. Returns 1, or 0 after one error box with every
    // handle released.
    int Setup();
    // Stops the thread (waiting for it), then releases the handles in the reverse order of setup.
    void Release();

    // Before a shuffle reads songs: asks the thread to stop and waits for it to end its current
    // library call (up to a minute), letting window messages run. A thread that is not running counts
    // as stopped. Returns 1, or 0 after the error box; 0 without one as soon as stopRequested (the
    // run's Stop, looked at while waiting) answers true.
    int HaltCaching(const std::function<bool()>& stopRequested = nullptr);

    // The song selection dialog, around its first run.
    void NoteSelectDialogStarted();
    void NoteSelectDialogReturned();
    bool SelectDialogReturned() const;
    // The dialog's first-load timing lines: held for the thread's own log while it still collects,
    // otherwise appended to "startup log.txt" at once.
    void LogSelectDialogLoad(const std::wstring& lines);

    bool CachingFinished() const;
    bool CachingThreadRunning() const;

    IWMPPlayer* Player() const;
    IWMPPlaylistCollection* PlaylistCollection() const;
    IWMPPlaylistArray* PlaylistArray() const;
    // The shuffle run fetches these two itself when they are missing (after HaltCaching).
    Microsoft::WRL::ComPtr<IWMPMediaCollection>& MediaCollection();
    Microsoft::WRL::ComPtr<IWMPPlaylist>& AllSongs();

    struct State;  // shared with the caching thread, which may outlive a timed-out wait

private:
    std::shared_ptr<State> m_state;
};

}  // namespace swirlo
