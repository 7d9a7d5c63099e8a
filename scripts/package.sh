#!/usr/bin/env bash
# Makes the release package: the 32-bit shipping config.exe, built from a
# clean build folder (build/package), the player's guide from README.md as
# README.txt and the Japanese one from README-ja.md as README-ja.txt, in
# dist/zephranix-config-VERSION.zip, with its checksum in
# dist/zephranix-config-VERSION.zip.sha256 (sha256sum format). VERSION is
# the project version in CMakeLists.txt.
#
# The same source gives the same bytes: the link writes no time stamp, and
# the zip holds the three files in a fixed order, all dated with the time of
# the last commit (or SOURCE_DATE_EPOCH when set), with no owner, permission
# or extra time fields. Build twice and compare the checksums to check it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

STEP=
step() { STEP=$1; log "$1"; }
trap 'status=$?; [ $status -eq 0 ] || log "FAILED ($status) while $STEP"' EXIT

BUILD="$ROOT/build/package"
DIST="$ROOT/dist"

step "installing the packages the build needs"
ensure_packages cmake g++-mingw-w64-i686 binutils-mingw-w64-i686 python3

step "building the 32-bit config.exe from scratch in $BUILD"
rm -rf "$BUILD"
build_in "$BUILD" win32 >/dev/null

step "reading the version the build embedded"
VERSION=$(built_version "$BUILD")
[ -n "$VERSION" ]
ZIP="$DIST/zephranix-config-$VERSION.zip"
# No package of this version is left from before when a later step fails.
rm -f "$ZIP" "$ZIP.sha256" "$ZIP.new"

step "making README.txt from the player's guide in README.md"
player_guide >"$BUILD/README.txt"

step "making README-ja.txt from the Japanese player's guide in README-ja.md"
player_guide_ja >"$BUILD/README-ja.txt"

step "choosing the files' date (the last commit's, or SOURCE_DATE_EPOCH)"
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  stamp=$SOURCE_DATE_EPOCH
else
  stamp=$(git -C "$ROOT" log -1 --format=%ct)
fi
[[ $stamp =~ ^[0-9]+$ ]]

step "writing $ZIP"
mkdir -p "$DIST"
# Written beside it and renamed, so a failed step leaves no zip behind.
python3 - "$ZIP.new" "$stamp" config.exe "$BUILD/config.exe" README.txt "$BUILD/README.txt" \
  README-ja.txt "$BUILD/README-ja.txt" <<'EOF'
import sys, time, zipfile
target, stamp, entries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
# The zip format dates files from 1980 on, in local time without a zone:
# the stamp's UTC date and time are written as they are.
date = time.gmtime(max(stamp, 315532800))[:6]
with zipfile.ZipFile(target, "w") as archive:
    for name, path in zip(entries[0::2], entries[1::2]):
        entry = zipfile.ZipInfo(name, date_time=date)
        # MS-DOS attributes, the archive bit only (as Windows gives a new
        # file): no Unix owner or mode. Python would put a mode in a zero.
        entry.create_system = 0
        entry.external_attr = 0x20
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
EOF
mv "$ZIP.new" "$ZIP"

step "writing the checksum"
(cd "$DIST" && sha256sum "$(basename "$ZIP")" >"$(basename "$ZIP").sha256")

log "made $ZIP: $(stat -c %s "$ZIP") bytes, sha256 $(cut -d' ' -f1 "$ZIP.sha256")"
