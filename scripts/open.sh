#!/usr/bin/env bash
# Builds the tool and opens it under wine64, in the current directory (where
# setting.cfg lives), in a Wine prefix of its own (build/win64/open-prefix,
# a copy of the tests' prefix when there is one) set up as a player's
# system, like the screenshots' (setup_player_prefix in scripts/common.sh).
# With no X display it opens in a private virtual display, saves a
# screenshot (config-screenshot.png), and closes it with Cancel. What Wine
# prints goes to the standard error, less the lines that tell of no fault
# (without_noise).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
here=$(pwd)
OPEN_PREFIX="$ROOT/build/win64/open-prefix"

ensure_packages
ensure_packages "${PLAYER_PREFIX_PACKAGES[@]}"
build_target win64 >/dev/null
exe="$ROOT/build/win64/config.exe"
copy_tests_prefix "$OPEN_PREFIX"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || { [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1; }; then
  start_wine "$OPEN_PREFIX" "$WINE_LOADER"
  trap stop_wine EXIT
  setup_player_prefix
  cd "$here"
  # The tool's exit code: 1 after OK, 0 after Cancel.
  status=0
  "$WINE_LOADER" "$exe" 2> >(without_noise) || status=$?
  exit $status
fi

start_display "$OPEN_PREFIX"
setup_player_prefix
cd "$here"
"$WINE_LOADER" "$exe" 2> >(without_noise) &
tool=$!
for _ in $(seq 200); do
  window=$(xdotool search --name '^ZEPHRANIX Configuration$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "${window:-}" ]; then log "the tool did not show its sheet"; exit 1; fi
sleep 0.5
import -window root -crop "$(xdotool getwindowgeometry --shell "$window" | awk -F= '/WIDTH/{w=$2}/HEIGHT/{h=$2}/^X/{x=$2}/^Y/{y=$2}END{print w"x"h"+"x"+"y}')" config-screenshot.png
log "screenshot saved to $here/config-screenshot.png"
xdotool key --window "$window" Escape
wait "$tool" || true
