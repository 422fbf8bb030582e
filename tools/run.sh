#!/usr/bin/env bash
# The run command: installs what is missing, builds the program for Windows and starts it under Wine
# in a private prefix under the build folder (with the stand-in media library and its demo library).
# With a display the window opens there; without one it runs on a virtual display, saves a
# screenshot of the window and says where.
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
