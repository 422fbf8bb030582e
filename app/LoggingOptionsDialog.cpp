#include "app/LoggingOptionsDialog.h"

#include "foundation/IniSettings.h"
#include "framework/Controls.h"
#include "resources/resource.h"

namespace swirlo {

LoggingOptionsDialog::LoggingOptionsDialog(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption,
                                           const wchar_t* subtitle, ZWin* parent, const AppPaths* paths)
    : ZDialog(hInst, caption, subtitle, parent, paths), m_pSettings(settings) {
    m_nResId = IDD_LOGGING_OPTIONS;
}

BOOL LoggingOptionsDialog::OnInitDialog() {
    SetIcon(IDI_APP);
    IniSettings& s = *m_pSettings;
    s.SetDialog(m_hWnd);
    bool ok = s.WriteCheck(IDC_LOG_SAVELOG, s.SaveLog, false) &&
              s.WriteCheck(IDC_LOG_FLUSH, s.FlushEachWrite && s.SaveLog, false) &&
              s.WriteCheck(IDC_LOG_ELAPSED, s.ShowElapsed, false) && s.WriteCheck(IDC_LOG_MATCHLOG, s.MatchLog, false) &&
              s.WriteCheck(IDC_LOG_DETAIL, s.MatchLogDetail && s.MatchLog, false) &&
              s.WriteCheck(IDC_LOG_MATCHFLUSH, s.MatchLogFlush && s.MatchLog, false);
    if (!ok) s.ShowError(ErrorCaption().c_str(), L"Error applying ini file settings to dialog");
    EnableItem(m_hWnd, IDC_LOG_FLUSH, s.SaveLog != 0);
    EnableItem(m_hWnd, IDC_LOG_DETAIL, s.MatchLog != 0);
    EnableItem(m_hWnd, IDC_LOG_MATCHFLUSH, s.MatchLog != 0);
    if (m_pPaths && !m_pPaths->gsAppDocsDirSlash.empty()) {
        const std::wstring& docs = m_pPaths->gsAppDocsDirSlash;
        SetItemText(m_hWnd, IDC_LOG_FOLDER, docs.substr(0, docs.size() - 1));
    }
    return ZDialog::OnInitDialog();
}

int LoggingOptionsDialog::OnOK() {
    IniSettings& s = *m_pSettings;
    if (!(s.ReadCheck(IDC_LOG_SAVELOG, s.SaveLog, false) && s.ReadCheck(IDC_LOG_FLUSH, s.FlushEachWrite, false) &&
          s.ReadCheck(IDC_LOG_ELAPSED, s.ShowElapsed, false) && s.ReadCheck(IDC_LOG_MATCHLOG, s.MatchLog, false) &&
          s.ReadCheck(IDC_LOG_DETAIL, s.MatchLogDetail, false) &&
          s.ReadCheck(IDC_LOG_MATCHFLUSH, s.MatchLogFlush, false)))
        return s.ShowError(ErrorCaption().c_str(), L"Error reading settings from dialog fields");
    if (!s.SaveSection(IniSect::LoggingSettings)) return s.ShowError(ErrorCaption().c_str(), L"Error saving ini settings");
    EndWithOK();
    return 1;
}

INT_PTR LoggingOptionsDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_LOG_SAVELOG: {
            bool on = IsChecked(m_hWnd, IDC_LOG_SAVELOG);
            SetChecked(m_hWnd, IDC_LOG_FLUSH, false);
            EnableItem(m_hWnd, IDC_LOG_FLUSH, on);
            return TRUE;
        }
        case IDC_LOG_MATCHLOG: {
            bool on = IsChecked(m_hWnd, IDC_LOG_MATCHLOG);
            for (int id : {IDC_LOG_DETAIL, IDC_LOG_MATCHFLUSH}) {
                SetChecked(m_hWnd, id, false);
                EnableItem(m_hWnd, id, on);
            }
            return TRUE;
        }
        case IDHELP:
            ShowHelpTopic(HelpTopic());
            return TRUE;
        }
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
