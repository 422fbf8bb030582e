// The settings store bound to a real dialog, built from an in-memory template: edits, check boxes
// and two radio groups, driven and read back through the controls themselves.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "foundation/IniSettings.h"
#include "foundation/Seams.h"
#include "framework/Controls.h"

using namespace swirlo;

namespace {

enum : int {
    kEditA = 101, kEditB = 102, kEditC = 103,
    kCheckA = 201, kCheckB = 202,
    kRadioA1 = 301, kRadioA2 = 302, kRadioA3 = 303,
    kRadioB1 = 401, kRadioB2 = 402,
    kLabel = 501,
};

const std::wstring kPrefix = L"INI settings class error:\r\n";

// An in-memory DLGTEMPLATE with its items, each DWORD-aligned as the dialog manager wants.
class DialogTemplate {
public:
    DialogTemplate() {
        AddDword(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
        AddDword(0);
        m_countAt = m_words.size();
        m_words.push_back(0);
        for (short v : {0, 0, 240, 160}) m_words.push_back(static_cast<WORD>(v));
        m_words.push_back(0);  // no menu
        m_words.push_back(0);  // standard class
        AddText(L"Settings test");
    }
    void Add(WORD atom, int id, DWORD style, const wchar_t* text, short y) {
        if (m_words.size() % 2) m_words.push_back(0);
        AddDword(style | WS_CHILD | WS_VISIBLE);
        AddDword(0);
        for (short v : {short(5), y, short(200), short(12)}) m_words.push_back(static_cast<WORD>(v));
        m_words.push_back(static_cast<WORD>(id));
        m_words.push_back(0xFFFF);
        m_words.push_back(atom);
        AddText(text);
        m_words.push_back(0);  // no creation data
        ++m_words[m_countAt];
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void AddDword(DWORD d) {
        m_words.push_back(LOWORD(d));
        m_words.push_back(HIWORD(d));
    }
    void AddText(const wchar_t* t) {
        for (; *t; ++t) m_words.push_back(static_cast<WORD>(*t));
        m_words.push_back(0);
    }
    std::vector<WORD> m_words;
    size_t m_countAt = 0;
};

INT_PTR CALLBACK TestDlgProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

struct BoxRecord {
    int count = 0;
    HWND owner = nullptr;
    std::wstring text, caption;
    UINT flags = 0;
};
BoxRecord g_box;

int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    ++g_box.count;
    g_box.owner = owner;
    g_box.text = text ? text : L"";
    g_box.caption = caption ? caption : L"";
    g_box.flags = flags;
    return IDOK;
}

class IniDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const DWORD edit = WS_BORDER | ES_AUTOHSCROLL, check = BS_AUTOCHECKBOX | WS_TABSTOP;
        const DWORD radio = BS_AUTORADIOBUTTON;
        DialogTemplate t;
        t.Add(0x0081, kEditA, edit | WS_TABSTOP, L"", 5);
        t.Add(0x0081, kEditB, edit, L"", 20);
        t.Add(0x0081, kEditC, edit, L"", 35);
        t.Add(0x0080, kCheckA, check, L"Check A", 50);
        t.Add(0x0080, kCheckB, check, L"Check B", 62);
        t.Add(0x0080, kRadioA1, radio | WS_GROUP, L"A1", 74);
        t.Add(0x0080, kRadioA2, radio, L"A2", 86);
        t.Add(0x0080, kRadioA3, radio, L"A3", 98);
        t.Add(0x0080, kRadioB1, radio | WS_GROUP, L"B1", 110);
        t.Add(0x0080, kRadioB2, radio, L"B2", 122);
        t.Add(0x0082, kLabel, WS_GROUP, L"end", 134);
        m_hDlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, TestDlgProc, 0);
        ASSERT_NE(m_hDlg, nullptr) << "CreateDialogIndirectParamW failed, error " << GetLastError();
        m_s.SetDialog(m_hDlg);
        g_box = BoxRecord();
        m_previousBox = SetMessageBoxHandler(RecordBox);
    }
    void TearDown() override {
        SetMessageBoxHandler(m_previousBox);
        if (m_hDlg) DestroyWindow(m_hDlg);
    }
    void SetText(int id, const std::wstring& text) { SetDlgItemTextW(m_hDlg, id, text.c_str()); }
    std::wstring Text(int id) {
        wchar_t buf[4096] = {};
        GetDlgItemTextW(m_hDlg, id, buf, 4096);
        return buf;
    }
    bool Checked(int id) { return SendDlgItemMessageW(m_hDlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetCheck(int id, bool on) {
        SendDlgItemMessageW(m_hDlg, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    HWND m_hDlg = nullptr;
    IniSettings m_s;  // only the dialog binding is used: no file behind it
    MessageBoxFn m_previousBox = nullptr;
};

}  // namespace

TEST_F(IniDialogTest, EditNumbersAreParsedStrictly) {
    int n = 99;
    SetText(kEditA, L"-12");
    ASSERT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 1);
    EXPECT_EQ(n, -12);

    SetText(kEditA, L"12a");
    EXPECT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Only digits, with optional minus sign, allowed in input field");
    EXPECT_EQ(n, -12);  // a refused text leaves the field alone
    for (const wchar_t* bad : {L"-", L"1-2", L"12 "}) {
        SetText(kEditA, bad);
        EXPECT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 0) << bad;
    }

    SetText(kEditA, L"");
    ASSERT_EQ(m_s.ReadEditInt(kEditA, n, true, 31), 1);
    EXPECT_EQ(n, 0);
    n = 5;
    EXPECT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"No text in input field");
    EXPECT_EQ(n, 5);

    // Out of 32 bits: refused, never clamped or wrapped.
    SetText(kEditA, L"2147483647");
    ASSERT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 1);
    EXPECT_EQ(n, INT_MAX);
    SetText(kEditA, L"-2147483648");
    ASSERT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 1);
    EXPECT_EQ(n, INT_MIN);
    SetText(kEditA, L"2147483648");
    EXPECT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 0);
    EXPECT_EQ(n, INT_MIN);

    unsigned u = 3;
    SetText(kEditB, L"7x");
    EXPECT_EQ(m_s.ReadEditUInt(kEditB, u, false, 31), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Only digits allowed in input field");
    SetText(kEditB, L"-5");  // would wrap to a huge number
    EXPECT_EQ(m_s.ReadEditUInt(kEditB, u, false, 31), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Only digits allowed in input field");
    EXPECT_EQ(u, 3u);
    SetText(kEditB, L"4294967295");
    ASSERT_EQ(m_s.ReadEditUInt(kEditB, u, false, 31), 1);
    EXPECT_EQ(u, UINT_MAX);
    SetText(kEditB, L"4294967296");
    EXPECT_EQ(m_s.ReadEditUInt(kEditB, u, false, 31), 0);
    EXPECT_EQ(u, UINT_MAX);
}

TEST_F(IniDialogTest, EditTextLimits) {
    std::wstring text = L"old";
    SetText(kEditA, std::wstring(32, L'x'));
    EXPECT_EQ(m_s.ReadEditText(kEditA, text, false, 31), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Maximum allowed input text is 31 characters");
    EXPECT_EQ(text, L"old");
    SetText(kEditA, std::wstring(31, L'x'));
    ASSERT_EQ(m_s.ReadEditText(kEditA, text, false, 31), 1);
    EXPECT_EQ(text, std::wstring(31, L'x'));

    // Past the 1,023-character buffer: refused rather than silently cut.
    SetText(kEditA, std::wstring(2000, L'y'));
    EXPECT_EQ(m_s.ReadEditString(kEditA, m_s.LabelText, false, 1023), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Maximum allowed input text is 1023 characters");
    SetText(kEditA, std::wstring(1023, L'y'));
    ASSERT_EQ(m_s.ReadEditString(kEditA, m_s.LabelText, false, 1023), 1);
    EXPECT_EQ(m_s.LabelText, std::wstring(1023, L'y'));

    // The error text is cut at 1,023 characters, however long its detail.
    unsigned u = 0;
    SetText(kEditB, std::wstring(1000, L'9'));
    EXPECT_EQ(m_s.ReadEditUInt(kEditB, u, false, 1023), 0);
    EXPECT_EQ(m_s.ErrorText().size(), 1023u);
    EXPECT_EQ(m_s.ErrorText().rfind(kPrefix, 0), 0u);

    // A control the dialog does not have.
    EXPECT_EQ(m_s.ReadEditText(999, text, true, 31), 0);
    EXPECT_EQ(m_s.WriteEditString(999, L"x"), 0);
}

TEST_F(IniDialogTest, WritesShowInTheControls) {
    ASSERT_EQ(m_s.WriteEditString(kEditA, L"Folder.jpg"), 1);
    ASSERT_EQ(m_s.WriteEditInt(kEditB, -5), 1);
    ASSERT_EQ(m_s.WriteEditUInt(kEditC, 4000000000u), 1);
    EXPECT_EQ(Text(kEditA), L"Folder.jpg");
    EXPECT_EQ(Text(kEditB), L"-5");
    EXPECT_EQ(Text(kEditC), L"4000000000");
    unsigned u = 0;
    ASSERT_EQ(m_s.ReadEditUInt(kEditC, u, false, 31), 1);
    EXPECT_EQ(u, 4000000000u);

    ASSERT_EQ(m_s.WriteCheck(kCheckA, 7, false), 1);
    ASSERT_EQ(m_s.WriteCheck(kCheckB, 1, true), 1);
    EXPECT_TRUE(Checked(kCheckA));
    EXPECT_FALSE(Checked(kCheckB));
    int f = -1;
    ASSERT_EQ(m_s.ReadCheck(kCheckA, f, false), 1);
    EXPECT_EQ(f, 1);
    ASSERT_EQ(m_s.ReadCheck(kCheckA, f, true), 1);
    EXPECT_EQ(f, 0);
    SetCheck(kCheckB, true);
    ASSERT_EQ(m_s.ReadCheck(kCheckB, f, false), 1);
    EXPECT_EQ(f, 1);
    ASSERT_EQ(m_s.WriteCheck(kCheckB, 0, false), 1);
    EXPECT_FALSE(Checked(kCheckB));

    EXPECT_EQ(m_s.WriteCheck(999, 1, false), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Error setting check state in dialog button");
}

TEST_F(IniDialogTest, RadioRangesFollowTheGroupOrder) {
    ASSERT_EQ(m_s.WriteRadioRange(2, kRadioA1, kRadioA3, 0, 1), 1);
    EXPECT_FALSE(Checked(kRadioA1));
    EXPECT_FALSE(Checked(kRadioA2));
    EXPECT_TRUE(Checked(kRadioA3));
    int n = -1;
    ASSERT_EQ(m_s.ReadRadioRange(n, kRadioA1, kRadioA3, 0, 1), 1);
    EXPECT_EQ(n, 2);

    // The other group is its own range: writing it leaves the first alone.
    ASSERT_EQ(m_s.WriteRadioRange(0, kRadioB1, kRadioB2, 0, 1), 1);
    EXPECT_TRUE(Checked(kRadioB1));
    EXPECT_TRUE(Checked(kRadioA3));
    unsigned u = 9;
    SetCheck(kRadioB1, false);
    SetCheck(kRadioB2, true);
    ASSERT_EQ(m_s.ReadRadioRange(u, kRadioB1, kRadioB2, 0, 1), 1);
    EXPECT_EQ(u, 1u);

    // base and step: the k-th button stands for base + k * step.
    ASSERT_EQ(m_s.WriteRadioRange(14, kRadioA1, kRadioA3, 10, 2), 1);
    EXPECT_TRUE(Checked(kRadioA3));
    EXPECT_FALSE(Checked(kRadioA1));
    ASSERT_EQ(m_s.WriteRadioRange(12, kRadioA1, kRadioA3, 10, 2), 1);
    ASSERT_EQ(m_s.ReadRadioRange(n, kRadioA1, kRadioA3, 10, 2), 1);
    EXPECT_EQ(n, 12);
}

// The dialog manager's group walk skips disabled and hidden buttons; every range here must count
// them in template order, or a page that disables its radios reads and saves the wrong choice.
TEST_F(IniDialogTest, RadioGroupsCountDisabledAndHiddenButtons) {
    EnableWindow(GetDlgItem(m_hDlg, kRadioA2), FALSE);
    ShowWindow(GetDlgItem(m_hDlg, kRadioA3), SW_HIDE);
    for (int value : {0, 1, 2}) {
        int n = -1;
        ASSERT_EQ(m_s.WriteRadioRange(value, kRadioA1, kRadioA3, 0, 1), 1);
        EXPECT_TRUE(Checked(kRadioA1 + value));
        EXPECT_EQ(ReadRadioGroup(m_hDlg, kRadioA1, kRadioA3), value);
        ASSERT_TRUE(WriteRadioGroup(m_hDlg, kRadioA1, kRadioA3, 2 - value));
        ASSERT_EQ(m_s.ReadRadioRange(n, kRadioA1, kRadioA3, 0, 1), 1);
        EXPECT_EQ(n, 2 - value);
        EXPECT_EQ(Checked(kRadioA1) + Checked(kRadioA2) + Checked(kRadioA3), 1);
    }
}

TEST_F(IniDialogTest, RadioRangeFailures) {
    int n = 77;
    // A value that no button stands for leaves all unchecked; reading then finds none.
    ASSERT_EQ(m_s.WriteRadioRange(5, kRadioA1, kRadioA3, 0, 1), 1);
    EXPECT_EQ(m_s.ReadRadioRange(n, kRadioA1, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Radio Button range has none checked");
    EXPECT_EQ(n, 77);

    EXPECT_EQ(m_s.ReadRadioRange(n, 999, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Error getting HWND for next control");
    EXPECT_EQ(m_s.WriteRadioRange(0, 999, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Error getting HWND for next control");

    // A last control that comes before the first is never met: the walk ends at the last child.
    SetCheck(kRadioB1, false);
    EXPECT_EQ(m_s.ReadRadioRange(n, kRadioB1, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Error getting HWND for next control");
    EXPECT_EQ(m_s.WriteRadioRange(1, kRadioB1, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Error getting HWND for next control");
}

TEST_F(IniDialogTest, EveryBindingNeedsADialog) {
    m_s.SetDialog(nullptr);
    const std::wstring noDialog = kPrefix + L"Attempt to access dialog controls with dialog not set";
    int n = 4;
    unsigned u = 4;
    std::wstring s = L"keep";
    SetText(kEditA, L"1");
    std::vector<int> results = {
        m_s.ReadEditText(kEditA, s, true, 31),  m_s.ReadEditInt(kEditA, n, true, 31),
        m_s.ReadEditUInt(kEditA, u, true, 31),  m_s.ReadEditString(kEditA, s, true, 31),
        m_s.WriteEditString(kEditA, L"x"),      m_s.WriteEditInt(kEditA, 1),
        m_s.WriteEditUInt(kEditA, 1),           m_s.ReadCheck(kCheckA, n, false),
        m_s.WriteCheck(kCheckA, 1, false),      m_s.ReadRadioRange(n, kRadioA1, kRadioA3, 0, 1),
        m_s.ReadRadioRange(u, kRadioA1, kRadioA3, 0, 1), m_s.WriteRadioRange(1, kRadioA1, kRadioA3, 0, 1)};
    for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], 0) << "operation " << i;
    EXPECT_EQ(m_s.ErrorText(), noDialog);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(u, 4u);
    EXPECT_EQ(s, L"keep");
    EXPECT_EQ(Text(kEditA), L"1");
    EXPECT_FALSE(Checked(kCheckA));
    EXPECT_FALSE(Checked(kRadioA2));
}

TEST_F(IniDialogTest, ShowErrorJoinsMessageErrorAndExtraUnderTheDialog) {
    int n = 0;
    SetText(kEditA, L"12a");
    ASSERT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 0);
    EXPECT_EQ(m_s.ShowError(L"Swirlo  -  Logging Options", L"Error reading settings from dialog fields"), 0);
    EXPECT_EQ(g_box.count, 1);
    EXPECT_EQ(g_box.owner, m_hDlg);
    EXPECT_EQ(g_box.caption, L"Swirlo  -  Logging Options");
    EXPECT_EQ(g_box.text, L"Error reading settings from dialog fields\r\n" + m_s.ErrorText() + L"\r\n");
    EXPECT_EQ(g_box.flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));

    EXPECT_EQ(m_s.ShowError(L"Cap", L"Message", L"More"), 0);
    EXPECT_EQ(g_box.text, L"Message\r\n" + m_s.ErrorText() + L"\r\nMore\r\n");
}
