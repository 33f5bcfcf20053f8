#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds each, starting from
# its seed corpus (copied, so the checked-in seeds stay as they are).
set -euo pipefail
build=${1:-build/fuzz}
seconds=${2:-20}
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
    echo "run-fuzzers: no fuzz targets in $build/fuzz"
    exit 0
fi
for t in "${targets[@]}"; do
    [ -x "$t" ] || continue
    name=$(basename "$t")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    seeds="fuzz/corpus/${name#fuzz_}"
    [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
    dict="fuzz/${name#fuzz_}.dict"
    args=(-max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1)
    [ -f "$dict" ] && args+=(-dict="$dict")
    echo "== $name for ${seconds}s"
    # The fuzzer's own status decides (a pipe into grep would hide a crash).
    status=0
    "$t" "${args[@]}" "$corpus" > "$build/$name.log" 2>&1 || status=$?
    grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done' "$build/$name.log" || true
    test "$status" -eq 0
done
