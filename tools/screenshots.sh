#!/usr/bin/env bash
# Regenerates the screenshots of the README (docs/screenshots/) and of the help file (help/images/)
# from the real program under Wine on a virtual display: the main window, both menus open, both
# option dialogs and the About box, each window active; then both pages and the copy-selection
# dialog at 150 % scaling (LogPixels 144), over the demo library, four kept song groups and a small
# pair of album trees.
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
# A fresh settings file and no kept groups, so that every shot shows the program's defaults; no
# playlist left by an earlier spread shot (its overwrite question would stop the run).
source "$ROOT/tools/wine-env.sh"
rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Swirlo/{Blendo.ini,"shuffle groups.txt"} \
      "$WINEPREFIX/drive_c/users/Public/spread.m3u8"

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

# The pages and the copy-selection dialog at 150 % (the README's and the help's pictures of them).
appdata=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming)/Swirlo
mkdir -p "$appdata"
python3 - "$appdata/shuffle groups.txt" <<'PY'
import sys
groups = "\r\n".join([
    "SWIRLO-GROUPS 2",
    "group\t2\t0\t1\t2\t3\t5\t9\t90\t1\t2 Genres (last 90 days, deduped)", "select", "genre\tRock", "genre\tJazz", "end",
    "group\t2\t2\t0\t0\t0\t0\t0\t0\t1\tRoad Trip (deduped) <Playlist>", "select", "playlist\t0\tRoad Trip", "end",
    "group\t2\t-1\t0\t0\t0\t0\t0\t0\t0\tLatin <Genre>", "select", "genre\tLatin", "end",
    "group\t1\t0\t0\t1\t2\t4\t8\t30\t0\tALL SONGS (New added in last 30 days)", "select", "end", ""])
open(sys.argv[1], "wb").write(groups.encode("utf-16-le"))
PY
# Album folders on the computer and on the player (the prefix's drive P:), with covers.
trees="$(dirname "$WINEPREFIX")"
music="$WINEPREFIX/drive_c/users/Public/Music/Albums"
rm -rf "$music" "$trees/albumart-player/MUSIC"
for a in "Nina Simone/Pastel Blues" "The Beatles/Abbey Road" "Miles Davis/Kind of Blue" "Pink Floyd/The Wall" "Bjork/Post"; do
    mkdir -p "$music/$a"
    convert -size 300x300 -seed 7 plasma:fractal "$music/$a/Folder.jpg" 2>/dev/null ||
        convert -size 300x300 xc:steelblue "$music/$a/Folder.jpg"
done
for a in "Nina Simone/Pastel Blues" "Beatles, The/Abbey Road" "Miles Davis/Kind Of Blue (Remastered)" "Pink Floyd/The Wall" "Bjork/Homogenic"; do
    mkdir -p "$trees/albumart-player/MUSIC/$a"
done
convert -size 300x300 xc:firebrick "$trees/albumart-player/MUSIC/Pink Floyd/The Wall/Folder.jpg"
printf '[Album Art Tab]\r\nLastSourceFolder=C:\\users\\Public\\Music\\Albums\r\n' >"$appdata/Blendo.ini"
wm_next_tab=32771  # WM_APP + 3: the next tab, as Ctrl+Tab
scaled() {  # dots per inch, name suffix: both pages and the copy-selection dialog at that scale
    export SWIRLO_DPI=$1
    shot "shuffle-page$2" "Swirlo" "$send Swirlo activate"
    shot "albumart-page$2" "Swirlo" "$send Swirlo post $wm_next_tab 1; sleep 2; $send Swirlo activate"
    shot "copy-selection$2" "Swirlo  -  Copy checked images to player" \
        "$send Swirlo post $wm_next_tab 1; sleep 2; $send Swirlo click 1628"
    unset SWIRLO_DPI
}
scaled 144 ""
# SWIRLO_REVIEW_DPIS="96 120 192": every window again at those scales, into build/screenshots/review
# (for a look, not for the README).
if [ -n "${SWIRLO_REVIEW_DPIS:-}" ]; then
    out="$BUILD/screenshots/review"
    mkdir -p "$out"
    shot() { bash "$ROOT/tools/screenshot.sh" "$out/$1.png" "$2" --delay 1 --then "$3" -- "$exe"; }
    for dpi in $SWIRLO_REVIEW_DPIS; do
        scaled "$dpi" "-$dpi"
        export SWIRLO_DPI=$dpi
        shot "shuffle-options-$dpi" "Swirlo  -  Vuriror Oduvizu Options" "$send Swirlo command 40006"
        shot "logging-options-$dpi" "Swirlo  -  Logging Options" "$send Swirlo command 40013"
        shot "albumart-options-$dpi" "Album Art Options" "$send Swirlo command 40008"
        shot "about-$dpi" "About \"Swirlo\"" "$send Swirlo command 40010"
        shot "settings-menu-$dpi" "Swirlo" "$send Swirlo press 1002"
        unset SWIRLO_DPI
    done
fi
rm -f "$appdata/shuffle groups.txt" "$appdata/Blendo.ini"
rm -rf "$music" "$trees/albumart-player/MUSIC"
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
