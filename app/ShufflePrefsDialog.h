// The shuffle preferences dialog: the "Shuffle Settings" section (default frequencies, the default
// file name, the playlist format, the song selection list's order).
#pragma once
#include "framework/Handles.h"
#include "framework/NumberBox.h"
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
    void OnDpiChanged(UINT dpi) override;

private:
    void Paint();
    void PlaceRating();

    IniSettings* m_pSettings;
    UniqueBitmap m_bmRating;
    RECT m_rcRating{};
    NumberBoxes m_boxes;
};

}  // namespace swirlo
