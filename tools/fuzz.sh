#!/usr/bin/env bash
# Fuzzes the settings file code natively with libFuzzer for a bounded time.
#   bash tools/fuzz.sh [seconds=60] [extra libFuzzer options...]
# Seeds: tests/fuzz/corpus and tests/data/hostile-ini; new inputs found are
# kept in build/native-fuzz/corpus (not committed), crashes in build/native-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

need=()
command -v clang++ >/dev/null || need+=(clang)
[ -e /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a ] || need+=(libclang-rt-14-dev)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

mkdir -p build
log=build/native-fuzz.log
if ! { cmake --preset native-fuzz && cmake --build --preset native-fuzz; } >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  echo "build of native-fuzz failed (log: $log)" >&2
  exit 1
fi

out=build/native-fuzz
mkdir -p "$out/corpus" "$out/findings"
# One run of the target; libFuzzer prints the executions done ("stat::number_of_executed_units").
exec "$out/tests/fuzz/fuzz_settings" \
  -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 -rss_limit_mb=2048 \
  -artifact_prefix="$out/findings/" -dict=tests/fuzz/settings.dict \
  "$@" "$out/corpus" tests/fuzz/corpus tests/data/hostile-ini
