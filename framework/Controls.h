// Small helpers for the chores every dialog repeats: check boxes, texts, numbers, enabling, spins,
// radio groups, notification results and a progress bar that is told only what changed.
#pragma once
#include <windows.h>

#include <string>

namespace swirlo {

bool IsChecked(HWND dlg, int id);
void SetChecked(HWND dlg, int id, bool on);
std::wstring GetItemText(HWND dlg, int id);
void SetItemText(HWND dlg, int id, const std::wstring& text);
// A whole signed decimal number (blanks around it allowed); false for anything else.
bool GetItemInt(HWND dlg, int id, int& value);
void SetItemInt(HWND dlg, int id, int value);
void EnableItem(HWND dlg, int id, bool on);
void ShowItem(HWND dlg, int id, bool on);
// An up-down control's range and position (positions as the control counts them).
void SetSpinRange(HWND dlg, int id, int low, int high);
void SetSpinPos(HWND dlg, int id, int pos);
int GetSpinPos(HWND dlg, int id);
// Gives the keyboard focus to a control the way the dialog manager does (default button kept right).
void SetInitialFocus(HWND dlg, int id);

// What a screen reader announces a control as (a ROLE_SYSTEM_ value of oleacc.h), where the
// control's class says something else (a label that opens a menu). Nothing happens where the
// system has no accessibility annotation service.
void SetAccessibleRole(HWND h, long role);

// Radio groups in the dialog template's order: the buttons from firstId to lastId as they follow each
// other among the dialog's children, whatever their enabled or visible state (the dialog manager's
// group walk skips disabled and hidden buttons). Read gives the index of the checked button, -1 when
// none is checked or the range is not found; Write checks the button at index and clears the others.
int ReadRadioGroup(HWND dlg, int firstId, int lastId);
bool WriteRadioGroup(HWND dlg, int firstId, int lastId, int index);

// The result of a notification handled in a dialog procedure (a veto of a tab change, a spin move or
// a check-state change is returned this way). Returns TRUE for the dialog procedure to return.
INT_PTR SetMsgResult(HWND dlg, LONG_PTR result);

// A progress bar (range 0 to 100 unless said otherwise) that is sent a position only when it changes.
class ProgressBar {
public:
    void Attach(HWND dlg, int id, int high = 100);
    void SetPos(int pos);
    int Pos() const { return m_nPos; }
    // Forgets the last position sent (after the bar was reset by other means).
    void Reset(int pos = 0);

private:
    HWND m_hBar = nullptr;
    int m_nPos = -1;
};

}  // namespace swirlo
