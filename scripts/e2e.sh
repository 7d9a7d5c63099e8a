#!/usr/bin/env bash
# The end-to-end suite: build/win64/config.exe started under wine64 in a
# fresh working folder per scenario, used through real clicks and key
# presses (xdotool on a private Xvfb) and stand-in pads, and judged by its
# exit code and the bytes of the setting.cfg it leaves. Builds the 64-bit
# tool with its tests first (scripts/test.sh runs it after ctest).
#
# Usage: scripts/e2e.sh [SCENARIO...]   (all when none is named)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/drive.sh"

# Control ids of the pages (res/resource.h).
WINDOW_MODE=1000
SKIP_VIDEOS=1015
LIST_CIRCLE=1045
LIST_CROSS=1046
LIST_UP_ANALOG=1057
LIST_LEFT_ANALOG=1059
PAD_LINE_1=1100
PAD_LAYOUT=1103
PAD_LAYOUT_SOURCE_1=1104

# ---- The file a scenario expects, as 256 hex bytes in IMAGE ------------

IMAGE=()

set_byte() { IMAGE[$1]=$(printf '%02x' "$2"); }

# set_word OFFSET VALUE: a little-endian 32-bit value.
set_word() {
  local i bytes
  read -r -a bytes <<<"$(le32 "$2")"
  for i in 0 1 2 3; do IMAGE[$(( $1 + i ))]=${bytes[$i]}; done
}

pad_row_offset() { echo $(( 48 + $1 * 96 + $2 * 4 )); }   # player, AssignIndex

# The factory defaults that a first run on this platform saves. Under Xvfb
# Direct3D 8 reports pixel shaders and there is no sound device, so:
# full screen true colour, true-colour textures, pixel shader, 60 FPS,
# V-Sync, sound and music disabled. Arguments: the button counts of pad 0
# and pad 1 (0 for none).
default_image() {
  local i player buttons padbit
  IMAGE=()
  for i in $(seq 0 255); do IMAGE[$i]=00; done
  local keys=(0a 08 09 26 17 18 16 24 30 00 00 39 11 20 1f 1e 00 00 00 00 00 00 00 00
              49 47 48 51 4c 4d 4b 4f c9 00 00 d1 c8 cd d0 cb 00 00 00 00 00 00 00 00)
  for i in $(seq 0 47); do IMAGE[$i]=${keys[$i]}; done
  local pad_buttons=(0 1 2 3 6 7 4 5 8 9 10 11)
  for player in 0 1; do
    buttons=$([ "$player" = 0 ] && echo "${1:-0}" || echo "${2:-0}")
    padbit=$(( player << 31 ))
    for i in $(seq 0 23); do set_word "$(pad_row_offset "$player" "$i")" 0xFFFFFFFF; done
    [ "$buttons" -gt 0 ] || continue
    set_word "$(pad_row_offset "$player" 0)" $(( padbit | 0x02000002 ))
    set_word "$(pad_row_offset "$player" 1)" $(( padbit | 0x02000003 ))
    set_word "$(pad_row_offset "$player" 2)" $(( padbit | 0x02000000 ))
    set_word "$(pad_row_offset "$player" 3)" $(( padbit | 0x02000001 ))
    for (( i = 0; i < 12 && i < buttons; i++ )); do
      set_word "$(pad_row_offset "$player" $(( 4 + i )))" $(( padbit | 0x01000000 | ${pad_buttons[$i]} ))
    done
  done
  #          FSTrue Tex FS Shader 60FPS VSync NoSound NoBGM Skip Simple Aspect Unused
  local display=(01 01 01 01 01 01 01 01 00 00 00 00)
  for i in $(seq 0 11); do IMAGE[$(( 244 + i ))]=${display[$i]}; done
}

# What the gamepad page stores for a player's row it shows: entries 14, 15
# and 20..23 have no list and are written as 0.
gamepad_page_stored() {
  local i
  for i in 14 15 20 21 22 23; do set_word "$(pad_row_offset "$1" "$i")" 0; done
}

# ---- Judging -------------------------------------------------------------

fail() { echo "    $*" >&2; exit 1; }

expect_exit() {
  wait_tool "${2:-15}"
  [ "$TOOL_EXIT" = "$1" ] || fail "exit code: expected $1, got $TOOL_EXIT"
}

expect_no_file() {
  [ ! -e "$1/setting.cfg" ] || fail "setting.cfg was written: $(file_hex "$1/setting.cfg")"
}

# expect_image FOLDER: setting.cfg holds exactly IMAGE.
expect_image() {
  local file="$1/setting.cfg" actual i
  [ -f "$file" ] || fail "setting.cfg was not written"
  read -r -a actual <<<"$(file_hex "$file")"
  [ "${#actual[@]}" = 256 ] || fail "setting.cfg has ${#actual[@]} bytes, not 256"
  local wrong=()
  for i in $(seq 0 255); do
    [ "${actual[$i]}" = "${IMAGE[$i]}" ] || wrong+=("byte $i: ${actual[$i]}, expected ${IMAGE[$i]}")
  done
  [ ${#wrong[@]} = 0 ] || fail "setting.cfg differs: ${wrong[*]:0:8}"
}

# Waits until the tool has written setting.cfg (Apply saves at once).
wait_for_file() {
  local i
  for i in $(seq 50); do [ -s "$1/setting.cfg" ] && return 0; sleep 0.1; done
  fail "setting.cfg did not appear"
}

# ---- Scenarios -------------------------------------------------------------

scenario_cancel_writes_nothing() {
  local folder; folder=$(fresh_folder)
  start_tool "$folder"
  click_control $CANCEL_BUTTON
  expect_exit 0
  expect_no_file "$folder"
}

scenario_ok_after_first_page_only() {
  local folder; folder=$(fresh_folder)
  start_tool "$folder"
  click_control $SKIP_VIDEOS
  click_control $OK_BUTTON
  expect_exit 1
  default_image 0 0
  set_byte 252 1   # SkipVideos
  expect_image "$folder"
}

scenario_second_copy_exits_at_once() {
  local folder first; folder=$(fresh_folder)
  start_tool "$folder"
  first=$TOOL_PID
  # The second copy, in the same folder, ends by itself with 0 and writes
  # nothing.
  (cd "$folder" && exec "$WINE_LOADER" "$CONFIG_EXE" >>"$folder.second.log" 2>&1) &
  TOOL_PID=$!
  expect_exit 0 10
  expect_no_file "$folder"
  # The first still runs and works.
  TOOL_PID=$first
  kill -0 "$first" 2>/dev/null || fail "the first copy ended"
  click_control $WINDOW_MODE
  click_control $OK_BUTTON
  expect_exit 1
  default_image 0 0
  set_byte 246 0   # FullScreen: window mode
  expect_image "$folder"
}

scenario_apply_then_cancel_keeps_applied() {
  local folder; folder=$(fresh_folder)
  start_tool "$folder"
  click_control $WINDOW_MODE
  click_control $APPLY_BUTTON
  wait_for_file "$folder"
  default_image 0 0
  set_byte 246 0   # FullScreen: window mode
  expect_image "$folder"
  # A change after Apply is dropped by Cancel; the applied file stays. The
  # sheet returns 0 for Cancel (here under Wine, Apply or not), and that is
  # the exit code.
  click_control $SKIP_VIDEOS
  click_control $CANCEL_BUTTON
  expect_exit 0
  expect_image "$folder"
}

scenario_save_failure_keeps_sheet_open() {
  local folder; folder=$(fresh_folder)
  mkdir "$folder/setting.cfg"   # cannot be opened as a file, even by root
  start_tool "$folder"
  click_control $SKIP_VIDEOS
  click_control $OK_BUTTON
  # One message box; the sheet stays open with the choice kept.
  answer_message_box $OK_BUTTON
  kill -0 "$TOOL_PID" 2>/dev/null || fail "the tool ended after a failed save"
  probe wait-sheet >/dev/null
  rmdir "$folder/setting.cfg"
  click_control $OK_BUTTON
  expect_exit 1
  default_image 0 0
  set_byte 252 1   # SkipVideos
  expect_image "$folder"
}

# assign_key LIST KEYSYM OFFSET CODE: Keyboard tab, a click on the list
# (which opens its drop-down part), the key held until the capture closes
# it, OK; the file holds the defaults with CODE at OFFSET.
assign_key() {
  local folder; folder=$(fresh_folder)
  start_tool "$folder"
  click_tab $KEYBOARD_PAGE
  focus_list "$1"
  press_key "$2" wait-closed "$1"
  click_control $OK_BUTTON
  expect_exit 1
  default_image 0 0
  set_byte "$3" "$4"
  expect_image "$folder"
}

# The typical road: K in "Circle" is player 1's KeySlot 5.
scenario_key_pressed_in_circle() { assign_key $LIST_CIRCLE k 5 0x25; }

# A key that the list itself does nothing with reaches it only through
# DirectInput: F5 in "Cross" (KeySlot 6).
scenario_key_only_directinput_sees() { assign_key $LIST_CROSS F5 6 0x3F; }

# "Assign All" (1107) with real keys: K for Up (1041), Tab skips Down, Enter
# does nothing, L for Left (1043), Esc ends the pass (1108 empties) at Right.
scenario_assign_all_with_keys() {
  local folder; folder=$(fresh_folder)
  start_tool "$folder"
  click_tab $KEYBOARD_PAGE
  click_control 1107
  press_key k wait-text 1041=K
  probe wait-focus 1042 >/dev/null
  xdotool key Tab key Return
  press_key l wait-text 1043=L
  probe wait-focus 1044 >/dev/null
  xdotool key Escape
  probe wait-text 1108= >/dev/null
  click_control $OK_BUTTON
  expect_exit 1
  default_image 0 0
  set_byte 12 0x25   # Up: K
  set_byte 15 0x26   # Left: L
  expect_image "$folder"
}

# After a failed save the sheet stays on the keyboard page and its live
# capture still works: F5 in "Cross" after the message box.
scenario_capture_after_failed_save() {
  local folder; folder=$(fresh_folder)
  mkdir "$folder/setting.cfg"
  start_tool "$folder"
  click_tab $KEYBOARD_PAGE
  focus_list $LIST_CIRCLE
  press_key k wait-closed $LIST_CIRCLE
  click_control $OK_BUTTON
  answer_message_box $OK_BUTTON
  rmdir "$folder/setting.cfg"
  focus_list $LIST_CROSS
  press_key F5 wait-closed $LIST_CROSS
  click_control $OK_BUTTON
  expect_exit 1
  default_image 0 0
  set_byte 5 0x25   # player 1 Circle: K
  set_byte 6 0x3F   # player 1 Cross: F5
  expect_image "$folder"
}

scenario_pad_button_in_circle() {
  local folder; folder=$(fresh_folder)
  attach_two_pads
  start_tool "$folder"
  click_tab $GAMEPAD_PAGE
  focus_list $LIST_CIRCLE
  pad_hold 0 "buttons 2" wait-closed $LIST_CIRCLE
  click_control $OK_BUTTON
  expect_exit 1
  pad_detach_all
  default_image 12 12
  gamepad_page_stored 0
  set_word "$(pad_row_offset 0 4)" 0x01000002   # "1BUTTON3"
  expect_image "$folder"
}

# Pad 2's stick fills the analog group: up into "Up(A)" gives the Y pair,
# left into "Left(A)" the X pair.
scenario_stick_fills_analog_group() {
  local folder; folder=$(fresh_folder)
  attach_two_pads
  start_tool "$folder"
  click_tab $GAMEPAD_PAGE
  focus_list $LIST_UP_ANALOG
  pad_hold 1 "Y -128" wait-text $LIST_UP_ANALOG=2Up
  focus_list $LIST_LEFT_ANALOG
  pad_hold 1 "X -128" wait-text $LIST_LEFT_ANALOG=2Left
  click_control $OK_BUTTON
  expect_exit 1
  pad_detach_all
  default_image 12 12
  gamepad_page_stored 0
  set_word "$(pad_row_offset 0 16)" 0x82000002   # "2Up"
  set_word "$(pad_row_offset 0 17)" 0x82000003   # "2Down"
  set_word "$(pad_row_offset 0 18)" 0x82000000   # "2Left"
  set_word "$(pad_row_offset 0 19)" 0x82000001   # "2Right"
  expect_image "$folder"
}

# A pad plugged in while the gamepad page is shown, with nothing telling
# the tool (the stand-in sends no device notice): the page finds it by
# itself, names it, and its button is captured into "Circle" at once.
scenario_pad_plugged_in_while_running() {
  local folder t0; folder=$(fresh_folder)
  pad_detach_all
  start_tool "$folder"
  click_tab $GAMEPAD_PAGE
  probe wait-text "$PAD_LINE_1=Pad 1: not connected" >/dev/null
  t0=$(now_ms)
  pad_attach 0 "name Arcade Stick" "buttons 12" "axes X Y"
  probe wait-text "$PAD_LINE_1=Pad 1: Arcade Stick" >/dev/null
  log "the plugged-in pad was picked up after $(seconds_since "$t0") s"
  focus_list $LIST_CIRCLE
  pad_hold 0 "buttons 6" wait-text $LIST_CIRCLE=1BUTTON7
  click_control $OK_BUTTON
  expect_exit 1
  pad_detach_all
  default_image 0 0
  gamepad_page_stored 0
  set_word "$(pad_row_offset 0 4)" 0x01000006   # "1BUTTON7"
  expect_image "$folder"
}

# "Pad Layout" with a stand-in DualShock 4 (its line is built in): player
# 1's buttons where that pad has them, the triggers on Rx and Ry, the D-pad
# on the hat, the left stick on X and Y.
scenario_pad_layout_of_a_dualshock_4() {
  local folder; folder=$(fresh_folder)
  pad_detach_all
  pad_attach 0 "name Wireless Controller" "vidpid 054c 05c4" "buttons 14" "axes X Y Z RX RY RZ" "povs 1"
  start_tool "$folder"
  click_tab $GAMEPAD_PAGE
  probe wait-text "$PAD_LAYOUT_SOURCE_1=Layout: built in" >/dev/null
  click_control $PAD_LAYOUT
  click_control $OK_BUTTON
  expect_exit 1
  pad_detach_all
  default_image 14 0
  gamepad_page_stored 0
  local codes=(0x04000000 0x04000001 0x04000002 0x04000003 0x01000002 0x01000001 0x01000003
               0x01000000 0x01000004 0x02000007 0x01000005 0x02000009 0x01000008 0x01000009
               0 0 0x02000002 0x02000003 0x02000000 0x02000001) i
  for i in "${!codes[@]}"; do set_word "$(pad_row_offset 0 "$i")" "${codes[$i]}"; done
  expect_image "$folder"
}

ALL_SCENARIOS=(
  cancel_writes_nothing
  ok_after_first_page_only
  second_copy_exits_at_once
  apply_then_cancel_keeps_applied
  save_failure_keeps_sheet_open
  key_pressed_in_circle
  key_only_directinput_sees
  assign_all_with_keys
  capture_after_failed_save
  pad_button_in_circle
  stick_fills_analog_group
  pad_plugged_in_while_running
  pad_layout_of_a_dualshock_4
)

# ---- Runner ------------------------------------------------------------

# Each scenario runs in a subshell that stops at its first failing step and
# ends the tool if it is still running.
run_scenario() {
  ( trap stop_tool EXIT; set -e; "scenario_$1" )
}

main() {
  local names=("$@") started passed=0 failed=0 name t0 status
  [ ${#names[@]} -gt 0 ] || names=("${ALL_SCENARIOS[@]}")
  for name in "${names[@]}"; do
    declare -F "scenario_$name" >/dev/null || { log "no scenario $name"; exit 2; }
  done
  ensure_packages
  # Up to date already when scripts/test.sh runs the suite.
  build_target win64 -DCONFIG_BUILD_TESTS=ON >/dev/null
  started=$(now_ms)
  start_driving
  log "end-to-end suite on display $DISPLAY, prefix $WINEPREFIX"
  for name in "${names[@]}"; do
    t0=$(now_ms)
    set +e
    run_scenario "$name"
    status=$?
    set -e
    if [ $status = 0 ]; then
      passed=$((passed + 1))
      printf 'PASS  %-36s %5s s\n' "$name" "$(seconds_since "$t0")"
    else
      failed=$((failed + 1))
      E2E_KEEP=1
      printf 'FAIL  %-36s %5s s\n' "$name" "$(seconds_since "$t0")"
    fi
  done
  [ -z "${E2E_KEEP:-}" ] || log "working folders and the tool's logs kept in $E2E_WORK"
  echo "end-to-end wall time: $(seconds_since "$started") s"
  echo "e2e: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}

main "$@"
