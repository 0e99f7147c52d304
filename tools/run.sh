#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts Morvane under
# Wine on a project-local prefix whose URL cache is seeded with a demo set once.
# With a display the window opens there; without one Morvane runs on a virtual
# display, a screenshot of its window (the host tree opened, a cookie selected)
# is written and the program is closed
# (MORVANE_ABOUT_SHOT=<file> also shoots the about window over it).
# MORVANE_PIXELS_PER_INCH=144 runs it on a screen at 150%, in a demo prefix
# of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh run
. tools/wine-env.sh
morvane_build "$MORVANE_PRESET" Morvane SeedCache WindowProbe

ppi="${MORVANE_PIXELS_PER_INCH:-96}"
export WINEPREFIX="$PWD/.wine-demo"
[ "$ppi" = 96 ] || WINEPREFIX="$PWD/.wine-demo-$ppi"
bin="$PWD/$MORVANE_BUILD"
shot="${MORVANE_SCREENSHOT:-$PWD/morvane-screenshot.png}"

seed_and_run() {
  if [ ! -f "$WINEPREFIX/.morvane-seeded" ]; then
    morvane_new_prefix "$WINEPREFIX"
    [ "$ppi" = 96 ] || morvane_set_pixels_per_inch "$WINEPREFIX" "$ppi"
    if [ -f "$bin/tools/SeedCache.exe" ]; then
      "$MORVANE_WINE" "$bin/tools/SeedCache.exe"
    fi
    touch "$WINEPREFIX/.morvane-seeded"
  fi
  if [ "${MORVANE_HEADLESS:-0}" = 1 ]; then
    "$MORVANE_WINE" "$bin/app/Morvane.exe" &
    pid=$!
    "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" wait "Morvane " 30000 >/dev/null
    # Show a cookie in the detail pane: the second row of the demo cache.
    "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" open "Morvane " || echo "could not open the host tree"
    "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" type "Morvane " SysListView32 '\d\d' || echo "could not select a row"
    sleep "${MORVANE_SHOT_DELAY:-2}"
    import -window root "$shot"
    if [ -n "${MORVANE_ABOUT_SHOT:-}" ]; then
      # Help, then its last item: the menu opens before the keys that move in it.
      "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" type "Morvane " - '\mh' || echo "could not open the menu"
      sleep 1
      "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" type "Morvane " - '\u\r' || echo "could not choose About"
      "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" wait "About" 30000 >/dev/null || true
      sleep "${MORVANE_SHOT_DELAY:-2}"
      import -window root "$MORVANE_ABOUT_SHOT"
      "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" close "About" 30000 >/dev/null
      echo "about window: $MORVANE_ABOUT_SHOT"
    fi
    "$MORVANE_WINE" "$bin/tools/WindowProbe.exe" close "Morvane " 30000 >/dev/null
    wait "$pid"
    echo "screenshot: $shot"
  else
    "$MORVANE_WINE" "$bin/app/Morvane.exe"
  fi
  /usr/lib/wine/wineserver -w 2>/dev/null || true
}

if [ -n "${DISPLAY:-}" ]; then
  seed_and_run
else
  # No display: run this script again on a virtual one, headless.
  MORVANE_HEADLESS=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0"
fi
