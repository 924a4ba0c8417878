#!/usr/bin/env bash
# Runs two commands and passes when their standard outputs are identical byte
# for byte and both succeed.
#
#   same-output.sh COMMAND_A [ARGS...] -- COMMAND_B [ARGS...]
set -uo pipefail

a=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  a+=("$1")
  shift
done
if [ $# -lt 2 ] || [ ${#a[@]} -eq 0 ]; then
  sed -n '2,5p' "$0" >&2
  exit 2
fi
shift
b=("$@")

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"${a[@]}" >"$out/a" || { echo "FAILED (exit $?): ${a[*]}"; exit 1; }
"${b[@]}" >"$out/b" || { echo "FAILED (exit $?): ${b[*]}"; exit 1; }
if [ ! -s "$out/a" ]; then
  echo "no output from ${a[*]}"
  exit 1
fi
if cmp -s "$out/a" "$out/b"; then
  echo "$(wc -l <"$out/a") lines, $(wc -c <"$out/a") bytes, identical"
  exit 0
fi
echo "outputs differ: < ${a[*]}"
echo "                > ${b[*]}"
diff "$out/a" "$out/b" | head -n 40
echo "$(diff "$out/a" "$out/b" | grep -c '^<') of $(wc -l <"$out/a") lines differ"
exit 1
