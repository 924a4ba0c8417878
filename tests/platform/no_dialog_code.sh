#!/bin/sh
# Fails when a program holds any of the dialog manager or the window stand-ins.
# With nm, CONTROL is the windowing library (orbel_platform_user) and a program
# fails when it defines any function that the library defines; with objdump -p
# (Windows programs), when it imports one of the functions below. CONTROL must
# show those functions, so that the listing is known to find them; a program
# listed by nm must show its main, so that one without symbols cannot pass.
#   no_dialog_code.sh nm|objdump TOOL CONTROL PROGRAM...
set -u
kind=$1 tool=$2 control=$3
shift 3
names="DialogBoxParamA CreateWindowExA EndDialog GetDlgItem SendMessageA SetTimer"

# The last field of each line of FILE's listing: the symbol or imported name.
listed() {
  if [ "$kind" = objdump ]; then
    "$tool" -p "$1" > "$work/listing"
  else
    "$tool" "$1" > "$work/listing"
  fi || { echo "cannot list $1"; exit 1; }
  awk '{ print $NF }' "$work/listing" | sort -u > "$work/names"
}
shows() { grep -qx "$1" "$work/names"; }

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

listed "$control"
for name in $names; do
  shows "$name" || { echo "the listing of $control does not show $name"; exit 1; }
done
if [ "$kind" = nm ]; then
  # Every function the windowing library defines, by its (mangled) name.
  names=$("$tool" -g --defined-only "$control" | awk '$2 == "T" { print $3 }' | sort -u)
  echo "$control defines $(echo "$names" | wc -l) functions"
fi

status=0
for program in "$@"; do
  listed "$program"
  if [ "$kind" = nm ] && ! shows main; then
    echo "$program: no symbols to check"
    exit 1
  fi
  held=""
  for name in $names; do
    if shows "$name"; then held="$held $name"; fi
  done
  if [ -n "$held" ]; then
    echo "$program holds dialog code:$held"
    status=1
  else
    echo "$program: none of them"
  fi
done
exit $status
