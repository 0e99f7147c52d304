#!/usr/bin/env bash
# Installs the Debian packages that building and testing Morvane need, when any is missing.
# Safe to run again: it does nothing when everything is there.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(mingw-w64)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(mingw-w64)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v xvfb-run >/dev/null || need+=(xvfb xauth)
command -v wine >/dev/null || need+=(wine wine64)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
command -v import >/dev/null && import -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
command -v xdotool >/dev/null || need+=(xdotool)
# Arial's metrics (Liberation Sans): the about window's fixed-size labels are laid out for them.
[ -f /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf ] || need+=(fonts-liberation)
command -v clang++ >/dev/null || need+=(clang)
[ -e /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a ] || need+=(libclang-rt-14-dev)
i386=0
dpkg --print-foreign-architectures | grep -qx i386 || i386=1
dpkg -s wine32:i386 >/dev/null 2>&1 || i386=1

if [ ${#need[@]} -eq 0 ] && [ $i386 -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ $i386 -eq 1 ]; then
  $SUDO dpkg --add-architecture i386
  need+=(wine32:i386)
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
