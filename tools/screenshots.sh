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

# The spread picture after a run on the demo library, for the even (0) and the separated (1) method:
# one group of all songs by rating, no limit on the list's size, the playlist written under C:\users\Public.
cfg="$WINEPREFIX/drive_c/users/${USER:-$(whoami)}/AppData/Roaming/Swirlo"
mkdir -p "$cfg"
spread_shot() {  # name, RepeatsOption
    printf '[Shuffle Settings]\r\nWmpNotify=0\r\n[Shuffle Tab]\r\nRepeatsOption=%s\r\nTruncateOutput=0\r\nTruncateNoReps=0\r\n' "$2" >"$cfg/Blendo.ini"
    printf 'SWIRLO-GROUPS 1\r\ngroup\t1\t0\t1\t1\t2\t3\t4\t0\t0\tAll songs\r\nselect\r\n' | iconv -t UTF-16LE >"$cfg/shuffle groups.txt"
    local dlg="Save shuffled playlist as ..."
    bash "$ROOT/tools/screenshot.sh" "$out/$1.png" "Swirlo  -  Spread of repeats" --delay 1 --then "sleep 2; \
        $send Swirlo click 1329; $send '$dlg' wait; sleep 1; $send '$dlg' settext 1148 'C:\\users\\Public\\spread.m3u8'; \
        $send '$dlg' click 1; sleep 4; $send Swirlo click 1; sleep 1; $send Swirlo click 1700" -- "$exe"
    cp "$out/$1.png" "$ROOT/help/images/$1.png"
    rm -f "$WINEPREFIX/drive_c/users/Public/spread.m3u8"
}
spread_shot spread-even 0
spread_shot spread-separated 1
rm -f "$cfg/Blendo.ini" "$cfg/shuffle groups.txt"
echo "Spread screenshots in $out"
