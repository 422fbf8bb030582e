// The number boxes of a dialog: edit boxes for whole numbers from low to high, each with its arrow pair.
// What the user types stays as typed: an empty box or a value below the minimum is only a step on the
// way to "12" or "300", so the range is applied when the box loses the focus and when the dialog reads
// it (Commit), never on every keystroke; an empty box stands for the minimum.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace swirlo {

struct NumberBoxSpec {
    int edit, spin, low, high;
    int offset;  // the arrow pair counts value - offset
    bool wrap;   // the arrows wrap around at the ends of the range instead of stopping there
};

class NumberBoxes {
public:
    template <std::size_t N>
    explicit NumberBoxes(const NumberBoxSpec (&specs)[N]) : m_specs(specs), m_nCount(N) {}

    // Sets each arrow pair's range and limits each box to the digits of its maximum.
    void Init(HWND dlg);
    const NumberBoxSpec* ByEdit(int editId) const;
    const NumberBoxSpec* BySpin(int spinId) const;

    // Writes a value (kept in range) and moves the arrows to it.
    void Set(int editId, int value);
    // The box's value kept in range; an empty or unreadable box gives the minimum.
    int Value(int editId) const;
    // The same, written back into the box when its text says otherwise; for OK and for reading a run's options.
    int Commit(int editId);
    void CommitAll();

    // EN_CHANGE of a box: true when it was the user's typing, not the boxes' own writing. A valid value
    // moves the arrows; the text is never rewritten here.
    bool OnChange(int editId);
    bool IsWriting() const { return m_bWriting; }
    // UDN_DELTAPOS: the value moves by the step; the arrows themselves must not move again (the
    // dialog procedure returns TRUE through SetMsgResult). False for an arrow pair not of these boxes.
    bool OnDeltaPos(const NMUPDOWN* nm);
    // Every WM_COMMAND of the dialog passes here first: a box that loses the focus gets its range
    // applied, and OK (button or Enter) finds every box committed.
    void OnCommand(WPARAM wParam);

private:
    static bool Parse(HWND dlg, int editId, int& value);

    const NumberBoxSpec* m_specs;
    std::size_t m_nCount;
    HWND m_hDlg = nullptr;
    bool m_bWriting = false;  // set while the boxes write a text themselves
};

}  // namespace swirlo
