#include "foundation/Utilities.h"

#include <cstring>
#include <new>
#include <vector>

#include "foundation/Seams.h"
#include "foundation/SystemLibrary.h"
#include "foundation/WinHandles.h"

namespace swirlo {

namespace {
const wchar_t kNoWinText[] = L"Error attempting to retrieve Windows' error message.";

void TrimLineEnds(std::wstring& s) {
    while (!s.empty() && (s.back() == L'\r' || s.back() == L'\n' || s.back() == L' ')) s.pop_back();
}
}  // namespace

int GetWinErrorText(std::wstring& out, DWORD code) {
    if (code == 0) code = GetLastError();
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    UniqueLocal<wchar_t*> owned(buf);
    if (n == 0 || !buf) {
        out = kNoWinText;
        return 0;
    }
    out.assign(buf, n);
    TrimLineEnds(out);
    return static_cast<int>(out.size());
}

std::wstring WinErrorText(DWORD code) {
    std::wstring s;
    GetWinErrorText(s, code);
    return s;
}

void AppendGlobalError(std::wstring_view piece) { AppendErrorPart(gsErrorText, kGlobalErrorCap, piece); }

int SetGlobalError(const wchar_t* p1, const wchar_t* p2, const wchar_t* p3, const wchar_t* p4,
                   const wchar_t* p5, const wchar_t* p6) {
    SetErrorPartsTo(gsErrorText, kGlobalErrorCap, {p1, p2, p3, p4, p5, p6});
    return 0;
}

std::wstring TakeErrorText(bool clear) {
    if (gsErrorText.size() > kGlobalErrorCap) gsErrorText.clear();
    std::wstring s = gsErrorText;
    if (clear) gsErrorText.clear();
    return s;
}

int MsgBoxParts(HWND owner, const wchar_t* caption, const wchar_t* p1, const wchar_t* p2,
                const wchar_t* p3, const wchar_t* p4, const wchar_t* p5, const wchar_t* p6, UINT flags) {
    const wchar_t* parts[] = {p1, p2, p3, p4, p5, p6};
    try {
        std::wstring text;
        for (const wchar_t* p : parts)
            if (p) { text.append(p); text.append(L"\r\n"); }
        return ShowMessageBox(owner, text.c_str(), caption, flags);
    } catch (const std::bad_alloc&) {
        ShowMessageBox(owner,
                       L"Error allocating memory for message\n\nThe individual parts of the original "
                       L"message will be displayed in up to 6 successive Message Boxes after this one.",
                       caption, MB_OK | MB_ICONWARNING);
        int last = -1;
        for (int i = 0; i < 6; ++i)
            if (parts[i]) last = i;
        int result = 0;
        for (int i = 0; i <= last; ++i)
            if (parts[i]) result = ShowMessageBox(owner, parts[i], caption, i == last ? flags : MB_OK);
        return result;
    }
}

int ErrorBox(HWND owner, const wchar_t* caption, const wchar_t* p1, const wchar_t* p2, const wchar_t* p3,
             const wchar_t* p4, const wchar_t* p5, const wchar_t* p6) {
    MsgBoxParts(owner, caption, p1, p2, p3, p4, p5, p6, MB_OK | MB_ICONWARNING);
    return 0;
}

int WinErrorBox(DWORD code, HWND owner, const wchar_t* caption, const wchar_t* p1, const wchar_t* p2,
                const wchar_t* p3, const wchar_t* p4) {
    std::wstring sys;
    if (GetWinErrorText(sys, code) == 0)
        return ErrorBox(owner, caption, p1, p2, p3, p4, kNoWinText);
    return ErrorBox(owner, caption, p1, p2, p3, p4, L"\nWindows' error message was:", sys.c_str());
}

int GetModulePathParts(std::wstring& dirOut, std::wstring& nameOut, std::wstring& extOut) {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    // A path that fills the buffer was cut: refuse it rather than split a truncated path.
    if (n == 0 || n > MAX_PATH - 1) {
        dirOut = L"GetModuleFileName failed";
        return 0;
    }
    return SplitPath(std::wstring(buf.data(), n), dirOut, nameOut, extOut, true);
}

int EnsureDir(const std::wstring& sPathIn) {
    std::wstring sPath = sPathIn;
    if (!sPath.empty() && sPath.back() == L'\\') sPath.pop_back();
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileW(sPath.c_str(), &fd));
    if (find) {
        bool isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!find.Close()) {
            std::wstring sys = WinErrorText(0);
            SetGlobalError(L"Error closing find handle for:", sPath.c_str(), sys.c_str());
            return 0;
        }
        if (!isDir) {
            SetGlobalError(L"Path exists but not a directory:", sPath.c_str());
            return 0;
        }
        return 1;
    }
    // A drive root is not found by a search but exists.
    DWORD attr = GetFileAttributesW((sPath + L"\\").c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) return 1;
    if (!CreateDirectoryW(sPath.c_str(), nullptr)) {
        std::wstring sys = WinErrorText(0);
        AppendGlobalError(L"Error creating directory:");
        AppendGlobalError(sPath);
        AppendGlobalError(sys);
        return 0;
    }
    return 1;
}

std::wstring LongPathForm(const std::wstring& path) {
    // 248: a folder's limit (a file name of 8.3 must still fit beside it), below the file's 260.
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0) return path;
    // The prefixed form is taken literally: "." and ".." and forward slashes must be resolved first.
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    const std::wstring extended = ExtendedLengthPath(full);
    return extended == full ? path : extended;
}

int EnsureParentDir(const std::wstring& sFilePath) {
    std::wstring s = sFilePath;
    if (!s.empty() && s.back() == L'\\') s.pop_back();
    std::size_t slash = s.rfind(L'\\');
    if (slash == std::wstring::npos) {
        SetGlobalError(L"Error finding parent directory path in:", sFilePath.c_str());
        return 0;
    }
    return EnsureDir(s.substr(0, slash));
}

int AppendToFile(const std::wstring& text, const std::wstring& sFilePath, bool append) {
    gsErrorText.clear();
    if (!EnsureParentDir(sFilePath)) return 0;
    UniqueFile f(CreateFileW(sFilePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f)
        return SetGlobalError(L"Error opening file for write:", sFilePath.c_str(), WinErrorText(0).c_str());
    if (append && SetFilePointer(f.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return SetGlobalError(L"Error seeking end of file for append:", sFilePath.c_str(), WinErrorText(0).c_str());
    const char* p = reinterpret_cast<const char*>(text.data());
    std::size_t left = text.size() * sizeof(wchar_t);
    while (left > 0) {
        DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(f.Get(), p, chunk, &written, nullptr) || written != chunk)
            return SetGlobalError(L"Error writing to file:", sFilePath.c_str(), WinErrorText(0).c_str());
        p += chunk;
        left -= chunk;
    }
    if (!f.Close())
        return SetGlobalError(L"Error closing file:", sFilePath.c_str(), WinErrorText(0).c_str());
    return 1;
}

namespace {
int ToCodePage(UINT cp, std::wstring_view text, std::string& out, const wchar_t* countMsg,
               const wchar_t* convMsg) {
    out.clear();
    if (text.empty()) return 1;
    int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        std::wstring sys = WinErrorText(0);
        AppendGlobalError(countMsg);
        AppendGlobalError(sys);
        return 0;
    }
    out.resize(static_cast<std::size_t>(n));
    if (WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr) != n) {
        std::wstring sys = WinErrorText(0);
        out.clear();
        AppendGlobalError(convMsg);
        AppendGlobalError(sys);
        return 0;
    }
    return 1;
}
}  // namespace

int ToAnsi(std::wstring_view text, std::string& out) {
    return ToCodePage(CP_ACP, text, out, L"WideCharToMultiByte error getting ANSI byte count",
                      L"WideCharToMultiByte error converting to ANSI");
}

int ToUtf8(std::wstring_view text, std::string& out) {
    return ToCodePage(CP_UTF8, text, out, L"WideCharToMultiByte error getting UTF-8 byte count",
                      L"WideCharToMultiByte error converting to UTF-8");
}

const wchar_t* TimeNowText() {
    static wchar_t buf[16];
    SYSTEMTIME st;
    GetLocalTime(&st);
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, L"HH':'mm':'ss", buf, 16)) buf[0] = 0;
    return buf;
}

int DateStampDaysAgo(int days) {
    std::wstring err;
    int r = DateStampDaysAgoAt(NowSeconds(), days, err);
    gsErrorText = err;
    return r;
}

int DaysSinceDate(int nYYYYMMDD) {
    std::wstring err;
    int r = DaysSinceDateAt(NowSeconds(), nYYYYMMDD, err);
    if (!err.empty()) gsErrorText = err;
    return r;
}

LONG QueryRegValue(HKEY root, const wchar_t* subkey, const wchar_t* valueName, std::wstring& data, DWORD byteSize,
                   bool& bKeyOpened) {
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExW(root, subkey, 0, KEY_READ, &opened);
    bKeyOpened = rc == ERROR_SUCCESS;
    if (!bKeyOpened) return rc;
    UniqueRegKey key(opened);
    std::vector<wchar_t> buf(byteSize / sizeof(wchar_t) + 1, 0);
    DWORD size = byteSize;
    DWORD type = 0;
    rc = RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
    if (rc != ERROR_SUCCESS) return rc;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD v;
        std::memcpy(&v, buf.data(), sizeof v);
        data = std::to_wstring(v);
    } else {
        data.assign(buf.data(), wcsnlen(buf.data(), size / sizeof(wchar_t)));
    }
    return ERROR_SUCCESS;
}

int ReadRegValue(HKEY root, const wchar_t* subkey, const wchar_t* valueName, std::wstring& data,
                 DWORD byteSize) {
    bool bKeyOpened;
    const LONG rc = QueryRegValue(root, subkey, valueName, data, byteSize, bKeyOpened);
    if (rc == ERROR_SUCCESS) return 1;
    data = WinErrorText(static_cast<DWORD>(rc));
    return 0;
}

int ReadRegString(HKEY root, const wchar_t* subkey, const wchar_t* valueName, std::wstring& data, DWORD byteSize,
                  ErrorRecord& error) {
    bool bKeyOpened;
    const LONG rc = QueryRegValue(root, subkey, valueName, data, byteSize, bKeyOpened);
    if (rc == ERROR_SUCCESS) return 1;
    return error.SetErrorParts(bKeyOpened ? L"Error reading registry data:" : L"Error opening Registry Key:",
                               bKeyOpened ? valueName : subkey, WinErrorText(static_cast<DWORD>(rc)).c_str());
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for the loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // Dialog keys (Tab, Enter, Esc, mnemonics) go to the dialog the message is meant for, as the
        // dialog manager's own loop would do: a progress dialog or a Stop button keeps its keyboard.
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && GetClassLongPtrW(root, GCW_ATOM) == 32770 && IsDialogMessageW(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

namespace {
// The version functions, from the system folder's library (see SystemLibrary.h).
struct VersionApi {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    SizeFn size = SystemFunction<SizeFn>(L"version.dll", "GetFileVersionInfoSizeW");
    InfoFn info = SystemFunction<InfoFn>(L"version.dll", "GetFileVersionInfoW");
    QueryFn query = SystemFunction<QueryFn>(L"version.dll", "VerQueryValueW");
};
}  // namespace

int GetVersionString(const wchar_t* name, std::wstring& out, std::wstring* errorOut) {
    static const VersionApi api;
    if (!api.size || !api.info || !api.query) {
        if (errorOut) *errorOut = L"Error loading version.dll";
        return 0;
    }
    // The program's own path, however deep its folder.
    std::vector<wchar_t> path(MAX_PATH + 1);
    DWORD n = 0;
    while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >= path.size() &&
           path.size() < 32768)
        path.resize(path.size() * 2);
    if (n == 0 || n >= path.size()) {
        if (errorOut) *errorOut = L"GetModuleFileName failed";
        return 0;
    }
    DWORD dummy = 0;
    DWORD size = api.size(path.data(), &dummy);
    if (size == 0) {
        if (errorOut) *errorOut = L"GetFileVersionInfoSize failed\r\n" + WinErrorText(0);
        return 0;
    }
    std::vector<BYTE> info;
    try {
        info.resize(size);
    } catch (const std::bad_alloc&) {
        if (errorOut) *errorOut = L"Error allocating version info buffer";
        return 0;
    }
    if (!api.info(path.data(), 0, size, info.data())) return 0;
    std::wstring sub = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* value = nullptr;
    UINT len = 0;
    if (!api.query(info.data(), sub.c_str(), reinterpret_cast<void**>(&value), &len) || !value || len == 0)
        return 0;
    out.assign(value, wcsnlen(value, len));
    return 1;
}

int ReplaceFileWithText(const std::wstring& text, const std::wstring& path, std::wstring& error) {
    const std::wstring temp = path + L".new";
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0, err = 0;
    UniqueFile f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) {
        err = GetLastError();
    } else {
        if (!WriteFile(f.Get(), text.data(), bytes, &written, nullptr) || written != bytes || !FlushFileBuffers(f.Get()))
            err = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        if (!f.Close() && !err) err = GetLastError();
    }
    if (!err && !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = GetLastError();
    if (!err) return 1;
    DeleteFileW(temp.c_str());
    error = path + L"\r\n" + WinErrorText(err);
    return 0;
}


}  // namespace swirlo
