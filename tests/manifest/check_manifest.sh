#!/usr/bin/env bash
# Reads the application manifest back from built executables, with the
# MinGW-w64 windres that matches each of them, and checks what it says:
#
#   check_manifest.sh WINDRES EXE [WINDRES EXE]...
#
# The manifest asks for Common Controls 6 and system DPI awareness, names
# Windows 10 and 11 (and 7 to 8.1) as supported, and has no trustInfo or
# requestedExecutionLevel: a 32-bit program without that entry is
# redirected to the VirtualStore folder exactly as the game is, so the tool
# reads and writes the setting.cfg the game reads. Prints every point with
# its verdict; exits non-zero when an executable is missing or its manifest
# is not as it should be.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../executable_checks.sh"

# "present TEXT" must be in the manifest, "absent TEXT" must not.
CHECKS=(
  "present name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
  "present <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"
  "present <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">system</dpiAwareness>"
  "present <assemblyIdentity type=\"win32\" name=\"Zephranix.Configuration\""
  "present <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">"
  "present <supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"
  "absent trustInfo"
  "absent requestedExecutionLevel"
)

# check_manifest WINDRES EXE
check_manifest() {
  local windres=$1 exe=$2 script manifest check want text found
  if ! script=$("$windres" --input-format=coff --output-format=rc -i "$exe" 2>&1); then
    echo "UNREADABLE $exe: $windres cannot read its resources: $script"
    return 1
  fi
  # windres writes the manifest (resource 1 of type 24, RT_MANIFEST) as
  # quoted strings, one a line, with "" for a quote and \n for a line end.
  manifest=$(printf '%s\n' "$script" | awk '
    /^1 24 / { inside = 1; next }
    inside && /^END/ { exit }
    inside && /^ *"/ {
      line = $0
      sub(/^ *"/, "", line); sub(/"$/, "", line)
      gsub(/""/, "\"", line); gsub(/\\n/, "\n", line)
      printf "%s", line
    }')
  echo "$exe:"
  if [ -z "$manifest" ]; then
    echo "REJECTED $exe: no manifest (resource 1 of type RT_MANIFEST)"
    return 1
  fi
  local rejected=()
  for check in "${CHECKS[@]}"; do
    want=${check%% *} text=${check#* }
    if [[ "$manifest" == *"$text"* ]]; then found=present; else found=absent; fi
    if [ "$found" = "$want" ]; then
      echo "  $want as it should be: $text"
    else
      echo "  $found, should be $want: $text"
      rejected+=("$text")
    fi
  done
  if [ ${#rejected[@]} -gt 0 ]; then
    echo "REJECTED $exe: $(printf '[%s] ' "${rejected[@]}")"
    return 1
  fi
}

for_each_executable check_manifest "$@"
