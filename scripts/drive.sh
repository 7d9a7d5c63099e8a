# Drives the shipped build/win64/config.exe as a player would: real mouse
# clicks and key presses from the X server (xdotool), pads from the
# DirectInput 8 stand-in, positions read from the running windows by
# window_probe.exe. Shared by the end-to-end suite and the screenshot
# script. Source it; do not run it.

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# The sheet's own buttons and its pages.
OK_BUTTON=1
CANCEL_BUTTON=2
APPLY_BUTTON=0x3021
GRAPHIC_PAGE=0
KEYBOARD_PAGE=1
GAMEPAD_PAGE=2

E2E_BIN="$ROOT/build/win64/e2e"
E2E_PREFIX="$ROOT/build/win64/e2e-prefix"
CONFIG_EXE="$ROOT/build/win64/config.exe"
E2E_WORK=
PAD_DIR=

# start_driving [PREFIX]: Xvfb, a wineserver on the suite's own prefix (or
# PREFIX), and the stand-in installed as that prefix's system dinput8.dll,
# chosen over Wine's with a DLL override. The other tests' prefix never
# sees it.
start_driving() {
  local prefix=${1:-$E2E_PREFIX}
  copy_tests_prefix "$prefix"
  start_display "$prefix"
  trap stop_driving EXIT
  local system32="$prefix/drive_c/windows/system32"
  cmp -s "$E2E_BIN/dinput8.dll" "$system32/dinput8.dll" || cp "$E2E_BIN/dinput8.dll" "$system32/dinput8.dll"
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dinput8=n"
  E2E_WORK=$(mktemp -d /tmp/config-e2e.XXXXXX)
  PAD_DIR="$E2E_WORK/pads"
  mkdir -p "$PAD_DIR"
  PAD_STANDIN_DIR=$(windows_path "$PAD_DIR")
  export PAD_STANDIN_DIR
}

# Set E2E_KEEP to keep the working folders (and the tool's logs) for a look.
stop_driving() {
  stop_tool
  stop_display
  if [ -n "$E2E_WORK" ] && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$E2E_WORK"; fi
  E2E_WORK=
}

# Wine maps / to drive Z:.
windows_path() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }

# window_probe.exe prints through the C runtime's text mode: drop the CRs.
probe() { "$WINE_LOADER" "$E2E_BIN/window_probe.exe" "$@" | tr -d '\r'; }

# A fresh working folder for one run of the tool (where setting.cfg lives).
fresh_folder() {
  local folder
  folder=$(mktemp -d "$E2E_WORK/run.XXXXXX")
  printf '%s' "$folder"
}

# start_tool FOLDER: starts config.exe there and waits until its sheet is
# shown. What Wine prints goes to FOLDER.log beside it.
start_tool() {
  (cd "$1" && exec "$WINE_LOADER" "$CONFIG_EXE" >>"$1.log" 2>&1) &
  TOOL_PID=$!
  probe wait-sheet >/dev/null
}

# Clicks the middle of a rectangle "left top right bottom".
click_rect() {
  local left top right bottom
  read -r left top right bottom <<<"$1"
  xdotool mousemove $(( (left + right) / 2 )) $(( (top + bottom) / 2 )) click 1
}

# A click on tab N, then waits until its page is shown.
click_tab() {
  click_rect "$(probe tab "$1")"
  probe wait-page "$1" >/dev/null
}

# A click on a control of the current page or a button of the sheet, by id.
click_control() { click_rect "$(probe control "$1")"; }

# Waits for a message box over the sheet, clicks its button ID and waits
# until it has gone.
answer_message_box() {
  click_rect "$(probe message-box "$1")"
  probe wait-no-message-box >/dev/null
}

# A click on a list, then waits until it has the keyboard focus.
focus_list() {
  click_control "$1"
  probe wait-focus "$1" >/dev/null
}

# press_key KEYSYM PROBE...: holds the key until the probe command (for
# instance "wait-closed 1045": the pages' capture closes the drop-down
# part) says the tool has seen it.
press_key() {
  local key=$1; shift
  xdotool keydown "$key"
  probe "$@" >/dev/null || { xdotool keyup "$key"; return 1; }
  xdotool keyup "$key"
}

# pad_attach N LINES...: describes stand-in controller N (see
# tests/e2e/dinput8_standin.cpp); it is seen by the next start of the tool.
pad_attach() {
  local pad=$1; shift
  printf '%s\n' "$@" >"$PAD_DIR/pad$pad"
}

pad_detach_all() { rm -f "$PAD_DIR"/pad*; }

# Two 12-button pads; the second also has Z, Rx and a hat.
attach_two_pads() {
  pad_detach_all
  pad_attach 0 "name USB Gamepad" "buttons 12" "axes X Y"
  pad_attach 1 "name Dual Analog Gamepad" "buttons 12" "axes X Y Z RX" "povs 1"
}

# pad_state N LINES...: the controller's live state from now on; replaced
# whole, so the tool never reads half a state.
pad_state() {
  local pad=$1; shift
  printf '%s\n' "$@" >"$PAD_DIR/pad$pad.state.new"
  mv "$PAD_DIR/pad$pad.state.new" "$PAD_DIR/pad$pad.state"
}

# pad_hold N LINE PROBE...: holds the state LINE on pad N until the probe
# command says the tool has seen it, then rests.
pad_hold() {
  local pad=$1 line=$2; shift 2
  pad_state "$pad" "$line"
  probe "$@" >/dev/null || { pad_state "$pad"; return 1; }
  pad_state "$pad"
}

# The bytes of a file as lower-case hex pairs, one line.
file_hex() { od -An -v -tx1 "$1" | tr -s ' \n' '  ' | sed 's/^ //; s/ $//'; }

# le32 VALUE: a 32-bit value as the four hex bytes the file holds.
le32() {
  local v=$1
  printf '%02x %02x %02x %02x' $(( v & 255 )) $(( v >> 8 & 255 )) $(( v >> 16 & 255 )) $(( v >> 24 & 255 ))
}
