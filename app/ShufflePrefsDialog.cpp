#include "app/ShufflePrefsDialog.h"

#include <commctrl.h>

#include "foundation/IniSettings.h"
#include "foundation/Utilities.h"
#include "framework/Controls.h"
#include "framework/Dpi.h"
#include "resources/resource.h"

namespace swirlo {

namespace {
const int kRatingEdits[5] = {IDC_PREF_FREQ1, IDC_PREF_FREQ2, IDC_PREF_FREQ3, IDC_PREF_FREQ4, IDC_PREF_FREQ5};
// The default rating is a star count: 6 to 9 would name a star the program has not.
const NumberBoxSpec kEdits[7] = {
    {IDC_PREF_FREQ_SAME, IDC_PREF_SPIN_SAME, 1, 99, 1, false},
    {IDC_PREF_FREQ1, IDC_PREF_SPIN1, 0, 99, 0, false},
    {IDC_PREF_FREQ2, IDC_PREF_SPIN2, 0, 99, 0, false},
    {IDC_PREF_FREQ3, IDC_PREF_SPIN3, 0, 99, 0, false},
    {IDC_PREF_FREQ4, IDC_PREF_SPIN4, 0, 99, 0, false},
    {IDC_PREF_FREQ5, IDC_PREF_SPIN5, 0, 99, 0, false},
    {IDC_PREF_DEFAULT_RATING, IDC_PREF_SPIN_RATING, 1, 5, 1, false},
};
}  // namespace

ShufflePrefsDialog::ShufflePrefsDialog(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption,
                                       const wchar_t* subtitle, ZWin* parent, const AppPaths* paths)
    : ZDialog(hInst, caption, subtitle, parent, paths), m_pSettings(settings), m_boxes(kEdits) {
    m_nResId = IDD_SHUFFLE_PREFS;
}

BOOL ShufflePrefsDialog::OnInitDialog() {
    SetIcon(IDI_APP);
    PlaceRating();

    IniSettings& s = *m_pSettings;
    s.SetDialog(m_hWnd);
    bool ok = s.WriteRadioRange(s.ConvertWpl, IDC_PREF_WPL, IDC_PREF_M3U8, 0, 1) &&
              s.WriteRadioRange(static_cast<int>(s.RememberFrequency), IDC_PREF_REMEMBER_LAST,
                                IDC_PREF_REMEMBER_DEFAULTS, 0, 1) &&
              s.WriteCheck(IDC_PREF_ADDSRCNAME, s.AddSrcName, false) &&
              s.WriteCheck(IDC_PREF_ADDLABEL, s.AddLabel, false) &&
              s.WriteEditString(IDC_PREF_LABELTEXT, s.LabelText) &&
              s.WriteRadioRange(static_cast<int>(s.LabelPlace), IDC_PREF_LABEL_START, IDC_PREF_LABEL_END, 0, 1) &&
              s.WriteCheck(IDC_PREF_USELASTDIR, s.UseLastDir, false) &&
              s.WriteCheck(IDC_PREF_WMPNOTIFY, s.WmpNotify, false) &&
              s.WriteRadioRange(s.ListboxOrder, IDC_PREF_GENRES_FIRST, IDC_PREF_PLAYLISTS_FIRST, 0, 1) &&
              s.WriteRadioRange(s.DaysNewAsFixedDate, IDC_PREF_DAYS_RELATIVE, IDC_PREF_DAYS_FIXED, 0, 1) &&
              s.WriteCheck(IDC_PREF_ADDDATE, s.AddDate, false) &&
              s.WriteRadioRange(static_cast<int>(s.DatePlace), IDC_PREF_DATE_START, IDC_PREF_DATE_END, 0, 1);
    if (!ok) s.ShowError(ErrorCaption().c_str(), L"Error applying ini file settings to dialog");

    const int values[7] = {s.FrequencySameDefault, s.Frequency1Default, s.Frequency2Default, s.Frequency3Default,
                           s.Frequency4Default,    s.Frequency5Default, s.DefaultRating};
    m_boxes.Init(m_hWnd);
    for (int i = 0; i < 7; ++i) m_boxes.Set(kEdits[i].edit, values[i]);
    return ZDialog::OnInitDialog();
}

// The rating picture (235 x 18 pixels at 100 %) at its place-holder (160 dialog units wide, 240
// pixels at 100 %), scaled as the dialog units are: its stars stay over the boxes below them.
void ShufflePrefsDialog::PlaceRating() {
    RECT r = ControlRect(IDC_PREF_RATING_PICTURE);
    m_bmRating = LoadBitmapAtWidth(m_hInst, IDB_RATING, MulDiv(235, r.right - r.left, 240));
    const SIZE size = BitmapSize(m_bmRating.Get());
    m_rcRating = {r.left, r.top, r.left + size.cx, r.top + size.cy};
}

void ShufflePrefsDialog::OnDpiChanged(UINT) {
    PlaceRating();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void ShufflePrefsDialog::Paint() {
    PaintDC dc(m_hWnd);
    if (!m_bmRating) return;
    UniqueMemDC mem(CreateCompatibleDC(dc.Get()));
    if (!mem) return;
    SelectGuard sel(mem.Get(), m_bmRating.Get());
    GdiTransparentBlt(dc.Get(), m_rcRating.left, m_rcRating.top, m_rcRating.right - m_rcRating.left,
                      m_rcRating.bottom - m_rcRating.top, mem.Get(), 0, 0, m_rcRating.right - m_rcRating.left,
                      m_rcRating.bottom - m_rcRating.top, RGB(255, 0, 0));
}

int ShufflePrefsDialog::OnOK() {
    IniSettings& s = *m_pSettings;
    if (IsChecked(m_hWnd, IDC_PREF_ADDSRCNAME) && !IsChecked(m_hWnd, IDC_PREF_ADDLABEL) &&
        !IsChecked(m_hWnd, IDC_PREF_ADDDATE)) {
        int answer = MsgBoxParts(m_hWnd, m_sCaption.c_str(), L"You chose a default output file name with ONLY the source name,",
                                 L"which could overwrite an existing playlist used as the source.",
                                 L"\nAre you sure you want to do this?\n",
                                 L"Click No, and then also check Include Label and/or Include Datestamp\nto ensure the "
                                 L"default output file name will differ.",
                                 nullptr, nullptr, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        if (answer != IDYES) return 1;
    }
    int same = m_boxes.Commit(IDC_PREF_FREQ_SAME);
    int rating[5];
    int sum = 0;
    for (int i = 0; i < 5; ++i) sum += rating[i] = m_boxes.Commit(kRatingEdits[i]);
    if (sum == 0)
        return ShowErrorBox(L"All song-rating based play frequencies are set to 0 times.",
                            L"At least some song ratings must default to play 1 or more times");
    if (same == 0) return ShowErrorBox(L"All songs same frequency is set to 0.", L"It must default to a positive number");
    s.FrequencySameDefault = same;
    s.Frequency1Default = rating[0];
    s.Frequency2Default = rating[1];
    s.Frequency3Default = rating[2];
    s.Frequency4Default = rating[3];
    s.Frequency5Default = rating[4];

    if (!(s.ReadRadioRange(s.ListboxOrder, IDC_PREF_GENRES_FIRST, IDC_PREF_PLAYLISTS_FIRST, 0, 1) &&
          s.ReadRadioRange(s.DaysNewAsFixedDate, IDC_PREF_DAYS_RELATIVE, IDC_PREF_DAYS_FIXED, 0, 1) &&
          s.SaveSection(IniSect::ShuffleSettings)))
        s.ShowError(ErrorCaption().c_str(), L"Error saving 3.0 settings from dialog to ini file");

    if (!(s.ReadRadioRange(s.RememberFrequency, IDC_PREF_REMEMBER_LAST, IDC_PREF_REMEMBER_DEFAULTS, 0, 1) &&
          s.ReadCheck(IDC_PREF_ADDSRCNAME, s.AddSrcName, false) && s.ReadCheck(IDC_PREF_ADDLABEL, s.AddLabel, false) &&
          s.ReadEditString(IDC_PREF_LABELTEXT, s.LabelText, false, 1023) &&
          s.ReadRadioRange(s.LabelPlace, IDC_PREF_LABEL_START, IDC_PREF_LABEL_END, 0, 1) &&
          s.ReadCheck(IDC_PREF_ADDDATE, s.AddDate, false) &&
          s.ReadRadioRange(s.DatePlace, IDC_PREF_DATE_START, IDC_PREF_DATE_END, 0, 1) &&
          s.ReadCheck(IDC_PREF_USELASTDIR, s.UseLastDir, false) &&
          s.ReadRadioRange(s.ConvertWpl, IDC_PREF_WPL, IDC_PREF_M3U8, 0, 1) &&
          s.ReadCheck(IDC_PREF_WMPNOTIFY, s.WmpNotify, false) &&
          (m_boxes.Commit(IDC_PREF_DEFAULT_RATING), s.ReadEditInt(IDC_PREF_DEFAULT_RATING, s.DefaultRating, false, 31)) &&
          s.ReadRadioRange(s.ListboxOrder, IDC_PREF_GENRES_FIRST, IDC_PREF_PLAYLISTS_FIRST, 0, 1) &&
          s.ReadRadioRange(s.DaysNewAsFixedDate, IDC_PREF_DAYS_RELATIVE, IDC_PREF_DAYS_FIXED, 0, 1) &&
          s.SaveSection(IniSect::ShuffleSettings)))
        s.ShowError(ErrorCaption().c_str(), L"Error saving settings from dialog to ini file");

    if (s.RememberFrequency == 2) s.ApplyFrequencyDefaults();
    EndWithOK();
    return 1;
}

INT_PTR ShufflePrefsDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return TRUE;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code == UDN_DELTAPOS && m_boxes.OnDeltaPos(reinterpret_cast<NMUPDOWN*>(lParam)))
            return SetMsgResult(m_hWnd, TRUE);  // moved here; the arrows must not move again
        break;
    }
    case WM_COMMAND:
        m_boxes.OnCommand(wParam);
        if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) != IDC_PREF_LABELTEXT) {
            if (!m_boxes.ByEdit(LOWORD(wParam)) || !GetDlgItem(m_hWnd, m_boxes.ByEdit(LOWORD(wParam))->spin))
                ShowErrorBox(L"Can't find spin control associated with changed edit control");
            else m_boxes.OnChange(LOWORD(wParam));
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_PREF_ORIGINAL_DEFAULTS && HIWORD(wParam) == BN_CLICKED) {
            const int values[6] = {4, 1, 2, 3, 5, 9};
            for (int i = 0; i < 6; ++i) m_boxes.Set(kEdits[i].edit, values[i]);
            return TRUE;
        }
        if (LOWORD(wParam) == IDHELP) {
            ShowHelpTopic(HelpTopic());
            return TRUE;
        }
        break;
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
