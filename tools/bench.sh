#!/usr/bin/env bash
# The benchmark command: builds the preset that runs under Wine here, and runs
# the listing benchmark on a virtual display in a private prefix of the build
# (made once; its URL cache is filled once and kept for later runs).
# Arguments are passed to the program (--profile also times the parts).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh bench
. tools/wine-env.sh
morvane_build "$MORVANE_PRESET" ListingBench

export WINEPREFIX="$PWD/$MORVANE_BUILD/bench-prefix"
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  . tools/wine-env.sh
  [ -d "$WINEPREFIX" ] || morvane_new_prefix "$WINEPREFIX"
  status=0
  "$MORVANE_WINE" "$MORVANE_BUILD/tools/ListingBench.exe" "$@" || status=$?
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  exit $status' bash "$@"
