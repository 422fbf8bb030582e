#include "albumart/page/AlbumArtPage.h"

#include <dbt.h>

#include <cwctype>
#include <memory>
#include <new>

#include "albumart/page/CopyImages.h"
#include "albumart/page/CopySelectDialog.h"
#include "albumart/core/FolderScan.h"
#include "albumart/core/MatchFolders.h"
#include "foundation/IniSettings.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "framework/Handles.h"
#include "resources/resource.h"

namespace swirlo {

namespace {

const wchar_t kFindCaption[] = L"Find matching album art subfolders in source && target";
const wchar_t kConnectPlayer[] = L"Connect player in UMS (or MSC) mode && click Browse button to select";
const wchar_t* const kImageNames[] = {L"Folder.jpg", L"AlbumArt.jpg", L"Album Art.jpg"};
const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr ULONGLONG kMinPlayerBytes = 100000000;
constexpr int kMaxOtherName = 80;
constexpr int kShellDrivesFolder = 17;

// "." and "..", not names such as ".x" or "...".
bool IsDotEntry(const wchar_t* name) {
    std::size_t n = wcslen(name);
    if (n == 0 || n >= 3 || name[0] != L'.') return false;
    return n == 1 || name[1] == L'.';
}

// A drive that can be the player: a removable drive, writable, of at least 100,000,000 bytes.
bool IsPlayerDrive(const wchar_t* root) {
    if (wcslen(root) != 3 || root[1] != L':' || root[2] != L'\\') return false;
    if (GetDriveTypeW(root) != DRIVE_REMOVABLE) return false;
    DWORD flags = 0;
    if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return false;
    if (flags & FILE_READ_ONLY_VOLUME) return false;
    ULARGE_INTEGER total{};
    if (!GetDiskFreeSpaceExW(root, nullptr, &total, nullptr)) return false;
    return total.QuadPart >= kMinPlayerBytes;
}

// The controls that are disabled while a search runs.
const int kSearchControls[] = {
    IDC_AA_SRC_GROUP, IDC_AA_SRC_LABEL, IDC_AA_SRC_FOLDER, IDC_AA_SRC_BROWSE, IDC_AA_SRC_NAME_LABEL,
    IDC_AA_SRC_JPG0, IDC_AA_SRC_JPG1, IDC_AA_SRC_JPG2, IDC_AA_SRC_JPG3, IDC_AA_SRC_OTHER,
    IDC_AA_TGT_GROUP, IDC_AA_TGT_LABEL, IDC_AA_TGT_FOLDER, IDC_AA_TGT_BROWSE, IDC_AA_TGT_NAME_LABEL,
    IDC_AA_TGT_JPG0, IDC_AA_TGT_JPG1, IDC_AA_TGT_JPG2, IDC_AA_TGT_JPG3, IDC_AA_TGT_OTHER,
    IDC_AA_VERIFY_GROUP, IDC_AA_VERIFY_NOTE, IDC_AA_SRC_LIST_LABEL, IDC_AA_SRC_LIST, IDC_AA_TGT_LIST_LABEL,
    IDC_AA_TGT_LIST};

// The shell's folder picker; 0 when nothing was chosen, with the failure, if any, in error.
int BrowseForFolder(HWND owner, ErrorRecord& error, std::wstring& pathOut, const wchar_t* title,
                    const wchar_t* startFolder, int rootFolderId) {
    std::wstring chosen;
    int r = ShowFolderPicker(owner, title, startFolder, rootFolderId, chosen);
    if (r == 1) {
        pathOut = chosen;
        return 1;
    }
    if (r == -1) error.SetErrorParts(L"SHGetFolderLocation failed");
    else if (r == -2) error.SetErrorParts(L"SHGetPathFromIDList error getting full path", WinErrorText(0).c_str());
    return 0;
}

}  // namespace

bool ReadMyMusicFolder(ZWin& win, std::wstring& folder, bool showBox) {
    folder.clear();
    ErrorRecord error;
    if (ReadRegString(HKEY_CURRENT_USER, kShellFolders, L"My Music", folder, MAX_PATH * sizeof(wchar_t), error))
        return true;
    folder.clear();
    std::wstring why = error.Take(true);
    if (showBox) win.ShowErrorBox(L"Error getting location of \"My Music\" folder", why.c_str());
    return false;
}

AlbumArtPage::AlbumArtPage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent,
                           const AppPaths* paths)
    : TabPage(hInst, caption, nullptr, parent, paths), m_pSettings(settings) {
    m_nResId = IDD_ALBUMART_PAGE;
    SetErrorSuffix(L" - Error");
    m_log.SetBoxSuffix(L" - Error");  // the boxes about the comparison log too
}

BOOL AlbumArtPage::OnInitDialog() {
    m_log.SetOwner(m_hWnd);
    if (m_pSettings) {
        m_pSettings->SetDialog(m_hWnd);
        bool ok = m_pSettings->WriteRadioRange(static_cast<int>(m_pSettings->SourceJpg), IDC_AA_SRC_JPG0,
                                               IDC_AA_SRC_JPG3, 0, 1) &&
                  m_pSettings->WriteRadioRange(static_cast<int>(m_pSettings->TargetJpg), IDC_AA_TGT_JPG0,
                                               IDC_AA_TGT_JPG3, 0, 1) &&
                  m_pSettings->WriteEditString(IDC_AA_SRC_OTHER, m_pSettings->SourceJpgOther) &&
                  m_pSettings->WriteEditString(IDC_AA_TGT_OTHER, m_pSettings->TargetJpgOther);
        if (!ok) SetErrorParts(L"Error applying ini file settings to dialog", m_pSettings->ErrorText().c_str());
    }
    SendDlgItemMessageW(m_hWnd, IDC_AA_SRC_OTHER, EM_LIMITTEXT, kMaxOtherName, 0);
    SendDlgItemMessageW(m_hWnd, IDC_AA_TGT_OTHER, EM_LIMITTEXT, kMaxOtherName, 0);
    ReadMyMusicFolder(*this, m_sMyMusic, true);
    ApplyFolderDefaults();
    m_bar.Attach(m_hWnd, IDC_AA_PROGRESS);
    return TRUE;
}

void AlbumArtPage::ApplyFolderDefaults() {
    if (!m_hWnd) return;
    std::wstring source;
    if (m_pSettings) {
        if (m_pSettings->ArtSrcDir == 1) source = m_sMyMusic;
        else source = m_pSettings->LastSourceFolder.empty() ? m_sMyMusic : m_pSettings->LastSourceFolder;
    }
    if (!source.empty()) {
        m_sSourceDir = source;
        SetItemText(m_hWnd, IDC_AA_SRC_FOLDER, source);
        if (m_pSettings) m_pSettings->LastSourceFolder = source;
    } else {
        SetItemText(m_hWnd, IDC_AA_SRC_FOLDER, L"Click Browse button to select");
    }
    FillArtistList(m_sSourceDir, IDC_AA_SRC_LIST);
    std::wstring player;
    FindFirstPlayerDrive(player);
    ProposeTarget(player);
}

void AlbumArtPage::ProposeTarget(const std::wstring& folder) {
    m_sTargetDir = folder;
    m_bUserTarget = false;
    SetItemText(m_hWnd, IDC_AA_TGT_FOLDER, folder.empty() ? kConnectPlayer : folder.c_str());
    FillArtistList(folder, IDC_AA_TGT_LIST);
}

void AlbumArtPage::OnDeviceChange(WPARAM event, LPARAM data) {
    const auto* hdr = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if ((event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) || !hdr ||
        hdr->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return;
    // A search works on the folders it started with; the drives are looked at again when it ends.
    if (m_bRunning) {
        m_bDevicesChanged = true;
        return;
    }
    DWORD drives = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data)->dbcv_unitmask;
    wchar_t letter = m_sTargetDir.size() >= 2 && m_sTargetDir[1] == L':' ? towupper(m_sTargetDir[0]) : 0;
    bool targetGone = event == DBT_DEVICEREMOVECOMPLETE && letter >= L'A' && letter <= L'Z' &&
                      (drives >> (letter - L'A') & 1);
    if (m_bUserTarget) {
        if (targetGone) FillArtistList(m_sTargetDir, IDC_AA_TGT_LIST);  // shows that the folder is gone
        return;
    }
    std::wstring player;
    if (event == DBT_DEVICEARRIVAL) {
        if (!FindFirstPlayerDrive(player, drives)) return;  // not a player: the proposal stands
    } else if (targetGone) {
        FindFirstPlayerDrive(player, ~drives);  // another player, or none: the page says so
    } else {
        return;
    }
    ProposeTarget(player);
}

bool AlbumArtPage::FindFirstPlayerDrive(std::wstring& path, DWORD driveMask) {
    path.clear();
    std::wstring folder = L"MUSIC";
    if (m_pSettings && m_pSettings->ArtTgtDir == 1) folder = m_pSettings->ArtTgtDirOther;
    wchar_t drives[512] = {};
    DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(drives) - 1), drives);
    if (n == 0 || n >= std::size(drives)) {
        SetErrorParts(L"Error searching for drives");
        return false;
    }
    // Empty card readers would otherwise ask the user to insert a disk.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const wchar_t* root = drives; *root; root += wcslen(root) + 1) {
        wchar_t letter = towupper(root[0]);
        if (letter < L'A' || letter > L'Z' || !(driveMask >> (letter - L'A') & 1) || !IsPlayerDrive(root)) continue;
        if (path.empty()) path = root;
        if (folder.empty()) continue;
        std::wstring candidate = std::wstring(root) + folder;
        WIN32_FIND_DATAW fd;
        UniqueFind find(FindFirstFileW(candidate.c_str(), &fd));
        if (find && (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            path = std::wstring(root) + fd.cFileName;  // as the file system spells it
            break;
        }
    }
    SetErrorMode(oldMode);
    return !path.empty();
}

void AlbumArtPage::FillArtistList(const std::wstring& folder, int listId) {
    HWND list = GetDlgItem(m_hWnd, listId);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (folder.empty()) return;
    int added = 0;
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileW(FileApiPath(JoinPath(folder, L"*")).c_str(), &fd));
    if (find) {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(fd.cFileName)) continue;
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fd.cFileName));
            ++added;
        } while (FindNextFileW(find.Get(), &fd));
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    if (added == 0) {
        // Added after the sort: a sorted list box would still keep them last, "-" sorts before letters.
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"--> No subfolders!"));
        SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(L"--> Wrong parent folder selected?"));
    }
}

void AlbumArtPage::BrowseSource() {
    std::wstring chosen;
    if (BrowseForFolder(m_hWnd, Error(), chosen, L"Select source folder on computer to copy images from",
                        m_sSourceDir.empty() ? nullptr : m_sSourceDir.c_str(), 0)) {
        m_sSourceDir = chosen;
        SetItemText(m_hWnd, IDC_AA_SRC_FOLDER, chosen);
        FillArtistList(chosen, IDC_AA_SRC_LIST);
        if (m_pSettings) m_pSettings->LastSourceFolder = chosen;
        return;
    }
    std::wstring why = TakeWindowError(true);
    if (!why.empty()) ZWin::ShowErrorBox(why.c_str());
}

void AlbumArtPage::BrowseTarget() {
    std::wstring start = m_sTargetDir;
    if (start.empty()) FindFirstPlayerDrive(start);
    std::wstring chosen;
    if (BrowseForFolder(m_hWnd, Error(), chosen, L"Select target folder on player to copy images to",
                        start.empty() ? nullptr : start.c_str(), kShellDrivesFolder)) {
        m_sTargetDir = chosen;
        m_bUserTarget = true;
        SetItemText(m_hWnd, IDC_AA_TGT_FOLDER, chosen);
        FillArtistList(chosen, IDC_AA_TGT_LIST);
        return;
    }
    std::wstring why = TakeWindowError(true);
    if (!why.empty()) ZWin::ShowErrorBox(why.c_str());
}

int AlbumArtPage::ReadImageNameChoices(bool silent) {
    if (!m_pSettings || !m_hWnd) return 0;
    IniSettings& s = *m_pSettings;
    s.SetDialog(m_hWnd);
    if (!s.ReadRadioRange(s.SourceJpg, IDC_AA_SRC_JPG0, IDC_AA_SRC_JPG3, 0, 1) ||
        !s.ReadRadioRange(s.TargetJpg, IDC_AA_TGT_JPG0, IDC_AA_TGT_JPG3, 0, 1)) {
        SetErrorParts(L"Error reading radio buttons", s.ErrorText().c_str());
        return 0;
    }
    struct Side {
        unsigned& choice;
        std::wstring& other;
        int edit;
        const wchar_t* setError;
        const wchar_t* emptyMessage;
    } sides[] = {{s.SourceJpg, s.SourceJpgOther, IDC_AA_SRC_OTHER, L"Error setting user specified source album art filename",
                  L"\"Other\" filename selected for source album art filename"},
                 {s.TargetJpg, s.TargetJpgOther, IDC_AA_TGT_OTHER, L"Error setting user specified album art target filename",
                  L"\"Other\" filename selected for album art target filename"}};
    for (Side& side : sides) {
        if (side.choice != 3) {
            side.other.clear();
            continue;
        }
        std::wstring text;
        if (!s.ReadEditText(side.edit, text, true, 99)) {
            SetErrorParts(side.setError, s.ErrorText().c_str());
            return 0;
        }
        if (!text.empty()) {
            side.other = text;
        } else if (!silent) {
            ZWin::ShowErrorBox(side.emptyMessage, L"but no filename entered in its input field.");
            return 0;
        } else {
            side.choice = 0;
            side.other.clear();
        }
    }
    s.SaveSection(IniSect::AlbumArtTab);
    return 1;
}

void AlbumArtPage::CloseDown() {
    if (!m_hWnd) return;
    ReadImageNameChoices(true);
}

void AlbumArtPage::PumpMessages() { m_pump.Pump(); }

void AlbumArtPage::SetStatus(const std::wstring& text) { SetItemText(m_hWnd, IDC_AA_STATUS, text); }

void AlbumArtPage::SetSearchControls(bool enabled) {
    for (int id : kSearchControls) EnableItem(m_hWnd, id, enabled);
    ShowItem(m_hWnd, IDC_AA_PROGRESS, !enabled);
    ShowItem(m_hWnd, IDC_AA_STATUS, !enabled);
    SetItemText(m_hWnd, IDC_AA_FIND, enabled ? kFindCaption : L"Stop Search");
}

std::wstring AlbumArtPage::ImageName(unsigned choice, const std::wstring& other) const {
    return choice < 3 ? kImageNames[choice] : other;
}

void AlbumArtPage::FindOrStop() {
    if (m_bRunning) {
        m_bStop = true;
        return;
    }
    m_bRunning = true;
    if (m_sSourceDir.empty() || m_sTargetDir.empty()) {
        ZWin::ShowErrorBox(L"One or both of Source and Target folders are not specified", L"Click the Browse button to select");
        m_bRunning = false;
        return;
    }
    if (!ReadImageNameChoices(false)) {
        m_bRunning = false;
        return;
    }
    // The player's contents may have changed since the lists were read.
    FillArtistList(m_sSourceDir, IDC_AA_SRC_LIST);
    FillArtistList(m_sTargetDir, IDC_AA_TGT_LIST);
    m_sSrcImage = ImageName(m_pSettings->SourceJpg, m_pSettings->SourceJpgOther);
    m_sTgtImage = ImageName(m_pSettings->TargetJpg, m_pSettings->TargetJpgOther);
    m_bStop = false;
    SetStatus(L"Starting search ...");
    m_bar.Reset(-1);
    m_bar.SetPos(0);
    SetSearchControls(false);

    Unread() = UnreadFolders();
    auto result = std::make_unique<AlbumFolderArray>(m_sTargetDir, m_sSourceDir);
    bool logging = m_pSettings->MatchLog != 0;
    bool detail = logging && m_pSettings->MatchLogDetail != 0;
    if (logging) m_log.StartLog(L"album art compare.txt", L"Start compare folders", m_pSettings->MatchLogFlush != 0);
    int ok = MatchFolders(*this, m_sSourceDir, m_sTargetDir, m_sSrcImage, m_sTgtImage, detail, *result);
    std::wstring logPath = m_log.IsOpen() ? m_log.Path() : std::wstring();
    if (logging) m_log.FinishLog(L"End compare");
    // Messages go through once more before the copy-selection dialog is built (its controls are
    // created in one go), while the page's controls are still disabled.
    m_pump.Force();
    SetSearchControls(true);
    if (!IsClosing()) ReportUnreadFolders(logPath);
    if (ok && !IsClosing()) RunCopySelection(*result);
    m_bRunning = false;
    if (m_bDevicesChanged && !IsClosing() && !m_bUserTarget) {
        std::wstring player;
        FindFirstPlayerDrive(player);
        ProposeTarget(player);
    }
    m_bDevicesChanged = false;
    RunEnded();
}

// Without this the list would look complete although albums are missing from it.
void AlbumArtPage::ReportUnreadFolders(const std::wstring& logPath) {
    if (m_bStop || Unread().nCount == 0) return;
    std::vector<std::wstring> parts = UnreadFoldersMessage(Unread(), logPath);
    ZWin::ShowErrorBox(parts[0].c_str(), parts[1].c_str(), parts[2].c_str());
}

void AlbumArtPage::RunCopySelection(AlbumFolderArray& result) {
    std::unique_ptr<CopySelectDialog> select(
        new (std::nothrow) CopySelectDialog(m_hInst, m_sCaption.c_str(), this, m_pSettings, result, m_sSrcImage, m_sTgtImage));
    INT_PTR chosen = select ? select->RunModal() : -1;
    if (m_pSettings) m_pSettings->SetDialog(m_hWnd);
    if (chosen < 0) {
        ZWin::ShowErrorBox(L"Error creating album art selection dialog");
        return;
    }
    if (chosen != 1 || IsClosing()) return;  // the window was closed meanwhile
    const std::vector<int>& selection = select->SelectedIndices();
    std::unique_ptr<CopyProgressDialog> copy(
        new (std::nothrow) CopyProgressDialog(m_hInst, m_sCaption.c_str(), this, result, selection, m_sSrcImage, m_sTgtImage));
    INT_PTR done = copy ? copy->RunModal() : -1;
    if (done < 0) {
        ZWin::ShowErrorBox(L"Error file copy progress dialog");
        return;
    }
    bool error = false;
    std::vector<std::wstring> parts = CopyOutcome(done, copy->Stopped(), copy->Copied(), static_cast<int>(selection.size()),
                                                  copy->Folders(), error);
    parts.resize(3);
    const wchar_t* p[3] = {};
    for (int i = 0; i < 3; ++i) p[i] = parts[i].empty() ? nullptr : parts[i].c_str();
    if (!p[0]) return;
    if (error) ZWin::ShowErrorBox(p[0], p[1], p[2]);
    else MsgBoxParts(m_hWnd, m_sCaption.c_str(), p[0], p[1], p[2], nullptr, nullptr, nullptr, MB_ICONINFORMATION | MB_OK);
}

INT_PTR AlbumArtPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DEVICECHANGE) OnDeviceChange(wParam, lParam);  // and default handling grants any request
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_AA_SRC_BROWSE: BrowseSource(); return TRUE;
        case IDC_AA_TGT_BROWSE: BrowseTarget(); return TRUE;
        case IDC_AA_FIND: FindOrStop(); return TRUE;
        }
    }
    return DefaultHandling(msg, wParam, lParam);
}

// ---------------------------------------------------------------- Album Art Options

AlbumArtOptionsDialog::AlbumArtOptionsDialog(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption,
                                             ZWin* parent, const AppPaths* paths)
    : ZDialog(hInst, caption, nullptr, parent, paths), m_pSettings(settings) {
    m_nResId = IDD_ALBUMART_OPTIONS;
    SetErrorSuffix(L" - Error");
}

BOOL AlbumArtOptionsDialog::OnInitDialog() {
    CentreOverParent();
    std::wstring myMusic;
    SetItemText(m_hWnd, IDC_AAO_MYMUSIC_PATH,
                ReadMyMusicFolder(*this, myMusic, false) ? myMusic : L"ERROR: Folder not found in registry settings");
    IniSettings& s = *m_pSettings;
    s.SetDialog(m_hWnd);
    bool ok = s.WriteRadioRange(static_cast<int>(s.ArtSrcDir), IDC_AAO_SRC_LAST, IDC_AAO_SRC_MYMUSIC, 0, 1) &&
              s.WriteRadioRange(static_cast<int>(s.ArtTgtDir), IDC_AAO_TGT_MUSIC, IDC_AAO_TGT_NAMED, 0, 1) &&
              s.WriteEditString(IDC_AAO_TGT_OTHER, s.ArtTgtDirOther) && s.WriteCheck(IDC_AAO_SAVE_HIDE, s.ArtSaveHide, false);
    if (!ok) s.ShowError(ErrorCaption().c_str(), L"Error applying ini file settings to dialog");
    return TRUE;
}

int AlbumArtOptionsDialog::OnOK() {
    IniSettings& s = *m_pSettings;
    s.SetDialog(m_hWnd);
    bool ok = s.ReadRadioRange(s.ArtSrcDir, IDC_AAO_SRC_LAST, IDC_AAO_SRC_MYMUSIC, 0, 1) &&
              s.ReadRadioRange(s.ArtTgtDir, IDC_AAO_TGT_MUSIC, IDC_AAO_TGT_NAMED, 0, 1) &&
              s.ReadEditString(IDC_AAO_TGT_OTHER, s.ArtTgtDirOther, true, 1023) &&
              s.ReadCheck(IDC_AAO_SAVE_HIDE, s.ArtSaveHide, false);
    if (!ok) return s.ShowError(ErrorCaption().c_str(), L"Error reading settings from dialog fields");
    if (!s.SaveSection(IniSect::AlbumArtSettings)) return s.ShowError(ErrorCaption().c_str(), L"Error saving ini settings");
    EndWithOK();
    return 1;
}

INT_PTR AlbumArtOptionsDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_COMMAND && LOWORD(wParam) == IDC_AAO_HELP) || msg == WM_HELP) {
        if (!Paths() || Paths()->sProgDirSlash.empty())
            ShowErrorBox(L"Help file location (program folder) not found");
        else
            ShowHelp(HelpFilePath(*Paths(), L"aa_pref.htm"));
        return TRUE;
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
