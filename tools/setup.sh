#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root). Quick when
# everything is already there. fonts-wine gives Wine its Tahoma and Marlett (caption buttons); the
# install skips recommended packages, so it is named here. libchm-bin reads Blendo.chm back in a test.
# The locales let tests run under other ANSI code pages (see tests/CMakeLists.txt).
set -euo pipefail
need=(cmake make g++ ccache g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
      imagemagick fp-utils googletest x11-utils
      fonts-wine libchm-bin locales)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Wine takes the system code page from the locale a process names (ru_RU 1251, ja_JP 932, hi_IN
# UTF-8) and names files in that locale's character set, so the locale itself must exist.
have=$(locale -a 2>/dev/null || true)
for l in ru_RU ja_JP hi_IN; do
    grep -qix "$l.utf-\?8" <<<"$have" || localedef -i "$l" -f UTF-8 "$l.UTF-8" ||
        echo "setup.sh: could not make the locale $l.UTF-8; the tests under its code page will fail" >&2
done
