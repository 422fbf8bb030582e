# Sourced by the scripts that run Windows programs under Wine: a private prefix under the build
# folder, no Mono/Gecko downloads, no debug noise.
SWIRLO_ROOT=${SWIRLO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export WINEPREFIX=${SWIRLO_WINEPREFIX:-$SWIRLO_ROOT/build/wineprefix}

# Creates the prefix on first use; then runs every hook in tools/prefix.d (each must be idempotent
# and quick), for example registering the stand-in media library.
swirlo_ensure_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/.swirlo-ready" ]; then
        wineboot -i >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.swirlo-ready"
    fi
    local hook
    for hook in "$SWIRLO_ROOT"/tools/prefix.d/*.sh; do
        [ -f "$hook" ] && bash "$hook"
    done
    # Let the wine server started here (without a display) end, so that the programs run next start
    # one that knows the display.
    wineserver -w
    return 0
}
