#!/usr/bin/env bash
# Configures and builds both targets: BUILD/native (OS-free core and its tests under ASan/UBSan)
# and BUILD/win (Blendo.exe, the stand-in library and all tests, for Wine). "tsan" builds the
# tests of the core's threaded parts under the race detector in BUILD/tsan.
# BUILD is $SWIRLO_BUILD_DIR, default build/ in the repository.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${SWIRLO_BUILD_DIR:-$ROOT/build}
JOBS=${SWIRLO_JOBS:-$(nproc)}
what=${1:-all}
if [ "$what" = all ] || [ "$what" = native ]; then
    cmake -S "$ROOT" -B "$BUILD/native" -DSWIRLO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$BUILD/native" -j "$JOBS"
fi
if [ "$what" = all ] || [ "$what" = tsan ]; then
    cmake -S "$ROOT" -B "$BUILD/tsan" -DSWIRLO_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$BUILD/tsan" -j "$JOBS" --target playlist_text_tests
fi
if [ "$what" = all ] || [ "$what" = win ]; then
    cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD/win" -j "$JOBS"
fi
