# Shared by the project's scripts: packages, builds, and a private Xvfb
# display with a persistent wineserver. Source it; do not run it.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE_LOADER=/usr/lib/wine/wine64
PACKAGES=(cmake g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
          binutils-mingw-w64-x86-64 googletest wine64 xvfb xdotool imagemagick)

log() { printf '[%s] %s\n' "$(date +%T)" "$*" >&2; }

# Installs the Debian packages that are missing (needs root, as on CI).
ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    log "missing packages: ${missing[*]} (run as root, or install them with apt-get)"
    return 1
  fi
  log "installing ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# build_target win32|win64 [extra cmake args...]
build_target() {
  local name=$1; shift
  local toolchain=x86_64
  [ "$name" = win32 ] && toolchain=i686
  cmake -S "$ROOT" -B "$ROOT/build/$name" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$toolchain.cmake" "$@" >/dev/null
  cmake --build "$ROOT/build/$name" -j"$(nproc)" -- --no-print-directory
}

# start_display [prefix]: starts Xvfb on a free display and a persistent
# wineserver on a private prefix (build/win64/wineprefix unless named);
# exports DISPLAY, WINEPREFIX, WINEDEBUG and remembers both PIDs so that
# stop_display stops exactly these processes.
XVFB_PID=
WINESERVER_PID=
start_display() {
  export WINEPREFIX="${1:-$ROOT/build/win64/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  if [ ! -e "/tmp/.X11-unix/X$n" ]; then log "Xvfb did not start"; return 1; fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix (once)"
    mkdir -p "$WINEPREFIX"
    "$WINE_LOADER" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -f -p >/dev/null 2>&1 &
  WINESERVER_PID=$!
  trap stop_display EXIT
  # No window manager runs here: tell Wine's X11 driver not to wait for one
  # (it would wait two seconds each time a sheet closes).
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

stop_display() {
  # Runs from the EXIT trap, possibly under set -e: nothing here may fail.
  if [ -n "$WINESERVER_PID" ]; then
    wineserver -k >/dev/null 2>&1 || true
    kill "$WINESERVER_PID" 2>/dev/null || true
    wait "$WINESERVER_PID" 2>/dev/null || true
    WINESERVER_PID=
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
