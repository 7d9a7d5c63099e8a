# Shared by the checks of built executables (imports/, manifest/): their
# arguments, pairs of a MinGW-w64 tool and an executable, and what to say
# when either is missing. Source it; do not run it.
#
#   for_each_executable CHECK TOOL EXE [TOOL EXE]...
#
# calls "CHECK TOOL EXE" for each pair whose executable and tool exist;
# returns non-zero when one is missing or a CHECK failed, 2 for wrong
# arguments.
for_each_executable() {
  local check=$1
  shift
  if [ $# -eq 0 ] || [ $(($# % 2)) -ne 0 ]; then
    echo "usage: $0 TOOL EXE [TOOL EXE]..." >&2
    return 2
  fi
  local failed=0 tool exe
  while [ $# -gt 0 ]; do
    tool=$1 exe=$2
    shift 2
    if [ ! -f "$exe" ]; then
      echo "MISSING $exe: build it first (scripts/test.sh builds build/win32 before build/win64)"
      failed=1
    elif ! command -v "$tool" >/dev/null; then
      echo "MISSING $tool: install the MinGW-w64 binutils"
      failed=1
    else
      "$check" "$tool" "$exe" || failed=1
    fi
  done
  return $failed
}
