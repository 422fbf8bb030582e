// Text, path, file, registry and message utilities over Win32. A function returns 1 (or a useful
// nonzero value) on success and 0 on failure; a failure leaves its text in gsErrorText (module-level
// functions) or in the window's error text (window-bound helpers, in framework/).
#pragma once
#include <windows.h>

#include <string>

#include "foundation/DateMath.h"
#include "foundation/ErrorText.h"
#include "foundation/TextUtil.h"

namespace swirlo {

// The system's message text for code (0: the calling thread's last error), without the trailing
// line break; "Error attempting to retrieve Windows' error message." when there is none. Returns
// the length of the system text (0 when it had none).
int GetWinErrorText(std::wstring& out, DWORD code);
std::wstring WinErrorText(DWORD code);  // convenience: the text alone

int SetGlobalError(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                   const wchar_t* p4 = nullptr, const wchar_t* p5 = nullptr, const wchar_t* p6 = nullptr);
void AppendGlobalError(std::wstring_view piece);
// Copies gsErrorText out (a damaged text longer than its capacity is emptied first) and empties it
// when clear is set.
std::wstring TakeErrorText(bool clear);

// Message boxes built from up to six parts, each followed by "\r\n". Null parts are left out.
int MsgBoxParts(HWND owner, const wchar_t* caption, const wchar_t* p1, const wchar_t* p2,
                const wchar_t* p3, const wchar_t* p4, const wchar_t* p5, const wchar_t* p6, UINT flags);
// Warning icon, OK button. Returns 0.
int ErrorBox(HWND owner, const wchar_t* caption, const wchar_t* p1, const wchar_t* p2 = nullptr,
             const wchar_t* p3 = nullptr, const wchar_t* p4 = nullptr, const wchar_t* p5 = nullptr,
             const wchar_t* p6 = nullptr);
// Like ErrorBox, the parts followed by "\nWindows' error message was:" and the system text for code
// (0: the last error). Returns 0.
int WinErrorBox(DWORD code, HWND owner, const wchar_t* caption, const wchar_t* p1,
                const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr, const wchar_t* p4 = nullptr);

// Paths, folders and files.
int GetModulePathParts(std::wstring& dirOut, std::wstring& nameOut, std::wstring& extOut);
int EnsureDir(const std::wstring& sPath);
int EnsureParentDir(const std::wstring& sFilePath);
// The form of a path that the file functions take past MAX_PATH ("\\?\C:\..." or
// "\\?\UNC\server\..."), for a full path long enough to need it; any other path is returned
// as it is. Windows takes long plain paths only where a policy allows them, so every open, rename
// and delete of a user's path goes through this.
std::wstring LongPathForm(const std::wstring& path);
int AppendToFile(const std::wstring& text, const std::wstring& sFilePath, bool append);
// Writes the text (UTF-16) beside path and renames it over path in one step, so that a crash during
// the save leaves the old file or the new one, never one cut short. 0 with the path and the system's
// text in error on failure.
int ReplaceFileWithText(const std::wstring& text, const std::wstring& path, std::wstring& error);

// Conversions to the system's ANSI code page and to UTF-8. Returns 1 on success; failures append to
// gsErrorText with the Windows error text.
int ToAnsi(std::wstring_view text, std::string& out);
int ToUtf8(std::wstring_view text, std::string& out);

// Dates and times, local.
const wchar_t* TimeNowText();  // "HH:mm:ss" in one shared buffer
int DateStampDaysAgo(int days); // yyyymmdd of now minus days, 0 on failure
int DaysSinceDate(int nYYYYMMDD);

// Reads a registry value of at most byteSize bytes: a text, or a DWORD as its decimal digits.
// ERROR_SUCCESS or the system's code; bKeyOpened tells whether a failure came after the key opened.
LONG QueryRegValue(HKEY root, const wchar_t* subkey, const wchar_t* valueName, std::wstring& data, DWORD byteSize,
                   bool& bKeyOpened);
// The same with the utilities' convention: 0 on failure, the system's text then in data.
int ReadRegValue(HKEY root, const wchar_t* subkey, const wchar_t* valueName, std::wstring& data,
                 DWORD byteSize);
// The same, 0 on failure with error set to what failed ("Error opening Registry Key:" and the key,
// or "Error reading registry data:" and the value) and the system's text.
int ReadRegString(HKEY root, const wchar_t* subkey, const wchar_t* valueName, std::wstring& data, DWORD byteSize,
                  ErrorRecord& error);

// Dispatches every waiting window message of the calling thread, dialog keys to their dialog.
void PumpMessages();

// The running executable's version strings ("\StringFileInfo\040904B0\..."). 0 when missing; a
// failure other than a missing string leaves its text in errorOut.
int GetVersionString(const wchar_t* name, std::wstring& out, std::wstring* errorOut);

}  // namespace swirlo
