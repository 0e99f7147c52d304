#!/bin/sh
# Runs a Windows program of this build under Wine: the loader of the program's
# architecture, a private prefix of the build, Wine's own logging off.
loader=$1; shift
: "${WINEPREFIX:?set WINEPREFIX to the build's private prefix (tools/test.sh does)}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINELOADER="$loader"
exec "$loader" "$@"
