#include "framework/NumberBox.h"

#include <algorithm>
#include <string>

#include "framework/Controls.h"

namespace swirlo {

namespace {
int Digits(int n) {
    int d = 1;
    while (n >= 10) n /= 10, ++d;
    return d;
}
}  // namespace

void NumberBoxes::Init(HWND dlg) {
    m_hDlg = dlg;
    for (std::size_t i = 0; i < m_nCount; ++i) {
        const NumberBoxSpec& b = m_specs[i];
        SetSpinRange(dlg, b.spin, b.low - b.offset, b.high - b.offset);
        SendDlgItemMessageW(dlg, b.edit, EM_LIMITTEXT, static_cast<WPARAM>(Digits(b.high)), 0);
    }
}

const NumberBoxSpec* NumberBoxes::ByEdit(int editId) const {
    for (std::size_t i = 0; i < m_nCount; ++i)
        if (m_specs[i].edit == editId) return &m_specs[i];
    return nullptr;
}

const NumberBoxSpec* NumberBoxes::BySpin(int spinId) const {
    for (std::size_t i = 0; i < m_nCount; ++i)
        if (m_specs[i].spin == spinId) return &m_specs[i];
    return nullptr;
}

// Digits only, at most nine of them: anything else is not (yet) a number.
bool NumberBoxes::Parse(HWND dlg, int editId, int& value) {
    std::wstring text = GetItemText(dlg, editId);
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        v = v * 10 + (c - L'0');
    }
    value = v;
    return true;
}

void NumberBoxes::Set(int editId, int value) {
    const NumberBoxSpec* b = ByEdit(editId);
    if (!b || !m_hDlg) return;
    value = std::clamp(value, b->low, b->high);
    m_bWriting = true;
    SetItemInt(m_hDlg, editId, value);
    SetSpinPos(m_hDlg, b->spin, value - b->offset);
    m_bWriting = false;
}

int NumberBoxes::Value(int editId) const {
    const NumberBoxSpec* b = ByEdit(editId);
    if (!b || !m_hDlg) return 0;
    int v = b->low;
    Parse(m_hDlg, editId, v);
    return std::clamp(v, b->low, b->high);
}

int NumberBoxes::Commit(int editId) {
    int v = Value(editId), shown = 0;
    if (!Parse(m_hDlg, editId, shown) || shown != v) Set(editId, v);
    return v;
}

void NumberBoxes::CommitAll() {
    for (std::size_t i = 0; i < m_nCount; ++i) Commit(m_specs[i].edit);
}

bool NumberBoxes::OnChange(int editId) {
    const NumberBoxSpec* b = ByEdit(editId);
    if (!b || m_bWriting || !m_hDlg) return false;
    int v = 0;
    if (Parse(m_hDlg, editId, v) && v >= b->low && v <= b->high) {
        m_bWriting = true;
        SetSpinPos(m_hDlg, b->spin, v - b->offset);
        m_bWriting = false;
    }
    return true;
}

bool NumberBoxes::OnDeltaPos(const NMUPDOWN* nm) {
    const NumberBoxSpec* b = BySpin(static_cast<int>(nm->hdr.idFrom));
    if (!b) return false;
    int v = Value(b->edit) + nm->iDelta;
    if (b->wrap && v > b->high) v = b->low;
    else if (b->wrap && v < b->low) v = b->high;
    Set(b->edit, v);
    return true;
}

void NumberBoxes::OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) == EN_KILLFOCUS && ByEdit(LOWORD(wParam))) Commit(LOWORD(wParam));
    else if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) CommitAll();
}

}  // namespace swirlo
