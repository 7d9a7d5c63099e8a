#!/usr/bin/env bash
# Builds the 64-bit test build and runs the benchmarks under wine64. Today:
# tests/bench/poll_bench.cpp, the time per call of the live-capture polls
# and the allocations they make. Prints tab-separated rows; exits nonzero
# when a poll allocated.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
log "building build/win64 with tests and benchmarks"
build_target win64 -DCONFIG_BUILD_TESTS=ON
cmake --build "$ROOT/build/win64" --target poll_bench -j"$(nproc)" -- --no-print-directory

start_display
cd "$ROOT/build/win64"
"$WINE_LOADER" poll_bench.exe
