#!/usr/bin/env bash
# Fuzzes the settings file code natively with libFuzzer for a bounded time.
#   bash tools/fuzz.sh [seconds=60] [extra libFuzzer options...]
# Seeds: tests/fuzz/corpus and tests/data/hostile-ini; new inputs found are
# kept in build/native-fuzz/corpus (not committed), crashes in build/native-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

bash tools/install-deps.sh fuzz

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
