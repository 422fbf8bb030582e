#!/usr/bin/env python3
"""Fails when Blendo.exe imports a library that Windows could take from the program's folder.

Usage: check_imports.py OBJDUMP BLENDO_EXE. Prints each import outside the list below and exits 1
when there is any, 0 otherwise.

The loader resolves the import table before the program's first instruction, so nothing the program
does at start can protect an import: a library that is not one of Windows' Known DLLs is looked for
beside the program first (the program usually sits in Downloads). This is the one list of libraries
the program may import; every other one is loaded at run time from the system folder
(foundation/SystemLibrary.h), after the search has been narrowed to it.
"""
import re
import subprocess
import sys

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows 10 and 11 (always mapped
# from the system folder), plus ntdll and kernelbase, which every process has before its imports.
# gdiplus is listed there on some systems and not on others: it counts as not known.
KNOWN_DLLS = {
    'advapi32', 'clbcatq', 'combase', 'comdlg32', 'coml2', 'difxapi', 'gdi32', 'imagehlp', 'imm32',
    'kernel32', 'msctf', 'msvcrt', 'normaliz', 'nsi', 'ole32', 'oleaut32', 'psapi', 'rpcrt4',
    'sechost', 'setupapi', 'shcore', 'shell32', 'shlwapi', 'user32', 'wldap32', 'ws2_32',
    'ntdll', 'kernelbase',
}
# Taken through the side-by-side dependency of the program's manifest (common controls v6), which
# the loader honours before the program's folder.
SIDE_BY_SIDE = {'comctl32'}
ALLOWED = KNOWN_DLLS | SIDE_BY_SIDE


def imports(objdump, exe):
    out = subprocess.run([objdump, '-p', exe], check=True, capture_output=True, text=True).stdout
    return [m.group(1) for m in re.finditer(r'DLL Name:\s*(\S+)', out)]


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    names = imports(sys.argv[1], sys.argv[2])
    if not names:
        print(f'{sys.argv[2]}: no import table read')
        return 1
    bad = [n for n in names if re.sub(r'\.dll$', '', n.lower()) not in ALLOWED]
    for n in bad:
        print(f'{sys.argv[2]}: imports {n}, which Windows may load from the program\'s folder; '
              'load it at run time with SystemFunction (foundation/SystemLibrary.h)')
    print(f'{len(names)} imports, {len(bad)} not allowed')
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
