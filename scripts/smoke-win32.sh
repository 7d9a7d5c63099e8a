#!/usr/bin/env bash
# Smoke run of the 32-bit shipping build, build/win32/config.exe, under
# 32-bit Wine (a private prefix in build/win32/wineprefix) in a private Xvfb
# display:
#   1. in an empty folder, OK (Enter) on the first screen: exit code 1, and
#      setting.cfg is byte for byte the first-run file for what the machine
#      reports (no sound device and no pads here; pixel shaders as below);
#   2. again on that file, Cancel (Escape): exit code 0, and the file is
#      neither changed nor written.
#
# 32-bit programs run natively where the kernel can run them, and Direct3D
# then has 32-bit Mesa (llvmpipe) and reports pixel shaders. Where the
# kernel cannot (or with SMOKE_WIN32_EMULATE=1), qemu-i386 from Debian's
# qemu-user is registered with binfmt_misc for the run and removed again at
# the end; that needs root. Under qemu-user 32-bit Mesa cannot start and
# Wine's OpenGL start-up then brings the process down, so there OpenGL is
# switched off for the tool: Direct3D 8 offers no HAL device, the tool sees
# no pixel shader, and the expected file is the one for such a machine.
# qemu-user also gives Wine's fault handler no trap number, so Wine's own
# processes (explorer.exe) sometimes crash under it: an emulated run is
# known to fail now and then for that reason.
#
# With --prepare it only installs what the run needs and makes the 32-bit
# prefix, and then stops: CI does that while the other tests run.
#
# The Wine steps have time limits; every process the script starts is
# stopped by its PID (Wine's own by wineserver -k on the private prefix).
# At the end it prints where the time went.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

EXE=$ROOT/build/win32/config.exe
PREFIX=$ROOT/build/win32/wineprefix
RUN_DIR=$ROOT/build/win32/smoke        # the tool's current directory
EXPECTED=$ROOT/build/win32/smoke-expected.cfg
WINE_LOG=$ROOT/build/win32/smoke-wine.log
TITLE='^ZEPHRANIX Configuration$'
SHOW_TIMEOUT=${SMOKE_SHOW_TIMEOUT:-300}  # start until the sheet shows
EXIT_TIMEOUT=60                          # key press until the process ends
BINFMT=/proc/sys/fs/binfmt_misc
# The ELF header of a 32-bit x86 executable or shared object, and which of
# its bits matter (the same pattern qemu's binfmt configuration uses).
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
BINFMT_PREFIX=zephranix-i386-

TIMES=()
TOOL_OVERRIDES=
SHEET=
EMULATOR=
MOUNTED_BINFMT=
PASSES=0
FAILURES=0
PREPARE_ONLY=
[ "${1:-}" = --prepare ] && PREPARE_ONLY=1

# timed LABEL COMMAND...: runs the command and notes how long it took.
timed() {
  local label=$1 start rc=0
  shift
  start=$(now_ms)
  "$@" || rc=$?
  TIMES+=("$(printf '%8ss  %s' "$(seconds_since "$start")" "$label")")
  return $rc
}

print_times() {
  [ ${#TIMES[@]} -eq 0 ] && return 0
  echo "where the time went:"
  printf '  %s\n' "${TIMES[@]}"
}

pass() {
  log "ok: $*"
  PASSES=$((PASSES + 1))
}

fail() {
  log "FAIL: $*"
  FAILURES=$((FAILURES + 1))
}

# --- running 32-bit code -------------------------------------------------

# Prints the name of the enabled binfmt_misc entry that takes 32-bit x86
# programs, if there is one.
i386_handler() {
  local entry
  [ -r "$BINFMT/status" ] && grep -qx enabled "$BINFMT/status" || return 1
  for entry in "$BINFMT"/*; do
    case ${entry##*/} in register | status) continue ;; esac
    if grep -qx enabled "$entry" 2>/dev/null &&
       grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry" 2>/dev/null; then
      echo "${entry##*/}"
      return 0
    fi
  done
  return 1
}

register_emulator() {
  if [ "$(id -u)" -ne 0 ]; then
    log "cannot register the qemu-i386 emulator with binfmt_misc: that needs root (CI runs as root)"
    exit 2
  fi
  # Not its recommended qemu-user-binfmt, which would register every
  # emulator for good.
  ensure_packages --no-recommends qemu-user
  if [ ! -e "$BINFMT/register" ]; then
    mount -t binfmt_misc binfmt_misc "$BINFMT"
    MOUNTED_BINFMT=1
  fi
  # Entries left by runs that were killed before they could clean up.
  local entry pid
  for entry in "$BINFMT/$BINFMT_PREFIX"*; do
    [ -e "$entry" ] || continue
    pid=${entry##*"$BINFMT_PREFIX"}
    kill -0 "$pid" 2>/dev/null || echo -1 >"$entry"
  done
  EMULATOR=$BINFMT_PREFIX$$
  # The kernel itself decodes the \x escapes; F opens the emulator now, so
  # the entry keeps working whatever the run's mounts look like.
  printf ':%s:M::%s:%s:%s:F' "$EMULATOR" "$I386_MAGIC" "$I386_MASK" /usr/bin/qemu-i386 >"$BINFMT/register"
  log "registered /usr/bin/qemu-i386 for 32-bit x86 programs as $BINFMT/$EMULATOR"
}

unregister_emulator() {
  if [ -n "$EMULATOR" ] && [ -e "$BINFMT/$EMULATOR" ]; then
    echo -1 >"$BINFMT/$EMULATOR" 2>/dev/null || true
    log "removed the binfmt_misc entry $EMULATOR"
  fi
  EMULATOR=
  if [ -n "$MOUNTED_BINFMT" ] && [ "$(ls "$BINFMT" 2>/dev/null | grep -cvxE 'register|status')" -eq 0 ]; then
    umount "$BINFMT" 2>/dev/null || true
  fi
  MOUNTED_BINFMT=
}

# --- the tool ------------------------------------------------------------

# Starts the tool in RUN_DIR and waits until its sheet is shown.
start_tool() {
  # Errors only in the log, which is read when a run fails.
  (cd "$RUN_DIR" && WINEDEBUG=-all,err+all WINEDLLOVERRIDES="$WINEDLLOVERRIDES$TOOL_OVERRIDES" \
     exec "$WINE32_LOADER" "$EXE") >>"$WINE_LOG" 2>&1 &
  TOOL_PID=$!
  local deadline=$((SECONDS + SHOW_TIMEOUT))
  SHEET=
  while [ $SECONDS -lt $deadline ]; do
    SHEET=$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -1 || true)
    [ -n "$SHEET" ] && return 0
    if ! kill -0 "$TOOL_PID" 2>/dev/null; then
      wait_tool
      log "the tool ended with exit code $TOOL_EXIT before it showed its sheet"
      return 1
    fi
    sleep 0.2
  done
  log "the sheet did not show within ${SHOW_TIMEOUT}s"
  return 1
}

# start_tool_again_if_wine_broke: start_tool. Under the emulator Wine's own
# start sometimes breaks down before the tool runs at all ("ntdll could not
# be mapped at preferred address", then an unexpected trap), and the process
# ends before any window shows: then Wine is started afresh and the tool
# once more. Any other failure, or the same one twice, fails the run.
start_tool_again_if_wine_broke() {
  start_tool && return 0
  [ "$TOOL_EXIT" != running ] && grep -aq 'could not be mapped at preferred address' "$WINE_LOG" ||
    return 1
  show_wine_log
  log "Wine broke down while starting under the emulator: starting it afresh, and the tool once more"
  restart_wine
  start_tool
}

# close_tool KEY: presses KEY in the sheet and waits for the process to end;
# its exit code goes to TOOL_EXIT.
close_tool() {
  # The key goes to the sheet's own X window (no window manager hands out
  # the focus here); Wine passes it to the sheet, whose dialog manager
  # turns Enter into the default button (OK) and Escape into Cancel.
  xdotool key --window "$SHEET" "$1" 2>/dev/null
  wait_tool "$EXIT_TIMEOUT"
  if [ "$TOOL_EXIT" = running ]; then
    log "the tool did not end within ${EXIT_TIMEOUT}s of $1; stopped it"
    return 1
  fi
}

# --- the expected file -----------------------------------------------------

# write_first_run_file PATH SHADER: the file the tool writes on OK when it
# started without one, on a machine with no sound device and no pads:
# the factory key rows, both pad rows "no input" (0xFFFFFFFF each), no
# advanced pad flags, and the display defaults for SHADER (1 when Direct3D
# reports pixel shaders), with sound and music off.
write_first_run_file() {
  local player1_keys='0a 08 09 26 17 18 16 24 30 00 00 39 11 20 1f 1e 00 00 00 00 00 00 00 00'
  local player2_keys='49 47 48 51 4c 4d 4b 4f c9 00 00 d1 c8 cd d0 cb 00 00 00 00 00 00 00 00'
  # FullScreenTrueColor TextureTrueColor FullScreen PixelShader FrameRate60
  # VSync SoundDisabled BgmDisabled SkipVideos SimpleEffects FixedAspect
  local display='01 01 01 01 01 01 01 01 00 00 00'
  [ "$2" = 1 ] || display='00 00 01 00 01 01 01 01 00 01 00'
  local pad_rows flags='00 00 00 00' unused='00' byte
  pad_rows=$(printf 'ff %.0s' $(seq 192))
  for byte in $player1_keys $player2_keys $pad_rows $flags $display $unused; do
    printf "\\x$byte"
  done >"$1"
}

# Names the field at a zero-based offset of setting.cfg.
field_name() {
  local o=$1
  local display=(FullScreenTrueColor TextureTrueColor FullScreen PixelShader FrameRate60
                 VSync SoundDisabled BgmDisabled SkipVideos SimpleEffects FixedAspect)
  if [ "$o" -lt 48 ]; then echo "player $((o / 24 + 1)) KeyRow, KeySlot $((o % 24))"
  elif [ "$o" -lt 240 ]; then echo "player $(((o - 48) / 96 + 1)) PadRow, AssignIndex $(((o - 48) % 96 / 4))"
  elif [ "$o" -lt 244 ]; then echo PadAdvancedFlags
  elif [ "$o" -lt 255 ]; then echo "${display[o - 244]}"
  else echo "byte 255"
  fi
}

# expect_file ACTUAL EXPECTED WHAT: fails with the differing fields.
expect_file() {
  if [ ! -f "$1" ]; then
    fail "$3: no setting.cfg was written"
    return 0
  fi
  if cmp -s "$1" "$2"; then
    pass "$3"
    return 0
  fi
  fail "$3: setting.cfg ($(stat -c %s "$1") bytes) differs from the expected 256 bytes"
  local offset expected actual
  while read -r offset expected actual; do
    printf '  offset %3d (%s): expected 0x%02x, written 0x%02x\n' $((offset - 1)) \
      "$(field_name $((offset - 1)))" $((8#$expected)) $((8#$actual)) >&2
  done < <(cmp -l "$2" "$1" 2>/dev/null | head -40)
}

# What the tool found, read back from the bytes it chose.
describe_machine() {
  local bytes
  bytes=($(od -An -tu1 -v -j 244 -N 11 "$1"))
  log "the tool saw: pixel shaders $([ "${bytes[3]}" = 1 ] && echo yes || echo no)," \
      "sound device $([ "${bytes[6]}" = 1 ] && echo no || echo yes)," \
      "pads $(od -An -tx1 -v -j 48 -N 192 "$1" | tr -d ' \n' | grep -qv '^\(ff\)*$' && echo some || echo none)"
}

# The end of Wine's messages about the tool, less ALSA's complaints about
# the missing sound card.
show_wine_log() {
  log "the last lines of $WINE_LOG:"
  grep -av '^ALSA lib' "$WINE_LOG" | tail -20 >&2 || true
}

restart_wine() {
  stop_wine
  start_wine "$PREFIX" "$WINE32_LOADER" win32
}

# Stops what the run started, then says where the time went and how the
# checks came out (a step that broke off the run counts as a failure).
cleanup() {
  local status=$?
  stop_tool
  stop_display
  unregister_emulator
  print_times
  if [ -n "$PREPARE_ONLY" ]; then
    [ "$status" -eq 0 ] && log "prepared the smoke run" || log "preparing the smoke run failed ($status)"
    return
  fi
  [ "$status" -ne 0 ] && [ "$FAILURES" -eq 0 ] && FAILURES=1
  echo "smoke-win32: $PASSES passed, $FAILURES failed"
}

# --- the run -------------------------------------------------------------

trap cleanup EXIT
timed "packages" ensure_packages
# Without their recommendations: wine32's would pull in a 32-bit copy of
# most of the desktop.
timed "32-bit packages" ensure_packages --no-recommends "${WINE32_PACKAGES[@]}"

if [ -n "${SMOKE_WIN32_EMULATE:-}" ] || ! timeout 60 "$WINE32_LOADER" --version >/dev/null 2>&1; then
  timed "register qemu-i386" register_emulator
fi
if handler=$(i386_handler); then
  log "32-bit programs run through the binfmt_misc entry $handler (emulated)"
  # See the header: no OpenGL under emulation, so no pixel shaders.
  shader=0
  TOOL_OVERRIDES=";opengl32=d"
else
  log "32-bit programs run natively"
  shader=1
  TOOL_OVERRIDES=
fi
# Preparing builds nothing: CI builds build/win32 meanwhile.
if [ -z "$PREPARE_ONLY" ]; then
  timed "build build/win32" build_target win32 >/dev/null
  write_first_run_file "$EXPECTED" "$shader"
fi

timed "Xvfb" start_x_server
prefix_step="Wine prefix (reused)"
[ -f "$PREFIX/system.reg" ] || prefix_step="Wine prefix (created)"
timed "$prefix_step" start_wine "$PREFIX" "$WINE32_LOADER" win32
[ -z "$PREPARE_ONLY" ] || exit 0
: >"$WINE_LOG"

log "first run: no setting.cfg, OK"
echo "--- first run" >>"$WINE_LOG"
rm -rf "$RUN_DIR"
mkdir -p "$RUN_DIR"
timed "first run: start until the sheet showed" start_tool_again_if_wine_broke ||
  { show_wine_log; exit 1; }
timed "first run: Enter until the process ended" close_tool Return ||
  { show_wine_log; exit 1; }
[ "$TOOL_EXIT" = 1 ] && pass "OK ended with exit code 1" || fail "OK ended with exit code $TOOL_EXIT, not 1"
expect_file "$RUN_DIR/setting.cfg" "$EXPECTED" "the first-run file"
[ -f "$RUN_DIR/setting.cfg" ] || exit 1
describe_machine "$RUN_DIR/setting.cfg"

# The first run ended on the key press of Enter, so its release never
# reached Wine: the wineserver still holds Enter as down, and a second
# process on the same server would sometimes take it as a press of OK.
# A fresh server starts it with the keyboard state a new session has.
timed "Wine restarted for the second run" restart_wine

log "second run: on that file, Cancel"
echo "--- second run" >>"$WINE_LOG"
cp "$RUN_DIR/setting.cfg" "$ROOT/build/win32/smoke-before-cancel.cfg"
written=$(stat -c %y "$RUN_DIR/setting.cfg")
timed "second run: start until the sheet showed" start_tool_again_if_wine_broke ||
  { show_wine_log; exit 1; }
timed "second run: Escape until the process ended" close_tool Escape ||
  { show_wine_log; exit 1; }
[ "$TOOL_EXIT" = 0 ] && pass "Cancel ended with exit code 0" || fail "Cancel ended with exit code $TOOL_EXIT, not 0"
expect_file "$RUN_DIR/setting.cfg" "$ROOT/build/win32/smoke-before-cancel.cfg" "Cancel left the file as it was"
[ "$(stat -c %y "$RUN_DIR/setting.cfg")" = "$written" ] && pass "Cancel did not write the file" ||
  fail "Cancel wrote setting.cfg again"

[ "$FAILURES" -eq 0 ]
