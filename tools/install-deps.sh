#!/usr/bin/env bash
# Installs the Debian packages that a command of this project needs, when any
# is missing; the one place that decides what is installed and how.
#   bash tools/install-deps.sh run|test|bench|package|fuzz
# A second run installs nothing. A package index that cannot be updated (a
# mirror in the middle of a sync) does not stop it: the install goes on with
# the indexes there are and, when it cannot be resolved so, is made from the
# release suite alone.
set -euo pipefail

purpose=${1:?usage: install-deps.sh run|test|bench|package|fuzz}

# The cross compilers (with the objdump of the imports check) and the build tools.
build=(mingw-w64 cmake ninja-build)
# 32-bit Wine (and 64-bit, for hosts that cannot run 32-bit programs) on a
# virtual display; Liberation Sans has Arial's metrics, for which the about
# window's fixed-size labels are laid out.
wine=(wine wine64 wine32:i386 xvfb xauth fonts-liberation)
case "$purpose" in
  run)     want=("${build[@]}" "${wine[@]}" imagemagick) ;;   # import takes the headless screenshot
  test)    want=("${build[@]}" "${wine[@]}" googletest) ;;
  bench)   want=("${build[@]}" "${wine[@]}") ;;
  package) want=("${build[@]}") ;;
  fuzz)    want=(clang libclang-rt-14-dev cmake ninja-build) ;;
  *) echo "install-deps.sh: unknown purpose '$purpose'" >&2; exit 2 ;;
esac

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

need=()
for pkg in "${want[@]}"; do
  installed "$pkg" || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT

case " ${need[*]} " in
  *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386 ;;
esac

# A few tries with a short pause; then the indexes there are.
updated=0
for attempt in 1 2 3; do
  if $SUDO apt-get update -qq >"$log" 2>&1; then
    updated=1
    break
  fi
  [ $attempt -lt 3 ] && sleep 5
done
if [ $updated -eq 0 ]; then
  echo "install-deps.sh: apt-get update failed 3 times ($(grep -m1 -E '^(E|W):' "$log" || tail -n1 "$log")); going on with the package indexes there are" >&2
fi

apt_install() {
  $SUDO apt-get install -y -qq --no-install-recommends "$@" "${need[@]}" >"$log" 2>&1
}
if ! apt_install; then
  # With one index missing, the versions of two architectures may not pair;
  # the release suite alone has both.
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  echo "install-deps.sh: the packages do not install from every suite ($(grep -m1 '^E:' "$log" || tail -n1 "$log")); installing from ${codename:-the release} alone" >&2
  if [ -z "$codename" ] || ! apt_install -t "$codename"; then
    echo "install-deps.sh: cannot install ${need[*]}: $(grep -m1 '^E:' "$log" || tail -n1 "$log")" >&2
    exit 1
  fi
fi
