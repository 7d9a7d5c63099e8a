#!/usr/bin/env bash
# Regenerates the README's screenshots from the running 64-bit tool under
# Xvfb: docs/graphic-audio-page.png, docs/keyboard-page.png and
# docs/gamepad-page.png (with two stand-in pads attached, the first a
# DualShock 4, whose layout names its inputs), each page shown
# by a click on its tab, with the factory defaults of a first run (on the
# keyboard page one key captured twice and one held, on the gamepad page a
# pad button held); and
# docs/gamepad-page-150.png, the gamepad page again at 150 % scaling
# (144 dots per inch), with a pass of "Assign All" under way, after a check
# that the first page's start-up line (sound switched off for want of a
# sound device) shows whole there; the pass's line must lie inside the
# page too. Last the three pages once more in Japanese (LANG=ja_JP.UTF-8):
# the first page with its start-up line, then on a first run the keyboard
# page with a key captured twice and the gamepad page with a pass of
# "Assign All" under way, into
# build/win64/screenshots-ja/ to read them in their places; the gamepad
# page also as docs/gamepad-page-ja.png, the README's Japanese one.
#
# They are taken in a Wine prefix of their own, build/win64/shots-prefix (a
# copy of the tests' prefix when there is one), set up to show what a
# player sees (setup_player_prefix in scripts/common.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"

SHOTS_PREFIX="$ROOT/build/win64/shots-prefix"

ensure_packages
ensure_packages "${PLAYER_PREFIX_PACKAGES[@]}"
ensure_japanese_locale
build_target win64 -DCONFIG_BUILD_TESTS=ON -- config window_probe dinput8_standin >/dev/null
start_driving "$SHOTS_PREFIX"

setup_player_prefix

# set_scaling DPI: the prefix's screen resolution, which each start of the
# tool reads (96 is 100 %, 144 is 150 %). Wine 8 takes it from this value;
# it writes the one under HKCU\Software\Wine\Fonts itself.
set_scaling() {
  "$WINE_LOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

attach_two_pads
pad_attach 0 "name Wireless Controller" "buttons 14" "axes X Y Z RX RY RZ" "povs 1" "vidpid 054c 05c4"

# close_tool: Cancel, and the tool must end with 0.
close_tool() {
  click_control $CANCEL_BUTTON
  wait_tool
  if [ "$TOOL_EXIT" != 0 ]; then log "the tool did not close with Cancel (exit: $TOOL_EXIT)"; exit 1; fi
}

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

set_scaling 96
start_tool "$(fresh_folder)"
shoot "$ROOT/docs/graphic-audio-page.png"
# The keyboard page with O, Circle's key, captured into Cross too (the
# duplicate line and both labels in the warning colour) and W held with no
# list focused (Up's label highlighted).
click_tab $KEYBOARD_PAGE
focus_list 1046
press_key o wait-text 1046=O
click_control 1000
xdotool keydown w
sleep 0.3
shoot "$ROOT/docs/keyboard-page.png"
xdotool keyup w
# The gamepad page with pad 1's first button held: Circle's label and the
# line of pad 1 highlighted.
click_tab $GAMEPAD_PAGE
pad_state 0 "buttons 0"
sleep 0.3
shoot "$ROOT/docs/gamepad-page.png"
pad_state 0
close_tool

set_scaling 144
# expect_inside_page ID WHAT: control ID of the current page lies whole
# inside the page.
expect_inside_page() {
  local left top right bottom line_left line_top line_right line_bottom
  read -r left top right bottom <<<"$(probe page)"
  read -r line_left line_top line_right line_bottom <<<"$(probe control "$1")"
  if [ "$line_left" -lt "$left" ] || [ "$line_top" -lt "$top" ] || [ "$line_right" -gt "$right" ] ||
     [ "$line_bottom" -gt "$bottom" ]; then
    log "$2 ($line_left $line_top $line_right $line_bottom) runs off the page ($left $top $right $bottom) at 150 %"
    exit 1
  fi
  log "$2 lies inside the page at 150 %"
}

# The first page's start-up line at 150 %: a setting.cfg with sound and
# music on, where this display has no sound device. The line must say so
# and lie whole inside the page.
folder=$(fresh_folder)
{ head -c 244 /dev/zero; printf '\001\001\001\001\001\001\000\000\000\000\000\000'; } >"$folder/setting.cfg"
start_tool "$folder"
START_LINE="No sound device was found, so sound and music are off. Connect one and start the tool again to switch them back on."
probe wait-text "1120=$START_LINE" >/dev/null || { log "the first page shows no start-up line at 150 %"; exit 1; }
expect_inside_page 1120 "the start-up line"
close_tool

start_tool "$(fresh_folder)"
click_tab $GAMEPAD_PAGE
click_control 1107
probe wait-focus 1041 >/dev/null
expect_inside_page 1108 "the line of Assign All"
shoot "$ROOT/docs/gamepad-page-150.png"
close_tool
set_scaling 96

# In Japanese: the probe as well as the tool, so that no process of the
# prefix starts in another language while the tool runs (each Wine process
# sets the prefix's fonts for its own code page).
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
JA_SHOTS="$ROOT/build/win64/screenshots-ja"
mkdir -p "$JA_SHOTS"
# The first page with its start-up line, on the file of the 150 % shot.
folder=$(fresh_folder)
{ head -c 244 /dev/zero; printf '\001\001\001\001\001\001\000\000\000\000\000\000'; } >"$folder/setting.cfg"
start_tool "$folder"
shoot "$JA_SHOTS/graphic-audio-page.png"
close_tool
start_tool "$(fresh_folder)"
click_tab $KEYBOARD_PAGE
focus_list 1046
press_key o wait-text 1046=O
click_control 1000
shoot "$JA_SHOTS/keyboard-page.png"
click_tab $GAMEPAD_PAGE
click_control 1107
probe wait-focus 1041 >/dev/null
shoot "$JA_SHOTS/gamepad-page.png"
cp "$JA_SHOTS/gamepad-page.png" "$ROOT/docs/gamepad-page-ja.png"
log "saved $ROOT/docs/gamepad-page-ja.png"
close_tool
