#!/usr/bin/env bash
# Registers the stand-in media library in the private Wine prefix (HKLM, the only place Wine looks)
# under the player's class, pointed at the demo library, and names the player's own playlist folders
# that the demo library uses. Run by swirlo_ensure_prefix each time; quick when nothing changed.
# Nothing like this ever runs on a real Windows machine, where the stand-in would shadow the player.
set -u
source "$(dirname "$0")/../wine-env.sh"
build=${SWIRLO_BUILD:-$(dirname "$WINEPREFIX")/win}
dll="$build/standin/SwirloStandin.dll"
lib="$build/standin/demo-library.txt"
[ -f "$dll" ] || exit 0   # not built yet: nothing to register

winpath() { printf 'Z:%s' "$1" | sed 's#/#\\\\#g'; }   # Wine maps / to Z:, .reg files double \
stamp="$WINEPREFIX/.swirlo-standin"
want="$dll|$lib|2"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && grep -q 'SwirloStandin.dll' "$WINEPREFIX/system.reg" 2>/dev/null; then
    exit 0
fi
clsid='{6BF52A52-394A-11D3-B153-00C04F79FAA6}'
reg=$(mktemp --suffix=.reg)
cat >"$reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\$clsid]
@="Swirlo stand-in media library"
"LibraryFile"="$(winpath "$lib")"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\$clsid\\InprocServer32]
@="$(winpath "$dll")"
"ThreadingModel"="Apartment"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\MediaPlayer\\Preferences]
"ObfuscatedSyncPlaylistsPath"="C:\\\\ProgramData\\\\Microsoft\\\\Media Player\\\\Sync Playlists\\\\5D2A0F"
"ObfuscatedSamplePlaylistsPath"="C:\\\\ProgramData\\\\Microsoft\\\\Media Player\\\\Sample Playlists\\\\0C1E77"
REG
if wine reg import "$(winpath "$reg" | sed 's#\\\\#\\#g')" >/dev/null 2>&1; then
    printf '%s' "$want" >"$stamp"
else
    echo "standin.sh: could not register the stand-in media library" >&2
fi
rm -f "$reg"
exit 0
