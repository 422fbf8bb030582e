#include "shuffle/page/SongSelectDialog.h"

#include <commctrl.h>
#include <versionhelpers.h>
#include <wmp.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <map>
#include <vector>

#include "foundation/IniSettings.h"
#include "framework/NumberBox.h"
#include "foundation/Utilities.h"
#include "framework/Controls.h"
#include "framework/Handles.h"
#include "foundation/WindowMessages.h"
#include "library/MediaLibrary.h"
#include "library/WmpSongReading.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;

namespace swirlo {

namespace {

constexpr int kListboxMax = 8192;
constexpr const wchar_t* kGenrePrefix = L"Genre: ";
constexpr const wchar_t* kPlaylistPrefix = L"Playlist: ";
constexpr const wchar_t* kNoPathMarker = L"::?\\\\ no path can contain this";
constexpr const wchar_t* kPrefsKey = L"Software\\Microsoft\\MediaPlayer\\Preferences";

// The number boxes: their arrows stop at the ends of the range.
constexpr NumberBoxSpec kSpinBoxes[] = {
    {IDC_SEL_DAYS, IDC_SEL_DAYS_SPIN, 1, 999, 0, false},   {IDC_SEL_FREQSAME, IDC_SEL_FREQSAME_SPIN, 1, 99, 0, false},
    {IDC_SEL_FREQ1, IDC_SEL_FREQ1_SPIN, 0, 99, 0, false},  {IDC_SEL_FREQ2, IDC_SEL_FREQ2_SPIN, 0, 99, 0, false},
    {IDC_SEL_FREQ3, IDC_SEL_FREQ3_SPIN, 0, 99, 0, false},  {IDC_SEL_FREQ4, IDC_SEL_FREQ4_SPIN, 0, 99, 0, false},
    {IDC_SEL_FREQ5, IDC_SEL_FREQ5_SPIN, 0, 99, 0, false}};
constexpr int kStarBox[6] = {0, IDC_SEL_FREQ1, IDC_SEL_FREQ2, IDC_SEL_FREQ3, IDC_SEL_FREQ4, IDC_SEL_FREQ5};

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}
bool StartsWith(const std::wstring& s, const wchar_t* prefix) { return s.rfind(prefix, 0) == 0; }

// Draws a five-pointed star filled with gold, its centre at (cx, cy) and outer radius r.
void DrawStar(HDC dc, int cx, int cy, int r) {
    POINT pts[10];
    for (int k = 0; k < 10; ++k) {
        double a = -1.5707963 + k * 0.6283185;
        double rr = (k % 2) ? r * 0.45 : r;
        pts[k].x = cx + static_cast<LONG>(rr * std::cos(a));
        pts[k].y = cy + static_cast<LONG>(rr * std::sin(a));
    }
    Polygon(dc, pts, 10);
}

class SongSelectDialog final : public ZDialog {
public:
    SongSelectDialog(HINSTANCE hInst, IniSettings* settings, ZWin* page, const wchar_t* title, MediaLibrary* library,
                     const SongSelection* edit)
        : ZDialog(hInst, title, nullptr, page, page ? page->Paths() : nullptr),
          m_pSettings(settings),
          m_pLibrary(library),
          m_pEdit(edit),
          m_plIndex(kListboxMax, -1),
          m_boxes(kSpinBoxes) {
        m_nResId = IDD_SONG_SELECT;
        if (library) {
            m_cpPlaylistArr = library->PlaylistArray();
            m_cpMediaColl = library->MediaCollection();
            m_bFirstLoad = !library->SelectDialogReturned();
        }
    }
    std::unique_ptr<SongSelection> TakeResult() { return std::move(m_result); }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    int OnOK() override;

private:
    void SetBox(int id, int value);
    void ChooseFrequencyMode(int radio);
    void UpdateDateLabel();
    void OnEditChange(int id);
    void OnReset();
    void FillListbox();
    void ReselectItems();
    void AddGenres(int& genres);
    void AddPlaylists(int& playlists);
    bool AppendItem(const std::wstring& text, int playlistIndex);
    std::wstring PlayerFolder(const wchar_t* value, bool showBoxes);
    bool IsPlayerMadeAuto(const std::wstring& title, const std::wstring& syncLower, const std::wstring& sampleLower);
    void DrawStars(const DRAWITEMSTRUCT* di);
    int ReadFrequencies(std::array<int, 6>& freq);
    int ReadChosenItems(std::vector<int>& selection, std::vector<int>& plIndexes, std::vector<std::wstring>& playlists,
                        std::vector<std::wstring>& genres);

    IniSettings* m_pSettings;
    MediaLibrary* m_pLibrary;
    const SongSelection* m_pEdit;
    ComPtr<IWMPPlaylistArray> m_cpPlaylistArr;  // the dialog's own references while it is open
    ComPtr<IWMPMediaCollection> m_cpMediaColl;
    std::vector<int> m_plIndex;  // listbox index -> playlist array index, -1 for a genre
    std::unique_ptr<SongSelection> m_result;
    NumberBoxes m_boxes;
    bool m_bFirstLoad = false;
    bool m_bFilled = false;
};

void SongSelectDialog::SetBox(int id, int value) { m_boxes.Set(id, value); }

BOOL SongSelectDialog::OnInitDialog() {
    ZDialog::OnInitDialog();
    IniSettings& s = *m_pSettings;
    m_boxes.Init(m_hWnd);
    int days = s.DaysNew;
    if (days / 10000000 == 2) days = std::min(DaysSinceDate(days), 999);
    if (days < 1 || days > 999) {
        std::wstring text = FormatW(L"Invalid saved entry for new songs maximum age \"%d\"\nUsing default maximum %d",
                                    s.DaysNew, 45);
        ShowErrorBox(text.c_str());
        days = 45;
    }
    const SongSelection* e = m_pEdit;
    const bool listed = e && e->Kind() == kSelectListed;
    SetChecked(m_hWnd, listed ? IDC_SEL_LISTED : IDC_SEL_ALL, true);
    SetChecked(m_hWnd, IDC_SEL_IGNORE, e ? e->IgnoreRepeats() : true);
    SetChecked(m_hWnd, IDC_SEL_NEWONLY, e && e->Days() != 0);
    SetBox(IDC_SEL_DAYS, e && e->Days() != 0 ? e->Days() : days);
    const int stored[6] = {s.FrequencySame, s.Frequency1, s.Frequency2, s.Frequency3, s.Frequency4, s.Frequency5};
    SetBox(IDC_SEL_FREQSAME, std::clamp(stored[0], 1, 99));
    for (int k = 1; k <= 5; ++k) SetBox(kStarBox[k], std::clamp(e && e->Frequencies()[0] == 0 ? e->Frequencies()[k] : stored[k], 0, 99));
    int mode = IDC_SEL_BY_RATING;
    if (e && e->IsExclusion()) {
        mode = IDC_SEL_EXCLUDE;
    } else if (e && e->Frequencies()[0] > 0) {
        mode = IDC_SEL_SAME;
        SetBox(IDC_SEL_FREQSAME, std::min(e->Frequencies()[0], 99));
    }
    ChooseFrequencyMode(mode);
    UpdateDateLabel();
    PostMessageW(m_hWnd, WM_APP_FILL_LIST, 0, 0);
    return TRUE;
}

void SongSelectDialog::ChooseFrequencyMode(int radio) {
    for (int id : {IDC_SEL_BY_RATING, IDC_SEL_SAME, IDC_SEL_EXCLUDE}) SetChecked(m_hWnd, id, id == radio);
    for (int k = 1; k <= 5; ++k) EnableItem(m_hWnd, kStarBox[k], radio == IDC_SEL_BY_RATING);
    for (int k = 1; k <= 5; ++k) EnableItem(m_hWnd, kStarBox[k] + 1, radio == IDC_SEL_BY_RATING);
    EnableItem(m_hWnd, IDC_SEL_FREQSAME, radio == IDC_SEL_SAME);
    EnableItem(m_hWnd, IDC_SEL_FREQSAME_SPIN, radio == IDC_SEL_SAME);
    EnableItem(m_hWnd, IDC_SEL_IGNORE, radio != IDC_SEL_EXCLUDE);
    SetItemText(m_hWnd, IDC_SEL_IGNORE_NOTE,
                radio == IDC_SEL_EXCLUDE
                    ? L"Repeat occurrences irrelevant when option to exclude is selected"
                    : L"(for example, if you select multiple playlists and the same song is in two playlists)");
}

void SongSelectDialog::UpdateDateLabel() {
    static const wchar_t* kMonths[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                       L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    int days = 0;
    std::wstring label;
    if (GetItemInt(m_hWnd, IDC_SEL_DAYS, days) && days >= 1) {
        std::wstring err;
        int d = DateStampDaysAgoAt(NowSeconds(), days, err);
        int month = d / 100 % 100;
        if (d && month >= 1 && month <= 12)
            label = FormatW(L"(added on or after %ls)",
                            FormatW(L"%ls %02d, %d", kMonths[month - 1], d % 100, d / 10000).c_str());
    }
    SetItemText(m_hWnd, IDC_SEL_DATE_LABEL, label);
}

void SongSelectDialog::OnEditChange(int id) {
    if (!m_boxes.ByEdit(id)) {
        ShowErrorBox(L"Can't find spin control associated with changed edit control");
        return;
    }
    if (!m_boxes.OnChange(id)) return;
    if (id == IDC_SEL_DAYS) {
        SetChecked(m_hWnd, IDC_SEL_NEWONLY, true);
        UpdateDateLabel();
    }
}

void SongSelectDialog::OnReset() {
    IniSettings& s = *m_pSettings;
    if (!s.LoadSection(IniSect::ShuffleSettings)) {
        ShowErrorBox(L"Error reading from ini file to reset to defaults", s.ErrorText().c_str());
        return;
    }
    ChooseFrequencyMode(IDC_SEL_BY_RATING);
    const int defaults[6] = {s.FrequencySameDefault, s.Frequency1Default, s.Frequency2Default,
                             s.Frequency3Default,    s.Frequency4Default, s.Frequency5Default};
    SetBox(IDC_SEL_FREQSAME, std::clamp(defaults[0], 1, 99));
    for (int k = 1; k <= 5; ++k) SetBox(kStarBox[k], std::clamp(defaults[k], 0, 99));
}

bool SongSelectDialog::AppendItem(const std::wstring& text, int playlistIndex) {
    LRESULT at = SendDlgItemMessageW(m_hWnd, IDC_SEL_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (at < 0 || at >= kListboxMax) {
        if (at >= 0) SendDlgItemMessageW(m_hWnd, IDC_SEL_LIST, LB_DELETESTRING, at, 0);
        return false;
    }
    m_plIndex[static_cast<std::size_t>(at)] = playlistIndex;
    return true;
}

void SongSelectDialog::AddGenres(int& genres) {
    if (!m_cpMediaColl) return;
    ComString attr(L"Genre"), type(L"Audio");
    ComPtr<IWMPStringCollection> names;
    if (!attr || !type || FAILED(m_cpMediaColl->getAttributeStringCollection(attr.get(), type.get(), &names)) ||
        !names) {
        ShowErrorBox(L"Can't load genres, failed getAttributeStringCollection");
        return;
    }
    LONG count = 0;
    if (FAILED(names->get_count(&count))) {
        ShowErrorBox(L"Can't load genres, failed get_count of AttributeStringCollection");
        return;
    }
    if (count == 0) {
        ShowErrorBox(L"No genres found (Must have at least one if any songs in collection!)");
        return;
    }
    for (LONG i = 0; i < count; ++i) {
        BSTR b = nullptr;
        std::wstring name;
        HRESULT hr = names->Item(i, &b);
        TakeComString(b, name);
        if (FAILED(hr) || name.empty()) continue;
        if (!AppendItem(kGenrePrefix + name, -1)) {
            ShowErrorBox(L"Error getting next listbox index for genres");
            return;
        }
        ++genres;
    }
}

// One of the player's own playlist folders, lower case, environment variables expanded; the marker
// (which no path contains) when it cannot be had.
std::wstring SongSelectDialog::PlayerFolder(const wchar_t* value, bool showBoxes) {
    HKEY order[2] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    if (showBoxes && IsWindowsVistaOrGreater()) std::swap(order[0], order[1]);
    std::wstring raw, reason;
    bool read = false;
    for (HKEY root : order)
        if (ReadRegValue(root, kPrefsKey, value, raw, 260 * sizeof(wchar_t))) {
            read = true;
            break;
        } else if (reason.empty()) {
            reason = raw;
        }
    if (!read) {
        if (showBoxes)
            ShowErrorBox(L"Non-fatal error reading Windows created playlists in registry", reason.c_str(),
                         L"Playlists will not be limited to user created only");
        return kNoPathMarker;
    }
    if (raw.empty()) return kNoPathMarker;  // an empty folder would be in every path
    std::vector<wchar_t> buf(32768);
    DWORD n = ExpandEnvironmentStringsW(raw.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0 || n > buf.size()) {
        if (showBoxes)
            WinErrorBox(0, m_hWnd, ErrorCaption().c_str(), L"Non-fatal error expanding Windows' environment variable in",
                        raw.c_str(), L"Playlists will not be limited to user created only");
        return kNoPathMarker;
    }
    return Lower(buf.data());
}

// True when the library holds a playlist file of this title in one of the player's own folders; a
// library call that fails counts as true, leaving the playlist out.
bool SongSelectDialog::IsPlayerMadeAuto(const std::wstring& title, const std::wstring& syncLower,
                                        const std::wstring& sampleLower) {
    ComString name(title.c_str());
    ComPtr<IWMPPlaylist> found;
    if (!name || FAILED(m_cpMediaColl->getByName(name.get(), &found)) || !found) return true;
    WmpPlaylistItems items(found.Get());
    long n = 0;
    if (!items.GetCount(n)) return true;
    std::wstring type, url;
    for (long i = 0; i < n; ++i) {
        bool ok = items.OpenItem(i) && items.GetInfo(L"MediaType", type) && items.GetInfo(L"SourceURL", url);
        items.CloseItem();
        if (!ok) return true;
        if (Lower(type) != L"playlist") continue;
        url = Lower(url);
        if (url.find(syncLower) != std::wstring::npos || url.find(sampleLower) != std::wstring::npos) return true;
    }
    return false;
}

void SongSelectDialog::AddPlaylists(int& playlists) {
    if (!m_cpPlaylistArr) return;
    const bool all = m_pSettings->IncludeAutoPlists != 0;
    DWORD t0 = GetTickCount();
    LONG count = 0;
    if (FAILED(m_cpPlaylistArr->get_count(&count))) {
        ShowErrorBox(L"Can't load playlists, failed m_cpWmpPlaylistArr->get_count");
        return;
    }
    std::wstring sync, sample;
    if (!all) {
        sync = PlayerFolder(L"ObfuscatedSyncPlaylistsPath", true);
        sample = PlayerFolder(L"ObfuscatedSamplePlaylistsPath", false);
    }
    for (LONG i = 0; i < count && i < kListboxMax; ++i) {
        ComPtr<IWMPPlaylist> pl;
        if (FAILED(m_cpPlaylistArr->Item(i, &pl)) || !pl) continue;
        WmpPlaylistInfo info(pl.Get());
        std::wstring title, type;
        if (!info.Get(L"Title", title) || title.empty()) continue;
        if (!all) {
            if (!info.Get(L"PlaylistType", type)) continue;
            if (Lower(type) == L"auto" && IsPlayerMadeAuto(title, sync, sample)) continue;
        }
        if (!AppendItem(kPlaylistPrefix + title, static_cast<int>(i))) {
            ShowErrorBox(all ? L"Error getting next listbox index for all playlists"
                             : L"Error getting next listbox index for user playlists");
            return;
        }
        ++playlists;
    }
    if (!all && m_bFirstLoad && m_pSettings->SaveLog && m_pLibrary)
        m_pLibrary->LogSelectDialogLoad(
            FormatW(L"--------------------------------------------------\r\n%ls  Select Songs dialog first fetch of "
                    L"playlists\r\nLoaded list of playlists (filtered) in %d milliseconds\r\n",
                    TimeNowText(), static_cast<int>(GetTickCount() - t0)));
}

void SongSelectDialog::FillListbox() {
    if (m_bFilled) return;
    m_bFilled = true;
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    int genres = 0, playlists = 0;
    if (m_pSettings->ListboxOrder != 0) {
        AddPlaylists(playlists);
        AddGenres(genres);
    } else {
        AddGenres(genres);
        AddPlaylists(playlists);
    }
    SetItemText(m_hWnd, IDC_SEL_STATUS, FormatW(L"%d Genres and %d Playlists", genres, playlists));
    if (m_pEdit && m_pEdit->Kind() == kSelectListed) ReselectItems();
    SetCursor(old);
}

// A group is what it names: its genres and playlists are found again by their texts wherever the
// list now shows them (its order and the library may have changed since the group was made). What
// the list no longer holds is named, never replaced by the item now at its old place.
void SongSelectDialog::ReselectItems() {
    const SongSelection& e = *m_pEdit;
    if (e.ChosenCount() == 0) {
        ShowErrorBox(FormatW(L"Error getting old list box selection, %d items", 0).c_str());
        return;
    }
    HWND list = GetDlgItem(m_hWnd, IDC_SEL_LIST);
    std::multimap<std::wstring, int> at;  // listbox text -> index, each taken once
    for (int i = 0, n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        LRESULT len = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring text(len > 0 ? static_cast<std::size_t>(len) + 1 : 1, L'\0');
        LRESULT read = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
        at.emplace(std::move(text), i);
    }
    std::wstring missing;
    const std::size_t P = e.PlaylistNames().size();
    for (std::size_t k = 0; k < P + e.GenreNames().size(); ++k) {
        const std::wstring item = k < P ? kPlaylistPrefix + e.PlaylistNames()[k] : kGenrePrefix + e.GenreNames()[k - P];
        // Of playlists of one title, the one at the group's array index if it is still there.
        const int plIndex = k < P && k < e.PlaylistIndexes().size() ? e.PlaylistIndexes()[k] : -1;
        auto [first, last] = at.equal_range(item);
        auto pick = first;
        for (auto it = first; it != last; ++it)
            if (plIndex >= 0 && m_plIndex[static_cast<std::size_t>(it->second)] == plIndex) pick = it;
        if (pick == last) {
            missing += (missing.empty() ? L"" : L"\r\n") + item;
            continue;
        }
        if (SendMessageW(list, LB_SETSEL, TRUE, pick->second) == LB_ERR)
            ShowErrorBox(FormatW(L"Error selecting item %d in playlists/genres", pick->second).c_str());
        at.erase(pick);
    }
    if (missing.empty()) return;
    ShowWindow(m_hWnd, SW_SHOW);  // the box belongs over the dialog, which is shown only once idle
    ShowErrorBox(L"These items of the group are not in the list of genres and playlists now:", missing.c_str(),
                 L"OK saves the group without them; Cancel leaves the group as it was.");
}

void SongSelectDialog::DrawStars(const DRAWITEMSTRUCT* di) {
    HDC dc = di->hDC;
    FillRect(dc, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    UniqueBrush gold(CreateSolidBrush(RGB(255, 196, 0)));
    UniquePen edge(CreatePen(PS_SOLID, 1, RGB(160, 110, 0)));
    SelectGuard useGold(dc, gold.Get()), useEdge(dc, edge.Get());
    // Five stars above the leftmost box, down to one above the rightmost, each group centred on its
    // box and sized so that five fit within the space between two boxes.
    const RECT self = ControlRect(IDC_SEL_STARS);
    const RECT five = ControlRect(kStarBox[5]), four = ControlRect(kStarBox[4]);
    const int step = std::max(4, static_cast<int>((four.left - five.left) / 5));
    const int h = di->rcItem.bottom - di->rcItem.top;
    const int r = std::max(2, std::min(h / 2 - 1, step / 2 + 1));
    const int cy = di->rcItem.top + h / 2;
    for (int stars = 5; stars >= 1; --stars) {
        RECT box = ControlRect(kStarBox[stars]);
        int centre = (box.left + box.right) / 2 - self.left;
        int left = centre - (stars - 1) * step / 2;
        for (int k = 0; k < stars; ++k) DrawStar(dc, di->rcItem.left + left + k * step, cy, r);
    }
}

int SongSelectDialog::ReadFrequencies(std::array<int, 6>& freq) {
    freq = {0, 0, 0, 0, 0, 0};
    for (int k = 1; k <= 5; ++k)
        if (!GetItemInt(m_hWnd, kStarBox[k], freq[k])) freq[k] = 0;
    const wchar_t* kZero = L"All songs set to play 0 times.";
    const wchar_t* kZeroHint = L"To use in the shuffle at least some songs must play 1 or more times";
    if (IsChecked(m_hWnd, IDC_SEL_BY_RATING)) {
        if (freq[1] + freq[2] + freq[3] + freq[4] + freq[5] == 0) return ShowErrorBox(kZero, kZeroHint);
    } else if (IsChecked(m_hWnd, IDC_SEL_SAME)) {
        if (!GetItemInt(m_hWnd, IDC_SEL_FREQSAME, freq[0])) freq[0] = 0;
        if (freq[0] <= 0) return ShowErrorBox(kZero, kZeroHint);
    } else if (IsChecked(m_hWnd, IDC_SEL_EXCLUDE)) {
        freq[0] = kFreqExclude;
    } else {
        return ShowErrorBox(L"No option chosen in How often to play songs");
    }
    return 1;
}

int SongSelectDialog::ReadChosenItems(std::vector<int>& selection, std::vector<int>& plIndexes,
                                      std::vector<std::wstring>& playlists, std::vector<std::wstring>& genres) {
    HWND list = GetDlgItem(m_hWnd, IDC_SEL_LIST);
    LRESULT n = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (n == LB_ERR) return ShowErrorBox(L"Error getting count of selected genres/playlists");
    if (n == 0) return ShowErrorBox(L"No genres or playlists are selected in the listbox");
    selection.assign(static_cast<std::size_t>(n), -1);
    LRESULT got = SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(selection.data()));
    if (got != n) {
        WinErrorBox(0, m_hWnd, ErrorCaption().c_str(),
                    FormatW(L"Error on LB_GETSELITEMS, returned %d, expected %d", static_cast<int>(got), static_cast<int>(n)).c_str());
        return 0;
    }
    std::vector<std::wstring> texts;
    for (int index : selection) {
        LRESULT len = SendMessageW(list, LB_GETTEXTLEN, index, 0);
        if (len == LB_ERR) {
            WinErrorBox(0, m_hWnd, ErrorCaption().c_str(), FormatW(L"Error on getting text of selected item %d", index).c_str());
            return 0;
        }
        std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
        LRESULT read = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        if (read == LB_ERR)
            return ShowErrorBox(FormatW(L"Error on reading text of selected item %d\nWindows says:\n%ls", index,
                                        WinErrorText(0).c_str()).c_str());
        text.resize(static_cast<std::size_t>(read));
        if (!StartsWith(text, kGenrePrefix) && !StartsWith(text, kPlaylistPrefix))
            return ShowErrorBox(L"Listbox item doesn't start with either Genre: or Playlist:", text.c_str());
        texts.push_back(std::move(text));
    }
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const std::wstring& text = texts[k];
        if (StartsWith(text, kGenrePrefix)) {
            genres.push_back(text.substr(wcslen(kGenrePrefix)));
        } else {
            int at = selection[k];
            int plIndex = at >= 0 && at < kListboxMax ? m_plIndex[static_cast<std::size_t>(at)] : -1;
            if (plIndex < 0)
                return ShowErrorBox(FormatW(L"Listbox shows playlist at item %d:\n%ls\nbut not found in WMP array", at,
                                            text.c_str()).c_str());
            playlists.push_back(text.substr(wcslen(kPlaylistPrefix)));
            plIndexes.push_back(plIndex);
        }
    }
    return 1;
}

int SongSelectDialog::OnOK() {
    IniSettings& s = *m_pSettings;
    std::array<int, 6> freq;
    if (!ReadFrequencies(freq)) return 0;
    if (s.RememberFrequency != 2) {
        if (freq[0] > 0) s.FrequencySame = freq[0];
        if (freq[0] == 0) {
            s.Frequency1 = freq[1];
            s.Frequency2 = freq[2];
            s.Frequency3 = freq[3];
            s.Frequency4 = freq[4];
            s.Frequency5 = freq[5];
        }
        if (freq[0] != kFreqExclude && !s.SaveSection(IniSect::ShuffleSettings))
            ShowErrorBox(L"Non-fatal error saving repetition frequencies to ini file.",
                         L"No effect on this session, but next session will revert to previous defaults.");
    }
    int kind = 0;
    if (IsChecked(m_hWnd, IDC_SEL_ALL)) kind = kSelectAllSongs;
    else if (IsChecked(m_hWnd, IDC_SEL_LISTED)) kind = kSelectListed;
    else return ShowErrorBox(L"No checked radio button found for All Songs, Playlists/Genres");
    std::vector<int> selection, plIndexes;
    std::vector<std::wstring> playlists, genres;
    if (kind == kSelectListed && !ReadChosenItems(selection, plIndexes, playlists, genres)) return 0;
    int days = 0;
    if (IsChecked(m_hWnd, IDC_SEL_NEWONLY)) {
        if (!GetItemInt(m_hWnd, IDC_SEL_DAYS, days)) days = 0;
        if (days < 1)
            return ShowErrorBox(FormatW(L"Invalid: songs added in the last %d days", days).c_str(),
                                L"You must set a number between 1 and 999");
        days = std::min(days, 999);
        s.SetIntAndSave(s.DaysNew, s.DaysNewAsFixedDate ? DateStampDaysAgo(days) : days);
    }
    const bool ignoreRepeats = IsChecked(m_hWnd, IDC_SEL_IGNORE);
    if (freq[0] == kFreqExclude && kind == kSelectAllSongs && days == 0)
        return ShowErrorBox(L"Exclusion option not allowed for All Songs (except with \"new only\" filter)");
    std::wstring name = SelectionName(kind, days, ignoreRepeats, freq[0] == kFreqExclude, playlists, genres);
    m_result = std::make_unique<SongSelection>(kind, freq, days, ignoreRepeats, std::move(name), std::move(selection),
                                               std::move(plIndexes), std::move(playlists), std::move(genres));
    EndWithOK();
    return 1;
}

INT_PTR SongSelectDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_APP_FILL_LIST:
        FillListbox();
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_SEL_STARS) {
            DrawStars(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == UDN_DELTAPOS &&
            m_boxes.OnDeltaPos(reinterpret_cast<NMUPDOWN*>(lParam))) {
            if (reinterpret_cast<NMHDR*>(lParam)->idFrom == IDC_SEL_DAYS_SPIN) OnEditChange(IDC_SEL_DAYS);
            return SetMsgResult(m_hWnd, TRUE);
        }
        break;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        m_boxes.OnCommand(wParam);
        if (code == EN_CHANGE) {
            OnEditChange(id);
            return TRUE;
        }
        if (id == IDC_SEL_LIST && code == LBN_SELCHANGE) {
            if (SendDlgItemMessageW(m_hWnd, IDC_SEL_LIST, LB_GETSELCOUNT, 0, 0) > 0) {
                SetChecked(m_hWnd, IDC_SEL_ALL, false);
                SetChecked(m_hWnd, IDC_SEL_LISTED, true);
            }
            return TRUE;
        }
        if (code != BN_CLICKED) break;
        switch (id) {
        case IDC_SEL_ALL:
            SendDlgItemMessageW(m_hWnd, IDC_SEL_LIST, LB_SETSEL, FALSE, -1);
            return TRUE;
        case IDC_SEL_BY_RATING:
        case IDC_SEL_SAME:
        case IDC_SEL_EXCLUDE:
            ChooseFrequencyMode(id);
            return TRUE;
        case IDC_SEL_RESET:
            OnReset();
            return TRUE;
        }
        break;
    }
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace

INT_PTR RunSongSelectDialog(HINSTANCE hInst, IniSettings* settings, ZWin* page, const wchar_t* title,
                            MediaLibrary* library, const SongSelection* edit, std::unique_ptr<SongSelection>& result) {
    result.reset();
    SongSelectDialog dlg(hInst, settings, page, title, library, edit);
    INT_PTR r = dlg.RunModal();
    if (r == 1) result = dlg.TakeResult();
    return r == 1 && result ? 1 : (r == -1 ? -1 : 0);
}

}  // namespace swirlo
