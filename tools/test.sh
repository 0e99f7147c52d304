#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test
# under Wine on a virtual display, in a private prefix made for this run (and
# copies of it whose screen is at 150% and whose tests run under Japanese).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
. tools/wine-env.sh

# The shipped 32-bit program is always built (its file is checked by a test).
# Where the 64-bit build is the one run, only the program is built for 32 bits
# and its file is checked here.
if [ "$MORVANE_PRESET" = mingw-i686 ]; then
  morvane_build mingw-i686
else
  morvane_build mingw-i686 Morvane
  morvane_build "$MORVANE_PRESET"
  ctest --test-dir build/mingw-i686 -R '^imports_shipped$' --output-on-failure
fi

export WINEPREFIX="$PWD/$MORVANE_BUILD/wineprefix"
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  . tools/wine-env.sh
  morvane_new_prefix "$WINEPREFIX"
  # A copy of it at 150% for the test of a scaled screen (a copy costs a
  # fraction of a new prefix).
  rm -rf "$WINEPREFIX-144"
  cp -a "$WINEPREFIX" "$WINEPREFIX-144"
  morvane_set_pixels_per_inch "$WINEPREFIX-144" 144
  # A copy for the tests under Japanese (code page 932).
  rm -rf "$WINEPREFIX-932"
  cp -a "$WINEPREFIX" "$WINEPREFIX-932"
  ctest --preset "$MORVANE_PRESET" "$@"
  status=$?
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX="$WINEPREFIX-144" /usr/lib/wine/wineserver -k 2>/dev/null || true
  WINEPREFIX="$WINEPREFIX-932" /usr/lib/wine/wineserver -k 2>/dev/null || true
  exit $status' bash "$@"
