#!/usr/bin/env bash
# The Windows zip as `cpack` makes it from the build tree: exactly the two
# programs, stripped, with README.txt, LICENSE.txt and NOTICES.txt in one top
# folder; the unpacked orbel-cli.exe runs under Wine and tells its version, and
# both programs carry the version resource (version.sh).
#
#   zip.sh CPACK BUILD_DIR OBJDUMP WINE_EXEC VERSION_CHECK_EXE ORBEL_VERSION_H
set -uo pipefail
[ $# -eq 6 ] || { sed -n '7p' "$0" | sed 's/^# *//' >&2; exit 2; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cpack=$1 build=$2 objdump=$3 wine_exec=$4 check=$5 header=$6
fail() { echo "zip.sh: $*" >&2; exit 1; }
macro() { sed -n "s/^#define $1 \"\(.*\)\"\$/\1/p" "$header"; }
version=$(macro ORBEL_VERSION) text=$(macro ORBEL_VERSION_TEXT)
[ -n "$version" ] || fail "no version in $header"

# Inside the build tree, where wine-exec finds the build's Wine prefix.
tmp=$(mktemp -d -p "$build" zip-test.XXXXXX) || exit 1
trap 'rm -rf "$tmp"' EXIT
(cd "$build" && "$cpack" -G ZIP -B "$tmp") >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
top=orbel-$version-win32
zip=$tmp/$top.zip
[ -f "$zip" ] || fail "no $top.zip; cpack wrote: $(ls "$tmp")"
listing=$(unzip -Z1 "$zip" | LC_ALL=C sort)
expected=$(printf "$top/%s\n" LICENSE.txt NOTICES.txt README.txt orbel-cli.exe orbel32.exe)
[ "$listing" = "$expected" ] || fail "the zip holds"$'\n'"$listing"$'\n'"instead of"$'\n'"$expected"

unzip -q "$zip" -d "$tmp" || fail "cannot unpack $zip"
sizes=
for exe in orbel32.exe orbel-cli.exe; do
  sections=$("$objdump" -h "$tmp/$top/$exe") || fail "objdump cannot read $exe"
  [[ $sections != *" .debug_"* ]] || fail "$exe still has debug information"
  sizes+="${sizes:+,} $exe $(stat -c %s "$tmp/$top/$exe") bytes"
done

line=$("$wine_exec" --no-wait "$tmp/$top/orbel-cli.exe" --version | tr -d '\r')
[ "$line" = "orbel-cli $text" ] || fail "orbel-cli --version says \"$line\", expected \"orbel-cli $text\""
bash "$here/version.sh" "$wine_exec" "$check" "$header" "$tmp/$top/orbel32.exe" \
  "$tmp/$top/orbel-cli.exe" || fail "the unpacked programs' version resources are wrong"
echo "zip.sh: $top.zip as expected, stripped:$sizes"
