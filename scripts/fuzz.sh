#!/usr/bin/env bash
# A fuzz campaign: builds every libFuzzer target, runs them all at once for SECONDS
# (default 60) at the lowest priority, and prints executions and coverage per target.
#   scripts/fuzz.sh [SECONDS [RUNS [TARGET...]]]
# With RUNS, a target stops once it has run that many inputs, leaving the cores to
# the slower ones; SECONDS still bounds the whole campaign. With TARGETs (names such
# as frame_fuzzer), only those run.
# Each target grows its corpus in build/fuzz/corpus/<target>/, seeded from
# fuzz/<folder>/seeds/<target>/ when that exists; inputs that fail are written to
# build/fuzz/findings/ and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
runs=${2:-}
only=("${@:3}")
for number in "$seconds" "$runs"; do
    case "$number" in
        *[!0-9]*) echo "usage: $0 [SECONDS [RUNS [TARGET...]]]" >&2; exit 2 ;;
    esac
done
[ "$seconds" -gt 0 ] || { echo "usage: $0 [SECONDS [RUNS [TARGET...]]]" >&2; exit 2; }

bash scripts/setup.sh >/dev/null
cmake --preset fuzz >/dev/null
nice -n 19 cmake --build --preset fuzz -j "$(nproc)" --target fuzzers

build=build/fuzz
mkdir -p "$build/corpus" "$build/findings" "$build/logs"
mapfile -t built < <(find "$build/fuzz" -mindepth 2 -maxdepth 2 -type f -executable | sort)
binaries=()
for bin in "${built[@]}"; do
    if [ ${#only[@]} -eq 0 ] || printf '%s\n' "${only[@]}" | grep -qxF "$(basename "$bin")"; then
        binaries+=("$bin")
    fi
done
if [ ${#binaries[@]} -eq 0 ] || [ ${#binaries[@]} -lt ${#only[@]} ]; then
    echo "fuzz: no such target among: $(printf '%s ' "${built[@]##*/}")" >&2
    exit 2
fi

pids=()
for bin in "${binaries[@]}"; do
    name=$(basename "$bin")
    folder=$(basename "$(dirname "$bin")")
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    dirs=("$corpus")
    [ -d "fuzz/$folder/seeds/$name" ] && dirs+=("fuzz/$folder/seeds/$name")
    # These two take runs of steps (chunks, replies, timer ticks): past a kilobyte an
    # input repeats steps and only slows the search down.
    case "$name" in
        frame_fuzzer | config_reply_fuzzer) max_len=1024 ;;
        *) max_len=4096 ;;
    esac
    nice -n 19 "$bin" -max_total_time="$seconds" -runs="${runs:--1}" -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$build/findings/$name-" "${dirs[@]}" >"$build/logs/$name.log" 2>&1 &
    pids+=($!)
done

failed=0
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || failed=1
done

printf '%-24s %14s %8s %8s %8s  %s\n' target executions exec/s cov features result
for bin in "${binaries[@]}"; do
    name=$(basename "$bin")
    log="$build/logs/$name.log"
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    status=$(grep -E '^#[0-9]+' "$log" | grep 'cov:' | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$status")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$status")
    result=clean
    if grep -qE '^==[0-9]+==ERROR|deadly signal|^SUMMARY' "$log"; then
        result="FAULT: see $log"
    fi
    printf '%-24s %14s %8s %8s %8s  %s\n' "$name" "${executed:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$result"
done
exit "$failed"
