#!/usr/bin/env bash
# Builds the benchmarks natively with optimisation and runs them (or the ones named).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${SWIRLO_BUILD_DIR:-$ROOT/build}/bench
bash "$ROOT/tools/setup.sh"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DSWIRLO_TESTS=OFF -DSWIRLO_BENCH=ON >/dev/null
cmake --build "$BUILD" -j "${SWIRLO_JOBS:-$(nproc)}" >/dev/null
names=("$@")
[ ${#names[@]} -gt 0 ] || names=($(cd "$BUILD/bench" && ls bench_* 2>/dev/null | grep -v '\.' ))
for n in "${names[@]}"; do echo "== $n"; "$BUILD/bench/$n"; done
