// A library planted beside the program under a system library's name: loaded, it leaves a file of its
// own name in the folder SWIRLO_PLANTED_MARKS names. Wine's own user32 and comctl32 load version.dll
// and msimg32.dll from the program's folder (Windows takes a Known DLL's imports from the system
// folder), so under those names it stands in for the functions the program used from them and marks
// only a call from the program's own code ("version.dll-called"); drawing passes on to gdi32.
#include <windows.h>

namespace {
void Mark(const wchar_t* what) {
    wchar_t path[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"SWIRLO_PLANTED_MARKS", path, MAX_PATH);
    if (n && n < MAX_PATH) CloseHandle(CreateFileW(lstrcatW(path, what), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}
void MarkCall(void* caller, const wchar_t* what) {
    HMODULE from = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (GetModuleHandleExW(flags, static_cast<LPCWSTR>(caller), &from) && from == GetModuleHandleW(nullptr)) Mark(what);
}
}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    wchar_t path[MAX_PATH];
    const wchar_t* name = GetModuleFileNameW(self, path, MAX_PATH) ? wcsrchr(path, L'\\') : nullptr;
    if (reason == DLL_PROCESS_ATTACH && name && lstrcmpiW(name, L"\\version.dll") && lstrcmpiW(name, L"\\msimg32.dll"))
        Mark(name + 1);
    return TRUE;
}

// The program asks for the size first; nothing goes further when it is 0.
extern "C" __declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR, LPDWORD) {
    return MarkCall(__builtin_return_address(0), L"version.dll-called"), 0;
}
extern "C" __declspec(dllexport) BOOL WINAPI TransparentBlt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy,
                                                            int sw, int sh, UINT transparent) {
    MarkCall(__builtin_return_address(0), L"msimg32.dll-called");
    return GdiTransparentBlt(d, x, y, w, h, s, sx, sy, sw, sh, transparent);
}
extern "C" __declspec(dllexport) BOOL WINAPI AlphaBlend(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, int sw,
                                                        int sh, BLENDFUNCTION blend) {
    return GdiAlphaBlend(d, x, y, w, h, s, sx, sy, sw, sh, blend);
}
