#!/usr/bin/env bash
# Checks a release package (by default the one scripts/package.sh made last,
# dist/zephranix-config-VERSION.zip):
#
#   check-package.sh [ZIP]
#
# - its .sha256 file beside it names it and matches it;
# - it reads back without error and holds exactly config.exe and README.txt;
# - config.exe is a 32-bit (i386) PE executable, imports Windows system DLLs
#   only (tests/imports/check_imports.sh) and carries the version in the
#   zip's name as its file and product version;
# - README.txt ends every line with CR LF, begins with the guide's heading,
#   holds no Markdown (pictures, links, comments, code, bold or heading
#   marks) and is the player's guide of README.md as scripts/package.sh
#   writes it.
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
# and extracts config.exe and README.txt into WORK.
if ! entries=$(python3 - "$ZIP" "$WORK" 2>&1 <<'EOF'
import sys, zipfile
try:
    with zipfile.ZipFile(sys.argv[1]) as archive:
        damaged = archive.testzip()
        if damaged:
            sys.exit("damaged entry: " + damaged)
        for name in archive.namelist():
            print(name)
        for name in ("config.exe", "README.txt"):
            if name in archive.namelist():
                archive.extract(name, sys.argv[2])
except zipfile.BadZipFile as error:
    sys.exit("not a readable zip: %s" % error)
EOF
); then
  fail "$NAME cannot be read: $entries"
  finish
fi
if [ "$(printf '%s\n' "$entries" | sort)" = "$(printf '%s\n' README.txt config.exe)" ]; then
  pass "the zip holds exactly config.exe and README.txt"
else
  fail "the zip holds [$(printf '%s\n' "$entries" | paste -sd' ')], not exactly config.exe and README.txt"
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

# --- README.txt ------------------------------------------------------------
TXT="$WORK/README.txt"
if [ ! -s "$TXT" ]; then
  fail "README.txt is missing or empty"
else
  bare=$(LC_ALL=C grep -c -v $'\r$' "$TXT")
  if [ "$bare" -eq 0 ] && [ "$(tail -c 2 "$TXT" | od -An -tx1 | tr -d ' ')" = 0d0a ]; then
    pass "README.txt ends every line with CR LF"
  else
    fail "README.txt has $bare lines without CR LF (or no line end at its end)"
  fi
  first=$(head -n 1 "$TXT" | tr -d '\r')
  if [ "$first" = "$HEADING" ]; then
    pass "README.txt begins with the heading \"$HEADING\""
  else
    fail "README.txt begins with \"$first\", not the heading \"$HEADING\""
  fi
  if left=$(markdown_left <(tr -d '\r' <"$TXT")); then
    fail "README.txt still holds Markdown:"
    sed 's/^/      /' <<<"$left"
  else
    pass "README.txt holds no Markdown"
  fi
  if ! player_guide >"$WORK/guide.txt"; then
    fail "README.md's player's guide cannot be made to compare with"
  elif cmp -s "$WORK/guide.txt" "$TXT"; then
    pass "README.txt is the player's guide of README.md"
  else
    if cmp -s <(tr -d '\r' <"$WORK/guide.txt") <(tr -d '\r' <"$TXT"); then
      fail "README.txt differs from the player's guide of README.md in its line ends only"
    else
      fail "README.txt differs from the player's guide of README.md (< README.md, > README.txt):"
      diff <(tr -d '\r' <"$WORK/guide.txt") <(tr -d '\r' <"$TXT") | head -n 20 | sed 's/^/      /'
    fi
  fi
fi

finish
