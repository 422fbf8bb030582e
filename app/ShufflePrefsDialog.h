// The shuffle preferences dialog: the "Shuffle Settings" section (default frequencies, the default
// file name, the playlist format, the song selection list's order).
#pragma once
#include "framework/Handles.h"
#include "framework/ZWin.h"

namespace swirlo {

class IniSettings;

class ShufflePrefsDialog : public ZDialog {
public:
    ShufflePrefsDialog(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, const wchar_t* subtitle,
                       ZWin* parent, const AppPaths* paths);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    int OnOK() override;
    const wchar_t* HelpTopic() const override { return L"pl_pref.htm"; }

private:
    // An edit with its spin: the spin's positions run from 0 to max and stand for position + offset.
    struct NumberEdit {
        int edit, spin, minValue, offset, max;
    };
    static const NumberEdit kEdits[7];
    static const NumberEdit* FindByEdit(int editId);
    static const NumberEdit* FindBySpin(int spinId);

    void OnEditChange(int editId);
    INT_PTR OnSpin(const NMUPDOWN* nm);
    void SetTextGuarded(int editId, int value);
    int ReadNumber(int editId, int maxChars);
    void Paint();

    IniSettings* m_pSettings;
    UniqueBitmap m_bmRating;
    RECT m_rcRating{};
    bool m_bGuard = false;  // set while the dialog itself changes an edit's text
};

}  // namespace swirlo
