# Sourced by the project's scripts: which build runs under Wine here, and
# Wine's environment for it.
#
# Morvane ships as a 32-bit program. Wine runs 32-bit programs only where the
# host can execute its 32-bit loader; where it cannot (some sandboxed kernels),
# the same code is built and run for 64-bit Windows instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  MORVANE_PRESET=mingw-i686
  MORVANE_WINE=/usr/lib/wine/wine
else
  MORVANE_PRESET=mingw-x86_64
  MORVANE_WINE=/usr/lib/wine/wine64
fi
export WINELOADER=$MORVANE_WINE
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
MORVANE_BUILD=build/$MORVANE_PRESET

# morvane_build <preset> [targets...]: configure and build (every target, or
# the ones named) quietly; the log is shown on failure.
morvane_build() {
  local preset=$1 log=build/$1.log
  shift
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  mkdir -p build
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" "${targets[@]}"; } >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "build of $preset failed (log: $log)" >&2
    return 1
  fi
}

# morvane_new_prefix <dir>: a fresh private Wine prefix.
morvane_new_prefix() {
  rm -rf "$1"
  mkdir -p "$1"
  WINEPREFIX="$1" "$MORVANE_WINE" wineboot --init >/dev/null 2>&1
  WINEPREFIX="$1" /usr/lib/wine/wineserver -w 2>/dev/null || true
}

# morvane_set_pixels_per_inch <dir> <pixels per inch>: the scale of the
# screen of a prefix (an absolute path): 96 is 100%, 144 is 150%.
morvane_set_pixels_per_inch() {
  local key
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    WINEPREFIX="$1" "$MORVANE_WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null
  done
  WINEPREFIX="$1" /usr/lib/wine/wineserver -w 2>/dev/null || true
}
