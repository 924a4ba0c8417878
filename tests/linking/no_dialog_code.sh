#!/bin/sh
# Fails when a program holds any of the dialog manager or the window stand-ins:
# when it defines (nm) or imports (objdump -p, for Windows programs) one of the
# functions below. CONTROL, a file that holds them all, shows that the listing
# finds them; a program listed by nm must show its main, so that one without
# symbols cannot pass.
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
    echo "$program: none of $names"
  fi
done
exit $status
