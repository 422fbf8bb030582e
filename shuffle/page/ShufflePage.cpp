#include "shuffle/page/ShufflePage.h"

#include <commctrl.h>
#include <wrl/client.h>

#include <iterator>
#include <map>
#include <set>

#include "foundation/IniSettings.h"
#include "foundation/Utilities.h"
#include "foundation/WindowMessages.h"
#include "framework/Dpi.h"
#include "library/MediaLibrary.h"
#include "shuffle/core/OutputName.h"
#include "shuffle/page/ShuffleGroups.h"
#include "shuffle/page/ShuffleRun.h"
#include "shuffle/page/SongSelectDialog.h"
#include "shuffle/page/SpreadWindow.h"
#include "library/WmpSongReading.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;

namespace swirlo {

namespace {

// The star strip is 178 x 18 pixels at 100 % (the page's 8-point font at 96 dots per inch). The
// frequencies under it are spaced with blanks of the list's font, which does not grow exactly as the
// dots per inch do: the strip and the columns are scaled as that row of numbers is. The group names'
// column ends this far right of the strip's left edge, so that each frequency stands under the
// middle of its star group; the frequencies' column is as wide as the strip and a little. Pixels at
// 100 %.
constexpr int kStarsWidth = 178, kNameColumnPastStars = 14, kFreqColumnWidth = 180;
constexpr wchar_t kFreqRow[] = L"9           5           3           2           1";

// The width of a row of frequencies in the list's font (cx), and in that font at 8 points and 96
// dots per inch (cy); both 0 when either cannot be measured.
SIZE FreqRowWidths(HWND list) {
    SIZE widths{0, 0};
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    WindowDC dc(list);
    if (!font || !dc.Get() || !GetObjectW(font, sizeof(lf), &lf)) return widths;
    lf.lfHeight = -MulDiv(8, 96, 72);
    lf.lfWidth = 0;
    UniqueFont base(CreateFontIndirectW(&lf));
    SIZE ext{};
    const int n = static_cast<int>(std::size(kFreqRow)) - 1;
    for (HFONT f : {font, base.Get()}) {
        SelectGuard use(dc.Get(), f);
        if (f && GetTextExtentPoint32W(dc.Get(), kFreqRow, n, &ext)) (f == font ? widths.cx : widths.cy) = ext.cx;
    }
    if (!widths.cx || !widths.cy) widths = {0, 0};
    return widths;
}

// The three separation and limit boxes: their arrows wrap around.
constexpr NumberBoxSpec kBoxes[] = {
    {IDC_SHUF_DIST_EDIT, IDC_SHUF_DIST_SPIN, 1, 99, 0, true},
    {IDC_SHUF_ONLY_EDIT, IDC_SHUF_ONLY_SPIN, 0, 99, 0, true},
    {IDC_SHUF_TRUNC_EDIT, IDC_SHUF_TRUNC_SPIN, 1, 9999, 0, true},
};

// What a run disables besides the option boxes: every control but the list and the save button.
constexpr int kRunDisabled[] = {
    IDC_SHUF_ADD, IDC_SHUF_EDIT, IDC_SHUF_REMOVE, IDC_SHUF_EVEN, IDC_SHUF_DIST_PRE, IDC_SHUF_DIST_EDIT,
    IDC_SHUF_DIST_SPIN, IDC_SHUF_DIST_POST, IDC_SHUF_DIST_LABEL, IDC_SHUF_RANDOM, IDC_SHUF_ONLY_EDIT,
    IDC_SHUF_ONLY_SPIN, IDC_SHUF_ONLY_POST, IDC_SHUF_ONLY_LABEL, IDC_SHUF_TRUNC, IDC_SHUF_TRUNC_EDIT,
    IDC_SHUF_TRUNC_SPIN, IDC_SHUF_TRUNC_POST, IDC_SHUF_NOREPS, IDC_SHUF_NOREPS_NOTE, IDC_SHUF_WHICH_LABEL,
    IDC_SHUF_SMALLER, IDC_SHUF_LARGER, IDC_SHUF_WARN, IDC_SHUF_SEP_FRAME, IDC_SHUF_OUT_FRAME, IDC_SHUF_LIST_LABEL,
    IDC_SHUF_FREQ_LABEL};
// Meaningful only with "Most even distribution".
constexpr int kNoRepsControls[] = {IDC_SHUF_NOREPS, IDC_SHUF_NOREPS_NOTE, IDC_SHUF_WHICH_LABEL, IDC_SHUF_SMALLER,
                                   IDC_SHUF_LARGER};

// UTF-16 little-endian text of a file the program wrote for itself; false when it cannot be read.
bool ReadUtf16File(const std::wstring& path, std::wstring& text) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file.Get(), &size) && size.QuadPart < (64 << 20);
    std::wstring buf(ok ? static_cast<std::size_t>(size.QuadPart) / 2 : 0, L'\0');
    DWORD got = 0;
    ok = ok && (buf.empty() || ReadFile(file.Get(), buf.data(), static_cast<DWORD>(buf.size() * 2), &got, nullptr));
    if (ok) text = buf.substr(0, got / 2);
    return ok;
}

// Moves a groups file that was not read whole out of the way under a free name ("" when it cannot
// be moved), so that saving the list does not destroy what could not be read.
std::wstring SetAside(const std::wstring& path) {
    const std::wstring stem = path.substr(0, path.size() - 4);  // without ".txt"
    for (int n = 1; n < 1000; ++n) {
        std::wstring aside = FormatW(L"%ls (not read %d).txt", stem.c_str(), n);
        if (MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) return aside;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return std::wstring();
}

// The selected row of the list, -1 when there is none or more than one (then named in error).
int GetListviewSingleSelected(HWND listView, ErrorRecord& error) {
    int n = static_cast<int>(SendMessageW(listView, LVM_GETSELECTEDCOUNT, 0, 0));
    if (n == 0) return -1;
    if (n > 1) {
        std::wstring s = FormatW(L"%d rows selected\r\nGetListviewSingleSelected is not for multiple selection.", n);
        error.SetErrorParts(s.c_str());
        return -1;
    }
    int ix = static_cast<int>(SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (ix < 0) error.SetErrorParts(L"Error finding the selected item in the list");
    return ix;
}

}  // namespace

ShufflePage::ShufflePage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent,
                         const AppPaths* paths)
    : TabPage(hInst, caption, nullptr, parent, paths), m_pSettings(settings), m_boxes(kBoxes) {
    m_nResId = IDD_SHUFFLE_PAGE;
}

ShufflePage::~ShufflePage() {
    Destroy();
    for (Slot& s : m_slots) s.pRec.reset();
    m_pLibrary.reset();
}

std::wstring ShufflePage::GroupsFilePath() const {
    return (m_pPaths ? m_pPaths->sIniDirSlash : std::wstring()) + L"shuffle groups.txt";
}

BOOL ShufflePage::OnInitDialog() {
    m_log.SetOwner(m_hWnd);
    if (HICON icon = LoadIconW(m_hInst, MAKEINTRESOURCEW(IDI_APP))) {
        SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    m_playlistsFolder = FindPlaylistsFolder();

    m_hList = GetDlgItem(m_hWnd, IDC_SHUF_LIST);
    m_bar.Attach(m_hWnd, IDC_SHUF_PROGRESS);
    m_boxes.Init(m_hWnd);
    EnableControls(true);
    LoadControls();
    SetChecked(m_hWnd, IDC_SHUF_WARN, true);
    UpdateLabels();

    ListView_SetExtendedListViewStyle(m_hList, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH | LVCF_SUBITEM;
    col.cx = 273;  // both widths are set for the window's scale below
    if (ListView_InsertColumn(m_hList, 0, &col) != 0) {
        ShowErrorBox(L"Failed to insert first listview column", L"Error initializing ListView columns");
    } else {
        col.cx = kFreqColumnWidth;
        col.iSubItem = 1;
        if (ListView_InsertColumn(m_hList, 1, &col) != 1)
            ShowErrorBox(FormatW(L"Failed to insert listview column %d", 1).c_str(), L"Error initializing ListView columns");
    }
    PlaceStarsAndColumns();
    std::wstring err;
    if (!GetVersionString(L"ProductVersion", m_sVersion, &err)) {
        if (!err.empty()) err.insert(0, L"\r\n");  // on its own line, as the window's error text shows it
        ShowErrorBox(L"Non-fatal error getting version number (for .wpl playlist entry)", err.c_str(), L"OK to continue");
        m_sVersion = L"3";
    }
    return TRUE;
}

void ShufflePage::LoadControls() {
    IniSettings& s = *m_pSettings;
    SetChecked(m_hWnd, IDC_SHUF_EVEN, s.RepeatsOption == 0);
    SetChecked(m_hWnd, IDC_SHUF_RANDOM, s.RepeatsOption != 0);
    m_boxes.Set(IDC_SHUF_DIST_EDIT, static_cast<int>(std::min(s.RepeatSepDistSize, 99u)));
    m_boxes.Set(IDC_SHUF_ONLY_EDIT, static_cast<int>(std::min(s.RepeatSepOnlySize, 99u)));
    m_boxes.Set(IDC_SHUF_TRUNC_EDIT, s.TruncateSize);
    SetChecked(m_hWnd, IDC_SHUF_TRUNC, s.TruncateOutput != 0);
    SetChecked(m_hWnd, IDC_SHUF_NOREPS, s.TruncateNoReps != 0);
    SetChecked(m_hWnd, IDC_SHUF_SMALLER, s.WhichTruncOpt == 0);
    SetChecked(m_hWnd, IDC_SHUF_LARGER, s.WhichTruncOpt != 0);
    EnableNoRepsControls();
}

void ShufflePage::CloseDown() {
    if (m_bRunning) m_bCancel = true;
    if (!m_hWnd) return;
    IniSettings& s = *m_pSettings;
    s.RepeatsOption = IsChecked(m_hWnd, IDC_SHUF_RANDOM) ? 1 : 0;
    s.TruncateOutput = IsChecked(m_hWnd, IDC_SHUF_TRUNC);
    s.TruncateSize = m_boxes.Value(IDC_SHUF_TRUNC_EDIT);
    s.WhichTruncOpt = IsChecked(m_hWnd, IDC_SHUF_LARGER) ? 1 : 0;
    s.TruncateNoReps = IsChecked(m_hWnd, IDC_SHUF_NOREPS);
    s.RepeatSepDistSize = static_cast<unsigned>(m_boxes.Value(IDC_SHUF_DIST_EDIT));
    s.RepeatSepOnlySize = static_cast<unsigned>(m_boxes.Value(IDC_SHUF_ONLY_EDIT));
    if (!s.SaveSection(IniSect::ShuffleTab))
        s.ShowError(ErrorCaption().c_str(), L"Error saving settings from Shuffle dialog to ini file");
    SaveGroups();
}

void ShufflePage::UpdateLabels() {
    int dist = m_boxes.Value(IDC_SHUF_DIST_EDIT), only = m_boxes.Value(IDC_SHUF_ONLY_EDIT);
    SetItemText(m_hWnd, IDC_SHUF_DIST_LABEL,
                FormatW(L"if song repeats more than 1 of every %d songs, minimum separation is 1/3 its average repeat "
                        L"rate.", 3 * dist));
    SetItemText(m_hWnd, IDC_SHUF_ONLY_LABEL,
                only == 0 ? std::wstring(L"This shuffle is now set purely random (No minimum separation of repeats)")
                          : FormatW(L"(Songs repeated more than once out of every %d songs may not be completely "
                                    L"separated)", 2 * only));
}

// Follows the method buttons, and stays off while they are (during a run).
void ShufflePage::EnableNoRepsControls() {
    bool on = IsChecked(m_hWnd, IDC_SHUF_EVEN) && IsWindowEnabled(GetDlgItem(m_hWnd, IDC_SHUF_EVEN));
    for (int id : kNoRepsControls) EnableItem(m_hWnd, id, on);
}

void ShufflePage::EnableControls(bool on) {
    // One repaint for the thirty changes, not one each.
    SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    for (int id : kRunDisabled) EnableItem(m_hWnd, id, on);
    if (on) EnableNoRepsControls();
    ShowItem(m_hWnd, IDC_SHUF_PROGRESS, !on);
    ShowItem(m_hWnd, IDC_SHUF_STATUS, !on);
    SetItemText(m_hWnd, IDC_SHUF_SAVE, on ? L"Save as Shuffled Playlist ..." : L"Stop Shuffle");
    SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The strip and the columns for the page's present font and layout (at its creation, and after a
// change of scale has given the controls their new font and places).
void ShufflePage::PlaceStarsAndColumns() {
    const SIZE row = m_hList ? FreqRowWidths(m_hList) : SIZE{0, 0};
    auto scaled = [&](int px) { return row.cy ? MulDiv(px, row.cx, row.cy) : px; };
    m_hStars = LoadBitmapAtWidth(m_hInst, IDB_RATING_PAGE, scaled(kStarsWidth));
    const SIZE size = BitmapSize(m_hStars.Get());
    RECT rc = ControlRect(IDC_SHUF_STARS);
    m_rcStars = {rc.left, rc.top, rc.left + size.cx, rc.top + size.cy};
    if (!m_hList) return;
    POINT origin{0, 0};  // the list's client area in the page
    MapWindowPoints(m_hList, m_hWnd, &origin, 1);
    ListView_SetColumnWidth(m_hList, 0, std::max<int>(m_rcStars.left - origin.x + scaled(kNameColumnPastStars), 1));
    ListView_SetColumnWidth(m_hList, 1, scaled(kFreqColumnWidth));
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void ShufflePage::OnDpiChanged(UINT) { PlaceStarsAndColumns(); }

void ShufflePage::OnPaint() {
    {
        PaintDC dc(m_hWnd);
        UniqueMemDC mem(m_hStars ? CreateCompatibleDC(dc.Get()) : nullptr);
        if (mem) {
            SelectGuard keep(mem.Get(), m_hStars.Get());
            const int w = m_rcStars.right - m_rcStars.left, h = m_rcStars.bottom - m_rcStars.top;
            GdiTransparentBlt(dc.Get(), m_rcStars.left, m_rcStars.top, w, h, mem.Get(), 0, 0, w, h, RGB(255, 0, 0));
        }
    }
    if (m_bFirstPaint) {
        m_bFirstPaint = false;
        PostMessageW(m_hWnd, WM_APP_SHUFFLE_SETUP, 0, 0);
    }
}

void ShufflePage::SetUpLibrary() {
    const std::wstring logDir = m_pPaths ? m_pPaths->gsAppDocsDirSlash : std::wstring();
    m_pLibrary = std::make_unique<MediaLibrary>(m_hWnd, m_sCaption, m_pSettings->SaveLog != 0, logDir);
    m_pLibrary->Setup();
    RestoreGroups();
}

bool ReadKeptGroups(const std::wstring& path, MediaLibrary* library, std::vector<KeptGroup>& kept,
                    std::vector<std::wstring>& skipped, std::wstring& error) {
    std::wstring text;
    std::vector<std::unique_ptr<SongSelection>> groups;
    if (!ReadUtf16File(path, text)) return error = WinErrorText(0), false;
    if (!ParseGroups(text, groups, skipped, error)) return false;
    // Today's playlist titles and genre names of the library.
    std::map<std::wstring, int> titles;
    std::set<std::wstring> genres;
    bool bLibrary = library && library->PlaylistArray() && library->MediaCollection();
    if (bLibrary) {
        long n = 0;
        IWMPPlaylistArray* arr = library->PlaylistArray();
        if (SUCCEEDED(arr->get_count(&n)))
            for (long i = 0; i < n; ++i) {
                ComPtr<IWMPPlaylist> pl;
                BSTR title = nullptr;
                ComString attr(L"Title");
                if (SUCCEEDED(arr->Item(i, &pl)) && pl && SUCCEEDED(pl->getItemInfo(attr.get(), &title))) {
                    std::wstring t;
                    TakeComString(title, t);
                    titles.emplace(t, static_cast<int>(i));
                }
            }
        ComPtr<IWMPStringCollection> names;
        ComString attr(L"Genre"), type(L"Audio");
        long count = 0;
        if (SUCCEEDED(library->MediaCollection()->getAttributeStringCollection(attr.get(), type.get(), &names)) &&
            names && SUCCEEDED(names->get_count(&count)))
            for (long i = 0; i < count; ++i) {
                BSTR b = nullptr;
                std::wstring g;
                if (SUCCEEDED(names->Item(i, &b))) TakeComString(b, g);
                genres.insert(g);
            }
    }
    for (std::unique_ptr<SongSelection>& g : groups) {
        std::vector<std::wstring> missing;
        std::vector<int> idx;
        for (const std::wstring& t : g->PlaylistNames()) {
            auto it = titles.find(t);
            idx.push_back(it == titles.end() ? -1 : it->second);
            if (it == titles.end()) missing.push_back(L"Playlist: " + t);
        }
        for (const std::wstring& name : g->GenreNames())
            if (!genres.count(name)) missing.push_back(L"Genre: " + name);
        auto rec = std::make_unique<SongSelection>(g->Kind(), g->Frequencies(), g->Days(), g->IgnoreRepeats(), g->Name(),
                                                   g->ListboxSelection(), std::move(idx), g->PlaylistNames(),
                                                   g->GenreNames());
        kept.push_back({std::move(rec), std::move(missing)});
    }
    return true;
}

void ShufflePage::RestoreGroups() {
    std::wstring error;
    std::vector<std::wstring> skipped;
    const std::wstring path = GroupsFilePath();
    m_bGroupsRestored = GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    if (m_bGroupsRestored) return;
    std::vector<KeptGroup> groups;
    const bool bRead = ReadKeptGroups(path, m_pLibrary.get(), groups, skipped, error);
    for (KeptGroup& g : groups)
        if (!AddGroup(std::move(g.pRec), g.missing)) break;
    if (bRead && skipped.empty()) {
        m_bGroupsRestored = true;
        return;
    }
    // The list is saved only once the file is kept under another name: what could not be read is
    // never written over.
    const std::wstring aside = SetAside(path);
    m_bGroupsRestored = !aside.empty();
    const wchar_t* kept = m_bGroupsRestored ? L"The file as it was is kept as:"
                                            : L"The file could not be set aside; the song groups are not saved in this session.";
    std::wstring list;
    for (const std::wstring& k : skipped) list += (list.empty() ? L"" : L"\r\n") + k;
    if (bRead)
        ShowErrorBox(L"Some song groups of the last session could not be read and are left out:", list.c_str(), kept,
                     aside.c_str());
    else
        ShowErrorBox(L"The song groups of the last session could not be read:", path.c_str(), error.c_str(), kept,
                     aside.c_str());
}

void ShufflePage::SaveGroups() {
    // Before the groups of the last session are back, saving would lose them.
    if (!m_bGroupsRestored || !m_hWnd) return;
    std::vector<const SongSelection*> groups;
    for (int r = 0, n = RowCount(); r < n; ++r)
        if (const SongSelection* rec = RowRecord(r)) groups.push_back(rec);
    std::wstring err;
    if (!ReplaceFileWithText(FormatGroups(groups), GroupsFilePath(), err))
        ShowErrorBox(L"Error saving the list of song groups", err.c_str());
}

int ShufflePage::RowCount() const { return m_hList ? ListView_GetItemCount(m_hList) : 0; }

const SongSelection* ShufflePage::RowRecord(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!m_hList || !ListView_GetItem(m_hList, &item)) return nullptr;
    if (item.lParam < 0 || item.lParam >= kSlots) return nullptr;
    return m_slots[static_cast<std::size_t>(item.lParam)].pRec.get();
}

bool ShufflePage::FirstRowName(std::wstring& name) const {
    const SongSelection* rec = RowRecord(0);
    if (!rec) return false;
    name = rec->Name();
    return true;
}

std::wstring ShufflePage::RowName(int slot) const {
    const Slot& s = m_slots[static_cast<std::size_t>(slot)];
    std::wstring name = s.pRec->Name();
    if (!s.missing.empty()) name = L"[NOT IN LIBRARY] " + name;
    return name;
}

void ShufflePage::SetRowTexts(int row, int slot) {
    std::wstring name = RowName(slot), freq = m_slots[static_cast<std::size_t>(slot)].pRec->FrequencyText();
    ListView_SetItemText(m_hList, row, 0, name.data());
    ListView_SetItemText(m_hList, row, 1, freq.data());
}

bool ShufflePage::InsertRow(int slot) {
    std::wstring name = RowName(slot);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = name.data();
    item.lParam = slot;
    int row = ListView_InsertItem(m_hList, &item);
    const SongSelection& rec = *m_slots[static_cast<std::size_t>(slot)].pRec;
    std::wstring freq = rec.FrequencyText();
    bool ok = row >= 0;
    if (!ok) {
        SetErrorParts(L"Error group or playlist name");
    } else {
        LVITEMW sub{};
        sub.iSubItem = 1;
        sub.pszText = freq.data();
        if (!SendMessageW(m_hList, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub))) {
            SetErrorParts(rec.Frequencies()[0] == 0 ? L"Error inserting ratings repetition count subitem"
                                                    : L"Error inserting fixed repetition count subitem");
            ListView_DeleteItem(m_hList, row);
            ok = false;
        }
    }
    if (!ok) {
        std::wstring err = TakeWindowError(true);
        ShowErrorBox(L"Error inserting ListView item", err.c_str());
    }
    return ok;
}

bool ShufflePage::AddGroup(std::unique_ptr<SongSelection> group, const std::vector<std::wstring>& missing) {
    for (int i = 0; i < kSlots; ++i) {
        Slot& s = m_slots[static_cast<std::size_t>(i)];
        if (s.pRec) continue;
        s.pRec = std::move(group);
        s.missing = missing;
        if (InsertRow(i)) return true;
        s.pRec.reset();
        s.missing.clear();
        return false;
    }
    ShowErrorBox(FormatW(L"Can't add song selection. Maximum number %d selections already in list", kSlots).c_str());
    return false;
}

int ShufflePage::SlotOfRow(int row, const wchar_t* readFail, const wchar_t* badIndex) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!ListView_GetItem(m_hList, &item)) return ShowErrorBox(FormatW(readFail, row + 1).c_str()), -1;
    int slot = static_cast<int>(item.lParam);
    if (slot < 0 || slot >= kSlots) return ShowErrorBox(FormatW(badIndex, slot, row + 1).c_str()), -1;
    if (!m_slots[static_cast<std::size_t>(slot)].pRec) {
        ShowErrorBox(FormatW(L"Song selection not found for row %d (index %d)", row + 1, slot).c_str());
        return -1;
    }
    return slot;
}

bool ShufflePage::SelectedSlot(const wchar_t* noSelection, int& row, int& slot) {
    Error().Clear();
    row = GetListviewSingleSelected(m_hList, Error());
    if (row < 0) {
        std::wstring err = TakeWindowError(true);
        ShowErrorBox(err.empty() ? noSelection : err.c_str());
        return false;
    }
    slot = SlotOfRow(row, L"Error getting songs selection in row %d", L"Invalid song selection index %d in row %d");
    return slot >= 0;
}

void ShufflePage::OnAddEdit(bool bEdit) {
    int row = -1, slot = -1;
    if (bEdit) {
        if (!SelectedSlot(L"No item in the list was selected when you clicked the Change button", row, slot)) return;
    } else {
        for (int i = 0; i < kSlots && slot < 0; ++i)
            if (!m_slots[static_cast<std::size_t>(i)].pRec) slot = i;
        if (slot < 0) {
            ShowErrorBox(FormatW(L"Can't add song selection. Maximum number %d selections already in list", kSlots).c_str());
            return;
        }
    }
    if (m_pLibrary) m_pLibrary->NoteSelectDialogStarted();
    std::unique_ptr<SongSelection> result;
    Slot& s = m_slots[static_cast<std::size_t>(slot)];
    INT_PTR r = RunSongSelectDialog(m_hInst, m_pSettings, this, bEdit ? L"Change songs selection" : L"Add songs to shuffle",
                                    m_pLibrary.get(), bEdit ? s.pRec.get() : nullptr, result);
    if (m_pLibrary) m_pLibrary->NoteSelectDialogReturned();
    if (r < 0) {
        ShowErrorBox(L"Error creating Add songs dialog");
        return;
    }
    if (r != 1) return;
    if (!result) {
        ShowErrorBox(L"Error getting Songs Selection from Select dialog",
                     L"Data expected after OK from selection dialog not found");
        return;
    }
    if (bEdit) {
        s.pRec = std::move(result);
        s.missing.clear();
        SetRowTexts(row, slot);
    } else {
        s.pRec = std::move(result);
        if (!InsertRow(slot)) s.pRec.reset();
    }
    SaveGroups();
}

void ShufflePage::OnRemove() {
    int row = -1, slot = -1;
    if (!SelectedSlot(L"No item in the list was selected when you clicked the Remove button", row, slot)) return;
    if (!ListView_DeleteItem(m_hList, row)) {
        ShowErrorBox(L"Error deleting selected item from the list");
        return;
    }
    // The rows below move up; a scrolled list must draw them all again, not only the row that went.
    InvalidateRect(m_hList, nullptr, TRUE);
    m_slots[static_cast<std::size_t>(slot)] = Slot();
    SaveGroups();
}

bool ShufflePage::OnSpin(NMUPDOWN* ud) {
    if (!m_boxes.OnDeltaPos(ud)) ShowErrorBox(L"Spin notification from unknown spin control");
    else UpdateLabels();
    return true;  // the page has moved the value; the arrows themselves must not
}

void ShufflePage::OnEditChange(int id) {
    if (!m_boxes.ByEdit(id)) {
        ShowErrorBox(L"Update notification from unknown edit control");
        return;
    }
    m_boxes.OnChange(id);
    UpdateLabels();
}

INT_PTR ShufflePage::OnNotify(NMHDR* hdr) {
    if (hdr->code == UDN_DELTAPOS) return SetMsgResult(m_hWnd, OnSpin(reinterpret_cast<NMUPDOWN*>(hdr)) ? TRUE : FALSE);
    if (hdr->hwndFrom == m_hList && hdr->code == LVN_GETINFOTIPW) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(hdr);
        int slot = SlotOfRow(tip->iItem, L"Error getting songs selection for row %d tooltip",
                             L"Invalid song selection index %d for row %d tooltip");
        if (slot < 0 || tip->cchTextMax < 2) return TRUE;
        SongSelection& rec = *m_slots[static_cast<std::size_t>(slot)].pRec;
        if (rec.ChosenCount() < 2) {
            tip->pszText[0] = 0;
            return TRUE;
        }
        if (HWND tt = ListView_GetToolTips(m_hList)) SendMessageW(tt, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
        const std::wstring& text = rec.Tooltip(tip->cchTextMax - 1);
        lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
        return TRUE;
    }
    return FALSE;
}

void ShufflePage::OnSaveButton() {
    if (m_bRunning) {
        m_bCancel = true;
        return;
    }
    m_bRunning = true;
    if (RowCount() == 0) {
        ShowErrorBox(L"No music selected to shuffle.", L"Click \"Add a song group ....\" button to choose.");
        m_bRunning = false;
        return;
    }
    // A group restored from the last session whose playlist or genre is gone is never shuffled without it.
    for (int r = 0, n = RowCount(); r < n; ++r) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = r;
        if (!ListView_GetItem(m_hList, &item) || item.lParam < 0 || item.lParam >= kSlots) continue;
        const Slot& s = m_slots[static_cast<std::size_t>(item.lParam)];
        if (s.missing.empty() || !s.pRec) continue;
        std::wstring list;
        for (const std::wstring& m : s.missing) list += (list.empty() ? L"" : L"\r\n") + m;
        ShowErrorBox(FormatW(L"The song group \"%ls\" names what the media library no longer has:", s.pRec->Name().c_str()).c_str(),
                     list.c_str(), L"Edit the group or remove it, then save again.");
        m_bRunning = false;
        return;
    }
    std::wstring sPath, sSummary;
    int result = 0;
    // The last playlist's picture goes now: the new run needs the memory, and a failed run has none.
    m_pSpread.reset();
    EnableItem(m_hWnd, IDC_SHUF_SPREAD, false);
    try {
        result = OnShuffle(sPath, sSummary);
    } catch (const std::bad_alloc&) {
        ShowErrorBox(L"Out of memory during the shuffle");
    } catch (const std::exception&) {  // the page must not stay busy with its controls off
        ShowErrorBox(L"Unexpected error during the shuffle");
    }
    m_pump.Force();  // the run's last stretch counts in its longest gap
    EnableControls(true);
    EnableItem(m_hWnd, IDC_SHUF_SPREAD, result == 1 && m_pSpread);
    if (m_log.IsOpen() && !m_log.FinishLog(L"Finished OnShuffle"))
        ShowErrorBox(L"Error closing log after shuffle completed OK.");
    if (result == 1 && !IsClosing())
        MsgBoxParts(m_hWnd, m_sCaption.c_str(), L"Shuffled playlist created:", sPath.c_str(), L"", sSummary.c_str(),
                    nullptr, nullptr, MB_OK | MB_ICONINFORMATION);
    m_bRunning = false;
    RunEnded();
}

void ShufflePage::KeepSpread(SpreadSource src) {
    try {
        m_pSpread = std::make_unique<SpreadSource>(std::move(src));
    } catch (const std::bad_alloc&) {
        m_pSpread.reset();  // the picture is an extra: the playlist is written all the same
    }
}

void ShufflePage::OnShowSpread() {
    if (!m_pSpread || !m_pSpread->IsUsable()) return;
    try {
        SpreadWindow window(m_hInst, this, *m_pSpread);
        window.RunModal();
    } catch (const std::bad_alloc&) {
        ShowErrorBox(L"Not enough memory to draw the spread of the playlist");
    }
}

// The run's host over the page: its controls, its bar and status line, its Stop, its boxes.
class ShufflePage::Host final : public ShuffleHost {
public:
    explicit Host(ShufflePage& page) : m_p(page) {}
    IniSettings& Settings() override { return *m_p.m_pSettings; }
    const AppPaths* Paths() const override { return m_p.m_pPaths; }
    LogFile& Log() override { return m_p.m_log; }
    ErrorRecord& Error() override { return m_p.m_error; }
    MediaLibrary* Library() override { return m_p.m_pLibrary.get(); }
    const std::wstring& Version() const override { return m_p.m_sVersion; }
    int ReadOptions(ShuffleOptions& opt) override;
    int ChooseOutput(const ShuffleOptions& opt, OutputChoice& out) override;
    bool Groups(std::vector<const SongSelection*>& groups) override {
        for (int r = 0, n = m_p.RowCount(); r < n; ++r) {
            const SongSelection* rec = m_p.RowRecord(r);
            if (!rec) return false;
            groups.push_back(rec);
        }
        return true;
    }
    void BeginRun() override {
        m_p.EnableControls(false);
        m_p.m_bar.Reset(0);
        m_p.m_bar.SetPos(0);
        m_p.m_bCancel = m_p.IsClosing();  // a close asked for during the file choice stops the run at once
        m_p.m_pump.Restart();
    }
    void SetStatus(const std::wstring& text) override { SetItemText(m_p.m_hWnd, IDC_SHUF_STATUS, text); }
    void SetBar(int pos) override { m_p.m_bar.SetPos(pos); }
    void Pump() override { m_p.m_pump.Pump(); }
    void ForcePump() override { m_p.m_pump.Force(); }
    bool StopAsked() const override { return m_p.m_bCancel; }
    int ShowErrorBox(const wchar_t* p1, const wchar_t* p2, const wchar_t* p3, const wchar_t* p4) override {
        return m_p.ShowErrorBox(p1, p2, p3, p4);
    }
    void SetMinSegmentSize(int n) override { m_p.m_nMinSegmentSize = n; }
    void KeepSpread(SpreadSource src) override { m_p.KeepSpread(std::move(src)); }

private:
    ShufflePage& m_p;
};

// The limit (with the default offered for a number out of range), the method and its separation.
int ShufflePage::Host::ReadOptions(ShuffleOptions& opt) {
    const HWND h = m_p.m_hWnd;
    if (IsChecked(h, IDC_SHUF_TRUNC)) {
        opt.nLimit = LeadingNumber(GetItemText(h, IDC_SHUF_TRUNC_EDIT), 4);
        if (opt.nLimit < 1 || opt.nLimit > 9999) {
            std::wstring q = FormatW(L"The option to limit shuffled output size is checked, but the size\nlimit entered is "
                                     L"invalid. It must be a number between 1 and 9999.\n\nProceed with shuffle using "
                                     L"default limit %d?", 300);
            if (MsgBoxParts(h, m_p.m_sCaption.c_str(), q.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                            MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
                return 0;
            opt.nLimit = 300;
            m_p.m_boxes.Set(IDC_SHUF_TRUNC_EDIT, 300);
        }
    }
    opt.bWarn = IsChecked(h, IDC_SHUF_WARN);
    if (IsChecked(h, IDC_SHUF_EVEN)) {
        opt.nSeparation = LeadingNumber(GetItemText(h, IDC_SHUF_DIST_EDIT), 2);
    } else {
        opt.nSeparation = LeadingNumber(GetItemText(h, IDC_SHUF_ONLY_EDIT), 2);
        opt.method = opt.nSeparation == 0 ? ShuffleMethod::Random : ShuffleMethod::Separated;
    }
    opt.bNoReps = IsChecked(h, IDC_SHUF_NOREPS);
    opt.bLarger = IsChecked(h, IDC_SHUF_LARGER);
    return 1;
}

// The proposed name from the settings and the first row, then the Save As dialog.
int ShufflePage::Host::ChooseOutput(const ShuffleOptions& opt, OutputChoice& out) {
    IniSettings& set = *m_p.m_pSettings;
    std::wstring first;
    const bool bFirst = !set.AddSrcName || m_p.FirstRowName(first);
    if (!bFirst)
        m_p.ShowErrorBox(L"Non-fatal error getting list data for default output name", L"No default name set.",
                         L"Otherwise OK to continue normally");
    const std::wstring name = DefaultNameBySettings(set, bFirst ? &first : nullptr);
    return ChooseOutputFile(m_p, set, m_p.m_playlistsFolder, name, opt.bWarn, out);
}

int ShufflePage::OnShuffle(std::wstring& sOutPath, std::wstring& sSummary) {
    Host host(*this);
    return RunShuffle(host, sOutPath, sSummary);
}

INT_PTR ShufflePage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_APP_SHUFFLE_SETUP:
        SetUpLibrary();
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        m_boxes.OnCommand(wParam);
        if (code == EN_CHANGE) {
            OnEditChange(id);
            return TRUE;
        }
        if (code != BN_CLICKED) break;
        switch (id) {
        case IDC_SHUF_SAVE: OnSaveButton(); return TRUE;
        case IDC_SHUF_ADD: if (!m_bRunning) OnAddEdit(false); return TRUE;
        case IDC_SHUF_EDIT: if (!m_bRunning) OnAddEdit(true); return TRUE;
        case IDC_SHUF_REMOVE: if (!m_bRunning) OnRemove(); return TRUE;
        case IDC_SHUF_SPREAD: if (!m_bRunning) OnShowSpread(); return TRUE;
        case IDC_SHUF_EVEN:
        case IDC_SHUF_RANDOM:
            // The labels and boxes between the two buttons start groups of their own, so the dialog
            // manager does not clear the other button.
            SetChecked(m_hWnd, id == IDC_SHUF_EVEN ? IDC_SHUF_RANDOM : IDC_SHUF_EVEN, false);
            EnableNoRepsControls();
            return TRUE;
        default: break;
        }
        break;
    }
    default:
        break;
    }
    return TabPage::HandleMessage(msg, wParam, lParam);
}

}  // namespace swirlo
