// The logging options dialog: the "Logging Settings" section, with the sub-options of each log
// enabled only while that log is on.
#pragma once
#include "framework/ZWin.h"

namespace swirlo {

class IniSettings;

class LoggingOptionsDialog : public ZDialog {
public:
    LoggingOptionsDialog(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, const wchar_t* subtitle,
                         ZWin* parent, const AppPaths* paths);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    int OnOK() override;
    const wchar_t* HelpTopic() const override { return L"logging.htm"; }

private:
    IniSettings* m_pSettings;
};

}  // namespace swirlo
