#include "library/MediaLibrary.h"

#include <algorithm>

#include "foundation/ErrorText.h"
#include "foundation/Utilities.h"
#include "library/WmpSongReading.h"

using Microsoft::WRL::ComPtr;

namespace swirlo {

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

    HANDLE hThread = nullptr;
    DWORD nSetupTicks = 0;

    ~State() { ReleaseHandles(); }

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
    bool Running() const { return hThread && WaitForSingleObject(hThread, 0) == WAIT_TIMEOUT; }
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
    try {
        state->CacheLibrary();
    } catch (...) {
        state->bCachingFinished = 1;  // no exception leaves the thread
    }
    return 0;
}

}  // namespace

// Writes the log as UTF-16 without byte order mark. The caching thread uses this rather than the
// utilities' AppendToFile, whose failure text lives in the global gsErrorText that the window thread
// uses at the same time.
static bool WriteUtf16File(const std::wstring& text, const std::wstring& path, bool append, std::wstring& error) {
    CreateDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = L"Error opening file for write:\r\n" + path + L"\r\n" + WinErrorText(0);
        return false;
    }
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t)), written = 0;
    bool ok = (!append || SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER) &&
              WriteFile(h, text.data(), bytes, &written, nullptr) && written == bytes;
    if (!ok) error = L"Error writing to file:\r\n" + path + L"\r\n" + WinErrorText(0);
    CloseHandle(h);
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
        ShowErrorBox(L"Non-fatal error logging start up cache times", error.c_str());
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
        ShowErrorBox(L"Non-fatal error logging Select dlg 1st load time", error.c_str());
}

void MediaLibrary::State::CacheLibrary() {
    const wchar_t* kSongsError = L"Non-fatal error caching list of all songs in WMP";
    DWORD t0 = GetTickCount();
    Timing(FormatW(L"%ls Begin cache WMP playlist and song data\r\n", TimeNow().c_str()));
    LONG count = 0;
    if (FAILED(m_cpWmpPlaylistArr->get_count(&count))) {
        ShowErrorBox(L"Can't load playlists, failed m_cpWmpPlaylistArr->get_count");
        return;
    }
    Timing(FormatW(L"%d milliseconds getting playlist count %d\r\n", Elapsed(t0), static_cast<int>(count)));
    bool stopped = false;
    for (LONG i = 0; i < count; ++i) {
        if (bSelectDlgStarted) {
            stopped = true;
            break;
        }
        ComPtr<IWMPPlaylist> cpPlaylist;
        m_cpWmpPlaylistArr->Item(i, &cpPlaylist);
    }
    if (!stopped) {
        Timing(FormatW(L"%d milliseconds caching list of all playlists\r\n", Elapsed(t0)));
    } else {
        Timing(FormatW(L"%ls Caching thread suspended by start of Select Songs dialog after\r\n%d milliseconds "
                       L"of Playlists caching\r\n", TimeNow().c_str(), Elapsed(t0)));
        DWORD tSleep = GetTickCount();
        // A halt also ends the wait: the page may be closing and waiting for this thread.
        for (int step = 0; step < 8 && !bSelectDlgReturned && !bHaltRequest; ++step) Sleep(1000);
        Timing(FormatW(L"%ls  Resume caching thread after\r\n%d milliseconds sleep ", TimeNow().c_str(),
                       Elapsed(tSleep)) +
               (bSelectDlgReturned ? L"until Select Dlg returned\r\n" : L"timed out before Select Dlg return\r\n"));
    }
    DWORD tSongs = GetTickCount();
    if (!m_cpWmpPlaylistAll) {
        ComString attr(L"MediaType"), value(L"audio");
        ComPtr<IWMPPlaylist> all;
        if (!attr || !value || FAILED(m_cpWmpMediaColl->getByAttribute(attr.get(), value.get(), &all)) || !all) {
            // The media collection stays: the window thread may be using it.
            bCachingFinished = 1;
            ShowErrorBox(kSongsError, L"getByAttribute failed");
            return;
        }
        m_cpWmpPlaylistAll = all;
    }
    Timing(FormatW(L"%d milliseconds load WMP all media (audio) pointers\r\n", Elapsed(tSongs)));
    if (bHaltRequest) {
        Timing(L"Caching all songs halted for actual shuffle\r\n");
        WriteStartupLog();
        bCachingFinished = 1;
        return;
    }
    LONG n = 0;
    if (FAILED(m_cpWmpPlaylistAll->get_count(&n))) {
        bCachingFinished = 1;
        ShowErrorBox(kSongsError, L"Playlist get_count failed");
        return;
    }
    WmpPlaylistItems songs(m_cpWmpPlaylistAll.Get());
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
                bCachingFinished = 1;
                ShowErrorBox(kSongsError, failed);
                return;
            }
        }
        if (bHaltRequest) {
            Timing(FormatW(L"%d milliseconds caching each song halted for actual shuffle\r\n", Elapsed(tSongs)));
            WriteStartupLog();
            bCachingFinished = 1;
            return;
        }
    }
    Timing(FormatW(L"%d milliseconds read all songs\r\n%d milliseconds TOTAL\r\n%ls Finished caching WMP data\r\n",
                   Elapsed(tSongs), Elapsed(nSetupTicks), TimeNow().c_str()));
    FinishLog();
    bCachingFinished = 1;
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

    auto* param = new std::shared_ptr<State>(m_state);
    s.hThread = CreateThread(nullptr, 0, CachingThreadProc, param, 0, nullptr);
    if (!s.hThread) {
        delete param;
        WinErrorBox(0, s.hPage, s.sCaption.c_str(), L"Non-fatal error creating background thread to cache WMP library");
        return 1;
    }
    SetThreadPriority(s.hThread, THREAD_PRIORITY_BELOW_NORMAL);
    return 1;
}

void MediaLibrary::Release() {
    if (!m_state) return;
    State& s = *m_state;
    if (s.hThread) {
        s.bHaltRequest = 1;
        // The thread stops at its next poll (at most a second in the dialog wait). Should it hang in
        // a library call, it keeps its share of the state and the handles are released when it ends.
        DWORD waited = WaitForSingleObject(s.hThread, 10000);
        CloseHandle(s.hThread);
        s.hThread = nullptr;
        if (waited != WAIT_OBJECT_0) {
            m_state = std::make_shared<State>();
            return;
        }
    }
    s.ReleaseHandles();
}

int MediaLibrary::HaltCaching() {
    State& s = *m_state;
    auto stopped = [&] { return s.bCachingFinished || !s.Running(); };
    if (stopped()) return 1;
    s.bHaltRequest = 1;
    for (int i = 0; i < 20; ++i) {
        if (stopped()) return 1;
        Sleep(100);
        PumpMessages();
    }
    if (stopped()) return 1;
    return s.ShowErrorBox(L"Unable to stop caching thread to start with real shuffle",
                          L"It may have finished on its own, so shuffle might work if you try again now.");
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
