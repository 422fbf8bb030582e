#include "shuffle/page/OutputFileChoice.h"

#include <commdlg.h>
#include <cderr.h>

#include <vector>

#include "foundation/IniSettings.h"
#include "foundation/Seams.h"
#include "foundation/Utilities.h"
#include "framework/ZWin.h"
#include "shuffle/core/OutputName.h"

namespace swirlo {

namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kUserShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr int kFileNameBox = 0x47c;
constexpr std::size_t kPathBufferChars = 32768;

bool ExpandEnv(const std::wstring& in, std::wstring& out) {
    DWORD n = ExpandEnvironmentStringsW(in.c_str(), nullptr, 0);
    if (n == 0) return false;
    std::vector<wchar_t> buf(n + 1);
    if (ExpandEnvironmentStringsW(in.c_str(), buf.data(), n + 1) == 0) return false;
    out = buf.data();
    return true;
}

int MajorVersion() {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&vi)) return 0;
#pragma GCC diagnostic pop
    return static_cast<int>(vi.dwMajorVersion);
}

// The type the hook saw last (1 .wpl, 2 .m3u, 3 .m3u8); reset before every choice.
DWORD g_nLastType = 0;

UINT_PTR CALLBACK SaveAsHook(HWND hdlg, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_NOTIFY) return 0;
    auto* note = reinterpret_cast<OFNOTIFYW*>(lParam);
    if (note->hdr.code != CDN_TYPECHANGE) return 0;
    DWORD type = note->lpOFN->nFilterIndex;
    if (type < 1 || type > 3 || type == g_nLastType) return 0;
    g_nLastType = type;
    const std::wstring ext = OutputExtension(static_cast<int>(type) - 1);
    HWND dlg = GetParent(hdlg);
    SendMessageW(dlg, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(ext.c_str() + 1));
    // A name typed or pasted in full may be a long path: the buffers take whatever is there.
    std::vector<wchar_t> buf(static_cast<std::size_t>(GetWindowTextLengthW(GetDlgItem(dlg, kFileNameBox))) + 1, L'\0');
    GetDlgItemTextW(dlg, kFileNameBox, buf.data(), static_cast<int>(buf.size()));
    std::wstring name = buf.data();
    if (name.empty()) {
        const LRESULT need = SendMessageW(dlg, CDM_GETSPEC, 0, 0);
        std::vector<wchar_t> typed(need > 0 ? static_cast<std::size_t>(need) + 1 : 1, L'\0');
        if (need > 0 && SendMessageW(dlg, CDM_GETSPEC, typed.size(), reinterpret_cast<LPARAM>(typed.data())) > 0)
            name = typed.data();
        SetDlgItemTextW(dlg, kFileNameBox, name.c_str());
    }
    if (RenameForType(name, ext)) SetDlgItemTextW(dlg, kFileNameBox, name.c_str());
    return 0;
}

bool IsFolder(const std::wstring& path, bool& exists) {
    DWORD attr = GetFileAttributesW(LongPathForm(path).c_str());
    exists = attr != INVALID_FILE_ATTRIBUTES;
    return exists && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring DocumentsFolder() {
    std::wstring raw, expanded;
    if (ReadRegValue(HKEY_CURRENT_USER, kShellFolders, L"Personal", raw, 260 * sizeof(wchar_t)) &&
        ExpandEnv(raw, expanded))
        return expanded;
    return std::wstring();
}

std::wstring StartFolder(ZWin& page, IniSettings& settings, const PlaylistsFolder& folder) {
    bool exists = false;
    if (settings.UseLastDir && !settings.LastDir.empty() && IsFolder(settings.LastDir, exists)) return settings.LastDir;
    if (!folder.sPath.empty()) {
        HWND owner = page.Hwnd();
        const std::wstring& p = folder.sPath;
        if (IsFolder(p, exists)) return p;
        if (!exists) {
            std::wstring q = FormatW(L"Normally WMP playlists are saved to a %ls folder in \"My Music\"\nbut the "
                                     L"folder doesn't exist:", folder.OwnName());
            if (MsgBoxParts(owner, page.Caption().c_str(), q.c_str(), p.c_str(),
                            L"\nDo you want that folder created, to save your shuffled playlist in?\n",
                            L"(Click NO if you prefer to save your playlist in a different folder.)", nullptr, nullptr,
                            MB_YESNO | MB_ICONQUESTION) == IDYES) {
                if (CreateDirectoryW(p.c_str(), nullptr)) return p;
                WinErrorBox(0, owner, page.ErrorCaption().c_str(), L"Error creating directory:", p.c_str(),
                            L"You can still try manually creating the folder,", L"or save your playlist in a different folder.");
            }
        } else {
            MsgBoxParts(owner, page.Caption().c_str(),
                        L"Windows' default Playlists folder path exists but is not a folder:", p.c_str(),
                        L"The existence of a file (not folder) with that name is probably a mistake you should delete,",
                        L"but for now you can choose another folder to save your shuffled playlist in.", nullptr, nullptr,
                        MB_OK | MB_ICONWARNING);
        }
    }
    return DocumentsFolder();
}

}  // namespace

PlaylistsFolder FindPlaylistsFolder() {
    PlaylistsFolder f;
    int major = MajorVersion();
    f.bWin6 = major >= 6;
    std::wstring raw, expanded;
    bool ok = false;
    if (ReadRegValue(HKEY_CURRENT_USER, kUserShellFolders, L"My Music", raw, 260 * sizeof(wchar_t))) {
        f.bPlaylistsSuffix = major == 0 || major >= 6;
        ok = true;
    } else if (ReadRegValue(HKEY_CURRENT_USER, kShellFolders, L"My Music", raw, 260 * sizeof(wchar_t))) {
        f.bPlaylistsSuffix = major >= 6;
        ok = true;
    }
    if (ok && ExpandEnv(raw, expanded)) f.sPath = expanded + (f.bPlaylistsSuffix ? L"\\Playlists" : L"\\My Playlists");
    return f;
}

int ChooseOutputFile(ZWin& page, IniSettings& settings, const PlaylistsFolder& folder,
                     const std::wstring& sDefaultName, bool bWarnOverwrite, OutputChoice& out) {
    static const wchar_t kFilter[] =
        L"Windows Media Playlists (*.wpl)\0*.wpl\0M3U (ANSI character set) Playlists (*.m3u)\0*.m3u\0"
        L"M3U8 (Unicode UTF-8) Playlists (*.m3u8)\0*.m3u8\0";
    const std::wstring start = StartFolder(page, settings, folder);
    std::wstring defExt = OutputExtension(settings.ConvertWpl) + 1;
    std::wstring field = sDefaultName;
    if (start == folder.sPath && folder.bWin6 && !field.empty() && field.find(L'\\') == std::wstring::npos)
        field = start + L"\\" + field;
    g_nLastType = 0;
    std::wstring path;
    for (;;) {
        // Room for the longest path the system takes, not MAX_PATH: a deep folder is no error.
        std::vector<wchar_t> buf(kPathBufferChars, 0);
        field.copy(buf.data(), std::min<std::size_t>(field.size(), buf.size() - 1));
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = page.Hwnd();
        ofn.lpstrFilter = kFilter;
        ofn.nFilterIndex = static_cast<DWORD>((settings.ConvertWpl < 0 || settings.ConvertWpl > 2 ? 2 : settings.ConvertWpl) + 1);
        ofn.lpstrFile = buf.data();
        ofn.nMaxFile = static_cast<DWORD>(buf.size());
        ofn.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
        ofn.lpstrTitle = L"Save shuffled playlist as ...";
        ofn.lpstrDefExt = defExt.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                    OFN_NOREADONLYRETURN | OFN_ENABLEHOOK;
        ofn.lpfnHook = SaveAsHook;
        if (!ShowSaveAs(&ofn)) {
            DWORD err = SaveAsError();
            if (err == 0) return 0;
            if (err == FNERR_INVALIDFILENAME) {
                page.ShowErrorBox(L"Non-fatal error, illegal default save name:", field.c_str(),
                                  L"Retrying without default save name");
                field = L"*." + defExt;
                continue;
            }
            return WinErrorBox(0, page.Hwnd(), page.ErrorCaption().c_str(), L"Error getting filename to save shuffled list");
        }
        if (g_nLastType) defExt = OutputExtension(static_cast<int>(g_nLastType) - 1) + 1;
        path = buf.data();
        std::wstring dir, name, ext;
        if (!SplitPath(path, dir, name, ext, true))
            return page.ShowErrorBox(L"Error parsing directory and file name in OpenFile path:", path.c_str(), dir.c_str());
        path = SettleExtension(path, ext, defExt);
        if (bWarnOverwrite && GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES &&
            MsgBoxParts(page.Hwnd(), page.Caption().c_str(), L"A file already exists with the same name", path.c_str(),
                        L"\nOverwrite existing file with the new shuffled playlist?\n\nClick No if you want to choose a "
                        L"different file name.",
                        nullptr, nullptr, nullptr, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) != IDYES) {
            field = path;
            continue;
        }
        break;
    }
    std::wstring dir, name, ext;
    if (!SplitPath(path, dir, name, ext, true))
        return page.ShowErrorBox(L"Error parsing folder and file name in output path:", path.c_str(), dir.c_str());
    out.sPath = path;
    out.nFormat = FormatOfExtension(ext);
    out.sTitle = name;
    if (!settings.SetStringAndSave(settings.LastDir, dir.substr(0, dir.size() - 1)))
        page.ShowErrorBox(L"Non-fatal error recording last directory used");
    return 1;
}

}  // namespace swirlo
