#!/usr/bin/env bash
# Zones and the local clock live in the almanac's time module (almanac/time/)
# only: no other file of the almanac or the command-line tool includes CCTZ,
# calls the C library's clock conversions, or adds a zone offset to an instant.
#   time_module.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 2
found=0
while IFS= read -r file; do
  # Comments and string literals stripped, so that prose and messages do not count.
  code=$(sed -e 's|//.*||' -e 's/"\([^"\\]\|\\.\)*"/""/g' "$file")
  hits=$(grep -nE '#include <cctz/|\b(localtime_r|gmtime_r|localtime|gmtime|mktime|timegm) *\(' <<<"$code"
    grep -nE '[-+] *([A-Za-z_][A-Za-z0-9_.>-]*)?[oO]ffset\b *([^(A-Za-z0-9_]|$)|[oO]ffset[A-Za-z0-9_]* *[-+]([^-+=>]|$)' <<<"$code")
  if [[ -n $hits ]]; then
    sed "s|^|$file:|" <<<"$hits"
    found=1
  fi
done < <(find almanac cli \( -name '*.cpp' -o -name '*.h' \) ! -path 'almanac/time/*' | sort)
((found)) && { echo "zone or clock arithmetic outside almanac/time/ (above)"; exit 1; }
echo "no zone or clock arithmetic outside almanac/time/"
