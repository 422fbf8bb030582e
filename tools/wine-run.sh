#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix (CTest's emulator).
source "$(dirname "$0")/wine-env.sh"
[ -f "$WINEPREFIX/.swirlo-ready" ] || swirlo_ensure_prefix
exec wine "$@"
