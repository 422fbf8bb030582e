#include "albumart/page/CopyImages.h"

#include "foundation/Utilities.h"
#include "foundation/WindowMessages.h"
#include "resources/resource.h"

namespace swirlo {

namespace {

constexpr DWORD kHiding = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The file's attributes without read-only, hidden and system; 1, or 0 with the last error set.
int MakePlain(const std::wstring& sPath, DWORD attrs) {
    if (!(attrs & kHiding)) return 1;
    attrs &= ~kHiding;
    return SetFileAttributesW(sPath.c_str(), attrs ? attrs : FILE_ATTRIBUTE_NORMAL) ? 1 : 0;
}

// Copies sSource to a new file beside sTarget under a name no file has; its path goes to temp.
// Made by the copy itself (fail if it exists), so no other file is ever overwritten: not
// GetTempFileName, which takes folders of at most 246 characters only.
int CopyToNewName(const std::wstring& sSource, const std::wstring& sTarget, std::wstring& temp) {
    std::size_t slash = sTarget.find_last_of(L'\\');
    std::wstring dir = slash == std::wstring::npos ? std::wstring(L".") : sTarget.substr(0, slash);
    static unsigned counter = GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = FileApiPath(dir + FormatW(L"\\art%04X%04X.tmp", GetCurrentProcessId() & 0xFFFF, ++counter & 0xFFFF));
        if (CopyFileW(FileApiPath(sSource).c_str(), temp.c_str(), TRUE)) return 1;
        DWORD err = GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) return 0;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

}  // namespace

int ReplaceWithCopy(const std::wstring& sSource, const std::wstring& sTarget) {
    std::wstring temp;
    if (!CopyToNewName(sSource, sTarget, temp)) return 0;
    // The copy carries the source's attributes: a player's own Folder.jpg is often hidden and
    // system, and such a copy would be invisible in Explorer and skipped by some players.
    DWORD err = ERROR_SUCCESS;
    DWORD copied = GetFileAttributesW(temp.c_str());
    if (copied == INVALID_FILE_ATTRIBUTES || !MakePlain(temp, copied)) err = GetLastError();
    // A read-only target refuses the rename, and Windows may refuse to replace a hidden or system
    // one: it loses those attributes first, and gets them back if the rename fails after all.
    const std::wstring target = FileApiPath(sTarget);
    DWORD old = err == ERROR_SUCCESS ? GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
    bool cleared = false;
    if (err == ERROR_SUCCESS && old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY) && (old & kHiding)) {
        if (MakePlain(target, old)) cleared = true;
        else err = GetLastError();
    }
    if (err == ERROR_SUCCESS &&
        !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = GetLastError();
    if (err == ERROR_SUCCESS) return 1;
    if (cleared) SetFileAttributesW(target.c_str(), old);
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp.c_str());
    SetLastError(err);
    return 0;
}

CopyProgressDialog::CopyProgressDialog(HINSTANCE hInst, const wchar_t* caption, ZWin* parent,
                                       const AlbumFolderArray& result, const std::vector<int>& selection,
                                       std::wstring sSourceImage, std::wstring sTargetImage)
    : ZDialog(hInst, caption, nullptr, parent, parent ? parent->Paths() : nullptr),
      m_arr(result),
      m_selection(selection),
      m_sSrcImage(std::move(sSourceImage)),
      m_sTgtImage(std::move(sTargetImage)) {
    m_nResId = IDD_COPY_PROGRESS;
    SetErrorSuffix(L" - Error");
}

BOOL CopyProgressDialog::OnInitDialog() {
    ZDialog::OnInitDialog();
    SetItemText(m_hWnd, IDC_CP_TEXT,
                FormatW(L"Copying %d files to player ...", static_cast<int>(m_selection.size())));
    m_bar.Attach(m_hWnd, IDC_CP_PROGRESS);
    m_bar.SetPos(0);
    return TRUE;
}

int CopyProgressDialog::CopyFailed(const wchar_t* message, const std::wstring& p2, const std::wstring& p3,
                                   bool winError) {
    DWORD err = GetLastError();
    std::wstring before = FormatW(L"%d image files copied before error.", m_nCopied);
    std::wstring caption = ErrorCaption();
    const wchar_t* third = p3.empty() ? before.c_str() : p3.c_str();
    const wchar_t* fourth = p3.empty() ? nullptr : before.c_str();
    if (winError) WinErrorBox(err, m_hWnd, caption.c_str(), message, p2.c_str(), third, fourth);
    else ShowErrorBox(message, p2.c_str(), third, fourth);
    return 0;
}

int CopyProgressDialog::CopyAll() {
    const int total = static_cast<int>(m_selection.size());
    MessagePump pump;
    for (int index : m_selection) {
        if (index < 0 || index >= m_arr.Count()) {
            ShowErrorBox(FormatW(L"Invalid index number %d for file to copy.", index).c_str(),
                         FormatW(L"%d image files copied before error.", m_nCopied).c_str());
            return 0;
        }
        std::wstring target = m_arr.GetFilePath1(index, m_sTgtImage);
        std::wstring source = m_arr.GetFilePath2(index, m_sSrcImage);
        DWORD attrs = GetFileAttributesW(FileApiPath(target).c_str());
        // Whatever the row's colour: the scan counts such a folder as no image. The other rows
        // are still copied; the page names the folders at the end.
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
            m_folders.push_back(target);
        } else {
            if (m_arr.GetMatchCode(index) > kMatchYellow && attrs != INVALID_FILE_ATTRIBUTES &&
                (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
                !SetFileAttributesW(FileApiPath(target).c_str(), FILE_ATTRIBUTE_NORMAL))
                return CopyFailed(L"Error setting file attribute of file on player to allow overwrite:", target,
                                  std::wstring(), true);
            if (!ReplaceWithCopy(source, target))
                return CopyFailed(L"Error overwriting file on player with file from computer:", source, target, true);
            ++m_nCopied;
        }
        long long done = m_nCopied + static_cast<long long>(m_folders.size());
        m_bar.SetPos(static_cast<int>(done * 100 / total));
        pump.Pump();
        if (m_bStop) return 0;
    }
    return 1;
}

std::vector<std::wstring> CopyOutcome(INT_PTR done, bool stopped, int copied, int total,
                                      const std::vector<std::wstring>& folders, bool& error) {
    error = true;
    int folderCount = static_cast<int>(folders.size());
    if (done == 1 && copied + folderCount == total && folderCount > 0) {
        std::wstring names;
        for (std::size_t i = 0; i < folders.size() && i < 3; ++i) names += (i ? L"\r\n" : L"") + folders[i];
        if (folderCount > 3) names += FormatW(L"\r\nand %d more", folderCount - 3);
        return {L"File on player with album art name is a folder, can't replace with image file:", names,
                FormatW(L"%d of %d image files copied to player.", copied, total)};
    }
    if (done == 1 && copied + folderCount == total) {
        error = false;
        return {L"Files copy completed.", FormatW(L"%d image files copied to player.", copied)};
    }
    if (done == 1)
        return {FormatW(L"Error not detected, but count of files copied %d\ndiffers from number of files "
                        L"selected to copy %d", copied, total)};
    error = false;
    if (stopped) return {L"Copying stopped by user Cancel.", FormatW(L"%d files were already copied to player.", copied)};
    return {};  // the copy's own error box was shown
}

INT_PTR CopyProgressDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SHOWWINDOW:
        // The copy starts once, when the dialog is first shown.
        if (wParam && !m_bStarted) {
            m_bStarted = true;
            PostMessageW(m_hWnd, WM_APP_START_COPY, 0, 0);
        }
        return FALSE;
    case WM_APP_START_COPY: {
        int ok = CopyAll();
        EndDialog(m_hWnd, ok ? 1 : 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CP_STOP || LOWORD(wParam) == IDCANCEL) {
            m_bStop = true;
            return TRUE;
        }
        break;
    }
    return DefaultHandling(msg, wParam, lParam);
}

}  // namespace swirlo
