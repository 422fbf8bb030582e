#!/usr/bin/env bash
# Regenerates the screenshots of the README (docs/screenshots/) and of the help file (help/images/)
# from the real program under Wine on a virtual display: the main window, both menus open, both
# option dialogs and the About box, each window active.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${SWIRLO_BUILD_DIR:-$ROOT/build}
bash "$ROOT/tools/setup.sh"
cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD/win" -j "${SWIRLO_JOBS:-2}" --target Blendo wmsend >/dev/null
export SWIRLO_BUILD="$BUILD/win"
export SWIRLO_WINEPREFIX=${SWIRLO_WINEPREFIX:-$BUILD/wineprefix}
exe="$BUILD/win/app/Blendo.exe"
send="wine $BUILD/win/tools/driver/wmsend.exe"
out="$ROOT/docs/screenshots"
mkdir -p "$out" "$ROOT/help/images"
# A fresh settings file, so that every shot shows the program's defaults.
source "$ROOT/tools/wine-env.sh"
rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Swirlo/Blendo.ini

shot() {  # name, window title, command run once the main window is up
    bash "$ROOT/tools/screenshot.sh" "$out/$1.png" "$2" --delay 1 --then "$3" -- "$exe"
    cp "$out/$1.png" "$ROOT/help/images/$1.png"
}
shot main-window "Swirlo" "$send Swirlo activate"
shot settings-menu "Swirlo" "$send Swirlo press 1002"   # the "Settings" label
shot help-menu "Swirlo" "$send Swirlo press 1003"       # the "Help" label
shot shuffle-options "Swirlo  -  Vuriror Oduvizu Options" "$send Swirlo command 40006"
shot logging-options "Swirlo  -  Logging Options" "$send Swirlo command 40013"
shot about "About \"Swirlo\"" "$send Swirlo command 40010"
echo "Screenshots in $out"
