#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time each, keeping a corpus per
# target under the build folder. Fails on the first crash, leak, hang or sanitizer report.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
status=0
for fuzzer in "$build"/bin/fuzz_*; do
  [[ -x "$fuzzer" ]] || continue
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [[ -d "fuzz/seeds/$name" ]] && seeds=("fuzz/seeds/$name")
  echo "== $name: ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/$name-" -print_final_stats=1 "$corpus" "${seeds[@]}" \
       >"$build/$name.log" 2>&1; then
    echo "$name FAILED:"; tail -n 40 "$build/$name.log"; status=1
  else
    grep -E '^(Done|stat::number_of_executed_units)' "$build/$name.log" || true
  fi
done
exit $status
