#!/usr/bin/env bash
# Makes the one download: dist/Swirlo-<version>-win64.zip holding the stripped Blendo.exe, its help
# file Blendo.chm and a short read-me, then reads the zip back and fails unless it holds exactly
# those three files and Blendo.exe is under 2 MB. The version is the program's own: the
# ProductVersion of its version resource (resources/Blendo.rc).
# BUILD is $SWIRLO_BUILD_DIR, default build/; the Windows target is built there if it is not yet.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${SWIRLO_BUILD_DIR:-$ROOT/build}
DIST=$ROOT/dist

version=$(sed -n 's/.*VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$ROOT/resources/Blendo.rc")
[ -n "$version" ] || { echo "package: no ProductVersion in resources/Blendo.rc"; exit 1; }
if [ -f "$BUILD/win/CMakeCache.txt" ]; then
    cmake --build "$BUILD/win" -j "${SWIRLO_JOBS:-$(nproc)}" --target Blendo helpfile >/dev/null
else
    bash "$ROOT/tools/build.sh" win >/dev/null
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
x86_64-w64-mingw32-strip -o "$stage/Blendo.exe" "$BUILD/win/app/Blendo.exe"
cp "$BUILD/win/app/Blendo.chm" "$stage/Blendo.chm"
# The read-me, with Windows line ends so that every editor shows its lines.
sed 's/$/\r/' > "$stage/README.txt" <<EOF
Swirlo $version for 64-bit Windows

Start: run Blendo.exe. There is nothing to install and nothing else to download.
Keep Blendo.chm, the help file, in the same folder: F1 and the Help menu open it.

The first start may be stopped by Windows SmartScreen, because the program is not signed:
"Windows protected your PC". Click "More info", then "Run anyway".

Settings are kept in %APPDATA%\\Swirlo\\Blendo.ini; when Blendo.exe is kept inside your user
folder (Downloads, Documents, the desktop) they are kept beside it instead, in Blendo.ini.
One copy of the program runs at a time: starting it again brings its window to the front.
EOF

mkdir -p "$DIST"
zip="$DIST/Swirlo-$version-win64.zip"
rm -f "$zip"
python3 - "$zip" "$stage" <<'EOF'
import os, sys, zipfile
zip_path, stage = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(zip_path, 'w', zipfile.ZIP_DEFLATED) as z:
    for name in ('Blendo.exe', 'Blendo.chm', 'README.txt'):
        z.write(os.path.join(stage, name), name)
# Read back: exactly the three files, and the program small enough to download at once.
with zipfile.ZipFile(zip_path) as z:
    sizes = {i.filename: i.file_size for i in z.infolist()}
    bad = z.testzip()
problems = []
if sorted(sizes) != ['Blendo.chm', 'Blendo.exe', 'README.txt']:
    problems.append(f'holds {sorted(sizes)}')
if sizes.get('Blendo.exe', 0) >= 2 * 1024 * 1024:
    problems.append(f'Blendo.exe is {sizes["Blendo.exe"]} bytes, not under 2 MB')
if bad:
    problems.append(f'{bad} is damaged')
for p in problems:
    print(f'package: {zip_path} {p}')
if problems:
    sys.exit(1)
print(f'{zip_path}: ' + ', '.join(f'{n} {s} bytes' for n, s in sorted(sizes.items())))
EOF
