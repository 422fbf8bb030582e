#include "foundation/Seams.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include "foundation/WinHandles.h"

namespace swirlo {

namespace {
MessageBoxFn g_messageBox = nullptr;
SaveAsFn g_saveAs = nullptr;
DWORD g_saveAsError = 0;
FolderPickerFn g_folderPicker = nullptr;
HelpViewerFn g_helpViewer = nullptr;
ShellOpenFn g_shellOpen = nullptr;

template <typename Fn>
Fn Swap(Fn& slot, Fn fn) {
    Fn old = slot;
    slot = fn;
    return old;
}

// Shows the current selection's path in the picker's status line; preselects the start folder.
int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data)
        SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    else if (msg == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH];
        if (SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
            SendMessageW(hwnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    }
    return 0;
}

int SystemFolderPicker(HWND owner, const wchar_t* title, const wchar_t* startFolder, int rootFolderId,
                       std::wstring& chosen) {
    PIDLIST_ABSOLUTE rootId = nullptr;
    if (rootFolderId >= 0 && FAILED(SHGetFolderLocation(owner, rootFolderId, nullptr, 0, &rootId))) return -1;
    UniqueCoTaskMem<PIDLIST_ABSOLUTE> root(rootId);
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.pidlRoot = root.Get();
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_NONEWFOLDERBUTTON;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(startFolder && *startFolder ? startFolder : nullptr);
    UniqueCoTaskMem<PIDLIST_ABSOLUTE> chosenId(SHBrowseForFolderW(&bi));
    if (!chosenId) return 0;
    wchar_t path[MAX_PATH];
    if (!SHGetPathFromIDListW(chosenId.Get(), path)) return -2;
    chosen = path;
    return 1;
}
}  // namespace

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    if (g_messageBox) return g_messageBox(owner, text, caption, flags);
    return MessageBoxW(owner, text, caption, flags);
}
MessageBoxFn SetMessageBoxHandler(MessageBoxFn fn) { return Swap(g_messageBox, fn); }

BOOL ShowSaveAs(OPENFILENAMEW* ofn) {
    if (g_saveAs) return g_saveAs(ofn);
    return GetSaveFileNameW(ofn);
}
SaveAsFn SetSaveAsHandler(SaveAsFn fn) { return Swap(g_saveAs, fn); }
DWORD SaveAsError() { return g_saveAs ? g_saveAsError : CommDlgExtendedError(); }
void SetSaveAsError(DWORD error) { g_saveAsError = error; }

int ShowFolderPicker(HWND owner, const wchar_t* title, const wchar_t* startFolder, int rootFolderId,
                     std::wstring& chosen) {
    if (g_folderPicker) return g_folderPicker(owner, title, startFolder, rootFolderId, chosen);
    return SystemFolderPicker(owner, title, startFolder, rootFolderId, chosen);
}
FolderPickerFn SetFolderPickerHandler(FolderPickerFn fn) { return Swap(g_folderPicker, fn); }

bool ShowHelp(const std::wstring& target) {
    if (g_helpViewer) return g_helpViewer(target);
    // The compiled-help viewer, loaded at the first request and never retried after a failure.
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HtmlHelpFn htmlHelp = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        // Only the system folder's copy: a library of that name planted beside the program or in
        // the current folder must never be loaded.
        HMODULE mod = nullptr;
        wchar_t sys[MAX_PATH];
        UINT n = GetSystemDirectoryW(sys, MAX_PATH);
        if (n > 0 && n < MAX_PATH - 12) {
            std::wstring path = std::wstring(sys, n) + L"\\hhctrl.ocx";
            mod = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
        if (mod) htmlHelp = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(mod, "HtmlHelpW")));
    }
    if (!htmlHelp) return false;
    const UINT HH_DISPLAY_TOC = 0x0001;
    return htmlHelp(GetDesktopWindow(), target.c_str(), HH_DISPLAY_TOC, 0) != nullptr;
}
HelpViewerFn SetHelpViewerHandler(HelpViewerFn fn) { return Swap(g_helpViewer, fn); }

INT_PTR ShellOpen(HWND owner, const wchar_t* target) {
    if (g_shellOpen) return g_shellOpen(owner, target);
    return reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", target, nullptr, nullptr, SW_SHOWNORMAL));
}
ShellOpenFn SetShellOpenHandler(ShellOpenFn fn) { return Swap(g_shellOpen, fn); }

}  // namespace swirlo
