#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root). Quick when
# everything is already there. fonts-wine gives Wine its Tahoma and Marlett (caption buttons); the
# install skips recommended packages, so it is named here. libchm-bin reads Blendo.chm back in a test.
set -euo pipefail
need=(cmake make g++ ccache g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
      imagemagick fp-utils googletest x11-utils
      fonts-wine libchm-bin)
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
