#!/usr/bin/env bash
# The version resources of orbel32.exe and orbel-cli.exe under Wine, read by
# version_check.exe as Explorer reads them, against the generated
# orbel_version.h the programs were built with.
#
#   version.sh WINE_EXEC VERSION_CHECK_EXE ORBEL_VERSION_H ORBEL32_EXE ORBEL_CLI_EXE
set -uo pipefail
[ $# -eq 5 ] || { sed -n '6p' "$0" | sed 's/^# *//' >&2; exit 2; }
wine_exec=$1 check=$2 header=$3
# A string macro of the header, e.g. ORBEL_VERSION_TEXT.
macro() { sed -n "s/^#define $1 \"\(.*\)\"\$/\1/p" "$header"; }
version=$(macro ORBEL_VERSION) text=$(macro ORBEL_VERSION_TEXT)
if [ -z "$version" ] || [ -z "$text" ]; then echo "version.sh: no version in $header" >&2; exit 1; fi
# Wine's drive Z: is the Unix root.
windows_path() { local path; path=$(realpath "$1") && echo "Z:${path//\//\\}"; }

status=0
for exe in "$4" "$5"; do
  "$wine_exec" --no-wait "$check" "$(windows_path "$exe")" "fixed=$version.0" \
    "FileVersion=$version" "ProductVersion=$text" ProductName=Orbel \
    "OriginalFilename=$(basename "$exe")" | tr -d '\r' || status=1
done
[ "$status" = 0 ] && echo "version.sh: $version, product version $text, in both programs"
exit "$status"
