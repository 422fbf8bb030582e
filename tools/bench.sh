#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them (or the ones named). Each prints its own
# times as ratios to a reference measured in the same run.
#   tools/bench.sh [bench_name ...]         native benchmarks
#   tools/bench.sh --win [bench_name ...]   Windows benchmarks under Wine (scan, COM reading, ...)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BASE=${SWIRLO_BUILD_DIR:-$ROOT/build}
win=0
if [ "${1:-}" = --win ]; then win=1; shift; fi
bash "$ROOT/tools/setup.sh"
if [ $win = 0 ]; then
    BUILD=$BASE/bench
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DSWIRLO_TESTS=OFF -DSWIRLO_BENCH=ON >/dev/null
    cmake --build "$BUILD" -j "${SWIRLO_JOBS:-$(nproc)}" >/dev/null
    names=("$@")
    [ ${#names[@]} -gt 0 ] || names=($(cd "$BUILD/bench" && ls bench_* 2>/dev/null | grep -v '\.'))
    for n in "${names[@]}"; do echo "== $n"; "$BUILD/bench/$n"; done
    exit 0
fi
BUILD=$BASE/bench-win
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DSWIRLO_TESTS=OFF -DSWIRLO_BENCH=ON >/dev/null
cmake --build "$BUILD" -j "${SWIRLO_JOBS:-$(nproc)}" >/dev/null
export SWIRLO_BUILD="$BUILD"
export SWIRLO_WINEPREFIX=${SWIRLO_WINEPREFIX:-$BUILD/wineprefix}
source "$ROOT/tools/wine-env.sh"
swirlo_ensure_prefix
names=("$@")
[ ${#names[@]} -gt 0 ] || names=($(cd "$BUILD/bench" && ls bench_*.exe 2>/dev/null | sed 's/\.exe$//'))
for n in "${names[@]}"; do echo "== $n (Wine)"; xvfb-run -a wine "$BUILD/bench/$n.exe"; done
wineserver -k >/dev/null 2>&1 || true
