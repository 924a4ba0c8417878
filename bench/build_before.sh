#!/usr/bin/env bash
# Builds the programs of an earlier commit for side-by-side figures: checks the
# commit out as a detached git worktree in build/before-src and builds its
# engine_bench and orbel-cli in build/before with the default preset's flags
# (RelWithDebInfo, Ninja; no tests). Reuses both when the worktree is already at
# that commit. Prints the build folder on standard output.
#
#   bench/build_before.sh [REF]    default: $ORBEL_BEFORE_REF, else b831ca2
set -euo pipefail
cd "$(dirname "$0")/.."

ref=${1:-${ORBEL_BEFORE_REF:-b831ca2}}
src=build/before-src
out=build/before

commit=$(git rev-parse --verify --quiet "$ref^{commit}") ||
  { echo "build_before: '$ref' names no commit" >&2; exit 1; }

# Whether git has a worktree registered at $src (present or not).
registered() {
  local abs
  abs=$(cd "$(dirname "$src")" 2>/dev/null && pwd -P)/$(basename "$src")
  git worktree list --porcelain | grep -qxF "worktree $abs"
}

have=$(git -C "$src" rev-parse --verify --quiet HEAD 2>/dev/null || true)
if [ "$have" != "$commit" ] || ! registered; then
  if registered; then
    echo "build_before: replacing the worktree $src (${have:-missing}) by $ref" >&2
    if [ -d "$src" ]; then
      git worktree remove --force "$src"
    else
      git worktree prune
    fi
  fi
  if [ -e "$src" ]; then
    # Not a worktree of this repository (left over from elsewhere): start again.
    rm -rf "$src"
  fi
  mkdir -p build
  git worktree add --detach "$src" "$commit" >&2
  # The build folder belongs to the old sources: configure afresh.
  rm -rf "$out"
fi

if [ ! -f "$out/CMakeCache.txt" ]; then
  echo "build_before: configuring $out for $ref ($(git rev-parse --short "$commit"))" >&2
  cmake -S "$src" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORBEL_BUILD_TESTS=OFF >&2
fi
echo "build_before: building engine_bench and orbel-cli in $out" >&2
cmake --build "$out" --target engine_bench orbel-cli >&2
echo "$out"
