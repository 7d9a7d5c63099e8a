#!/usr/bin/env bash
# The layout tests ($1) on Xtigervnc (Xvfb ignores keymaps) on a French one, in a prefix of their own.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
copy_tests_prefix "$ROOT/build/win64/layout-prefix"
start_display "$ROOT/build/win64/layout-prefix" Xtigervnc -SecurityTypes None -rfbport -1 -nolisten tcp
setxkbmap fr
"$WINE_LOADER" "$1"
