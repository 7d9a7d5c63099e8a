# Shared by the project's scripts: packages, builds, a private Xvfb
# display with a persistent wineserver, and the tool process they start.
# Source it; do not run it.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE_LOADER=/usr/lib/wine/wine64
# fonts-ipafont-gothic: IPAPGothic, metric-compatible with the pages' font
# MS PGothic, which the sheet tests measure the page texts with.
PACKAGES=(cmake g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
          binutils-mingw-w64-x86-64 googletest wine64 xvfb xdotool imagemagick
          fonts-ipafont-gothic tigervnc-standalone-server x11-xkb-utils)
# 32-bit Wine for the smoke run of the shipping build: its loader with the
# preloader (which reserves the address space before anything else maps),
# and 32-bit Mesa so that Direct3D under it has OpenGL.
WINE32_LOADER=/usr/lib/wine/wine
WINE32_PACKAGES=(wine32:i386 wine32-preloader:i386 libgl1:i386 libgl1-mesa-dri:i386)

log() { printf '[%s] %s\n' "$(date +%T)" "$*" >&2; }

# without_noise: copies its input but the lines that tell of no fault:
# ALSA's complaints from Wine's sound driver on a machine without a sound
# card, and debconf's note that apt-utils is not installed. Use it on the
# standard error of Wine and apt-get: every other line still shows.
without_noise() {
  grep -v -e '^ALSA lib ' -e '^debconf: delaying package configuration' >&2 || true
}

# apt_update: apt-get update, with every package index fetched by the
# hash that the mirror's signed Release file names (the Debian mirrors
# publish "Acquire-By-Hash: yes"). A mirror caught in the middle of a sync
# then still serves indexes that match what was signed, where fetched by
# name one of them may not ("File has unexpected size ... Mirror sync in
# progress?"). It tries once more 15 s later; when an index still cannot be
# verified it says so in one line and fails. apt never keeps an index it
# could not verify, so its lists then hold the verified ones only.
apt_update() {
  local try errors
  errors=$(mktemp)
  for try in 1 2; do
    if apt-get -o Acquire::By-Hash=force update -qq 2>"$errors"; then
      rm -f "$errors"
      return 0
    fi
    [ "$try" -lt 2 ] && sleep 15
  done
  log "apt-get update could not verify every package index, twice (left out): $(grep -m1 '^[EW]:' "$errors" || echo 'no reason given')"
  rm -f "$errors"
  return 1
}

# Packages are taken at the versions of the machine's own release
# (bookworm's point release; apt-get -t), so that the 32-bit packages of the
# smoke run find their 64-bit twins at the same versions in indexes the
# mirror keeps whole. Taken from the security suite, as apt would by
# default, a 64-bit library could need its 32-bit twin from that suite's
# i386 index, which a mirror out of step with its signed Release file
# cannot give verified (seen here: by name out of date, by hash missing).
RELEASE=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")

# ensure_packages [--no-recommends] [package...]: installs the Debian
# packages (PACKAGES when none are named) that are missing, with their
# recommendations unless told otherwise, at the release's versions; needs
# root, as on CI. A name:i386 package first adds the i386 architecture to
# dpkg. Never removes a package.
ensure_packages() {
  local recommends=
  if [ "${1:-}" = --no-recommends ]; then recommends=--no-install-recommends; shift; fi
  local wanted=("$@") missing=() p
  [ $# -eq 0 ] && wanted=("${PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    log "missing packages: ${missing[*]} (run as root, or install them with apt-get)"
    return 1
  fi
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture to dpkg"
    dpkg --add-architecture i386
  fi
  log "installing ${missing[*]}"
  # An index that could not be verified is left out: the packages come from
  # the verified ones, or the install fails.
  apt_update || true
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-remove ${RELEASE:+-t "$RELEASE"} \
    $recommends "${missing[@]}" >/dev/null 2> >(without_noise)
}

# ensure_japanese_locale: makes ja_JP.UTF-8 when it is missing (as root);
# without it Wine silently takes LANG=ja_JP.UTF-8 for English.
ensure_japanese_locale() { locale -a | grep -qix 'ja_JP\.utf-\?8' || { ensure_packages locales && localedef -i ja_JP -f UTF-8 ja_JP.UTF-8; }; }

# build_target win32|win64 [extra cmake args...] [-- cmake targets...]:
# builds in build/win32 or build/win64.
build_target() {
  local name=$1; shift
  build_in "$ROOT/build/$name" "$name" "$@"
}

# build_in FOLDER win32|win64 [extra cmake args...] [-- cmake targets...]:
# configures the target in FOLDER and builds the named cmake targets (all
# when none are named).
build_in() {
  local folder=$1 name=$2; shift 2
  local configure=() targets=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do configure+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  [ $# -gt 0 ] && targets=(--target "$@")
  local toolchain=x86_64
  [ "$name" = win32 ] && toolchain=i686
  cmake -S "$ROOT" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$toolchain.cmake" "${configure[@]}" >/dev/null
  cmake --build "$folder" -j"$(nproc)" "${targets[@]}" -- --no-print-directory
}

# The tool's version as a build in FOLDER embedded it (CMake makes
# generated/config_version.h from the project version).
built_version() {
  sed -n 's/^#define CONFIG_VERSION_TEXT "\(.*\)"$/\1/p' "$1/generated/config_version.h" 2>/dev/null
}

# guide_text FILE: prints the player's guide of FILE (README.md, or
# README-ja.md in Japanese), the part between the two marks below, made
# plain text. The guide is taken as one text, so that a mark spanning lines
# goes as a whole: comments and pictures are left out, links written as
# "text (address)", code and bold marks dropped; then headings are
# underlined, as wide as they show (a character of more than one byte, as
# Japanese ones are, takes two columns). Fails when a mark is missing.
PLAYER_GUIDE_START="<!-- player's guide -->"
PLAYER_GUIDE_END="<!-- end of the player's guide -->"
guide_text() {
  LC_ALL=C awk -v start="$PLAYER_GUIDE_START" -v end="$PLAYER_GUIDE_END" '
    $0 == start { inside = 1; started = 1; next }
    $0 == end { if (inside) ended = 1; inside = 0; next }
    inside { guide = guide $0 "\n" }
    END {
      if (!(started && ended)) exit 1
      # Comments, also an unclosed one (to the end), across any lines.
      while ((i = index(guide, "<!--")) > 0) {
        rest = substr(guide, i + 4)
        j = index(rest, "-->")
        guide = substr(guide, 1, i - 1) (j ? substr(rest, j + 3) : "")
      }
      while (match(guide, /!\[[^]]*\]\([^)]*\)/))
        guide = substr(guide, 1, RSTART - 1) substr(guide, RSTART + RLENGTH)
      while (match(guide, /\[[^]]*\]\([^)]*\)/)) {
        link = substr(guide, RSTART + 1, RLENGTH - 2)
        split(link, part, /\]\(/)
        gsub(/[ \n]/, "", part[2])
        guide = substr(guide, 1, RSTART - 1) part[1] " (" part[2] ")" substr(guide, RSTART + RLENGTH)
      }
      gsub(/`/, "", guide)
      gsub(/\*\*/, "", guide)
      lines = split(guide, line, "\n")
      for (n = 1; n <= lines; n++) {
        l = line[n]
        if (l ~ /^[ \t]*$/) { emit(""); continue }
        if (match(l, /^#+ /)) {
          level = RLENGTH - 1
          l = substr(l, RLENGTH + 1)
          # UTF-8: one column for each byte of ASCII, two for each
          # character that takes more bytes (its first byte counts two,
          # the bytes after it none).
          rest = l
          after = gsub(/[\200-\277]/, "", rest)
          first = gsub(/[\300-\377]/, "", rest)
          underline = sprintf("%" (length(l) - after + first) "s", "")
          gsub(/ /, level == 1 ? "=" : "-", underline)
          emit(l); emit(underline)
          continue
        }
        emit(l)
      }
      exit !count
    }
    # Blank lines: none at the start or the end, never two in a row.
    function emit(l) {
      if (l == "") { if (count) blank = 1; return }
      if (blank) print ""
      blank = 0; count++
      print l
    }
  ' "$1"
}

# player_guide: prints the guide of README.md as the package's README.txt
# holds it: plain text with Windows line ends. Fails when a mark is missing
# or the text is not plain ASCII (which every Notepad shows alike).
player_guide() {
  local text
  text=$(guide_text "$ROOT/README.md") || { log "README.md has no player's guide between \"$PLAYER_GUIDE_START\" and \"$PLAYER_GUIDE_END\""; return 1; }
  if LC_ALL=C grep -q '[^ -~]' <<<"$text"; then
    log "the player's guide in README.md has characters other than plain ASCII:"
    LC_ALL=C grep -n '[^ -~]' <<<"$text" >&2
    return 1
  fi
  printf '%s\n' "$text" | sed 's/$/\r/'
}

# player_guide_ja: prints the Japanese guide, that of README-ja.md, as the
# package's README-ja.txt holds it: UTF-8 with a byte order mark (so that
# Notepad reads it as UTF-8 on a Windows of any language) and Windows line
# ends. Fails when a mark is missing or the text is not UTF-8.
player_guide_ja() {
  local text
  text=$(guide_text "$ROOT/README-ja.md") || { log "README-ja.md has no player's guide between \"$PLAYER_GUIDE_START\" and \"$PLAYER_GUIDE_END\""; return 1; }
  if ! iconv -f UTF-8 -t UTF-8 <<<"$text" >/dev/null 2>&1; then
    log "the player's guide in README-ja.md is not UTF-8"
    return 1
  fi
  printf '\357\273\277'
  printf '%s\n' "$text" | sed 's/$/\r/'
}

# markdown_left FILE: prints the lines of a plain-text guide that still
# hold Markdown (a picture, a link or its address, a comment, a code or
# bold mark, a heading mark) with their numbers; succeeds when it found
# any.
markdown_left() {
  LC_ALL=C grep -nE '!\[|\]\(|\]\[|^ {0,3}\[[^]]*\]:|<!--|-->|\*\*|__|`|^ {0,3}#{1,6}( |$)' "$1"
}

# start_display [prefix [X server...]]: starts an X server (start_x_server)
# on a free display and a persistent wineserver on a private prefix
# (build/win64/wineprefix unless named); exports DISPLAY, WINEPREFIX,
# WINEDEBUG and remembers both PIDs so that stop_display stops exactly these.
X_SERVER_PID=
WINESERVER_PID=
WINE_STARTED=
start_display() {
  start_x_server "${@:2}" || return 1
  trap stop_display EXIT
  start_wine "${1:-$ROOT/build/win64/wineprefix}" "$WINE_LOADER"
}

# start_x_server [SERVER ARGUMENTS...]: starts Xvfb (or the server named, its
# arguments after the display) on the first free display; exports DISPLAY.
start_x_server() {
  local n=90 server=("$@")
  [ $# -gt 0 ] || server=(Xvfb -screen 0 1280x1024x24 -nolisten tcp)
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  "${server[0]}" ":$n" "${server[@]:1}" >/dev/null 2>&1 &
  X_SERVER_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  if [ ! -e "/tmp/.X11-unix/X$n" ]; then log "${server[0]} did not start"; return 1; fi
}

# start_wine PREFIX LOADER [WINEARCH]: exports WINEPREFIX and the quiet Wine
# settings, creates the prefix with LOADER when it has none yet (at most
# WINE_PREFIX_TIMEOUT seconds, default 600), and starts a persistent
# wineserver for it.
start_wine() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  local loader=$2
  [ -n "${3:-}" ] && export WINEARCH=$3
  WINE_STARTED=1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    if ! timeout "${WINE_PREFIX_TIMEOUT:-600}" "$loader" wineboot -i >/dev/null 2>&1 ||
       ! timeout 120 wineserver -w; then
      log "creating the Wine prefix failed or timed out; removing the half-made prefix"
      wineserver -k >/dev/null 2>&1 || true
      rm -rf "$WINEPREFIX"
      return 1
    fi
  fi
  wineserver -f -p >/dev/null 2>&1 &
  WINESERVER_PID=$!
  # No window manager runs here: tell Wine's X11 driver not to wait for one
  # (it would wait two seconds each time a sheet closes). This first Wine
  # command also starts the prefix's services, with no output to hold open:
  # started later by a test program, they would keep ctest's pipe open.
  "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

# copy_tests_prefix PREFIX: makes PREFIX, when it has no prefix yet, as a
# copy of the test programs' prefix (made by scripts/test.sh) if there is
# one: several times faster than creating one.
TESTS_PREFIX="$ROOT/build/win64/wineprefix"
copy_tests_prefix() {
  if [ ! -f "$1/system.reg" ] && [ -f "$TESTS_PREFIX/system.reg" ]; then
    log "making $1 from $TESTS_PREFIX (once)"
    rm -rf "$1"
    cp -a "$TESTS_PREFIX" "$1"
  fi
}

# setup_player_prefix: the running prefix (WINEPREFIX, its wineserver
# started) set up to show what a player sees. The pages' font "MS PGothic"
# is IPAPGothic (fonts-ipafont-gothic, made with its metrics), and Wine's
# own fonts are there (Tahoma for the sheet's tabs and buttons, Marlett for
# the title bar's buttons). Wine 8 here looks for its own fonts
# (fonts-wine) as "Z:\usr\share\wine\../fonts", a name it does not
# resolve, and so has none of them: no Tahoma, which "MS Shell Dlg" stands
# for, and no Marlett, with which the title bar's buttons are drawn (the
# close box is Marlett's "r", and shows as that letter). It loads every
# font in the prefix's C:\windows\Fonts, where Windows keeps its own. The
# tests' prefixes keep the fallback fonts, which the tests measure.
PLAYER_PREFIX_PACKAGES=(fonts-ipafont-gothic fonts-wine)
setup_player_prefix() {
  cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  "$WINE_LOADER" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v "MS PGothic" /t REG_SZ /d IPAPGothic /f >/dev/null 2> >(without_noise)
}

stop_display() {
  # Runs from the EXIT trap, possibly under set -e: nothing here may fail.
  stop_wine
  if [ -n "$X_SERVER_PID" ]; then
    kill "$X_SERVER_PID" 2>/dev/null || true
    wait "$X_SERVER_PID" 2>/dev/null || true
    X_SERVER_PID=
  fi
}

# Ends the Windows processes of the prefix (wineserver -k acts on this
# prefix only) and the persistent wineserver that start_wine started.
stop_wine() {
  if [ -n "$WINE_STARTED" ]; then
    wineserver -k >/dev/null 2>&1 || true
    WINE_STARTED=
  fi
  if [ -n "$WINESERVER_PID" ]; then
    kill "$WINESERVER_PID" 2>/dev/null || true
    wait "$WINESERVER_PID" 2>/dev/null || true
    WINESERVER_PID=
  fi
}

# A tool process started in the background by a script (drive.sh,
# smoke-win32.sh) sets TOOL_PID.
TOOL_PID=

# wait_tool [SECONDS]: waits for the tool to end and sets TOOL_EXIT to its
# exit code; a tool still running after the limit (15 s) is ended and
# TOOL_EXIT is "running".
TOOL_EXIT=
wait_tool() {
  local limit=$(( ${1:-15} * 10 )) i
  for (( i = 0; i < limit; i++ )); do
    kill -0 "$TOOL_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$TOOL_PID" 2>/dev/null; then
    stop_tool
    TOOL_EXIT=running
    return
  fi
  TOOL_EXIT=0
  wait "$TOOL_PID" || TOOL_EXIT=$?
  TOOL_PID=
}

stop_tool() {
  [ -n "$TOOL_PID" ] || return 0
  kill "$TOOL_PID" 2>/dev/null || true
  wait "$TOOL_PID" 2>/dev/null || true
  TOOL_PID=
}

# Milliseconds since the epoch, and a span of them as seconds.
now_ms() { local t=${EPOCHREALTIME/./}; echo $(( t / 1000 )); }
seconds_since() { local ms=$(( $(now_ms) - $1 )); printf '%d.%d' $(( ms / 1000 )) $(( ms % 1000 / 100 )); }
