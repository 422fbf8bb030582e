#!/usr/bin/env bash
# Runs a Windows program under Wine on a virtual display, waits for a window with the given title,
# and saves a screenshot of it (or of the whole screen with --root).
#   tools/screenshot.sh OUT.png "Window title" [--root] [--delay S] [--then "shell command"] -- PROGRAM.exe [ARGS]
# --then runs a command (for example tools/driver's wmsend.exe) once the window titled by --after
# (default: the main window "Swirlo") is up; the shot is then of the window with the given title.
# Without DISPLAY it starts its own Xvfb; with one it uses it.
# SWIRLO_DPI=120|144|192 takes the shot at 125, 150 or 200 % scaling: the prefix's LogPixels is set
# for the run and put back afterwards.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
out=$1; title=$2; shift 2
root=0; delay=1; then_cmd=""; after="Swirlo"
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case "$1" in
        --root) root=1 ;;
        --delay) delay=$2; shift ;;
        --then) then_cmd=$2; shift ;;
        --after) after=$2; shift ;;
    esac
    shift
done
shift  # --
if [ -z "${SWIRLO_IN_XVFB:-}" ] && [ -z "${DISPLAY:-}" ]; then
    SWIRLO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$out" "$title" \
        $([ $root = 1 ] && echo --root) --delay "$delay" --after "$after" ${then_cmd:+--then "$then_cmd"} -- "$@"
fi
source "$ROOT/tools/wine-env.sh"
swirlo_ensure_prefix
desktop='HKCU\Control Panel\Desktop'
if [ -n "${SWIRLO_DPI:-}" ]; then
    old_dpi=$(wine reg query "$desktop" /v LogPixels 2>/dev/null | awk '/LogPixels/{print $NF}' | tr -d '\r')
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$SWIRLO_DPI" /f >/dev/null 2>&1
    restore_dpi() {
        wineserver -k 2>/dev/null
        if [ -n "$old_dpi" ]; then wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $((old_dpi)) /f >/dev/null 2>&1
        else wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1; fi
        wineserver -w
    }
    trap restore_dpi EXIT
    wineserver -w
fi
wine "$@" &
pid=$!
find_window() {
    xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | head -1 | awk '{print $1}'
}
if [ -n "$then_cmd" ]; then
    for _ in $(seq 1 120); do [ -n "$(find_window "$after")" ] && break; sleep 0.5; done
    sleep 0.5
    bash -c "$then_cmd"
fi
win=""
for _ in $(seq 1 120); do
    win=$(find_window "$title")
    [ -n "$win" ] && break
    sleep 0.5
done
if [ -z "$win" ]; then
    echo "No window titled '$title' appeared" >&2
    kill $pid 2>/dev/null; wineserver -k 2>/dev/null
    exit 1
fi
sleep "$delay"
# What a person sees in the window's rectangle: a menu or a box over it included.
if [ $root = 1 ]; then import -window root "$out"
else
    geo=$(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF} END{print w"x"h"+"x"+"y}')
    import -window root -crop "$geo" +repage "$out"
fi
echo "Screenshot: $out"
kill $pid 2>/dev/null
wineserver -k 2>/dev/null
exit 0
