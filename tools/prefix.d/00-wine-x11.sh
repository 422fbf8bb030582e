# Let Wine draw window frames and captions itself (no window manager runs on the virtual display),
# so that screenshots show what a Windows user sees.
source "$(dirname "$0")/../wine-env.sh"
marker="$WINEPREFIX/.swirlo-x11"
[ -f "$marker" ] && exit 0
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
touch "$marker"
