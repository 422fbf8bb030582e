// A page of the main window's tab control: a modeless child dialog that can be busy (a run in
// progress), learns whether it is the visible page, and saves its tab section when told to close.
// A page never ends like a modal dialog: Enter and Esc inside it do nothing to the page, it is not
// centred, and it is destroyed with its own Destroy. Each page keeps its own log.
#pragma once
#include "foundation/LogFile.h"
#include "foundation/WindowMessages.h"
#include "framework/ZWin.h"

namespace swirlo {

class TabPage : public ZDialog {
public:
    using ZDialog::ZDialog;
    ~TabPage() override { Destroy(); }

    virtual bool IsBusy() const { return false; }
    virtual void SetVisiblePage(bool visible) { (void)visible; }
    // Reads the page's controls into its tab section of the settings and saves it.
    virtual void CloseDown() {}
    // The settings changed under the page (an options dialog closed with OK).
    virtual void RefreshFromSettings() {}

    // The window is closing during a run: the run is stopped and shows nothing more (no box may come
    // after the window is gone, and none is waited for); the parent hears when the run has ended.
    void StopForClose() {
        m_bClosing = true;
        SetQuiet(true);
        StopRun();
    }
    bool IsClosing() const { return m_bClosing; }
    LogFile* OwnLog() override { return &m_log; }

    void Destroy() {
        if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }

protected:
    virtual void StopRun() {}
    // Every run ends here, after its busy flag is cleared.
    void RunEnded() {
        if (m_bClosing && m_hParentWnd) PostMessageW(m_hParentWnd, WM_APP_PAGE_IDLE, 0, 0);
    }

    // Pages fill their controls here; the title and centring of a modal dialog do not apply.
    BOOL OnInitDialog() override { return TRUE; }
    int OnOK() override { return 1; }
    int OnCancel() override { return 1; }

    LogFile m_log{m_pPaths, m_sCaption};

private:
    bool m_bClosing = false;
};

}  // namespace swirlo
