#!/usr/bin/env bash
# The long run: holds a key and a pad input on each assignment page for ten
# minutes of capture ticks and prints the process's handles, USER and GDI
# objects and private memory before and after (tests/soak). Not part of
# scripts/test.sh; takes a few minutes under Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_target win64 -DCONFIG_BUILD_TESTS=ON >/dev/null
cmake --build "$ROOT/build/win64" --target soak_tests -j"$(nproc)" -- --no-print-directory >/dev/null

start_display
cd "$ROOT/build/win64"
"$WINE_LOADER" soak_tests.exe "$@"
