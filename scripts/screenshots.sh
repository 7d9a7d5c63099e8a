#!/usr/bin/env bash
# Regenerates the README's screenshots from the running 64-bit tool under
# Xvfb: docs/graphic-audio-page.png, docs/keyboard-page.png and
# docs/gamepad-page.png (with two stand-in pads attached), each page shown
# by a click on its tab, with the factory defaults of a first run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"

ensure_packages
build_target win64 -DCONFIG_BUILD_TESTS=ON >/dev/null
start_driving

attach_two_pads

# shoot FILE: the sheet as it is on the screen, with the pointer out of the
# way.
shoot() {
  local left top right bottom
  read -r left top right bottom <<<"$(probe sheet)"
  xdotool mousemove 1270 1010
  sleep 0.3
  import -window root -crop "$(( right - left ))x$(( bottom - top ))+$left+$top" +repage -strip "$1"
  log "saved $1"
}

start_tool "$(fresh_folder)"
shoot "$ROOT/docs/graphic-audio-page.png"
click_tab $KEYBOARD_PAGE
shoot "$ROOT/docs/keyboard-page.png"
click_tab $GAMEPAD_PAGE
shoot "$ROOT/docs/gamepad-page.png"
click_control $CANCEL_BUTTON
wait_tool
