// The few places where the program hands control to the user through a system dialog. Each is one
// function that goes through a replaceable pointer, so that a test can answer as a user would and
// record what was shown. The program itself replaces only the message box, and only for a run without
// a window (Blendo.exe /shuffle), which answers every box into its log instead of waiting for a click.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

namespace swirlo {

// MessageBoxW.
using MessageBoxFn = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags);
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags);
MessageBoxFn SetMessageBoxHandler(MessageBoxFn fn);  // returns the previous one; null restores the system's

// The Save As dialog: GetSaveFileNameW with the caller's structure. SaveAsError is the dialog's
// extended error after it returned FALSE (CommDlgExtendedError); a replacement that refuses sets it
// with SetSaveAsError (0: the user cancelled).
using SaveAsFn = BOOL (*)(OPENFILENAMEW* ofn);
BOOL ShowSaveAs(OPENFILENAMEW* ofn);
SaveAsFn SetSaveAsHandler(SaveAsFn fn);
DWORD SaveAsError();
void SetSaveAsError(DWORD error);

// The folder picker: returns 1 with the chosen folder, 0 when cancelled.
using FolderPickerFn = int (*)(HWND owner, const wchar_t* title, const wchar_t* startFolder,
                               int rootFolderId, std::wstring& chosen);
int ShowFolderPicker(HWND owner, const wchar_t* title, const wchar_t* startFolder, int rootFolderId,
                     std::wstring& chosen);
FolderPickerFn SetFolderPickerHandler(FolderPickerFn fn);

// The help viewer: shows the help file at a topic ("file::/topic") or its contents. Returns whether a
// viewer took it.
using HelpViewerFn = bool (*)(const std::wstring& target);
bool ShowHelp(const std::wstring& target);
HelpViewerFn SetHelpViewerHandler(HelpViewerFn fn);

// The shell's "open" verb; returns ShellExecute's result (above 32 is success).
using ShellOpenFn = INT_PTR (*)(HWND owner, const wchar_t* target);
INT_PTR ShellOpen(HWND owner, const wchar_t* target);
ShellOpenFn SetShellOpenHandler(ShellOpenFn fn);

}  // namespace swirlo
