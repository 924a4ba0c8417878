#!/usr/bin/env bash
# The dialog scenarios (tests/ui/dialog/scenarios) against orbel32.exe under Wine,
# on a virtual X display (Xvfb), worked from outside by the driver (driver.cpp).
#
#   dialog.sh --init WORKDIR
#       create a fresh Wine prefix WORKDIR/prefix (the scenarios share it)
#   dialog.sh SCENARIO_FILE WORKDIR ORBEL32_EXE DRIVER_EXE
#       run one scenario in that prefix
#
# Each run starts Xvfb and Wine's server, runs the driver, which starts the
# program as the scenario says, and stops Xvfb and Wine in every case.
# Scenarios sharing the prefix must not run at the same time (CTest's
# RESOURCE_LOCK sees to that).
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/wine-env
. "$here/../../scripts/wine-env"

usage() {
  sed -n '5,8p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

# A fresh prefix set up to look like Windows: Wine's own fonts (Debian's
# fonts-wine, which Debian's Wine 8 does not find by itself) in the Windows font
# folder, so that "MS Sans Serif" 8 pt is Wine's bitmap copy of it with the
# dialog units of Windows rather than a wider substitute that cuts the labels;
# and a virtual desktop, in which Wine draws captions and frames itself as
# Windows would, with no window manager.
if [ "${1:-}" = --init ]; then
  [ $# -eq 2 ] || usage
  mkdir -p "$2" || exit 1
  wine_env_use "$2/prefix"
  wine_env_remove_prefix || exit 1
  wine_env_init || exit 1
  if [ -d /usr/share/wine/fonts ]; then
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" || exit 1
  else
    echo "dialog.sh: Wine's fonts (fonts-wine) are missing; labels may look cut" >&2
  fi
  # Without a display, as the prefix was created: no window opens anywhere.
  {
    env -u DISPLAY wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
      env -u DISPLAY wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
        /d 800x600 /f &&
      wineserver -w
  } >"$WINEPREFIX.log" 2>&1 || {
    cat "$WINEPREFIX.log" >&2
    exit 1
  }
  exit 0
fi
[ $# -eq 4 ] || usage
workdir=$(realpath "$2") || exit 1
scenario=$(realpath "$1") || exit 1
app=$(realpath "$3") || exit 1
driver=$(realpath "$4") || exit 1
# Paths on Wine's drive Z:, which is the Unix root.
windows_path() { echo "Z:${1//\//\\}"; }

wine_env_use "$workdir/prefix"
wine_env_init || exit 1
wine_env_start_xvfb || exit 1
# shellcheck disable=SC2119 # no linger time: the cleanup stops Wine
wine_env_start_services || exit 1
# The output goes through a file: the program the driver starts inherits the
# driver's output, and a pipe would stay open as long as the program runs.
output="$workdir/$(basename "$scenario" .scenario).log"
wine "$driver" "$(windows_path "$scenario")" "$(windows_path "$app")" >"$output" 2>&1
status=$?
cat "$output"
exit "$status"
