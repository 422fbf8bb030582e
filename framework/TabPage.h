// A page of the main window's tab control: a modeless child dialog that can be busy (a run in
// progress), learns whether it is the visible page, and saves its tab section when told to close.
#pragma once
#include "framework/ZWin.h"

namespace swirlo {

class TabPage : public ZDialog {
public:
    using ZDialog::ZDialog;
    virtual bool IsBusy() const { return false; }
    virtual void SetVisiblePage(bool visible) { (void)visible; }
    // Reads the page's controls into its tab section of the settings and saves it.
    virtual void CloseDown() {}
    // The settings changed under the page (an options dialog closed with OK).
    virtual void RefreshFromSettings() {}
};

}  // namespace swirlo
