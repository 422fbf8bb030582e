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
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;

namespace {

enum : int {
    kEditA = 101, kEditB = 102,
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
        // Extended style, item count, position and size, no menu, the standard class.
        m_words.insert(m_words.end(), {0, 0, 0, 0, 0, 240, 160, 0, 0});
        AddText(L"Settings test");
    }
    void Add(WORD atom, int id, DWORD style, const wchar_t* text, short y) {
        if (m_words.size() % 2) m_words.push_back(0);
        AddDword(style | WS_CHILD | WS_VISIBLE);
        // Extended style, position and size, identifier, the class by its atom.
        m_words.insert(m_words.end(), {0, 0, 5, static_cast<WORD>(y), 200, 12, static_cast<WORD>(id), 0xFFFF, atom});
        AddText(text);
        m_words.push_back(0);  // no creation data
        ++m_words[kCountAt];
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
    static constexpr size_t kCountAt = 4;  // after the style and extended style
    std::vector<WORD> m_words;
};

INT_PTR CALLBACK TestDlgProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

class IniDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const DWORD edit = WS_BORDER | ES_AUTOHSCROLL, check = BS_AUTOCHECKBOX | WS_TABSTOP;
        const DWORD radio = BS_AUTORADIOBUTTON;
        DialogTemplate t;
        t.Add(0x0081, kEditA, edit | WS_TABSTOP, L"", 5);
        t.Add(0x0081, kEditB, edit, L"", 20);
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
    }
    void TearDown() override {
        if (m_hDlg) DestroyWindow(m_hDlg);
    }
    void SetText(int id, const std::wstring& text) { SetDlgItemTextW(m_hDlg, id, text.c_str()); }
    bool Checked(int id) { return SendDlgItemMessageW(m_hDlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    HWND m_hDlg = nullptr;
    IniSettings m_s;  // only the dialog binding is used: no file behind it
};

}  // namespace

// Texts of a number field: taken exactly, or refused with the field left as it was (never clamped,
// wrapped or cut).
TEST_F(IniDialogTest, EditNumbersAreParsedStrictly) {
    const std::wstring digitsMinus = kPrefix + L"Only digits, with optional minus sign, allowed in input field",
                       noText = kPrefix + L"No text in input field";
    struct Row { const wchar_t* text; bool blankOk; int ok; int value{}; const std::wstring* error = nullptr; };
    const Row rows[] = {
        {L"-12", false, 1, -12}, {L"12a", false, 0, 0, &digitsMinus}, {L"-", false, 0}, {L"1-2", false, 0},
        {L"12 ", false, 0}, {L"", true, 1, 0}, {L"", false, 0, 0, &noText}, {L"2147483647", false, 1, INT_MAX},
        {L"-2147483648", false, 1, INT_MIN}, {L"2147483648", false, 0}, {L"-2147483649", false, 0},
    };
    for (const Row& r : rows) {
        int n = 99;
        SetText(kEditA, r.text);
        EXPECT_EQ(m_s.ReadEditInt(kEditA, n, r.blankOk, 31), r.ok) << r.text;
        EXPECT_EQ(n, r.ok ? r.value : 99) << r.text;
        if (r.error) { EXPECT_EQ(m_s.ErrorText(), *r.error); }
    }
}

// Longer than the limit or than the 1,023-character buffer: refused, never silently cut; the error
// text itself is cut at 1,023 characters, however long its detail.
TEST_F(IniDialogTest, EditTextLimits) {
    for (int max : {31, 1023})
        for (int extra : {1, 0}) {
            std::wstring text = L"old";
            SetText(kEditA, std::wstring(max + extra, L'x'));
            EXPECT_EQ(m_s.ReadEditString(kEditA, text, false, max), 1 - extra) << max;
            EXPECT_EQ(text, extra ? L"old" : std::wstring(max, L'x'));
            if (extra) { EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Maximum allowed input text is " + std::to_wstring(max) + L" characters"); }
        }
    int n = 0;
    SetText(kEditB, std::wstring(1000, L'9'));
    EXPECT_EQ(m_s.ReadEditInt(kEditB, n, false, 1023), 0);
    EXPECT_EQ(m_s.ErrorText().size(), 1023u);
}

TEST_F(IniDialogTest, WritesShowInTheControls) {
    // A check box shows a nonzero field as checked, or its inverse; reading gives 1 or 0.
    int f = -1, g = -1;
    ASSERT_EQ((std::vector<int>{m_s.WriteEditString(kEditA, L"Folder.jpg"), m_s.WriteCheck(kCheckA, 7, false),
                                m_s.WriteCheck(kCheckB, 1, true), m_s.ReadCheck(kCheckA, f, false), m_s.ReadCheck(kCheckA, g, true)}),
              std::vector<int>(5, 1));  // in this order
    wchar_t text[32] = L"";
    GetDlgItemTextW(m_hDlg, kEditA, text, 32);
    EXPECT_STREQ(text, L"Folder.jpg");
    EXPECT_EQ((std::vector<int>{Checked(kCheckA), Checked(kCheckB), f, g}), (std::vector<int>{1, 0, 1, 0}));
}

// The k-th button of a group stands for base + k * step, and each group is its own range (writing
// one leaves the other alone). The dialog manager's group walk skips disabled and hidden buttons;
// every range here must count them in template order, or a page that disables its radios reads and
// saves the wrong choice.
TEST_F(IniDialogTest, RadioRangesFollowTheGroupOrderCountingDisabledAndHiddenButtons) {
    ASSERT_EQ(m_s.WriteRadioRange(1, kRadioB1, kRadioB2, 0, 1), 1);
    EnableWindow(GetDlgItem(m_hDlg, kRadioA2), FALSE);
    ShowWindow(GetDlgItem(m_hDlg, kRadioA3), SW_HIDE);
    for (int k : {0, 1, 2}) {
        int n = -1;
        ASSERT_EQ(m_s.WriteRadioRange(10 + 2 * k, kRadioA1, kRadioA3, 10, 2), 1);
        EXPECT_TRUE(Checked(kRadioA1 + k));
        EXPECT_EQ(ReadRadioGroup(m_hDlg, kRadioA1, kRadioA3), k);
        ASSERT_TRUE(WriteRadioGroup(m_hDlg, kRadioA1, kRadioA3, 2 - k));
        ASSERT_EQ(m_s.ReadRadioRange(n, kRadioA1, kRadioA3, 10, 2), 1);
        EXPECT_EQ(n, 10 + 2 * (2 - k));
        EXPECT_EQ(Checked(kRadioA1) + Checked(kRadioA2) + Checked(kRadioA3), 1);
    }
    unsigned u = 9;
    ASSERT_EQ(m_s.ReadRadioRange(u, kRadioB1, kRadioB2, 0, 1), 1);
    EXPECT_EQ(u, 1u);
}

TEST_F(IniDialogTest, RadioRangeFailures) {
    int n = 77;
    // A value that no button stands for leaves all unchecked; reading then finds none.
    ASSERT_EQ(m_s.WriteRadioRange(5, kRadioA1, kRadioA3, 0, 1), 1);
    EXPECT_EQ(m_s.ReadRadioRange(n, kRadioA1, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Radio Button range has none checked");
    EXPECT_EQ(n, 77);

    // A last control before the first in the template is never met: the walk gives up at the
    // template's end, never loops.
    EXPECT_EQ(m_s.ReadRadioRange(n, kRadioB1, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Error getting HWND for next control");
    EXPECT_EQ(m_s.WriteRadioRange(1, kRadioB1, kRadioA3, 0, 1), 0);
    EXPECT_EQ(m_s.ErrorText(), kPrefix + L"Error getting HWND for next control");
}

TEST_F(IniDialogTest, ShowErrorJoinsMessageErrorAndExtraUnderTheDialog) {
    test::MessageBoxRecorder rec;
    int n = 0;
    SetText(kEditA, L"12a");
    ASSERT_EQ(m_s.ReadEditInt(kEditA, n, false, 31), 0);
    EXPECT_EQ((std::vector<int>{m_s.ShowError(L"Cap", L"Message", L"More"), m_s.ShowError(L"Cap", L"Error reading")}),
              (std::vector<int>{0, 0}));  // in this order
    ASSERT_EQ(rec.boxes.size(), 2u);
    EXPECT_EQ(rec.boxes[0].owner, m_hDlg);
    EXPECT_EQ(rec.boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(rec.boxes[0].text + rec.boxes[1].text,
              L"Message\r\n" + m_s.ErrorText() + L"\r\nMore\r\nError reading\r\n" + m_s.ErrorText() + L"\r\n");
}
