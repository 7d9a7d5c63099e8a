#!/usr/bin/env bash
# Builds both targets and runs every test under wine64 in a private Xvfb
# display: the test programs (ctest), then the end-to-end suite
# (scripts/e2e.sh). Installs the Debian packages it needs when they are
# missing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
ensure_japanese_locale
log "building build/win32 (shipping build)"
build_target win32
log "building build/win64 with tests"
build_target win64 -DCONFIG_BUILD_TESTS=ON

size=$(stat -c %s "$ROOT/build/win32/config.exe")
log "build/win32/config.exe: $size bytes; build/win64/config.exe: $(stat -c %s "$ROOT/build/win64/config.exe") bytes"

start_display
log "running the tests on display $DISPLAY"
cd "$ROOT/build/win64"
status=0
# The first program with a window on the display pays for every window that
# the programs after it make (under Wine 8 here a test program that came
# first ran two to four times as long as alone while others ran beside it).
# A Notepad that comes first and stays open until stop_display takes that
# part; no test looks at it.
"$WINE_LOADER" notepad >/dev/null 2>&1 &
sleep 2
# Three at a time: the test programs mostly wait on the wineserver, so
# three keep two cores busy.
ctest --output-on-failure -j3 "$@" || status=$?
stop_display

# The shipped executable driven through real X input, on its own display
# and prefix.
log "running the end-to-end suite"
bash "$ROOT/scripts/e2e.sh" || status=1
exit $status
