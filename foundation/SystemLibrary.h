// Libraries from the system folder only. A library that is not one of Windows' Known DLLs is looked
// for beside the program first, and the program's folder is often Downloads, where any file named
// like one of them would run inside the program. So the program imports only the libraries that
// tools/check_imports.py allows (the one list, with the reasons), narrows the search before anything
// else at start, and takes every other library at run time from here.
#pragma once
#include <windows.h>

namespace swirlo {

// First thing at start: every later load, the program's own and those the system makes for it,
// searches the system folder only (never the program's folder or the current one).
void RestrictDllSearch();

// The system folder's copy of a library, never unloaded (callers keep what they take from it); null
// when it is not there.
HMODULE SystemLibrary(const wchar_t* name);

// A function of a system library; null when the library or the function is missing.
template <class Fn>
Fn SystemFunction(const wchar_t* library, const char* name) {
    HMODULE mod = SystemLibrary(library);
    return mod ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(mod, name))) : nullptr;
}

}  // namespace swirlo
