#!/usr/bin/env bash
# The run command: installs what is missing, builds the program for Windows and starts it under Wine
# in a private prefix under the build folder (with the stand-in media library and its demo library).
# With a display the window opens there; without one it runs on a virtual display, saves a
# screenshot of the window and says where, then does the program's job once without a window
# (Blendo.exe /shuffle) and shows what it wrote.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${SWIRLO_BUILD_DIR:-$ROOT/build}
bash "$ROOT/tools/setup.sh"
bash "$ROOT/tools/build.sh" win >/dev/null
export SWIRLO_BUILD="$BUILD/win"
export SWIRLO_WINEPREFIX=${SWIRLO_WINEPREFIX:-$BUILD/wineprefix}
export SWIRLO_PLAYER_DRIVE=0  # the tests' removable drive P: is not shown to a person (tools/prefix.d)
source "$ROOT/tools/wine-env.sh"
exe="$BUILD/win/app/Blendo.exe"
if [ -n "${DISPLAY:-}" ]; then
    swirlo_ensure_prefix
    exec wine "$exe"
fi
mkdir -p "$BUILD/screenshots"
bash "$ROOT/tools/screenshot.sh" "$BUILD/screenshots/main-window.png" "Swirlo" --delay 2 -- "$exe"

# The main job without a window: the demo library's songs shuffled into a playlist under build/,
# from the song groups the program keeps (a list made for the demo library, unless groups are kept
# already: a list made in the window is not replaced; the window keeps an empty list when it closes
# without groups, as after the screenshot above).
user=${USER:-$(id -un)}
config="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Swirlo"
groups="$config/shuffle groups.txt"
if [ ! -f "$groups" ] || ! iconv -f UTF-16LE -t UTF-8 "$groups" | grep -q $'^group\t'; then
    mkdir -p "$config"
    printf '%s\r\n' 'SWIRLO-GROUPS 2' \
        $'group\t2\t0\t1\t1\t2\t3\t5\t0\t0\tJazz and Soul' select $'genre\tJazz' $'genre\tSoul' end \
        $'group\t2\t3\t0\t0\t0\t0\t0\t0\t0\tRoad Trip' select $'playlist\t-1\tRoad Trip' end \
        $'group\t2\t-1\t0\t0\t0\t0\t0\t0\t0\tNo Metal' select $'genre\tMetal' end |
        iconv -f UTF-8 -t UTF-16LE >"$groups"
    echo "Kept song groups made for the demo library: Jazz and Soul by rating, Road Trip 3 times each, no Metal."
else
    echo "Using the song groups kept in $groups"
fi
mkdir -p "$BUILD/run"
out="$BUILD/run/weekly.m3u8"
code=0
wine "$exe" /shuffle "Z:$(printf '%s' "$out" | tr / '\\')" || code=$?
echo "Blendo.exe /shuffle $out: exit code $code (0 written, 1 failed, 2 nothing to shuffle)"
log="$WINEPREFIX/drive_c/users/$user/Documents/Swirlo/unattended shuffle log.txt"
[ -f "$log" ] && { echo "Its log line:"; iconv -f UTF-16LE -t UTF-8 "$log" | tail -n 1; }
[ "$code" = 0 ] && { echo "The first entries:"; sed -n '2,11p' "$out" | tr -d '\r'; }
exit "$code"
