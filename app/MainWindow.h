// The main window: a tab control with the two pages, and the "Settings" and "Help" labels that open
// their menus.
#pragma once
#include <memory>

#include "framework/Handles.h"
#include "framework/TabPage.h"

namespace swirlo {

class IniSettings;

class MainWindow : public ZDialog {
public:
    MainWindow(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, const AppPaths* paths);
    ~MainWindow() override;

    TabPage* ShufflePage() { return m_pShufflePage.get(); }
    TabPage* AlbumArtPage() { return m_pAlbumArtPage.get(); }
    int VisiblePage() const { return m_nVisiblePage; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    int OnOK() override;
    int OnCancel() override;
    void OnDestroy() override;
    const wchar_t* HelpTopic() const override;

private:
    enum Label { kSettings = 0, kHelp = 1 };

    void CreatePages();
    void InsertTabs();
    void SizeTabsAndPages();
    void ShowPage(int index);
    bool AnyPageBusy() const;
    void OnNextTab(int step);
    void OnLabelClick(Label which, bool fromKeyboard);
    void SetHover(Label which, bool on);
    void RunCommand(UINT id);
    void CloseDown();
    static LRESULT CALLBACK LabelSubclass(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);

    IniSettings* m_pSettings;
    std::unique_ptr<TabPage> m_pShufflePage;
    std::unique_ptr<TabPage> m_pAlbumArtPage;
    HWND m_hTab = nullptr;
    HWND m_hLabel[2] = {nullptr, nullptr};
    HWND m_hFrame[2] = {nullptr, nullptr};
    RECT m_rcLabel[2] = {};
    RECT m_rcDisplay = {};
    int m_nVisiblePage = 0;
    HWND m_hVisiblePage = nullptr;
    bool m_bHover[2] = {false, false};
    bool m_bMenuOpen[2] = {false, false};
    DWORD m_dwMenuClosed[2] = {0, 0};  // message time at which each menu last closed
    bool m_bFirstShow = true;
    bool m_bClosePending = false;  // closed during a job: closes when the job has ended
    UniqueBrush m_hbrHighlight;
    HHOOK m_hKeyHook = nullptr;
};

}  // namespace swirlo
