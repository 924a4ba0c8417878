#!/usr/bin/env bash
# End-to-end scenarios of orbel32.exe under Wine, on a virtual X display (Xvfb),
# worked from outside by the driver program (driver.cpp).
#
#   dialog.sh --init WORKDIR
#       create a fresh Wine prefix WORKDIR/prefix (the scenarios share it)
#   dialog.sh SCENARIO WORKDIR ORBEL32_EXE DRIVER_EXE ORBEL_CLI
#       run one scenario in that prefix
#
# Each scenario starts Xvfb and Wine's server, writes the profile it starts
# from (section ORBEL32 of WIN.INI), runs the program and the driver, and stops
# Xvfb and Wine in every case. The expected result texts are the engine's, for
# the arguments the dialog must pass, computed by the Linux build's
# `orbel-cli batch`; where the worked examples print a text, the scenario also
# checks the engine against it. Scenarios sharing the prefix must not run at
# the same time (CTest's RESOURCE_LOCK sees to that).
#
# Scenarios: first_start time_modes worked_examples hemispheres_and_field_rules
# closing reset_gesture phase_picture. phase_picture also saves the dialog as
# WORKDIR/screenshot-wine.png (the README's docs/screenshot-wine.png).
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
[ $# -eq 5 ] || usage
scenario=$1 workdir=$2 cli=$5
app=$(realpath "$3") || exit 1
driver=$(realpath "$4") || exit 1
# The program is started by the driver, inside Wine: a path on Wine's drive Z:,
# which is the Unix root.
app_windows_path="Z:${app//\//\\}"

start_time=$SECONDS
say() { echo "[$((SECONDS - start_time)) s] $*"; }

failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}

# ---- The engine's answers -------------------------------------------------------

# angle DEG MIN SEC HEMISPHERE: the angle as the dialog forms it, in double
# precision, DEG + MIN * (1/60) + SEC * (1/3600), and 360 minus that for W and
# S; printed with 17 digits, so that orbel-cli reads back the same double.
angle() {
  awk -v d="$1" -v m="$2" -v s="$3" -v h="$4" 'BEGIN {
    v = d + m * (1.0 / 60) + s * (1.0 / 3600)
    if (h == "W" || h == "S") v = 360 - v
    printf "%.17g\n", v
  }'
}

# query DAY MONTH YEAR LAT LON ZONE: sets sunrise, sunset, moonrise, moonset
# and age to the engine's answers for these arguments.
query() {
  local line fields
  line=$(printf '%s %s %s %s %s %s\n' "$@" | "$cli" batch) || {
    fail "orbel-cli batch rejected \"$*\""
    return 1
  }
  IFS=$'\t' read -r -a fields <<<"$line"
  sunrise=${fields[3]} sunset=${fields[7]} moonrise=${fields[11]} moonset=${fields[15]}
  age=${fields[16]}
}

# pin WHAT EXPECTED SEEN: a value printed in a worked example ("-": none).
pin() {
  if [ "$2" != - ] && [ "$2" != "$3" ]; then
    fail "worked example, $1: the engine (orbel-cli batch) gives \"$3\", the example \"$2\""
  fi
}

# ---- Driver steps ---------------------------------------------------------------

steps=()
add() { steps+=("$@"); }

# run_steps: runs the collected steps in one driver process and clears them.
run_steps() {
  wine "$driver" --timeout 20 "${steps[@]}"
  local status=$?
  steps=()
  [ "$status" = 0 ] || fail "driver steps of scenario $scenario"
  return "$status"
}

# ID TEXT pairs.
expect_texts() {
  while [ $# -ge 2 ]; do
    add expect-text "$1" "$2"
    shift 2
  done
}

# ID 0|1 pairs.
expect_checks() {
  while [ $# -ge 2 ]; do
    add expect-check "$1" "$2"
    shift 2
  done
}

# expect_mode manual|system: box 115 and the controls it enables.
expect_mode() {
  local manual=0
  [ "$1" = manual ] && manual=1
  add expect-check 115 $((1 - manual))
  for id in 107 108 109 110 112; do add expect-enabled "$id" "$manual"; done
}

# expect_results DAY MONTH YEAR LAT LON ZONE: the four result fields show the
# engine's texts for these arguments.
expect_results() {
  query "$@" || return
  expect_texts 111 "$sunrise" 113 "$sunset" 125 "$moonset" 127 "$moonrise"
}

# set_place LON_DEG LON_MIN LON_SEC E|W LAT_DEG LAT_MIN LAT_SEC N|S
set_place() {
  add set-text 101 "$1" set-text 102 "$2" set-text 103 "$3"
  if [ "$4" = E ]; then add click 130; else add click 131; fi
  add set-text 104 "$5" set-text 105 "$6" set-text 106 "$7"
  if [ "$8" = N ]; then add click 132; else add click 133; fi
}

set_date() { add set-text 108 "$1" set-text 109 "$2" set-text 110 "$3"; }

# new_profile [KEY=VALUE]...: section ORBEL32 holds just these keys.
new_profile() {
  add delete-profile
  local pair
  for pair in "$@"; do add set-profile "${pair%%=*}" "${pair#*=}"; done
}

start_dialog() { add start "$app_windows_path" wait-dialog; }

# drive_and_read STEPS... : runs the steps and sets `read_values` to the lines
# printed by their get-text and get-check commands, which must come last. The
# output goes through a file: the program the driver starts inherits the
# driver's output, and a pipe would stay open as long as the program runs.
drive_and_read() {
  local output="$workdir/driver-output.txt" count=0 arg status
  for arg in "$@"; do
    if [ "$arg" = get-text ] || [ "$arg" = get-check ]; then count=$((count + 1)); fi
  done
  wine "$driver" --timeout 20 "$@" >"$output"
  status=$?
  cat "$output"
  if [ "$status" != 0 ]; then
    fail "driver steps of scenario $scenario"
    return 1
  fi
  mapfile -t read_values < <(tail -n "$count" "$output")
}

# ---- Scenarios --------------------------------------------------------------------

# The built-in place, the one an empty profile gives.
default_lat=$(angle 48 44 36 N)
default_lon=$(angle 9 18 27 E)

# Zone and date follow the system in system-time mode; after a tick the results
# are those for the system's zone (minus one hour with daylight saving) and date.
# The phase picture of the second tick shows the system's date.
scenario_first_start() {
  new_profile
  run_steps || return
  add note "first start, empty profile"
  start_dialog
  expect_texts 101 9 102 18 103 27 104 48 105 44 106 36
  expect_checks 130 1 131 0 132 1 133 0
  expect_mode system
  add wait-tick note "first start, after a tick"
  add expect-system-time expect-clock
  drive_and_read "${steps[@]}" get-text 107 get-text 108 get-text 109 get-text 110 get-check 112 ||
    return
  steps=()
  local zone=${read_values[0]} day=${read_values[1]} month=${read_values[2]}
  local year=${read_values[3]} daylight=${read_values[4]}
  add note "first start, results for the system's zone and date"
  expect_results "$day" "$month" "$year" "$default_lat" "$default_lon" $((zone - daylight)) ||
    return
  add wait-tick expect-system-time expect-phase "$age"
  add close-escape
  add expect-profile LG=9 LM=18 LS=27 BG=48 BM=44 BS=36 SystemZeit=1 "SommerZeit=$daylight" \
    North=1 East=1
  run_steps
}

# Manual mode keeps the seeded zone and date through the ticks; switching to
# system time takes effect at the next tick; switching back keeps the values.
scenario_time_modes() {
  new_profile SystemZeit=0 SommerZeit=1
  add note "start in manual mode with daylight saving"
  start_dialog
  expect_mode manual
  expect_texts 107 -3 108 14 109 12 110 1999
  expect_checks 112 1
  expect_results 14 12 1999 "$default_lat" "$default_lon" -4
  add wait-tick note "manual mode, after a tick"
  expect_texts 107 -3 108 14 109 12 110 1999
  expect_checks 112 1
  # Right after a tick, so that the next one is most of a second away.
  add wait-tick click 115 note "switched to system time, before the next tick"
  expect_mode system
  expect_texts 107 -3 108 14 109 12 110 1999
  add wait-tick note "system time, after a tick" expect-system-time
  drive_and_read "${steps[@]}" get-text 107 get-text 108 get-text 109 get-text 110 get-check 112 ||
    return
  steps=()
  local zone=${read_values[0]} day=${read_values[1]} month=${read_values[2]}
  local year=${read_values[3]} daylight=${read_values[4]}
  expect_results "$day" "$month" "$year" "$default_lat" "$default_lon" $((zone - daylight))
  add wait-tick click 115 note "switched back to manual mode"
  expect_mode manual
  add wait-tick
  expect_texts 107 "$zone" 108 "$day" 109 "$month" 110 "$year"
  add close-box
  add expect-profile SystemZeit=0 "SommerZeit=$daylight"
  run_steps
}

# The worked examples of the sun and moon events, entered in manual mode:
#   day month year | longitude | latitude | zone | texts the examples print for
#   sunrise | sunset | moonset | moonrise ("-": none printed)
worked_examples=(
  "14 12 1999|9 18 27 E|48 44 36 N|-1|-|-|22:46|12:17"
  "16 12 1999|9 18 27 E|48 44 36 N|-1|-|-|NO MOONSET THIS DATE|13:09"
  "29 12 1999|9 18 27 E|48 44 36 N|-1|-|-|12:30|NO MOONRISE THIS DATE"
  "10 6 2000|20 0 0 E|66 0 0 N|-1|00:07|NO SUNSET THIS DATE|-|-"
  "12 6 2000|20 0 0 E|66 0 0 N|-1|-|SUN UP ALL DAY|-|-"
  "30 6 2000|20 0 0 E|66 0 0 N|-1|NO SUNRISE|23:26|-|-"
  "10 12 1999|20 0 0 E|70 0 0 N|-1|-|-|-|MOON DOWN ALL DAY"
  "23 12 1999|20 0 0 E|70 0 0 N|-1|-|-|MOON UP ALL DAY|-"
)

scenario_worked_examples() {
  new_profile SystemZeit=0
  add note "manual mode, seeded zone and date"
  start_dialog
  expect_mode manual
  expect_texts 107 -3 108 14 109 12 110 1999
  expect_results 14 12 1999 "$default_lat" "$default_lon" -3
  local row date lon lat zone pins d m y lat_value lon_value
  local pin_rise pin_set pin_moonset pin_moonrise
  for row in "${worked_examples[@]}"; do
    IFS='|' read -r date lon lat zone pins <<<"$row"
    read -r d m y <<<"$date"
    # shellcheck disable=SC2086 # the place parts are words
    lat_value=$(angle $lat) lon_value=$(angle $lon)
    query "$d" "$m" "$y" "$lat_value" "$lon_value" "$zone" || continue
    IFS='|' read -r pin_rise pin_set pin_moonset pin_moonrise <<<"$pins"
    pin "sunrise $date" "$pin_rise" "$sunrise"
    pin "sunset $date" "$pin_set" "$sunset"
    pin "moonset $date" "$pin_moonset" "$moonset"
    pin "moonrise $date" "$pin_moonrise" "$moonrise"
    add note "worked example $date, $lon, $lat, zone $zone"
    # shellcheck disable=SC2086
    set_place $lon $lat
    add set-text 107 "$zone"
    set_date "$d" "$m" "$y"
    expect_results "$d" "$m" "$y" "$lat_value" "$lon_value" "$zone"
  done
  add close-enter
  add expect-profile LG=20 LM=0 LS=0 BG=70 BM=0 BS=0 SystemZeit=0 SommerZeit=0 East=1 North=1
  run_steps
}

# Hemisphere buttons, the daylight box, the rules that turn field texts into the
# engine's arguments, and a minus sign in a degree field.
#   field | text | day month year zone the engine must get (at 9 11 0 E, 48 46 0 N)
# Wine differs from Windows in one row: its GetDlgItemInt reads "-5" as an
# unsigned number like strtoul does, as 2^32 - 5, where Windows refuses the
# minus sign and gives 0, so that the year would be 1.
field_rules=(
  "108|300|44 12 1999 -1"
  "108|0|1 12 1999 -1"
  "108|200|1 12 1999 -1"
  "108||1 12 1999 -1"
  "108|14|14 12 1999 -1"
  "109|13|14 13 1999 -1"
  "109|12|14 12 1999 -1"
  "110||14 12 1 -1"
  "110|0|14 12 1 -1"
  "110|-5|14 12 4294967291 -1"
  "110|2000|14 12 2000 -1"
  "107|abc|14 12 2000 0"
  "107|5|14 12 2000 5"
  "107|-1|14 12 2000 -1"
)

scenario_hemispheres_and_field_rules() {
  new_profile SystemZeit=0
  start_dialog
  set_place 9 11 0 E 48 46 0 N
  add set-text 107 -1
  set_date 14 12 1999
  local east north west south
  east=$(angle 9 11 0 E) north=$(angle 48 46 0 N)
  west=$(angle 9 11 0 W) south=$(angle 48 46 0 S)

  add note "West" click 131
  expect_checks 130 0 131 1 132 1 133 0
  expect_results 14 12 1999 "$north" "$west" -1
  add note "South" click 133
  expect_checks 130 0 131 1 132 0 133 1
  expect_results 14 12 1999 "$south" "$west" -1
  add note "West clicked again" click 131
  expect_checks 130 0 131 1 132 0 133 1
  expect_results 14 12 1999 "$south" "$west" -1
  add note "East and North" click 130 click 132
  expect_checks 130 1 131 0 132 1 133 0
  expect_results 14 12 1999 "$north" "$east" -1

  add note "daylight box checked: zone -1 counts as -2" click 112
  expect_checks 112 1
  expect_results 14 12 1999 "$north" "$east" -2
  add note "daylight box cleared" click 112
  expect_checks 112 0
  expect_results 14 12 1999 "$north" "$east" -1

  local rule id text engine d m y z
  for rule in "${field_rules[@]}"; do
    IFS='|' read -r id text engine <<<"$rule"
    add note "field $id holding \"$text\"" set-text "$id" "$text"
    read -r d m y z <<<"$engine"
    expect_results "$d" "$m" "$y" "$north" "$east" "$z"
  done

  # Typed like a user: the minus sign keeps its sign in the formula,
  # -10° 30' is -10 + 0.5 = -9.5, and 360 - (-9.5) in the west.
  add note "typed -10 30 0 east, -47 30 0 north"
  add type 101 -10 type 102 30 type 103 0 type 104 -47 type 105 30 type 106 0
  expect_texts 101 -10 104 -47
  expect_results 14 12 2000 -46.5 -9.5 -1
  add note "typed -10 30 0 west" click 131
  expect_results 14 12 2000 -46.5 369.5 -1
  add close-escape
  run_steps
}

# Closing saves the ten keys with the dialog's values, whole texts included, and
# the next start shows them. One round per way of closing; Enter goes to the
# field that has the focus from the start, Escape to a button just clicked.
#   way | profile before | field texts set | buttons clicked |
#   keys expected (SommerZeit: the box as seen before closing) |
#   mode and checks 130 131 132 133 112 of the next start | its place fields 101-106
closing_rounds=(
  "escape||101=-180|131 133|LG=-180 LM=18 LS=27 BG=48 BM=44 BS=36 SystemZeit=1 East=0 North=0|system 0 1 0 1 -|-180 18 27 48 44 36"
  "enter|SystemZeit=0 SommerZeit=1 North=0|104=1234 103=5||LG=9 LM=18 LS=5 BG=1234 BM=44 BS=36 SystemZeit=0 East=1 North=0|manual 1 0 0 1 1|9 18 5 1234 44 36"
  "box|SystemZeit=0 SommerZeit=1 East=0 North=0|102=abc|130|LG=9 LM=abc LS=27 BG=48 BM=44 BS=36 SystemZeit=0 East=1 North=0|manual 1 0 0 1 1|9 0 27 48 44 36"
)

scenario_closing() {
  local round way profile texts clicks keys next place pair id
  for round in "${closing_rounds[@]}"; do
    IFS='|' read -r way profile texts clicks keys next place <<<"$round"
    # shellcheck disable=SC2086 # lists of words
    new_profile $profile
    add note "closing by $way"
    start_dialog
    for pair in $texts; do add set-text "${pair%%=*}" "${pair#*=}"; done
    for id in $clicks; do add click "$id"; done
    add wait-tick
    drive_and_read "${steps[@]}" get-check 112 || return
    steps=()
    local daylight=${read_values[0]}
    add "close-$way"
    # shellcheck disable=SC2086
    add expect-profile $keys "SommerZeit=$daylight"

    add note "the start after closing by $way"
    start_dialog
    local mode east west north south box
    read -r mode east west north south box <<<"$next"
    expect_mode "$mode"
    expect_checks 130 "$east" 131 "$west" 132 "$north" 133 "$south"
    if [ "$box" != - ]; then expect_checks 112 "$box"; fi
    # shellcheck disable=SC2086
    set -- $place
    expect_texts 101 "$1" 102 "$2" 103 "$3" 104 "$4" 105 "$5" 106 "$6"
    if [ "$mode" = manual ]; then expect_texts 107 -3 108 14 109 12 110 1999; fi
    add close-escape
    run_steps || return
  done
}

# Shift+Ctrl+right click on the dialog's surface asks whether to restore the
# built-in place; Yes does, No and a single modifier change nothing.
scenario_reset_gesture() {
  new_profile SystemZeit=0 SommerZeit=1 East=0 North=0 LG=20 LM=5 LS=7 BG=66 BM=1 BS=2
  start_dialog
  set_date 16 12 1999
  add set-text 107 3
  local lat lon
  lat=$(angle 66 1 2 S) lon=$(angle 20 5 7 W)
  query 16 12 1999 "$lat" "$lon" 2 || return
  local unchanged=(101 20 102 5 103 7 104 66 105 1 106 2 107 3 108 16 109 12 110 1999
    111 "$sunrise" 113 "$sunset" 125 "$moonset" 127 "$moonrise")
  local modifiers
  for modifiers in shift ctrl none; do
    add note "right click with $modifiers" rclick "$modifiers" expect-no-box
    expect_texts "${unchanged[@]}"
    expect_checks 130 0 131 1 132 0 133 1
  done
  add note "reset answered No" rclick shift+ctrl answer-box no
  expect_texts "${unchanged[@]}"
  expect_checks 130 0 131 1 132 0 133 1 112 1
  add note "reset answered Yes" rclick shift+ctrl answer-box yes
  expect_texts 101 9 102 11 103 0 104 48 105 46 106 0 107 -1 108 16 109 12 110 1999
  expect_checks 130 1 131 0 132 1 133 0 112 1
  expect_mode manual
  expect_results 16 12 1999 "$(angle 48 46 0 N)" "$(angle 9 11 0 E)" -2
  add close-escape
  add expect-profile LG=9 LM=11 LS=0 BG=48 BM=46 BS=0 SystemZeit=0 SommerZeit=1 East=1 North=1
  run_steps
}

# The phase picture and name follow the date at the next tick; the status bar
# shows the clock. Dates with the ages the moon-age examples give.
#   date | age
phase_dates=(
  "14 12 1999|6"
  "21 1 2000|14"
  "22 1 2000|15"
  "1 1 2000|24"
  "6 1 2000|29"
  "7 1 2000|0"
)

scenario_phase_picture() {
  new_profile SystemZeit=0
  start_dialog
  local row date expected_age
  for row in "${phase_dates[@]}"; do
    IFS='|' read -r date expected_age <<<"$row"
    # shellcheck disable=SC2086
    query $date "$default_lat" "$default_lon" -3 || return
    pin "moon age $date" "$expected_age" "$age"
    add note "phase picture of $date"
    # shellcheck disable=SC2086
    set_date $date
    add wait-tick expect-phase "$age" expect-clock
  done
  # The picture for the README: the first worked example, after a tick.
  set_date 14 12 1999
  add set-text 107 -1 wait-tick screenshot "$workdir/screenshot-wine.png" close-escape
  run_steps
}

# ---- Running a scenario -----------------------------------------------------------

if ! declare -F "scenario_$scenario" >/dev/null; then
  echo "dialog.sh: unknown scenario $scenario" >&2
  usage
fi
wine_env_use "$workdir/prefix"
wine_env_init || exit 1
say "starting Xvfb"
wine_env_start_xvfb || exit 1
say "starting Wine on DISPLAY=$DISPLAY"
# shellcheck disable=SC2119 # no linger time: the cleanup stops Wine
wine_env_start_services || exit 1
say "scenario $scenario"
"scenario_$scenario"
say "done"
if [ "$failed" != 0 ]; then
  echo "SCENARIO $scenario FAILED"
  exit 1
fi
echo "SCENARIO $scenario PASSED"
