#include "framework/Controls.h"

#include <commctrl.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <cwchar>
#include <vector>

namespace swirlo {

bool IsChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void SetChecked(HWND dlg, int id, bool on) { CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED); }

std::wstring GetItemText(HWND dlg, int id) {
    HWND h = GetDlgItem(dlg, id);
    if (!h) return {};
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    n = GetWindowTextW(h, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return s;
}

void SetItemText(HWND dlg, int id, const std::wstring& text) { SetDlgItemTextW(dlg, id, text.c_str()); }

bool GetItemInt(HWND dlg, int id, int& value) {
    std::wstring s = GetItemText(dlg, id);
    const wchar_t* p = s.c_str();
    while (*p == L' ') ++p;
    if (!*p) return false;
    wchar_t* end = nullptr;
    errno = 0;
    long long v = std::wcstoll(p, &end, 10);
    if (end == p || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    while (*end == L' ') ++end;
    if (*end) return false;
    value = static_cast<int>(v);
    return true;
}

void SetItemInt(HWND dlg, int id, int value) { SetDlgItemInt(dlg, id, static_cast<UINT>(value), TRUE); }

void EnableItem(HWND dlg, int id, bool on) {
    if (HWND h = GetDlgItem(dlg, id)) EnableWindow(h, on ? TRUE : FALSE);
}

void ShowItem(HWND dlg, int id, bool on) {
    if (HWND h = GetDlgItem(dlg, id)) ShowWindow(h, on ? SW_SHOW : SW_HIDE);
}

void SetSpinRange(HWND dlg, int id, int low, int high) {
    SendDlgItemMessageW(dlg, id, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
}

void SetSpinPos(HWND dlg, int id, int pos) { SendDlgItemMessageW(dlg, id, UDM_SETPOS32, 0, pos); }

int GetSpinPos(HWND dlg, int id) {
    return static_cast<int>(SendDlgItemMessageW(dlg, id, UDM_GETPOS32, 0, 0));
}

void SetInitialFocus(HWND dlg, int id) {
    if (HWND h = GetDlgItem(dlg, id)) SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(h), TRUE);
}

namespace {
// The buttons from firstId to lastId in the order the template created them (sibling order).
std::vector<HWND> TemplateRange(HWND dlg, int firstId, int lastId) {
    std::vector<HWND> out;
    HWND h = GetDlgItem(dlg, firstId);
    // A range is a few buttons; the bound keeps a wrong lastId from walking every control.
    for (int k = 0; h && k < 64; ++k, h = GetWindow(h, GW_HWNDNEXT)) {
        out.push_back(h);
        if (GetDlgCtrlID(h) == lastId) return out;
    }
    return {};
}
}  // namespace

int ReadRadioGroup(HWND dlg, int firstId, int lastId) {
    std::vector<HWND> range = TemplateRange(dlg, firstId, lastId);
    for (std::size_t i = 0; i < range.size(); ++i)
        if (SendMessageW(range[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
    return -1;
}

bool WriteRadioGroup(HWND dlg, int firstId, int lastId, int index) {
    std::vector<HWND> range = TemplateRange(dlg, firstId, lastId);
    if (index < 0 || static_cast<std::size_t>(index) >= range.size()) return false;
    for (std::size_t i = 0; i < range.size(); ++i)
        SendMessageW(range[i], BM_SETCHECK, i == static_cast<std::size_t>(index) ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
}

INT_PTR SetMsgResult(HWND dlg, LONG_PTR result) {
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, result);
    return TRUE;
}

void ProgressBar::Attach(HWND dlg, int id, int high) {
    m_hBar = GetDlgItem(dlg, id);
    if (m_hBar) SendMessageW(m_hBar, PBM_SETRANGE32, 0, high);
    m_nPos = -1;
}

void ProgressBar::SetPos(int pos) {
    if (pos == m_nPos || !m_hBar) return;
    m_nPos = pos;
    SendMessageW(m_hBar, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
}

void ProgressBar::Reset(int pos) {
    m_nPos = -1;
    SetPos(pos);
}

void SetAccessibleRole(HWND h, long role) {
    Microsoft::WRL::ComPtr<IAccPropServices> props;
    if (!h || FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                      reinterpret_cast<void**>(props.GetAddressOf()))))
        return;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = role;
    props->SetHwndProp(h, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_ROLE, v);
}

}  // namespace swirlo
