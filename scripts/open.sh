#!/usr/bin/env bash
# Builds the tool and opens it under wine64, in the current directory (where
# setting.cfg lives). With no X display it opens in a private virtual
# display, saves a screenshot (config-screenshot.png), and closes it with
# Cancel.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
here=$(pwd)

ensure_packages
build_target win64 >/dev/null
exe="$ROOT/build/win64/config.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || { [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1; }; then
  export WINEPREFIX="$ROOT/build/win64/wineprefix" WINEDEBUG=-all
  cd "$here"
  exec "$WINE_LOADER" "$exe"
fi

start_display
cd "$here"
"$WINE_LOADER" "$exe" &
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
