#!/usr/bin/env bash
# Gives the prefix a removable drive P: (a folder beside the prefix, "floppy" in Wine's drive table)
# for the album art end-to-end test, which plays the MP3 player on it. The drive type is read when
# the wine server starts, which swirlo_ensure_prefix lets happen afresh after the hooks.
set -u
source "$(dirname "$0")/../wine-env.sh"
player="$(dirname "$WINEPREFIX")/albumart-player"
mkdir -p "$player" "$WINEPREFIX/dosdevices"
link="$WINEPREFIX/dosdevices/p:"
[ "$(readlink "$link" 2>/dev/null)" = "$player" ] || ln -sfn "$player" "$link"
marker="$WINEPREFIX/.swirlo-albumart-drive"
if [ ! -f "$marker" ] || ! grep -qi '"p:"="floppy"' "$WINEPREFIX/system.reg" 2>/dev/null; then
    wine reg add 'HKLM\Software\Wine\Drives' /v 'p:' /d floppy /f >/dev/null 2>&1 && touch "$marker"
    wineserver -k >/dev/null 2>&1 || true
fi
exit 0
