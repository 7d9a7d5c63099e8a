#!/usr/bin/env bash
# Checks what executables import, with the MinGW-w64 objdump that matches
# each of them:
#
#   check_imports.sh OBJDUMP EXE [OBJDUMP EXE]...
#
# An executable may import Windows system DLLs only: no MinGW runtime DLL
# (libgcc_s_*, libstdc++-*, libwinpthread-*) and nothing else that a player's
# Windows lacks. The DirectX DLLs are never imported, although Windows has
# them: the tool resolves their entry points at run time, so that a missing
# DLL acts like a failed creation call instead of stopping the start.
# Prints every import with its verdict; exits non-zero when an executable is
# missing or imports anything it may not.
set -uo pipefail

# DLLs that every Windows the tool runs on has (lower case).
SYSTEM_DLLS=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll advapi32.dll
  shell32.dll shlwapi.dll ole32.dll oleaut32.dll msvcrt.dll ntdll.dll version.dll
  winmm.dll imm32.dll uxtheme.dll "
# Loaded at run time only, never imported.
DIRECTX_DLLS=" dinput8.dll dinput.dll d3d8.dll d3d9.dll ddraw.dll dsound.dll "

source "$(dirname "${BASH_SOURCE[0]}")/../executable_checks.sh"

# check_imports OBJDUMP EXE
check_imports() {
  local objdump=$1 exe=$2 dump names name
  if ! dump=$("$objdump" -p "$exe"); then
    echo "UNREADABLE $exe: $objdump cannot read it"
    return 1
  fi
  names=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z' | sort -u)
  echo "$exe ($(printf '%s\n' "$dump" | sed -n 's/.*file format //p' | head -1)):"
  if [ -z "$names" ]; then
    # Every Windows executable imports at least KERNEL32; none found means
    # the dump was not understood.
    echo "  no import table found"
    return 1
  fi
  local rejected=()
  for name in $names; do
    if [[ "$DIRECTX_DLLS" == *" $name "* ]]; then
      echo "  $name: DirectX DLL, must be loaded at run time, not imported"
      rejected+=("$name")
    elif [[ "$SYSTEM_DLLS" == *" $name "* ]]; then
      echo "  $name: Windows system DLL"
    else
      echo "  $name: not a Windows system DLL"
      rejected+=("$name")
    fi
  done
  if [ ${#rejected[@]} -gt 0 ]; then
    echo "REJECTED $exe: ${rejected[*]}"
    return 1
  fi
}

for_each_executable check_imports "$@"
