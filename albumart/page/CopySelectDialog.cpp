#include "albumart/page/CopySelectDialog.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <numeric>

#include "foundation/IniSettings.h"
#include "foundation/Seams.h"
#include "framework/Controls.h"
#include "framework/Dpi.h"
#include "foundation/WindowMessages.h"
#include "resources/resource.h"

namespace swirlo {

const COLORREF kMatchColours[6] = {RGB(0, 224, 0),  RGB(144, 208, 0), RGB(241, 238, 15),
                                   RGB(255, 162, 1), RGB(223, 0, 0),   RGB(128, 128, 128)};

// How closely the names matched (0 to 2), what the player's image is like (3, 4), or why there is
// nothing to copy (5 to 7).
const wchar_t* const kMatchWords[8] = {L"exact", L"close", L"loose", L"differs", L"same", L"no image", L"none", L"none"};

const wchar_t* MatchWord(int code) { return code >= 0 && code < 8 ? kMatchWords[code] : L""; }

namespace {

// Pixels at 96 dots per inch; the dialog scales them for its monitor.
constexpr int kSquare = 16;
constexpr int kThumbFrame = 74;
constexpr int kThumb = 70;
constexpr UINT kTimerDelays[2] = {100, 300};

void DrawSquare(HDC dc, int x, int y, int size, COLORREF colour) {
    UniqueBrush brush(CreateSolidBrush(colour));
    SelectGuard b(dc, brush.Get());
    SelectGuard p(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, x, y, x + size, y + size);
}

// Squares of size pixels side by side with a gap on the button face colour.
UniqueBitmap MakeSquares(const int* codes, int count, int gap, int size) {
    WindowDC screen(nullptr);
    int width = count * size + (count - 1) * gap;
    UniqueBitmap bmp(CreateCompatibleBitmap(screen.Get(), width, size));
    UniqueMemDC dc(bmp ? CreateCompatibleDC(screen.Get()) : nullptr);
    if (!dc) return UniqueBitmap();
    {
        SelectGuard keep(dc.Get(), bmp.Get());
        RECT all{0, 0, width, size};
        FillRect(dc.Get(), &all, GetSysColorBrush(COLOR_BTNFACE));
        for (int i = 0; i < count; ++i) DrawSquare(dc.Get(), i * (size + gap), 0, size, kMatchColours[codes[i]]);
    }
    return bmp;
}

int TextOrder(const AlbumFolderArray& arr, int col, int a, int b) {
    const wchar_t* ta = ColumnText(arr, a, col);
    const wchar_t* tb = ColumnText(arr, b, col);
    bool la = ta[0] == L'<', lb = tb[0] == L'<';
    if (la || lb) return la == lb ? 0 : (la ? 1 : -1);
    int r = _wcsicmp(ta, tb);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int TextCompare(const AlbumFolderArray& arr, const ListSortState& s, int col, int a, int b) {
    int r = TextOrder(arr, col, a, b);
    if (r == 0) r = TextOrder(arr, 3 - col, a, b);
    return r * s.nTextDir;
}

struct SortParam {
    const AlbumFolderArray* arr;
    const ListSortState* state;
};

int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM param) {
    auto* p = reinterpret_cast<const SortParam*>(param);
    return CompareRows(*p->arr, *p->state, static_cast<int>(a), static_cast<int>(b));
}

// Under Wine one paint of the whole list (header, check boxes, squares and two text columns on every
// visible row) takes longer than the window may go without dispatching messages. The list therefore
// paints its header on its own and the rest in bands of rows, each band a paint message of its own;
// what is not painted yet stays invalid (showing what was there before) and comes with the next one.
constexpr int kBandRows = 8;

// The list class's own procedure. Replaced directly rather than through the subclass chain, whose
// property look-ups (round trips to the server under Wine) would slow every message to the list.
WNDPROC g_listProc = nullptr;

LRESULT Base(HWND list, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(g_listProc, list, msg, wParam, lParam);
}

// The "Match" header item is drawn here (the header asks its parent, the list): with the header's
// own margins its caption did not fit the column's fixed width and lost its last letters.
constexpr int kHeaderMargin = 2;

void DrawHeaderItem(const DRAWITEMSTRUCT* dis) {
    wchar_t text[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    if (!SendMessageW(dis->hwndItem, HDM_GETITEMW, dis->itemID, reinterpret_cast<LPARAM>(&item))) return;
    RECT r = dis->rcItem;
    InflateRect(&r, -kHeaderMargin, 0);
    if (dis->itemState & ODS_SELECTED) OffsetRect(&r, 1, 1);
    SetBkMode(dis->hDC, TRANSPARENT);
    SetTextColor(dis->hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dis->hDC, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

LRESULT CALLBACK ListProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM && reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_HEADER) {
        DrawHeaderItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (msg != WM_PAINT || wParam != 0) return Base(list, msg, wParam, lParam);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header && IsWindowVisible(header) && GetUpdateRect(header, nullptr, FALSE)) {
        UpdateWindow(header);  // the list's own part stays invalid and is painted next
        return 0;
    }
    RECT upd, row{};
    row.left = LVIR_BOUNDS;
    if (!GetUpdateRect(list, &upd, FALSE) || !SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
        return Base(list, msg, wParam, lParam);
    int band = kBandRows * (row.bottom - row.top);
    if (band <= 0 || upd.bottom - upd.top <= band) return Base(list, msg, wParam, lParam);
    using Region = UniqueHandle<HRGN, GdiTraits<HRGN>>;
    Region rest(CreateRectRgn(0, 0, 0, 0));
    Region first(CreateRectRgn(upd.left, upd.top, upd.right, upd.top + band));
    if (!rest || !first || GetUpdateRgn(list, rest.Get(), FALSE) == ERROR ||
        CombineRgn(rest.Get(), rest.Get(), first.Get(), RGN_DIFF) == ERROR)
        return Base(list, msg, wParam, lParam);
    ValidateRgn(list, rest.Get());
    LRESULT r = Base(list, msg, wParam, lParam);
    InvalidateRgn(list, rest.Get(), TRUE);
    return r;
}

}  // namespace

UniqueBitmap MakeColourSquares(const int* codes, int count, UINT dpi) {
    return MakeSquares(codes, count, ScaleToDpi(2, dpi), ScaleToDpi(kSquare, dpi));
}

void ListSortState::Click(int col) {
    if (col != nSortCol) {
        if (col == 0) nPrevTextCol = nSortCol;
        nSortCol = col;
        (col == 0 ? nMatchDir : nTextDir) = 1;
    } else {
        (col == 0 ? nMatchDir : nTextDir) *= -1;
    }
}

const wchar_t* ColumnText(const AlbumFolderArray& arr, int record, int col) {
    if (col == 1) return arr.GetCounterpart(record).c_str();
    const std::wstring& rel = arr.GetRelPath(record);
    return rel.c_str() + (!rel.empty() && rel[0] == L'\\' ? 1 : 0);
}

int CompareRows(const AlbumFolderArray& arr, const ListSortState& s, int a, int b) {
    if (s.nSortCol == 0) {
        int r = (arr.GetMatchCodeMax5(a) - arr.GetMatchCodeMax5(b)) * s.nMatchDir;
        return r != 0 ? r : TextCompare(arr, s, s.nPrevTextCol, a, b);
    }
    return TextCompare(arr, s, s.nSortCol, a, b);
}

CopySelectDialog::CopySelectDialog(HINSTANCE hInst, const wchar_t* caption, ZWin* parent, IniSettings* settings,
                                   AlbumFolderArray& result, std::wstring sSourceImage, std::wstring sTargetImage)
    : ZDialog(hInst, caption, L"Copy checked images to player", parent, parent ? parent->Paths() : nullptr),
      m_pSettings(settings),
      m_arr(result),
      m_sSrcImage(std::move(sSourceImage)),
      m_sTgtImage(std::move(sTargetImage)) {
    m_nResId = IDD_COPY_SELECT;
    SetErrorSuffix(L" - Error");
}

int CopySelectDialog::RowCount() const { return static_cast<int>(SendMessageW(m_hList, LVM_GETITEMCOUNT, 0, 0)); }

int CopySelectDialog::RowRecord(int row) const {
    LVITEMW it{};
    it.mask = LVIF_PARAM;
    it.iItem = row;
    if (!SendMessageW(m_hList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return -1;
    return static_cast<int>(it.lParam);
}

int CopySelectDialog::RowCode(int row) const {
    int rec = RowRecord(row);
    return rec < 0 ? kMatchNoSourceImage : m_arr.GetMatchCodeMax5(rec);
}

bool CopySelectDialog::RowChecked(int row) const {
    UINT state = static_cast<UINT>(SendMessageW(m_hList, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void CopySelectDialog::SetRowState(int row, int stateImage) {
    LVITEMW it{};
    it.stateMask = LVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(stateImage);
    SendMessageW(m_hList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&it));
}

BOOL CopySelectDialog::OnInitDialog() {
    // Messages go through between the steps of building the dialog (on the time budget), as they do
    // while the list is filled.
    m_pump.Restart();
    m_pump.Force();
    ZDialog::OnInitDialog();
    m_nDpi = WindowDpi(m_hWnd);
    m_hList = GetDlgItem(m_hWnd, IDC_CS_LIST);
    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hList, GWLP_WNDPROC));
    if (proc && proc != ListProc) {
        g_listProc = proc;
        SetWindowLongPtrW(m_hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc));
    }
    LoadButtonPictures();
    m_pump.Pump();
    FillTexts();
    SizeThumbFrames();
    m_pump.Pump();
    if (SetUpList()) FillList();
    int rows = RowCount();
    if (rows > 0) {
        LVITEMW it{};
        it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        it.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(m_hList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&it));
        SendMessageW(m_hList, LVM_SETSELECTIONMARK, 0, 0);
    }
    m_bGuard = true;
    m_nCurRow = 0;
    srand(GetTickCount());
    // The images are read on a thread of their own and arrive as messages.
    m_loader = std::make_unique<PreviewLoader>(m_hWnd, WM_APP_PREVIEW_READY);
    RefreshPreview();
    if (m_pSettings && m_pSettings->ArtSaveHide) ApplyStoredHideChoices();
    return TRUE;  // the list, first in the tab order, takes the focus
}

void CopySelectDialog::LoadButtonPictures() {
    static const int codes[] = {0, 1, 2, 3};
    static const wchar_t* const errors[] = {
        L"Error loading bitmap for col0 button", L"Error loading bitmap for col1 button",
        L"Error loading bitmap for col2 button", L"Error loading bitmap for col3 button"};
    for (int k = 0; k < 4; ++k) {
        m_buttonBmp[k] = MakeColourSquares(codes, k + 1, m_nDpi);
        if (!m_buttonBmp[k]) {
            ShowErrorBox(errors[k]);
            continue;
        }
        SendDlgItemMessageW(m_hWnd, IDC_CS_COL0 + k, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_buttonBmp[k].Get()));
    }
    static const int green[] = {0, 1, 2}, orange[] = {3, 4}, grey[] = {5};
    m_keyBmp[0] = MakeColourSquares(green, 3, m_nDpi);
    m_keyBmp[1] = MakeColourSquares(orange, 2, m_nDpi);
    m_keyBmp[2] = MakeColourSquares(grey, 1, m_nDpi);
}

void CopySelectDialog::FillTexts() {
    const wchar_t* src = m_sSrcImage.c_str();
    const wchar_t* tgt = m_sTgtImage.c_str();
    SetItemText(m_hWnd, IDC_CS_KEY_GREEN,
                FormatW(L"Target folder does not have %ls file.\nBright green (\"exact\") is most exact match between "
                        L"source and target folder names, dull green (\"close\") less, yellow (\"loose\") least exact.",
                        tgt));
    SetItemText(m_hWnd, IDC_CS_KEY_ORANGE,
                FormatW(L"Target folder already has %ls file.\nOrange (\"differs\") if %ls in source folder has different "
                        L"file size, red (\"same\") if file sizes are the same.", tgt, src));
    SetItemText(m_hWnd, IDC_CS_KEY_GREY,
                FormatW(L"No matching source folder was found for target folder or vice versa (\"none\"); or matching "
                        L"source and target folders were found, but source has no %ls file (\"no image\").  Checkbox to "
                        L"copy is not available.", src));
    SetItemText(m_hWnd, IDC_CS_HIDE_NOIMG, FormatW(L"No \"%ls\" in source folder", src));
    SetItemText(m_hWnd, IDC_CS_SRC_NAME, m_sSrcImage);
    SetItemText(m_hWnd, IDC_CS_TGT_NAME, m_sTgtImage);
    // The owner-drawn squares and thumbnails show no text; a screen reader announces this one.
    SetItemText(m_hWnd, IDC_CS_KEY_IMG0, L"Bright green, dull green and yellow");
    SetItemText(m_hWnd, IDC_CS_KEY_IMG1, L"Orange and red");
    SetItemText(m_hWnd, IDC_CS_KEY_IMG2, L"Grey");
    SetItemText(m_hWnd, IDC_CS_SRC_THUMB, FormatW(L"%ls in source folder", src));
    SetItemText(m_hWnd, IDC_CS_TGT_THUMB, FormatW(L"%ls in target folder", tgt));
}

void CopySelectDialog::SizeThumbFrames() {
    for (int id : {IDC_CS_SRC_THUMB, IDC_CS_TGT_THUMB})
        SetWindowPos(GetDlgItem(m_hWnd, id), nullptr, 0, 0, ScaleToDpi(kThumbFrame, m_nDpi), ScaleToDpi(kThumbFrame, m_nDpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CopySelectDialog::SetUpList() {
    if (!MakeListImages()) return false;
    DWORD ex = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_LABELTIP;
    SendMessageW(m_hList, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    int base = LOWORD(GetDialogBaseUnits());
    std::wstring headers[3] = {L"Match",
                               FormatW(L"Copy %ls from %ls\\...", m_sSrcImage.c_str(), m_arr.GetRoot2().c_str()),
                               FormatW(L"to %ls\\... as %ls", m_arr.GetRoot1().c_str(), m_sTgtImage.c_str())};
    int widths[3] = {MatchColumnWidth(6 * base), static_cast<int>(42.5 * base), static_cast<int>(42.5 * base)};
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = headers[c].data();
        col.cx = widths[c];
        col.iSubItem = c;
        if (SendMessageW(m_hList, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col)) < 0) {
            ShowErrorBox(L"Error initializing ListView of source and target folders");
            return false;
        }
    }
    HDITEMW narrow{};
    narrow.mask = HDI_FORMAT;
    narrow.fmt = HDF_OWNERDRAW | HDF_LEFT;
    SendMessageW(reinterpret_cast<HWND>(SendMessageW(m_hList, LVM_GETHEADER, 0, 0)), HDM_SETITEMW, 0,
                 reinterpret_cast<LPARAM>(&narrow));
    return true;
}

// Rows go in already sorted (the same order a sort after inserting them in record order gives),
// with messages let through on the way so that the window keeps painting over a long list.
// The match squares of the list's rows, for the dialog's scale.
bool CopySelectDialog::MakeListImages() {
    static const int all[] = {0, 1, 2, 3, 4, 5};
    const int size = ScaleToDpi(kSquare, m_nDpi);
    UniqueBitmap strip = MakeSquares(all, 6, 0, size);
    if (!strip) {
        ShowErrorBox(L"Error loading bitmap");
        return false;
    }
    UniqueImageList images(ImageList_Create(size, size, ILC_COLOR24, 6, 0));
    if (!images || ImageList_Add(images.Get(), strip.Get(), nullptr) < 0) {
        ShowErrorBox(L"Error creating image list");
        return false;
    }
    // The list (without LVS_SHAREIMAGELISTS) destroys its image lists with itself: it is the one owner
    // of the squares. The set it gives back when a new scale replaces it is no longer its own.
    UniqueImageList old(reinterpret_cast<HIMAGELIST>(
        SendMessageW(m_hList, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.Get()))));
    images.Release();
    return true;
}

void CopySelectDialog::OnDpiChanged(UINT dpi) {
    m_nDpi = dpi;
    LoadButtonPictures();
    SizeThumbFrames();
    MakeListImages();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CopySelectDialog::FillList() {
    m_pump.Force();
    std::vector<int> order(static_cast<std::size_t>(m_arr.Count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CompareRows(m_arr, m_sort, a, b) < 0; });
    m_pump.Force();
    SendMessageW(m_hList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_hList, LVM_SETITEMCOUNT, order.size(), 0);
    int row = 0;
    for (int rec : order) {
        if (InsertRow(row, rec) < 0) {
            ShowErrorBox(L"Error inserting match item");
            break;
        }
        ++row;
        m_pump.Pump();
    }
    SendMessageW(m_hList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hList, nullptr, TRUE);
    m_pump.Force();
    // The list's first paint also works out its item metrics and scroll ranges: done here, into a
    // memory bitmap while the dialog is not yet shown, so that the paints on the screen are only paints.
    RECT rc;
    GetClientRect(m_hList, &rc);
    WindowDC screen(nullptr);
    UniqueMemDC mem(CreateCompatibleDC(screen.Get()));
    UniqueBitmap bmp(CreateCompatibleBitmap(screen.Get(), std::max<LONG>(rc.right, 1), std::max<LONG>(rc.bottom, 1)));
    if (mem && bmp) {
        SelectGuard keep(mem.Get(), bmp.Get());
        SendMessageW(m_hList, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.Get()), PRF_CLIENT);
    }
    m_pump.Force();
    m_nFillGap = m_pump.LongestGapMs();
}

// The "Match" column holds the checkbox, the colour square and the longest of the words, and is
// at least as wide as asked.
int CopySelectDialog::MatchColumnWidth(int least) const {
    int word = 0;
    for (const wchar_t* w : kMatchWords)
        word = std::max(word, static_cast<int>(SendMessageW(m_hList, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(w))));
    int boxWidth = 0, boxHeight = 0;
    auto boxes = reinterpret_cast<HIMAGELIST>(SendMessageW(m_hList, LVM_GETIMAGELIST, LVSIL_STATE, 0));
    if (!boxes || !ImageList_GetIconSize(boxes, &boxWidth, &boxHeight)) boxWidth = kSquare;
    // The list's margins: before the checkbox, between the square and the word, after the word.
    const int margins = 4 * GetSystemMetrics(SM_CXEDGE) + 12;
    return std::max(least, boxWidth + kSquare + word + margins);
}

// One list row for a result record: its checkbox (none for codes 5 to 7), its colour square and the
// word that says the same, and the two folder columns. Returns the row's index, or -1.
int CopySelectDialog::InsertRow(int row, int rec) {
    LVITEMW it{};
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    it.iItem = row;
    it.pszText = const_cast<wchar_t*>(MatchWord(m_arr.GetMatchCode(rec)));
    it.iImage = m_arr.GetMatchCodeMax5(rec);
    it.lParam = rec;
    it.stateMask = LVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(it.iImage == kMatchNoSourceImage ? 0 : 1);
    int at = static_cast<int>(SendMessageW(m_hList, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    if (at < 0) return -1;
    if (it.iImage == kMatchNoSourceImage) SetRowState(at, 0);
    for (int c = 1; c < 3; ++c) {
        LVITEMW sub{};
        sub.iSubItem = c;
        sub.pszText = const_cast<wchar_t*>(ColumnText(m_arr, rec, c));
        SendMessageW(m_hList, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&sub));
    }
    return at;
}

void CopySelectDialog::SortList() {
    SortParam p{&m_arr, &m_sort};
    SendMessageW(m_hList, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&p), reinterpret_cast<LPARAM>(CompareItems));
}

void CopySelectDialog::Batch(int limit, bool all, bool check) {
    m_bGuard = false;
    int rows = RowCount();
    for (int row = 0; row < rows; ++row) {
        int code = RowCode(row);
        if (code == kMatchNoSourceImage) continue;  // no checkbox, left as it is
        SetRowState(row, (all ? check : code <= limit) ? 2 : 1);
    }
    m_bGuard = true;
}

void CopySelectDialog::HideRows(int code) {
    int rows = RowCount();
    for (int row = rows - 1; row >= 0; --row) {
        int rec = RowRecord(row);
        if (rec < 0 || m_arr.GetMatchCode(rec) != code) continue;
        if (!SendMessageW(m_hList, LVM_DELETEITEM, row, 0)) {
            ShowErrorBox(FormatW(L"Error deleting item %d of %d\n", row, rows).c_str(), ColumnText(m_arr, rec, 1),
                         ColumnText(m_arr, rec, 2));
            return;
        }
    }
}

void CopySelectDialog::ShowRows(int code) {
    int rows = RowCount();
    for (int rec = 0; rec < m_arr.Count(); ++rec) {
        if (m_arr.GetMatchCode(rec) != code) continue;
        if (InsertRow(rows, rec) < 0) {
            ShowErrorBox(FormatW(L"Error inserting item %d of %d", rows, rows + 1).c_str(), ColumnText(m_arr, rec, 1),
                         ColumnText(m_arr, rec, 2));
            break;
        }
        ++rows;
    }
    SortList();
}

void CopySelectDialog::OnHideCheck(int id, int code) {
    if (IsChecked(m_hWnd, id)) HideRows(code);
    else ShowRows(code);
    if (m_nCurRow >= RowCount()) m_nCurRow = RowCount() - 1;
    RefreshPreview();
}

void CopySelectDialog::ApplyStoredHideChoices() {
    const struct {
        int value, id, code;
    } choices[] = {{m_pSettings->ArtHideRed, IDC_CS_HIDE_RED, kMatchRed},
                   {m_pSettings->ArtHideNoSrc, IDC_CS_HIDE_NOSRC, kMatchNoSource},
                   {m_pSettings->ArtHideNoTgt, IDC_CS_HIDE_NOTGT, kMatchNoTarget},
                   {m_pSettings->ArtHideNoImg, IDC_CS_HIDE_NOIMG, kMatchNoSourceImage}};
    for (const auto& c : choices) {
        if (!c.value) continue;
        SetChecked(m_hWnd, c.id, true);
        HideRows(c.code);
    }
    if (m_nCurRow >= RowCount()) m_nCurRow = RowCount() - 1;
    RefreshPreview();
}

void CopySelectDialog::StoreHideChoices() {
    if (!m_pSettings) return;
    m_pSettings->SetDialog(m_hWnd);
    bool ok = m_pSettings->ReadCheck(IDC_CS_HIDE_RED, m_pSettings->ArtHideRed, false) &&
              m_pSettings->ReadCheck(IDC_CS_HIDE_NOSRC, m_pSettings->ArtHideNoSrc, false) &&
              m_pSettings->ReadCheck(IDC_CS_HIDE_NOTGT, m_pSettings->ArtHideNoTgt, false) &&
              m_pSettings->ReadCheck(IDC_CS_HIDE_NOIMG, m_pSettings->ArtHideNoImg, false);
    if (!ok) SetErrorParts(L"Non-fatal error saving checkbox settings for next time", m_pSettings->ErrorText().c_str());
    if (!m_pSettings->SaveSection(IniSect::AlbumArtSettings))
        SetErrorParts(L"Non-fatal error saving ini settings", m_pSettings->ErrorText().c_str());
    m_pSettings->SetDialog(m_hParentWnd);
}

int CopySelectDialog::OnOK() {
    StoreHideChoices();
    m_selection.clear();
    int rows = RowCount();
    for (int row = 0; row < rows; ++row)
        if (RowChecked(row) && RowCode(row) != kMatchNoSourceImage) m_selection.push_back(RowRecord(row));
    if (m_selection.empty()) {
        ShowErrorBox(L"Nothing to copy!", L"No files are checked in the list.");
        return 1;
    }
    EndWithOK();
    return 1;
}

void CopySelectDialog::SetCurrentRow(int row) {
    m_nCurRow = row;
    RefreshPreview();
}

void CopySelectDialog::RefreshPreview() {
    int rec = (m_nCurRow >= 0 && m_nCurRow < RowCount()) ? RowRecord(m_nCurRow) : -1;
    RefreshSide(true, rec);
    RefreshSide(false, rec);
}

void CopySelectDialog::RefreshSide(bool source, int rec) {
    int side = source ? 0 : 1;
    CPicture& pic = source ? m_srcPic : m_tgtPic;
    bool& loaded = source ? m_bSrcLoaded : m_bTgtLoaded;
    int frame = source ? IDC_CS_SRC_THUMB : IDC_CS_TGT_THUMB;
    int bytes = source ? IDC_CS_SRC_BYTES : IDC_CS_TGT_BYTES;
    int pixels = source ? IDC_CS_SRC_PIXELS : IDC_CS_TGT_PIXELS;
    std::int32_t size = rec < 0 ? -1 : (source ? m_arr.GetCounterpartImageSize(rec) : m_arr.GetImageSize(rec));
    if (size <= 0) {
        if (m_loader) m_loader->Cancel(side);
        ShowItem(m_hWnd, frame, false);
        loaded = false;
        pic.Free();
        m_sShown[side].clear();
        SetItemText(m_hWnd, bytes, L"No");
        SetItemText(m_hWnd, pixels, L"file");
        return;
    }
    std::wstring path = source ? m_arr.GetFilePath2(rec, m_sSrcImage) : m_arr.GetFilePath1(rec, m_sTgtImage);
    ShowItem(m_hWnd, frame, true);
    SetItemText(m_hWnd, bytes, FormatW(L"%d Bytes", size));
    // Another image: the frame stays empty until it has been read. The same image read again
    // stays on show meanwhile.
    if (path != m_sShown[side]) {
        loaded = false;
        pic.Free();
        m_sShown[side] = path;
        SetItemText(m_hWnd, pixels, L"");
        InvalidateRect(GetDlgItem(m_hWnd, frame), nullptr, TRUE);
    }
    if (m_loader) m_loader->Request(side, path);
}

void CopySelectDialog::OnPreviewRead(int side) {
    PreviewLoader::Image image;
    if (!m_loader || !m_loader->Take(side, image)) return;
    bool source = side == 0;
    CPicture& pic = source ? m_srcPic : m_tgtPic;
    bool& loaded = source ? m_bSrcLoaded : m_bTgtLoaded;
    pic = std::move(image.picture);
    loaded = pic.IsLoaded();
    SetItemText(m_hWnd, source ? IDC_CS_SRC_PIXELS : IDC_CS_TGT_PIXELS,
                image.sized ? FormatW(L"%dx%d Pixels", image.width, image.height) : std::wstring());
    InvalidateRect(GetDlgItem(m_hWnd, source ? IDC_CS_SRC_THUMB : IDC_CS_TGT_THUMB), nullptr, TRUE);
    // The keys and the timers ask for the same image again and again, and an image may arrive when
    // the selection has already moved on: one box per image, for the row still selected, at a time.
    if (m_bPreviewBox || (loaded && image.sized)) return;
    bool selected = SendMessageW(m_hList, LVM_GETITEMSTATE, m_nCurRow, LVIS_SELECTED) & LVIS_SELECTED;
    if (!selected || !m_reported.insert(image.path).second) return;
    m_bPreviewBox = true;
    if (!loaded)
        ShowErrorBox(source ? L"Error loading source image" : L"Error loading target image", image.path.c_str());
    else
        ShowErrorBox(L"Error getting image info on previously found file", image.path.c_str());
    m_bPreviewBox = false;
}

void CopySelectDialog::OnDestroy() {
    // Waits for an image being read; nothing arrives after this.
    m_loader.reset();
}

void CopySelectDialog::DrawThumb(const DRAWITEMSTRUCT* dis) {
    HDC dc = dis->hDC;
    FillRect(dc, &dis->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    switch (dis->CtlID) {
    case IDC_CS_SRC_THUMB:
    case IDC_CS_TGT_THUMB: {
        bool source = dis->CtlID == IDC_CS_SRC_THUMB;
        CPicture& pic = source ? m_srcPic : m_tgtPic;
        if (!(source ? m_bSrcLoaded : m_bTgtLoaded)) return;
        const int size = ScaleToDpi(kThumb, m_nDpi);
        if (!pic.Draw(dc, 0, 0, size, size)) SetErrorParts(L"CPicture::Draw failed");
        return;
    }
    default: {
        // Only the colour keys have a bitmap; any other owner-drawn item is left blank.
        const UINT key = dis->CtlID - IDC_CS_KEY_IMG0;  // wraps below the first key
        if (key >= std::size(m_keyBmp)) return;
        HBITMAP bmp = m_keyBmp[key].Get();
        if (!bmp) return;
        UniqueMemDC mem(CreateCompatibleDC(dc));
        SelectGuard keep(mem.Get(), bmp);
        BITMAP bm{};
        GetObjectW(bmp, sizeof(bm), &bm);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem.Get(), 0, 0, SRCCOPY);
    }
    }
}

void CopySelectDialog::OnListKey() {
    int mark = static_cast<int>(SendMessageW(m_hList, LVM_GETSELECTIONMARK, 0, 0));
    if (mark != m_nCurRow && mark >= 0 && mark < RowCount()) {
        SetCurrentRow(mark);
        return;
    }
    // The key moves the selection after this notification: look again when it has.
    for (int i = 0; i < 2; ++i) {
        if (m_timers[i]) KillTimer(m_hWnd, m_timers[i]);
        m_timers[i] = static_cast<UINT_PTR>(rand() % 32768);
        SetTimer(m_hWnd, m_timers[i], kTimerDelays[i], nullptr);
    }
    RefreshPreview();
}

void CopySelectDialog::OnTimer(UINT_PTR id) {
    KillTimer(m_hWnd, id);
    for (UINT_PTR& t : m_timers)
        if (t == id) t = 0;
    int mark = static_cast<int>(SendMessageW(m_hList, LVM_GETSELECTIONMARK, 0, 0));
    if (mark == -1 && m_nCurRow == -1) return;
    SetCurrentRow(mark);
}

INT_PTR CopySelectDialog::OnNotify(NMHDR* hdr) {
    if (hdr->idFrom != IDC_CS_LIST) return FALSE;
    switch (hdr->code) {
    case LVN_ITEMCHANGING: {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        // Rows without a source image, a partner or a target never get a checkbox.
        if (m_bGuard && (nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_STATEIMAGEMASK) &&
            RowCode(nm->iItem) == kMatchNoSourceImage)
            return SetMsgResult(m_hWnd, TRUE);
        return FALSE;
    }
    case LVN_ITEMACTIVATE:
        SetCurrentRow(reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem);
        return TRUE;
    case LVN_KEYDOWN:
        OnListKey();
        return TRUE;
    case LVN_COLUMNCLICK:
        m_sort.Click(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
        SortList();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CopySelectDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_DRAWITEM:
        DrawThumb(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case WM_APP_PREVIEW_READY:
        OnPreviewRead(static_cast<int>(wParam));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) break;
        switch (LOWORD(wParam)) {
        case IDC_CS_CHECK_ALL: Batch(0, true, true); return TRUE;
        case IDC_CS_UNCHECK_ALL: Batch(0, true, false); return TRUE;
        case IDC_CS_COL0: case IDC_CS_COL1: case IDC_CS_COL2: case IDC_CS_COL3:
            Batch(LOWORD(wParam) - IDC_CS_COL0, false, false);
            return TRUE;
        case IDC_CS_HIDE_RED: OnHideCheck(IDC_CS_HIDE_RED, kMatchRed); return TRUE;
        case IDC_CS_HIDE_NOSRC: OnHideCheck(IDC_CS_HIDE_NOSRC, kMatchNoSource); return TRUE;
        case IDC_CS_HIDE_NOTGT: OnHideCheck(IDC_CS_HIDE_NOTGT, kMatchNoTarget); return TRUE;
        case IDC_CS_HIDE_NOIMG: OnHideCheck(IDC_CS_HIDE_NOIMG, kMatchNoSourceImage); return TRUE;
        case IDC_CS_HELP:
            if (!Paths() || Paths()->sProgDirSlash.empty())
                ShowErrorBox(L"Help file location (program folder) not found");
            else
                ShowHelp(HelpFilePath(*Paths(), L"aa_match.htm"));
            return TRUE;
        }
        break;
    case WM_HELP:
        SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CS_HELP, BN_CLICKED), 0);
        return TRUE;
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
