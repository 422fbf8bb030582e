// The copy-selection dialog: the matching result as a list with a colour square and a checkbox per
// row, batch buttons, row kinds that can be hidden, sorting by column and a preview of both images
// of the current row. Copy To Player leaves the checked records in SelectedIndices().
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "albumart/core/AlbumFolderArray.h"
#include "albumart/page/Picture.h"
#include "albumart/page/PreviewLoader.h"
#include "framework/Handles.h"
#include "framework/MessagePump.h"
#include "framework/ZWin.h"

namespace swirlo {

class IniSettings;

// The colours of the clamped match codes 0 to 5.
extern const COLORREF kMatchColours[6];
// The word in the "Match" column for a match code 0 to 7 (the colour in words); "" for any other.
const wchar_t* MatchWord(int code);
// Squares of the codes' colours with a black outline, side by side, as a bitmap compatible with the
// screen: 16 x 16 pixels, 2 apart, at 96 dots per inch, scaled for dpi.
UniqueBitmap MakeColourSquares(const int* codes, int count, UINT dpi);

// The list's sort order. Column 0 is "Match", 1 the source path, 2 the target path.
struct ListSortState {
    int nSortCol = 0;
    int nPrevTextCol = 1;
    int nTextDir = 1;
    int nMatchDir = 1;
    // A click on the header of column col.
    void Click(int col);
};
// The text of a path column: 1 the counterpart path, 2 the relative path without its leading "\".
const wchar_t* ColumnText(const AlbumFolderArray& arr, int record, int col);
// Negative, zero or positive as record a sorts before, with or after record b.
int CompareRows(const AlbumFolderArray& arr, const ListSortState& s, int a, int b);

class CopySelectDialog : public ZDialog {
public:
    CopySelectDialog(HINSTANCE hInst, const wchar_t* caption, ZWin* parent, IniSettings* settings,
                     AlbumFolderArray& result, std::wstring sSourceImage, std::wstring sTargetImage);

    const std::vector<int>& SelectedIndices() const { return m_selection; }
    // The list control, for those who drive the dialog.
    HWND List() const { return m_hList; }
    // The longest time the window went without dispatching messages while the dialog was built.
    DWORD LongestFillGapMs() const { return m_nFillGap; }
    // Images of the preview are still being read.
    bool PreviewPending() const { return m_loader && m_loader->Busy(); }

protected:
    BOOL OnInitDialog() override;
    int OnOK() override;
    void OnDestroy() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(UINT dpi) override;

private:
    int RowCount() const;
    int RowRecord(int row) const;
    int RowCode(int row) const;  // clamped match code of the row's record
    bool RowChecked(int row) const;
    void SetRowState(int row, int stateImage);

    void LoadButtonPictures();
    void FillTexts();
    void SizeThumbFrames();
    bool SetUpList();
    int MatchColumnWidth(int least) const;
    bool MakeListImages();
    void FillList();
    int InsertRow(int row, int rec);
    void SortList();
    void Batch(int limit, bool all, bool check);
    void HideRows(int code);
    void ShowRows(int code);
    void OnHideCheck(int id, int code);
    void ApplyStoredHideChoices();
    void StoreHideChoices();
    void SetCurrentRow(int row);
    void RefreshPreview();
    // Shows the side's size line and asks for its image; OnPreviewRead shows the image when read.
    void RefreshSide(bool source, int record);
    void OnPreviewRead(int side);
    void DrawThumb(const DRAWITEMSTRUCT* dis);
    INT_PTR OnNotify(NMHDR* hdr);
    void OnListKey();
    void OnTimer(UINT_PTR id);

    IniSettings* m_pSettings;
    AlbumFolderArray& m_arr;
    std::wstring m_sSrcImage;
    std::wstring m_sTgtImage;
    std::vector<int> m_selection;
    ListSortState m_sort;
    int m_nCurRow = 0;
    CPicture m_srcPic;
    CPicture m_tgtPic;
    bool m_bSrcLoaded = false;
    bool m_bTgtLoaded = false;
    std::wstring m_sShown[2];  // the image each side shows or waits for
    std::unique_ptr<PreviewLoader> m_loader;
    bool m_bPreviewBox = false;  // a box about a preview image is up
    std::set<std::wstring> m_reported;  // images a box has named
    bool m_bGuard = false;
    HWND m_hList = nullptr;
    UniqueBitmap m_buttonBmp[4];
    UniqueBitmap m_keyBmp[3];
    UINT_PTR m_timers[2] = {0, 0};
    MessagePump m_pump;
    DWORD m_nFillGap = 0;
    UINT m_nDpi = 96;
};

}  // namespace swirlo
