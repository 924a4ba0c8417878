#!/usr/bin/env bash
# Smoke test of orbel32.exe under Wine with a virtual X display (Xvfb).
#
#   smoke.sh ORBEL32_EXE DRIVER_EXE WORKDIR
#
# In a fresh Wine prefix under WORKDIR it starts ORBEL32_EXE and, with the
# driver program (driver.cpp), waits for the visible dialog "Zoror ido Rede",
# saves a screenshot of it to WORKDIR/dialog.bmp, presses Escape and waits for
# the program to end. It passes when all that worked and the program wrote the
# ten keys of section ORBEL32 to WIN.INI. The prefix is deleted after a pass and
# kept after a failure; Xvfb and Wine are stopped in every case.
set -uo pipefail

if [ $# -ne 3 ]; then
  sed -n '4p' "$0" | sed 's/^# *//' >&2
  exit 2
fi
app=$(realpath "$1")
driver=$(realpath "$2")
workdir=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/wine-env
. "$here/../../scripts/wine-env"

start=$SECONDS
step() { echo "[$((SECONDS - start)) s] $*"; }

mkdir -p "$workdir" || exit 1
wine_env_use "$workdir/prefix"
wine_env_remove_prefix || exit 1
step "starting Xvfb"
wine_env_start_xvfb || exit 1
echo "DISPLAY=$DISPLAY"
step "creating a fresh Wine prefix"
# Its server and services stay up for the dialog and the driver; the EXIT trap
# stops them.
wine_env_init throwaway || exit 1

step "starting $(basename "$app")"
wine "$app" >"$workdir/app.log" 2>&1 &
app_pid=$!

step "driving the dialog"
rm -f "$workdir/dialog.bmp"
wine "$driver" --timeout 20 wait-dialog list-controls screenshot "$workdir/dialog.bmp" \
  close-escape
driver_status=$?

# The program has ended if Escape worked; otherwise the cleanup stops it.
if [ "$driver_status" = 0 ]; then
  wait "$app_pid"
  echo "$(basename "$app") exit status $?"
fi
if [ -s "$workdir/app.log" ]; then
  echo "--- output of $(basename "$app"):"
  cat "$workdir/app.log"
fi

step "reading section ORBEL32 of WIN.INI"
wine "$driver" read-profile
profile_status=$?
step "done"

if [ "$driver_status" != 0 ] || [ "$profile_status" != 0 ]; then
  echo "FAILED; the Wine prefix is kept in $WINEPREFIX"
  exit 1
fi
wine_env_remove_prefix
echo "PASSED"
