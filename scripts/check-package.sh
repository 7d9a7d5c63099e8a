#!/usr/bin/env bash
# Checks a release package (by default the one scripts/package.sh made last,
# dist/zephranix-config-VERSION.zip):
#
#   check-package.sh [ZIP]
#
# - its .sha256 file beside it names it and matches it;
# - it reads back without error and holds exactly config.exe, README.txt and
#   README-ja.txt;
# - config.exe is a 32-bit (i386) PE executable, imports Windows system DLLs
#   only (tests/imports/check_imports.sh) and carries the version in the
#   zip's name as its file and product version;
# - README.txt and README-ja.txt end every line with CR LF, begin with the
#   guide's heading, hold no Markdown (pictures, links, comments, code, bold
#   or heading marks) and are the player's guides of README.md and
#   README-ja.md as scripts/package.sh writes them; README-ja.txt is UTF-8
#   and begins with a byte order mark.
# Prints every check with its verdict and exits non-zero when any failed.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

OBJDUMP=i686-w64-mingw32-objdump
WINDRES=i686-w64-mingw32-windres
HEADING="ZEPHRANIX Configuration"

ensure_packages binutils-mingw-w64-i686 python3 || exit 1

if [ $# -gt 0 ]; then
  ZIP=$(realpath -m "$1")
else
  VERSION=$(built_version "$ROOT/build/package")
  if [ -z "$VERSION" ]; then
    echo "FAIL  no package: build/package holds no build (run scripts/package.sh first)"
    exit 1
  fi
  ZIP="$ROOT/dist/zephranix-config-$VERSION.zip"
fi
NAME=$(basename "$ZIP")

passed=0 failed=0
pass() { echo "ok    $*"; passed=$((passed + 1)); }
fail() { echo "FAIL  $*"; failed=$((failed + 1)); }
finish() {
  if [ $failed -eq 0 ]; then
    echo "package $NAME: all $passed checks passed"
  else
    echo "package $NAME: $failed of $((passed + failed)) checks FAILED"
  fi
  exit $(( failed > 0 ))
}

if [ ! -f "$ZIP" ]; then
  fail "$ZIP does not exist (run scripts/package.sh first)"
  finish
fi

WORK=$(mktemp -d /tmp/config-package-check.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

# --- the checksum file -----------------------------------------------------
if [ ! -f "$ZIP.sha256" ]; then
  fail "$NAME.sha256 is missing"
elif [ "$(awk '{ print $2 }' "$ZIP.sha256")" != "$NAME" ]; then
  fail "$NAME.sha256 names \"$(awk '{ print $2 }' "$ZIP.sha256")\", not $NAME"
elif (cd "$(dirname "$ZIP")" && sha256sum --quiet --strict -c "$NAME.sha256" >/dev/null 2>&1); then
  pass "$NAME.sha256 matches the zip"
else
  fail "$NAME.sha256 does not match the zip (zip: $(sha256sum "$ZIP" | cut -d' ' -f1), file: $(cut -d' ' -f1 "$ZIP.sha256"))"
fi

# --- the entries -------------------------------------------------------------
# Lists the entries, one a line, after reading every one back (CRC checked),
# and extracts config.exe and the guides into WORK.
if ! entries=$(python3 - "$ZIP" "$WORK" 2>&1 <<'EOF'
import sys, zipfile
try:
    with zipfile.ZipFile(sys.argv[1]) as archive:
        damaged = archive.testzip()
        if damaged:
            sys.exit("damaged entry: " + damaged)
        for name in archive.namelist():
            print(name)
        for name in ("config.exe", "README.txt", "README-ja.txt"):
            if name in archive.namelist():
                archive.extract(name, sys.argv[2])
except zipfile.BadZipFile as error:
    sys.exit("not a readable zip: %s" % error)
EOF
); then
  fail "$NAME cannot be read: $entries"
  finish
fi
if [ "$(printf '%s\n' "$entries" | LC_ALL=C sort)" = "$(printf '%s\n' README-ja.txt README.txt config.exe)" ]; then
  pass "the zip holds exactly config.exe, README.txt and README-ja.txt"
else
  fail "the zip holds [$(printf '%s\n' "$entries" | paste -sd' ')], not exactly config.exe, README.txt and README-ja.txt"
fi

# --- config.exe ------------------------------------------------------------
EXE="$WORK/config.exe"
if [ ! -f "$EXE" ]; then
  fail "config.exe is missing"
else
  header=$("$OBJDUMP" -f "$EXE" 2>&1)
  if grep -q 'file format pei-i386' <<<"$header" && grep -q '^architecture: i386' <<<"$header"; then
    pass "config.exe is a 32-bit PE executable (pei-i386, i386)"
  else
    fail "config.exe is not a 32-bit PE executable: $(printf '%s' "$header" | tr '\n' ' ')"
  fi
  if imports=$(bash "$ROOT/tests/imports/check_imports.sh" "$OBJDUMP" "$EXE"); then
    pass "config.exe imports Windows system DLLs only: $(sed -n 's/^  \([^:]*\):.*/\1/p' <<<"$imports" | paste -sd' ')"
  else
    fail "config.exe imports what it may not:"
    sed 's/^/      /' <<<"$imports"
  fi
  expected=${NAME#zephranix-config-}
  expected=${expected%.zip}
  resources=$("$WINDRES" -J coff -i "$EXE" -O rc 2>/dev/null)
  versions=$(sed -n 's/^ *VALUE "\(File\|Product\)Version", "\(.*\)"$/\1 \2/p' <<<"$resources" | paste -sd' ')
  if [ "$versions" = "File $expected Product $expected" ]; then
    pass "config.exe carries version $expected (FileVersion, ProductVersion)"
  else
    fail "config.exe's version resource says [${versions:-nothing}], the zip's name $expected"
  fi
fi

# --- the guides --------------------------------------------------------------
# check_guide NAME SOURCE MAKE BOM: the guide NAME in the zip, made by the
# function MAKE from SOURCE; BOM is the byte order mark it begins with
# (empty for none).
check_guide() {
  local name=$1 source=$2 make=$3 bom=$4 file="$WORK/$1" text bare first left
  if [ ! -s "$file" ]; then
    fail "$name is missing or empty"
    return
  fi
  bare=$(LC_ALL=C grep -c -v $'\r$' "$file")
  if [ "$bare" -eq 0 ] && [ "$(tail -c 2 "$file" | od -An -tx1 | tr -d ' ')" = 0d0a ]; then
    pass "$name ends every line with CR LF"
  else
    fail "$name has $bare lines without CR LF (or no line end at its end)"
  fi
  if [ -n "$bom" ]; then
    if [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" = "$bom" ] && iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1; then
      pass "$name is UTF-8 and begins with a byte order mark"
    else
      fail "$name is not UTF-8 beginning with a byte order mark ($bom)"
    fi
  fi
  text=$(tail -c +$(( ${#bom} / 2 + 1 )) "$file")
  first=$(head -n 1 <<<"$text" | tr -d '\r')
  if [ "$first" = "$HEADING" ]; then
    pass "$name begins with the heading \"$HEADING\""
  else
    fail "$name begins with \"$first\", not the heading \"$HEADING\""
  fi
  if left=$(markdown_left <(tr -d '\r' <<<"$text")); then
    fail "$name still holds Markdown:"
    sed 's/^/      /' <<<"$left"
  else
    pass "$name holds no Markdown"
  fi
  if ! "$make" >"$WORK/$name.made"; then
    fail "$source's player's guide cannot be made to compare with"
  elif cmp -s "$WORK/$name.made" "$file"; then
    pass "$name is the player's guide of $source"
  elif cmp -s <(tr -d '\r' <"$WORK/$name.made") <(tr -d '\r' <"$file"); then
    fail "$name differs from the player's guide of $source in its line ends only"
  else
    fail "$name differs from the player's guide of $source (< $source, > $name):"
    diff <(tr -d '\r' <"$WORK/$name.made") <(tr -d '\r' <"$file") | head -n 20 | sed 's/^/      /'
  fi
}
check_guide README.txt README.md player_guide ""
check_guide README-ja.txt README-ja.md player_guide_ja efbbbf

finish
