#!/usr/bin/env bash
# The test command: installs what is missing, builds both targets, runs the OS-free tests natively
# under the sanitizers (the threaded writer also under TSan), makes and checks the download, then
# runs every test under Wine on a virtual display. Ends with CTest's summary.
# Extra arguments go to the native and Wine CTest runs (for example -R albumart).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${SWIRLO_BUILD_DIR:-$ROOT/build}
bash "$ROOT/tools/setup.sh" || exit 1
bash "$ROOT/tools/build.sh" all || { echo "Build failed"; exit 1; }

echo "== OS-free tests, native, ASan/UBSan =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1
(cd "$BUILD/native" && ctest --output-on-failure "$@")
native=$?

echo "== Threaded core, native, TSan =="
# Its own selection only: a -R of the caller would replace it and select nothing here.
(cd "$BUILD/tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R playlist_text)
tsan=$?

echo "== The download =="
bash "$ROOT/tools/package.sh"
package=$?

echo "== All tests under Wine =="
export SWIRLO_BUILD="$BUILD/win"
export SWIRLO_WINEPREFIX=${SWIRLO_WINEPREFIX:-$BUILD/wineprefix}
source "$ROOT/tools/wine-env.sh"
swirlo_ensure_prefix
(cd "$BUILD/win" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@")
wine_rc=$?
wineserver -k >/dev/null 2>&1 || true
[ $native -eq 0 ] && [ $tsan -eq 0 ] && [ $package -eq 0 ] && [ $wine_rc -eq 0 ]
