#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a user gets: the
# installed programs run, nothing lands outside the prefix, the desktop entry
# validates, the icons are there in their sizes, the completion and orbel-cli(1)
# match every command and option of --help, the manual pages format without
# warnings; then builds the .deb, inspects and unpacks it, and runs lintian on it.
#   install_test.sh BUILD_DIR SOURCE_DIR CMAKE CPACK
set -euo pipefail
build=$1 source=$2 cmake=$3 cpack=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

prefix=/opt/orbel-test
root=$tmp/root
DESTDIR=$root "$cmake" --install "$build" --prefix "$prefix" >/dev/null
p=$root$prefix

# Exactly these files, all under the prefix.
expected="bin/orbel
bin/orbel-cli
share/applications/orbel.desktop
share/bash-completion/completions/orbel-cli
share/doc/orbel/changelog.gz
share/doc/orbel/copyright
share/icons/hicolor/128x128/apps/orbel.png
share/icons/hicolor/256x256/apps/orbel.png
share/icons/hicolor/48x48/apps/orbel.png
share/icons/hicolor/64x64/apps/orbel.png
share/man/man1/orbel-cli.1.gz
share/man/man1/orbel.1.gz"
installed=$(cd "$root" && find . -type f | sed "s|^\./${prefix#/}/||" | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "installed files differ:"$'\n'"$(diff <(echo "$expected") <(echo "$installed"))"

# The installed programs: the same report as the build's, and the version
# with the commit of a checkout.
args=(day --date 2026-12-21 --lat 28.6139 --lon 77.209 --utc-offset +05:30)
report=$("$p/bin/orbel-cli" "${args[@]}") || fail "installed orbel-cli day failed"
[ -n "$report" ] && [ "$report" = "$("$build/cli/orbel-cli" "${args[@]}")" ] ||
  fail "installed orbel-cli gives another report"
version=$(sed -n 's/^#define ORBEL_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/orbel_version.h")
if commit=$(git -c safe.directory="*" -C "$source" rev-parse --short=12 HEAD 2>/dev/null); then
  case "$version" in *"(git $commit"*) ;; *) fail "version '$version' does not name commit $commit" ;; esac
fi
for program in orbel-cli orbel; do
  said=$(DISPLAY= "$p/bin/$program" --version) || fail "$program --version failed"
  [ "$said" = "$program $version" ] || fail "$program --version says '$said', not '$program $version'"
done

# The desktop entry starts orbel with the icon that is installed.
desktop=$p/share/applications/orbel.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects orbel.desktop"
grep -qx 'Exec=orbel' "$desktop" && grep -qx 'Icon=orbel' "$desktop" || fail "orbel.desktop: Exec or Icon"
for size in 48 64 128 256; do
  icon=$p/share/icons/hicolor/${size}x$size/apps/orbel.png
  # The PNG signature, then the IHDR chunk: width and height, 32-bit big-endian.
  read -r -a b <<<"$(od -An -tu1 -N24 -v "$icon" | tr '\n' ' ')"
  signature="${b[*]:0:16}" width=$(((b[16] << 24) + (b[17] << 16) + (b[18] << 8) + b[19]))
  height=$(((b[20] << 24) + (b[21] << 16) + (b[22] << 8) + b[23]))
  [ "$signature" = "137 80 78 71 13 10 26 10 0 0 0 13 73 72 68 82" ] && [ "$width" = "$size" ] &&
    [ "$height" = "$size" ] || fail "$icon is not a $size x $size PNG"
done

# The completion and orbel-cli's manual page say what --help says.
bash "$source/tests/install/check_docs.sh" "$p/bin/orbel-cli" \
  "$p/share/bash-completion/completions/orbel-cli" "$p/share/man/man1/orbel-cli.1.gz" ||
  fail "completion or manual page"

# Manual pages: no formatter warnings.
for page in "$p"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# The Debian package: its dependencies, its files under /usr, stripped
# programs that run, and lintian without errors or warnings.
(cd "$build" && "$cpack" -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1) ||
  fail "cpack -G DEB: $(cat "$tmp/cpack.log")"
deb=$(echo "$tmp"/package/orbel_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-dejavu-core tzdata libfltk1.3 libcctz2 libpng16-16; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
    fail "the package does not depend on $needed: $depends"
done
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -vx '\./' || true)
[ -z "$outside" ] || fail "package files outside /usr: $outside"
dpkg-deb -x "$deb" "$tmp/unpacked"
for program in orbel orbel-cli; do
  readelf -S "$tmp/unpacked/usr/bin/$program" | grep -q '\.debug_info' && fail "$program is not stripped"
done
[ "$("$tmp/unpacked/usr/bin/orbel-cli" "${args[@]}")" = "$report" ] || fail "packaged orbel-cli differs"
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian: $(lintian "$deb" 2>/dev/null)"

[ "$failures" -eq 0 ] || exit 1
echo "installed, packaged and checked: $(basename "$deb"), $(stat -c %s "$deb") bytes"
