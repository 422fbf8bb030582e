// The picture of how the repeats of the last written playlist are spread: one strip per most-played
// song with a tick at every play, and below it how many songs lie between two plays of one song,
// with the method's promise marked. Resizable, drawn for the window's DPI, saved as PNG through WIC.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/ZWin.h"
#include "shuffle/core/Spread.h"

namespace swirlo {

// Where the picture's parts go for one size and DPI (pixels of the picture).
struct SpreadLayout {
    int stripLeft = 0, stripWidth = 0;  // the strips' common x range
    std::vector<RECT> strips;           // one per shown song
    RECT histogram{};                   // the bars' area
};

class SpreadWindow : public ZDialog {
public:
    // The figures are worked out here, from the run's order; src is not kept.
    SpreadWindow(HINSTANCE hInst, ZWin* parent, const SpreadSource& src);

    const SpreadModel& Model() const { return m_model; }
    // The picture's size: the client area above the buttons.
    SIZE PictureSize() const;
    // Draws the picture into dc (its top left at 0, 0) for the given size and DPI.
    SpreadLayout Draw(HDC dc, SIZE size, UINT dpi) const;
    // The picture as the window shows it, written as PNG; false after the error box.
    bool SavePng(const std::wstring& path);

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    const wchar_t* HelpTopic() const override { return L"shuffle.htm"; }

private:
    void Layout();
    void OnPaint();
    void OnSave();

    SpreadModel m_model;
    std::wstring m_sTitle;
    SIZE m_minSize{};  // the smallest window, from the resource's size
    int m_nDpi = 0;    // the DPI m_minSize is for
};

}  // namespace swirlo
