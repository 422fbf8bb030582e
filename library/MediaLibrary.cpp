#include "library/MediaLibrary.h"

#include <algorithm>
#include <utility>

#include "foundation/ErrorText.h"
#include "foundation/Utilities.h"
#include "foundation/WinHandles.h"
#include "foundation/BackgroundJob.h"
#include "library/WmpSongReading.h"

using Microsoft::WRL::ComPtr;

namespace swirlo {

namespace {
constexpr DWORD kHaltWaitMs = 60000;
constexpr DWORD kReleaseWaitMs = 10000;
}  // namespace

// Everything the caching thread touches. The four flags are 32-bit words with one writer each; the
// two timing texts are shared under a lock (the dialog may add to them while the thread writes).
struct MediaLibrary::State {
    HWND hPage = nullptr;
    std::wstring sCaption;
    bool bSaveLog = false;
    std::wstring sLogDirSlash;

    // Obtained in this order, released in the reverse one.
    ComPtr<IWMPPlayer> cpWmpPlayer;
    ComPtr<IWMPPlaylistCollection> m_cpWmpPlaylistColl;
    ComPtr<IWMPPlaylistArray> m_cpWmpPlaylistArr;
    ComPtr<IWMPMediaCollection> m_cpWmpMediaColl;
    ComPtr<IWMPPlaylist> m_cpWmpPlaylistAll;

    std::atomic<LONG> bSelectDlgStarted{0};
    std::atomic<LONG> bSelectDlgReturned{0};
    std::atomic<LONG> bHaltRequest{0};
    std::atomic<LONG> bCachingFinished{0};

    std::mutex timingLock;
    std::wstring sStartupTiming;
    std::wstring sSelectDlgTiming;

    UniqueKernelHandle hThread;
    UniqueKernelHandle hHalt;  // set with halt-request: ends the thread's waits at once
    std::unique_ptr<PostBack> boxes;  // the thread's boxes, shown on the window thread
    DWORD nSetupTicks = 0;

    ~State() { ReleaseHandles(); }
    void RequestHalt() {
        bHaltRequest = 1;
        if (hHalt) SetEvent(hHalt.Get());
    }
    // A box of the caching thread: handed to the window thread, which shows it. The hand-over is
    // closed (on the window thread) before the page lets go of this state.
    void PostBox(const wchar_t* p1, const wchar_t* p2 = nullptr) {
        boxes->Post([this, a = std::wstring(p1), b = std::wstring(p2 ? p2 : L"")] {
            ShowErrorBox(a.c_str(), b.empty() ? nullptr : b.c_str());
        });
    }

    void ReleaseHandles() {
        m_cpWmpPlaylistAll.Reset();
        m_cpWmpMediaColl.Reset();
        m_cpWmpPlaylistArr.Reset();
        m_cpWmpPlaylistColl.Reset();
        cpWmpPlayer.Reset();
    }
    std::wstring ErrorCaption() const { return sCaption + L" - ERROR"; }
    int ShowErrorBox(const wchar_t* p1, const wchar_t* p2 = nullptr) {
        return ErrorBox(hPage, ErrorCaption().c_str(), p1, p2);
    }
    void Timing(const std::wstring& line) {
        if (!bSaveLog) return;
        std::lock_guard<std::mutex> hold(timingLock);
        sStartupTiming += line;
    }
    std::wstring LogPath() const { return sLogDirSlash + L"startup log.txt"; }
    void WriteStartupLog();
    void FinishLog();
    void CacheLibrary();
    void CachingHalted();
    bool CachePlaylists(DWORD t0);
    void WaitForSelectDialog(DWORD t0);
    bool OpenAllSongs();
    bool CacheSongs(DWORD tSongs);
    // The thread's own player objects, in its own apartment.
    ComPtr<IWMPPlaylistArray> tPlaylistArr;
    ComPtr<IWMPMediaCollection> tMediaColl;
    ComPtr<IWMPPlaylist> tPlaylistAll;
    bool OpenOwnLibrary();
    bool Running() const { return hThread && WaitForSingleObject(hThread.Get(), 0) == WAIT_TIMEOUT; }
};

namespace {

// The local time as "HH:mm:ss", in a buffer of the caller's: the utilities' shared one is not safe
// to use from two threads.
std::wstring TimeNow() {
    wchar_t buf[16] = L"";
    SYSTEMTIME st;
    GetLocalTime(&st);
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, L"HH':'mm':'ss", buf, 16)) buf[0] = 0;
    return buf;
}

int Elapsed(DWORD since) { return static_cast<int>(GetTickCount() - since); }

DWORD WINAPI CachingThreadProc(LPVOID param) {
    // The thread holds its own share of the state so that it stays valid whatever the page does.
    auto* held = static_cast<std::shared_ptr<MediaLibrary::State>*>(param);
    std::shared_ptr<MediaLibrary::State> state = std::move(*held);
    delete held;
    // The player is an apartment-threaded object: this thread enters an apartment of its own and
    // uses only the player objects it creates itself. Nothing it holds outlives the apartment.
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        try {
            state->CacheLibrary();
        } catch (...) {
            // no exception leaves the thread
        }
        state->tPlaylistAll.Reset();
        state->tMediaColl.Reset();
        state->tPlaylistArr.Reset();
        CoUninitialize();
    } else {
        state->PostBox(L"Non-fatal error caching list of all songs in WMP", L"CoInitializeEx failed");
    }
    state->bCachingFinished = 1;
    return 0;
}

// The caching thread's waits. Its apartment must go on dispatching while it waits: the system and COM
// send it messages, and whoever sends waits until they are dispatched. COM's wait does that.
bool WaitInApartment(HANDLE h, DWORD ms) {
    DWORD index = 0;
    return CoWaitForMultipleHandles(0, ms, 1, &h, &index) == S_OK;
}

// Waits for an object while letting the window thread's messages run (COM and the boxes of the
// caching thread need them). True when the object was signalled within ms.
bool WaitDispatching(HANDLE h, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        DWORD left = spent >= ms ? 0 : ms - spent;
        DWORD r = MsgWaitForMultipleObjects(1, &h, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
        PumpMessages();
    }
}

}  // namespace

// Writes the log as UTF-16 without byte order mark. The caching thread uses this rather than the
// utilities' AppendToFile, whose failure text lives in the global gsErrorText that the window thread
// uses at the same time.
static bool WriteUtf16File(const std::wstring& text, const std::wstring& path, bool append, std::wstring& error) {
    CreateDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const HANDLE h = file.Get();
    if (!file) {
        error = L"Error opening file for write:\r\n" + path + L"\r\n" + WinErrorText(0);
        return false;
    }
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t)), written = 0;
    bool ok = (!append || SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER) &&
              WriteFile(h, text.data(), bytes, &written, nullptr) && written == bytes;
    if (!ok) error = L"Error writing to file:\r\n" + path + L"\r\n" + WinErrorText(0);
    return ok;
}

void MediaLibrary::State::WriteStartupLog() {
    if (!bSaveLog) return;
    std::wstring text, error;
    {
        std::lock_guard<std::mutex> hold(timingLock);
        text = sStartupTiming;
    }
    if (!WriteUtf16File(text, LogPath(), false, error))
        PostBox(L"Non-fatal error logging start up cache times", error.c_str());
}

// The normal end: the log replaced, then the dialog's held lines added to it.
void MediaLibrary::State::FinishLog() {
    if (!bSaveLog) return;
    WriteStartupLog();
    std::wstring held, error;
    {
        std::lock_guard<std::mutex> hold(timingLock);
        sStartupTiming.clear();
        held.swap(sSelectDlgTiming);
    }
    if (!held.empty() && !WriteUtf16File(held, LogPath(), true, error))
        PostBox(L"Non-fatal error logging Select dlg 1st load time", error.c_str());
}

// The thread's own player and collections. Each call may be slow on a big library, so the halt
// request is looked at between them.
bool MediaLibrary::State::OpenOwnLibrary() {
    const wchar_t* kSongsError = L"Non-fatal error caching list of all songs in WMP";
    ComPtr<IWMPPlayer> player;
    ComPtr<IWMPPlaylistCollection> lists;
    HRESULT hr = CoCreateInstance(__uuidof(WindowsMediaPlayer), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWMPPlayer),
                                  reinterpret_cast<void**>(player.GetAddressOf()));
    if (FAILED(hr) || !player) return PostBox(kSongsError, L"CoCreateInstance (Media Player) failed"), false;
    if (bHaltRequest) return false;
    if (FAILED(player->get_playlistCollection(&lists)) || !lists)
        return PostBox(kSongsError, L"get_playlistCollection failed"), false;
    if (bHaltRequest) return false;
    if (FAILED(lists->getAll(&tPlaylistArr)) || !tPlaylistArr)
        return PostBox(kSongsError, L"m_cpWmpPlaylistColl->getAll failed"), false;
    if (bHaltRequest) return false;
    if (FAILED(player->get_mediaCollection(&tMediaColl)) || !tMediaColl)
        return PostBox(kSongsError, L"get_mediaCollection failed"), false;
    return !bHaltRequest;
}

// Touches every playlist and then every audio item once, so that the player has them in its caches
// before the song selection dialog or a shuffle asks for them.
void MediaLibrary::State::CacheLibrary() {
    DWORD t0 = GetTickCount();
    Timing(FormatW(L"%ls Begin cache WMP playlist and song data\r\n", TimeNow().c_str()));
    if (!OpenOwnLibrary()) {
        if (bHaltRequest) CachingHalted();
        return;
    }
    if (!CachePlaylists(t0)) return;
    if (bHaltRequest) return CachingHalted();
    DWORD tSongs = GetTickCount();
    if (!OpenAllSongs()) return;
    Timing(FormatW(L"%d milliseconds load WMP all media (audio) pointers\r\n", Elapsed(tSongs)));
    if (bHaltRequest) return CachingHalted();
    if (!CacheSongs(tSongs)) return;
    Timing(FormatW(L"%d milliseconds read all songs\r\n%d milliseconds TOTAL\r\n%ls Finished caching WMP data\r\n",
                   Elapsed(tSongs), Elapsed(nSetupTicks), TimeNow().c_str()));
    FinishLog();
}

// A halt before the songs are reached ends the thread the way a halt after them does.
void MediaLibrary::State::CachingHalted() {
    Timing(L"Caching all songs halted for actual shuffle\r\n");
    WriteStartupLog();
}

// Each playlist once, until the song selection dialog opens. False when the thread is to end.
bool MediaLibrary::State::CachePlaylists(DWORD t0) {
    LONG count = 0;
    if (FAILED(tPlaylistArr->get_count(&count))) {
        PostBox(L"Can't load playlists, failed m_cpWmpPlaylistArr->get_count");
        return false;
    }
    Timing(FormatW(L"%d milliseconds getting playlist count %d\r\n", Elapsed(t0), static_cast<int>(count)));
    for (LONG i = 0; i < count; ++i) {
        if (bHaltRequest) return CachingHalted(), false;
        if (bSelectDlgStarted) {
            WaitForSelectDialog(t0);
            return true;
        }
        ComPtr<IWMPPlaylist> cpPlaylist;
        tPlaylistArr->Item(i, &cpPlaylist);
    }
    Timing(FormatW(L"%d milliseconds caching list of all playlists\r\n", Elapsed(t0)));
    return true;
}

// The dialog reads the library itself: the thread stands aside until it closes, 8 s at most.
void MediaLibrary::State::WaitForSelectDialog(DWORD t0) {
    Timing(FormatW(L"%ls Caching thread suspended by start of Select Songs dialog after\r\n%d milliseconds "
                   L"of Playlists caching\r\n", TimeNow().c_str(), Elapsed(t0)));
    DWORD tSleep = GetTickCount();
    // A halt ends the wait at once: the page may be closing and waiting for this thread.
    for (int step = 0; step < 8 && !bSelectDlgReturned && !bHaltRequest; ++step) WaitInApartment(hHalt.Get(), 1000);
    Timing(FormatW(L"%ls  Resume caching thread after\r\n%d milliseconds sleep ", TimeNow().c_str(),
                   Elapsed(tSleep)) +
           (bSelectDlgReturned ? L"until Select Dlg returned\r\n" : L"timed out before Select Dlg return\r\n"));
}

// The library's audio items as one playlist (tPlaylistAll). False, with a box, when it cannot be had.
bool MediaLibrary::State::OpenAllSongs() {
    ComString attr(L"MediaType"), value(L"audio");
    if (!attr || !value || FAILED(tMediaColl->getByAttribute(attr.get(), value.get(), &tPlaylistAll)) ||
        !tPlaylistAll) {
        tPlaylistAll.Reset();
        tMediaColl.Reset();
        PostBox(L"Non-fatal error caching list of all songs in WMP", L"getByAttribute failed");
        return false;
    }
    return true;
}

// Every song's attributes the page reads, in blocks of 1,000 between which a halt is honoured.
// False when the thread is to end.
bool MediaLibrary::State::CacheSongs(DWORD tSongs) {
    const wchar_t* kSongsError = L"Non-fatal error caching list of all songs in WMP";
    LONG n = 0;
    if (FAILED(tPlaylistAll->get_count(&n))) {
        PostBox(kSongsError, L"Playlist get_count failed");
        return false;
    }
    WmpPlaylistItems songs(tPlaylistAll.Get());
    std::wstring value;
    for (LONG first = 0; first < n; first += 1000) {
        LONG last = std::min<LONG>(first + 999, n - 1);
        for (LONG i = first; i <= last; ++i) {
            if (bHaltRequest) break;
            const wchar_t* failed = nullptr;
            if (!songs.OpenItem(i)) failed = L"cpPlaylist->get_item failed";
            else if (!songs.GetInfo(L"AcquisitionTimeYear", value) || !songs.GetInfo(L"AcquisitionTimeMonth", value) ||
                     !songs.GetInfo(L"AcquisitionTimeDay", value))
                failed = L"Error getting date information on song";
            else if (!songs.GetSourceUrl(value)) failed = L"cpSong->get_sourceURL failed";
            else if (!songs.GetInfo(L"UserRating", value)) failed = L"cpSong->getItemInfo (rating) failed";
            songs.CloseItem();
            if (failed) {
                PostBox(kSongsError, failed);
                return false;
            }
        }
        if (bHaltRequest) {
            Timing(FormatW(L"%d milliseconds caching each song halted for actual shuffle\r\n", Elapsed(tSongs)));
            WriteStartupLog();
            return false;
        }
    }
    return true;
}

MediaLibrary::MediaLibrary(HWND hPage, std::wstring sCaption, bool bSaveLog, std::wstring sLogDirSlash)
    : m_state(std::make_shared<State>()) {
    m_state->hPage = hPage;
    m_state->sCaption = std::move(sCaption);
    m_state->bSaveLog = bSaveLog;
    m_state->sLogDirSlash = std::move(sLogDirSlash);
}

MediaLibrary::~MediaLibrary() { Release(); }

int MediaLibrary::Setup() {
    State& s = *m_state;
    if (s.cpWmpPlayer) return 1;  // once per page
    s.nSetupTicks = GetTickCount();
    s.Timing(FormatW(L"%ls Begin caching Windows Media Player library data\r\n", TimeNow().c_str()));
    auto fail = [&](const wchar_t* what, HRESULT hr) {
        std::wstring text = FormatW(L"Error: %ls\nHRESULT return was %d", what, static_cast<int>(hr));
        WinErrorBox(0, s.hPage, s.sCaption.c_str(), text.c_str());
        s.ReleaseHandles();
        return 0;
    };
    HRESULT hr = CoCreateInstance(__uuidof(WindowsMediaPlayer), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IWMPPlayer), reinterpret_cast<void**>(s.cpWmpPlayer.ReleaseAndGetAddressOf()));
    if (FAILED(hr) || !s.cpWmpPlayer) return fail(L"CoCreateInstance (Media Player)", hr);
    hr = s.cpWmpPlayer->get_playlistCollection(&s.m_cpWmpPlaylistColl);
    if (FAILED(hr) || !s.m_cpWmpPlaylistColl) return fail(L"get_playlistCollection", hr);
    hr = s.m_cpWmpPlaylistColl->getAll(&s.m_cpWmpPlaylistArr);
    if (FAILED(hr) || !s.m_cpWmpPlaylistArr) return fail(L"m_cpWmpPlaylistColl->getAll", hr);
    if (!s.m_cpWmpMediaColl &&
        (FAILED(s.cpWmpPlayer->get_mediaCollection(&s.m_cpWmpMediaColl)) || !s.m_cpWmpMediaColl))
        return fail(L"get_mediaCollection failed", 0);
    s.Timing(FormatW(L"%d milliseconds loading media and playlist collections\r\n", Elapsed(s.nSetupTicks)));

    if (!s.hHalt) s.hHalt.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!s.boxes) s.boxes = std::make_unique<PostBack>();
    auto* param = new std::shared_ptr<State>(m_state);
    s.hThread.Reset(CreateThread(nullptr, 0, CachingThreadProc, param, 0, nullptr));
    if (!s.hThread) {
        delete param;
        WinErrorBox(0, s.hPage, s.sCaption.c_str(), L"Non-fatal error creating background thread to cache WMP library");
        return 1;
    }
    SetThreadPriority(s.hThread.Get(), THREAD_PRIORITY_BELOW_NORMAL);
    return 1;
}

void MediaLibrary::Release() {
    if (!m_state) return;
    State& s = *m_state;
    bool ended = true;
    if (s.hThread) {
        s.RequestHalt();
        // The thread answers a halt after its current library call; the window keeps running
        // meanwhile (a box of the thread may be open). The page is going away, so this wait is
        // shorter than a shuffle's: should the thread be in a long call, it keeps its share of the
        // state and its own objects and ends on its own, and the page goes on with a fresh state.
        ended = WaitDispatching(s.hThread.Get(), kReleaseWaitMs);
        s.hThread.Reset();
    }
    if (s.boxes && ended) {
        s.boxes->RunPosted();  // nothing the thread had to say is lost
        s.boxes.reset();
    } else if (s.boxes) {
        s.boxes->Close();  // the thread, should it go on, posts into nothing
    }
    // The thread never touches these: they are released here, on the thread that made them.
    s.ReleaseHandles();
    if (!ended) m_state = std::make_shared<State>();
}

int MediaLibrary::HaltCaching(const std::function<bool()>& stopRequested) {
    State& s = *m_state;
    auto stopped = [&] { return s.bCachingFinished || !s.Running(); };
    if (!stopped()) {
        s.RequestHalt();
        // The thread looks at the request between any two library calls, so the wait is as long as
        // the longest single call: the query of all audio items, which on a library of 100,000
        // songs read cold from disk takes tens of seconds. A minute covers it twice over; the window
        // keeps running meanwhile. Should it still run out, the run stops with the box below and the
        // thread, holding its own share of the state and its own objects, ends whenever the call
        // returns; nothing of the page's is touched by it.
        const DWORD start = GetTickCount();
        while (!stopped() && GetTickCount() - start < kHaltWaitMs) {
            WaitDispatching(s.hThread.Get(), 100);
            if (!stopped() && stopRequested && stopRequested()) return 0;
        }
        if (!stopped())
            return s.ShowErrorBox(L"Unable to stop caching thread to start with real shuffle",
                                  L"It may have finished on its own, so shuffle might work if you try again now.");
    }
    // The thread's all-songs list belongs to its apartment, which is gone: the window thread takes
    // its own (the shuffle run fetches it itself should this fail).
    if (!s.m_cpWmpPlaylistAll && s.m_cpWmpMediaColl) {
        ComString attr(L"MediaType"), value(L"audio");
        if (!attr || !value || FAILED(s.m_cpWmpMediaColl->getByAttribute(attr.get(), value.get(), &s.m_cpWmpPlaylistAll)))
            s.m_cpWmpPlaylistAll.Reset();
    }
    return 1;
}

void MediaLibrary::NoteSelectDialogStarted() { m_state->bSelectDlgStarted = 1; }
void MediaLibrary::NoteSelectDialogReturned() { m_state->bSelectDlgReturned = 1; }
bool MediaLibrary::SelectDialogReturned() const { return m_state->bSelectDlgReturned != 0; }
bool MediaLibrary::CachingFinished() const { return m_state->bCachingFinished != 0; }
bool MediaLibrary::CachingThreadRunning() const { return m_state->Running(); }

void MediaLibrary::LogSelectDialogLoad(const std::wstring& lines) {
    State& s = *m_state;
    {
        std::lock_guard<std::mutex> hold(s.timingLock);
        if (!s.sStartupTiming.empty() && s.Running()) {
            s.sSelectDlgTiming += lines;
            return;
        }
    }
    if (!AppendToFile(lines, s.LogPath(), true))
        s.ShowErrorBox(L"Non-fatal error logging Select dlg 1st load time", TakeErrorText(true).c_str());
}

IWMPPlayer* MediaLibrary::Player() const { return m_state->cpWmpPlayer.Get(); }
IWMPPlaylistCollection* MediaLibrary::PlaylistCollection() const { return m_state->m_cpWmpPlaylistColl.Get(); }
IWMPPlaylistArray* MediaLibrary::PlaylistArray() const { return m_state->m_cpWmpPlaylistArr.Get(); }
ComPtr<IWMPMediaCollection>& MediaLibrary::MediaCollection() { return m_state->m_cpWmpMediaColl; }
ComPtr<IWMPPlaylist>& MediaLibrary::AllSongs() { return m_state->m_cpWmpPlaylistAll; }

}  // namespace swirlo
