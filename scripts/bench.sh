#!/usr/bin/env bash
# Measures the tool under wine64 in a private Xvfb display and prints every
# figure with the command that made it: executable sizes and what fills the
# 32-bit one, peak memory after all three pages, start-up time against a
# baseline program that makes the same platform calls with an empty sheet,
# where the start-up time goes, what a tooltip costs, what one capture tick
# costs, and the CPU a waiting page of the shipped tool uses. Not a test: it asserts nothing and always shows its numbers.
#
#   bash scripts/bench.sh [RUNS]    RUNS: starts per program (default 21)
#
# IDLE_SECONDS (default 20) is how long each page is watched for its CPU.
#
#   BENCH_AGAINST=REV bash scripts/bench.sh [RUNS]
#
# also builds the tool and startup_profile.exe of the revision REV (a
# commit, tag or branch) in build/reference-win64, from a temporary git
# worktree in build/reference-src that is removed again once built, and
# measures that build beside this tree's, the runs alternating: start-up
# against the same baseline, and the first visits of the keyboard and
# gamepad pages, with the ratios this tree / REV.
#
#   LANG=ja_JP.UTF-8 bash scripts/bench.sh [RUNS]
#
# measures everything in Japanese, as on a Japanese Windows (the locale is
# made when it is missing: without it Wine would show English).
#
# Timings depend on the machine's load; the load is printed at the start and
# at the end. Installs the Debian packages it needs when they are missing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUNS=${1:-21}
IDLE_SECONDS=${IDLE_SECONDS:-20}
W64="$ROOT/build/win64"
W32="$ROOT/build/win32"
TITLE="ZEPHRANIX Configuration"
BASELINE_TITLE="Start-up baseline"
LOG="$W64/bench.log"

# A Linux path as Wine's Z: drive shows it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

heading() { printf '\n== %s\n' "$*"; }

# Prints the command, then runs it. Wine's own complaints (no sound card
# here) go to the log, which is shown when the command fails.
run() {
  printf '$'
  local arg
  for arg in "$@"; do
    case $arg in *[!A-Za-z0-9_./:=-]*) printf " '%s'" "$arg" ;; *) printf ' %s' "$arg" ;; esac
  done
  printf '\n'
  local status=0
  "$@" 2>>"$LOG" || status=$?
  if [ "$status" -ne 0 ]; then
    grep -v '^ALSA lib' "$LOG" | tail -20 >&2
  fi
  return "$status"
}

# What each input file adds to the linked executable, from its link map:
# every input section placed in the image (uninitialised data excepted), by
# file, the largest first, then by kind of file.
map_contributors() {
  awk '
    function hex(s,   n, i) {
      s = tolower(substr(s, 3)); n = 0
      for (i = 1; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
      return n
    }
    function add(section, size, file,   n) {
      if (section ~ /^\.(bss|debug|stab)/ || file == "") return
      if (section == ".reloc") file = "base relocations (.reloc, made by the linker)"
      n = hex(size); if (n == 0) return
      sub(/.*\//, "", file)
      bytes[file] += n
      kind = "MinGW-w64 start-up and C runtime (crt2.o, libmingw32.a, libmingwex.a, libgcc.a, ...)"
      if (file ~ /^libconfigcore\.a|^objects\.a\(main/) kind = "the tool'"'"'s own code and data (libconfigcore.a, main.cpp)"
      else if (file ~ /\.res\)?$/) kind = "resources (config.rc: page templates, strings, icon, manifest)"
      else if (file ~ /^libdinput8\.a/) kind = "DirectInput data formats c_dfDIKeyboard, c_dfDIJoystick (libdinput8.a)"
      else if (file ~ /^lib(dxguid|uuid)\.a/) kind = "GUIDs (libdxguid.a, libuuid.a)"
      else if (section ~ /^\.idata/) kind = "import tables (kernel32, user32, comctl32, ... )"
      else if (section == ".reloc") kind = file
      kinds[kind] += n
    }
    /^Linker script and memory map/ { on = 1; next }
    !on { next }
    pending != "" && /^ +0x/ { if (NF >= 3) add(pending, $2, $3); pending = ""; next }
    { pending = "" }
    /^ \.[^ ]+/ {
      if (NF == 1) pending = $1
      else if (NF >= 4 && $2 ~ /^0x/ && $3 ~ /^0x/) add($1, $3, $4)
    }
    END {
      for (f in bytes) printf "  %7d  %s\n", bytes[f], f | "sort -rn | head -15"
      close("sort -rn | head -15")
      print "  by kind:"
      for (k in kinds) printf "  %7d  %s\n", kinds[k], k | "sort -rn"
      close("sort -rn")
    }' "$1"
}

# build_reference REV: the tool and the start-up profile of that revision,
# built in build/reference-win64 from a worktree that is removed afterwards.
REF="$ROOT/build/reference-win64"
REF_SRC="$ROOT/build/reference-src"
remove_reference_worktree() {
  if [ -e "$REF_SRC" ]; then
    git -C "$ROOT" worktree remove --force "$REF_SRC" >/dev/null 2>&1 || rm -rf "$REF_SRC"
  fi
  git -C "$ROOT" worktree prune
}
build_reference() {
  local rev=$1 commit
  commit=$(git -C "$ROOT" rev-parse --verify --quiet "$rev^{commit}") ||
    { log "BENCH_AGAINST: no such revision: $rev"; return 1; }
  remove_reference_worktree
  git -C "$ROOT" worktree add --detach "$REF_SRC" "$commit" >/dev/null 2>&1
  local status=0
  { cmake -S "$REF_SRC" -B "$REF" -DCMAKE_TOOLCHAIN_FILE="$REF_SRC/cmake/toolchain-x86_64.cmake" \
      -DCONFIG_BUILD_TESTS=ON -DCONFIG_BUILD_BENCH=ON >/dev/null &&
    cmake --build "$REF" --target config startup_profile -j"$(nproc)" -- --no-print-directory >/dev/null
  } || status=$?
  remove_reference_worktree
  return "$status"
}

# The baseline's empty pages must be as large as the tool's, in page order:
# the sheet's size follows its largest page.
page_sizes() { sed -n 's/^[A-Z_0-9]* DIALOGEX 0, 0, \([0-9]*\), \([0-9]*\).*/\1x\2/p' "$1" | tr '\n' ' '; }
tool_sizes=$(page_sizes "$ROOT/res/config.rc")
baseline_sizes=$(page_sizes "$ROOT/bench/baseline_pages.rc")
if [ "$tool_sizes" != "$baseline_sizes" ]; then
  log "bench/baseline_pages.rc has pages of $baseline_sizes, the tool's are $tool_sizes: make them the same"
  exit 1
fi

ensure_packages
case ${LANG:-} in ja*) ensure_japanese_locale ;; esac
# The log lives in the build folder, which a fresh clone does not have yet.
mkdir -p "$W64"
: >"$LOG"
AGAINST=${BENCH_AGAINST:-}
if [ -n "$AGAINST" ]; then
  log "building $AGAINST's tool and start-up profile in build/reference-win64"
  build_reference "$AGAINST"
  AGAINST_LABEL=$AGAINST
  short=$(git -C "$ROOT" rev-parse --short "$AGAINST^{commit}")
  [[ $short == "$AGAINST"* || $AGAINST == "$short"* ]] || AGAINST_LABEL="$AGAINST ($short)"
fi
log "building build/win32 (shipping build, with its link map)"
build_target win32 >/dev/null
log "building build/win64 with the tests and the benchmark programs"
build_target win64 -DCONFIG_BUILD_TESTS=ON -DCONFIG_BUILD_BENCH=ON >/dev/null
cmake --build "$W64" --target benchmarks -j"$(nproc)" -- --no-print-directory >/dev/null
start_display
cd "$W64"

heading "Machine"
printf '$ nproc; uptime; wine64 --version\n'
nproc; uptime; "$WINE_LOADER" --version

heading "Executable sizes (target: build/win32/config.exe at most 200 KiB, statically linked)"
printf '$ stat -c "%%s %%n" build/win32/config.exe build/win64/config.exe\n'
for exe in "$W32/config.exe" "$W64/config.exe"; do
  printf '  %7d bytes  %5.1f KiB  %s\n' "$(stat -c %s "$exe")" \
    "$(awk -v n="$(stat -c %s "$exe")" 'BEGIN { print n / 1024 }')" "${exe#"$ROOT"/}"
done
printf '$ i686-w64-mingw32-objdump -p build/win32/config.exe | grep "DLL Name"\n'
i686-w64-mingw32-objdump -p "$W32/config.exe" | awk '/DLL Name/ { printf "  %s\n", $3 }'
printf '$ i686-w64-mingw32-objdump -h build/win32/config.exe (section, bytes)\n'
i686-w64-mingw32-objdump -h "$W32/config.exe" |
  awk 'function hex(s,   n, i) { s = tolower(s); n = 0
         for (i = 1; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
         return n }
       $1 ~ /^[0-9]+$/ { printf "  %-10s %7d\n", $2, hex($3) }'
printf '$ largest contributors to build/win32/config.exe, from build/win32/config.map (bytes)\n'
map_contributors "$W32/config.map"

# A player's folder holds the file the first OK wrote.
FOLDER="$W64/bench-folder"
rm -rf "$FOLDER"; mkdir -p "$FOLDER"
run "$WINE_LOADER" launcher.exe save "$(winpath "$FOLDER")" "$TITLE" "$(winpath "$W64/config.exe")" >/dev/null

PROGRAMS=("$TITLE" "$(winpath "$W64/config.exe")" "$BASELINE_TITLE" "$(winpath "$W64/startup_baseline.exe")")

heading "Peak memory after visiting all three pages (Linux VmHWM of the Wine process)"
run "$WINE_LOADER" launcher.exe footprint 5 "$(winpath "$FOLDER")" "${PROGRAMS[@]}" | grep -v '^run '

STARTUP_PROGRAMS=("${PROGRAMS[@]}")
PROFILE_REFERENCE=()
if [ -n "$AGAINST" ]; then
  STARTUP_PROGRAMS+=("$AGAINST_LABEL|$TITLE" "$(winpath "$REF/config.exe")")
  PROFILE_REFERENCE=("$(winpath "$REF/startup_profile.exe")")
fi

STARTUP_HEADING="Start-up: process start to shown and idle, side by side with the baseline"
[ -n "$AGAINST" ] && STARTUP_HEADING+=" and $AGAINST_LABEL"
heading "$STARTUP_HEADING (target: ratio at most 1.35)"
run "$WINE_LOADER" launcher.exe startup "$RUNS" "$(winpath "$FOLDER")" "${STARTUP_PROGRAMS[@]}" | sed -n '/^start-up/,$p'

PROFILE_HEADING="Where start-up time goes: the tool's sheet and pages in fresh processes, against the baseline's"
[ -n "$AGAINST" ] && PROFILE_HEADING+=" and $AGAINST_LABEL's"
heading "$PROFILE_HEADING"
run "$WINE_LOADER" startup_profile.exe "$RUNS" "$(winpath "$FOLDER")" "${PROFILE_REFERENCE[@]}"

heading "The live-capture polls per call, two fake pads offering every input (ns; allocations over all calls)"
POLL_STATUS=0
run "$WINE_LOADER" poll_bench.exe || POLL_STATUS=$?

heading "Finding both pads' layouts as the gamepad page does (ms per call, best of seven rounds; target under 1 ms)"
run "$WINE_LOADER" layout_bench.exe

heading "One capture tick on each assignment page: the tool's sheet with fake DirectX (a keyboard, two pads)"
run "$WINE_LOADER" tick_bench.exe "$IDLE_SECONDS"

heading "CPU while each page of the shipped tool waits (target: an assignment page under 0.5 % of one core)"
run "$WINE_LOADER" launcher.exe idle "$IDLE_SECONDS" "$(winpath "$FOLDER")" "$WINESERVER_PID" \
  "$TITLE" "$(winpath "$W64/config.exe")"

heading "Load at the end"
uptime
exit "$POLL_STATUS"
