// The copy of the chosen album-art images to the player, in a small progress dialog with Stop.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "albumart/core/AlbumFolderArray.h"
#include "framework/Controls.h"
#include "framework/MessagePump.h"
#include "framework/ZWin.h"

namespace swirlo {

// Copies sSource over sTarget so that sTarget is always a whole file: the bytes go to a temporary
// file in the target's folder first, which then replaces sTarget in one rename. On failure sTarget
// is as it was, the temporary file is gone and the last error says why. 1 or 0.
int ReplaceWithCopy(const std::wstring& sSource, const std::wstring& sTarget);

// The box that tells what the copy did, from how the progress dialog ended (1 OK, 0 after Stop
// or an error): its lines, and whether it is an error box. None after an error, whose box the
// copy has shown already.
std::vector<std::wstring> CopyOutcome(INT_PTR done, bool stopped, int copied, int total,
                                      const std::vector<std::wstring>& folders, bool& error);

class CopyProgressDialog : public ZDialog {
public:
    CopyProgressDialog(HINSTANCE hInst, const wchar_t* caption, ZWin* parent, const AlbumFolderArray& result,
                       const std::vector<int>& selection, std::wstring sSourceImage, std::wstring sTargetImage);

    int Copied() const { return m_nCopied; }
    // Targets left alone because a folder has the image's name.
    const std::vector<std::wstring>& Folders() const { return m_folders; }
    bool Stopped() const { return m_bStop; }

protected:
    BOOL OnInitDialog() override;
    int OnCancel() override { return 1; }  // Esc is Stop, the dialog ends by itself
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // 1 when every file was copied; 0 after an error box or a stop.
    int CopyAll();
    int CopyFailed(const wchar_t* message, const std::wstring& p2, const std::wstring& p3, bool winError);

    const AlbumFolderArray& m_arr;
    const std::vector<int>& m_selection;
    std::wstring m_sSrcImage;
    std::wstring m_sTgtImage;
    std::vector<std::wstring> m_folders;
    int m_nCopied = 0;
    bool m_bStop = false;
    bool m_bStarted = false;
    ProgressBar m_bar;
};

}  // namespace swirlo
