// The "Copy Album Art to Player" page: the two parent folders and image names, the artist lists
// that show a wrong choice at once, the search for the player's drive, and the Find button that
// runs the matching, the copy-selection dialog and the copy. Also the Album Art Options dialog.
#pragma once
#include <string>

#include "albumart/core/AlbumFolderArray.h"
#include "albumart/core/MatchContext.h"
#include "framework/Controls.h"
#include "framework/MessagePump.h"
#include "framework/TabPage.h"

namespace swirlo {

class IniSettings;

class AlbumArtPage : public TabPage, public MatchContext {
public:
    AlbumArtPage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent,
                 const AppPaths* paths);

    bool IsBusy() const override { return m_bRunning; }
    void CloseDown() override;
    void RefreshFromSettings() override { ApplyFolderDefaults(); }

    void ApplyFolderDefaults();
    // The first removable drive that can be the player's; with a top-level folder of the configured
    // name the result is that folder. False when no drive qualifies. Only the drives of the mask
    // (bit 0 for A:) are looked at.
    bool FindFirstPlayerDrive(std::wstring& path, DWORD driveMask = ~DWORD(0));
    int ReadImageNameChoices(bool silent);
    const std::wstring& SourceFolder() const { return m_sSourceDir; }
    const std::wstring& TargetFolder() const { return m_sTargetDir; }

    // MatchContext
    int GetProgress() const override { return m_bar.Pos(); }
    void SetProgress(int pos) override { m_bar.SetPos(pos); }
    void PumpMessages() override;
    bool IsCancelled() const override { return m_bStop; }
    ErrorRecord& Error() override { return ZWin::Error(); }
    LogSink* Log() override { return &m_log; }
    void SetStatus(const std::wstring& text) override;
    unsigned long TickCount() const override { return GetTickCount(); }
    void ShowErrorBox(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                      const wchar_t* p4 = nullptr) override {
        ZWin::ShowErrorBox(p1, p2, p3, p4);
    }

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void StopRun() override { m_bStop = true; }

private:
    void FillArtistList(const std::wstring& folder, int listId);
    // The player's folder as the page finds it, or empty for none; shown and listed.
    void ProposeTarget(const std::wstring& folder);
    // A volume arrived or went (WM_DEVICECHANGE).
    void OnDeviceChange(WPARAM event, LPARAM data);
    void BrowseSource();
    void BrowseTarget();
    void FindOrStop();
    void ReportUnreadFolders(const std::wstring& logPath);
    void RunCopySelection(AlbumFolderArray& result);
    void SetSearchControls(bool enabled);
    std::wstring ImageName(unsigned choice, const std::wstring& other) const;

    IniSettings* m_pSettings;
    std::wstring m_sSourceDir;
    std::wstring m_sTargetDir;
    std::wstring m_sMyMusic;
    std::wstring m_sSrcImage;
    std::wstring m_sTgtImage;
    bool m_bUserTarget = false;     // the target was chosen with Browse: never replaced by the page
    bool m_bDevicesChanged = false;  // a volume came or went during a search
    bool m_bRunning = false;
    bool m_bStop = false;
    ProgressBar m_bar;
    MessagePump m_pump;
};

// The "Album Art Options" dialog over the "Album Art Settings" section.
class AlbumArtOptionsDialog : public ZDialog {
public:
    AlbumArtOptionsDialog(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent,
                          const AppPaths* paths);

protected:
    BOOL OnInitDialog() override;
    int OnOK() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    IniSettings* m_pSettings;
};

// The user's music folder from the shell's folder settings; false when it cannot be read.
bool ReadMyMusicFolder(ZWin& win, std::wstring& folder, bool showBox);

}  // namespace swirlo
