# Let Wine draw window frames and captions itself (no window manager runs on the virtual display),
# so that screenshots show what a Windows user sees.
source "$(dirname "$0")/../wine-env.sh"
marker="$WINEPREFIX/.swirlo-x11"
[ -f "$marker" ] && exit 0
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# The caption buttons are drawn with the Marlett font; make sure the prefix sees Wine's own copy.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
for f in marlett.ttf tahoma.ttf tahomabd.ttf; do
    [ -f "/usr/share/wine/fonts/$f" ] && cp -n "/usr/share/wine/fonts/$f" "$WINEPREFIX/drive_c/windows/Fonts/"
done
touch "$marker"
