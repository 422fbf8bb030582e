#!/usr/bin/env bash
# Gives the prefix a removable drive P: (a folder beside the prefix, "floppy" in Wine's drive table)
# for the album art end-to-end test, which plays the MP3 player on it. The drive type is read when
# the wine server starts, which swirlo_ensure_prefix lets happen afresh after the hooks.
# SWIRLO_PLAYER_DRIVE=0 (tools/run.sh) takes the drive away again, so that the program run for a
# person finds no test player; unset or 1, the drive is there (the tests, CI, a plain ctest run).
set -u
source "$(dirname "$0")/../wine-env.sh"
player="$(dirname "$WINEPREFIX")/albumart-player"
link="$WINEPREFIX/dosdevices/p:"
marker="$WINEPREFIX/.swirlo-albumart-drive"
if [ "${SWIRLO_PLAYER_DRIVE:-1}" = 0 ]; then
    if [ -L "$link" ] || [ -f "$marker" ]; then
        rm -f "$link" "$marker"
        wine reg delete 'HKLM\Software\Wine\Drives' /v 'p:' /f >/dev/null 2>&1
        wineserver -k >/dev/null 2>&1 || true
    fi
    exit 0
fi
mkdir -p "$player" "$WINEPREFIX/dosdevices"
[ "$(readlink "$link" 2>/dev/null)" = "$player" ] || ln -sfn "$player" "$link"
if [ ! -f "$marker" ] || ! grep -qi '"p:"="floppy"' "$WINEPREFIX/system.reg" 2>/dev/null; then
    wine reg add 'HKLM\Software\Wine\Drives' /v 'p:' /d floppy /f >/dev/null 2>&1 && touch "$marker"
    wineserver -k >/dev/null 2>&1 || true
fi
exit 0
