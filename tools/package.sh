#!/usr/bin/env bash
# The release command: builds the shipped program (32-bit, release, no
# symbols) and makes build/mingw-i686/Morvane-<version>-win32.zip, holding
# Morvane.exe and ReadMe.txt, with its .sha256 beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh package
. tools/wine-env.sh
morvane_build mingw-i686 Morvane
cd build/mingw-i686
cpack -G ZIP >../package.log 2>&1 || { cat ../package.log >&2; exit 1; }
ls -l Morvane-*-win32.zip Morvane-*-win32.zip.sha256
