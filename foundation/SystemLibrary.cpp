#include "foundation/SystemLibrary.h"

#include <string>

namespace swirlo {

void RestrictDllSearch() {
    // Windows 7 has SetDefaultDllDirectories only with its loader update (KB2533623): looked up, not
    // imported, so that the program still starts without it; then at least the current folder goes.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

HMODULE SystemLibrary(const wchar_t* name) {
    // By its full path: a bare name would also match a library of that name loaded before the search
    // was narrowed (by another library's import, say), wherever it came from.
    wchar_t sys[MAX_PATH];
    UINT n = GetSystemDirectoryW(sys, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(sys, n) + L"\\" + name;
    // Its own imports from the system folder too; a loader that does not know the flag takes them
    // from the library's folder, which is the same.
    HMODULE mod = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!mod && GetLastError() == ERROR_INVALID_PARAMETER)
        mod = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return mod;
}

}  // namespace swirlo
