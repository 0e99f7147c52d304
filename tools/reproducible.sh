#!/usr/bin/env bash
# Builds the shipped program of the current commit twice, from two clean
# clones at different paths, and fails unless both Morvane.exe are the same
# bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh package
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in 1 2; do
  git clone -q . "$work/clone-$n"
  (cd "$work/clone-$n" && . tools/wine-env.sh && morvane_build mingw-i686 Morvane)
  sha256sum "$work/clone-$n/build/mingw-i686/app/Morvane.exe" | cut -d' ' -f1 >"$work/sum-$n"
done
echo "Morvane.exe: $(cat "$work/sum-1") and $(cat "$work/sum-2")"
cmp -s "$work/sum-1" "$work/sum-2" || { echo "the two builds differ" >&2; exit 1; }
