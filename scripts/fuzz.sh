#!/usr/bin/env bash
# Runs one fuzz target for a given time: scripts/fuzz.sh fuzz_open|fuzz_statement|fuzz_paths [SECONDS]
# (default 60). Builds it first with clang and libFuzzer in build-fuzz/ (the reader, the writer
# and their tests only; FUZZ_BUILD_DIR chooses another folder). The corpus grows in
# build-fuzz/fuzz/corpus/TARGET from run to run, starting from the seeds our writer makes, the
# damaged archives and the regression inputs. An input that makes the target fail is kept in
# build-fuzz/fuzz/crashes/TARGET/ and the script fails; copy it to tests/fuzz/regressions/ once
# the fault is fixed, so the ordinary tests replay it.
set -euo pipefail
target=${1:?"uso: scripts/fuzz.sh fuzz_open|fuzz_statement|fuzz_paths [SECONDI]"}
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}

case $target in
    fuzz_open) kind=open max_len=131072 ;;
    fuzz_statement) kind=statement max_len=2048 ;;
    fuzz_paths) kind=open max_len=131072 ;;
    *)
        echo "fuzz: bersaglio sconosciuto '$target' (fuzz_open, fuzz_statement o fuzz_paths)" >&2
        exit 2
        ;;
esac

if [ ! -f "$build/CMakeCache.txt" ]; then
    launcher=()
    if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DALTORRA_READER_ONLY=ON -DALTORRA_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j"${JOBS:-2}" --target "$target" >/dev/null

fuzz="$build/fuzz"
corpus="$fuzz/corpus/$target"
crashes="$fuzz/crashes/$target"
mkdir -p "$corpus" "$crashes"
regressions=$kind
if [ "$target" = fuzz_paths ]; then regressions=paths; fi
inputs=("$fuzz/seeds/$kind" "$here/tests/fuzz/regressions/$regressions")
if [ "$kind" = open ] && [ -d "$here/tests/jet/damaged" ]; then inputs+=("$here/tests/jet/damaged"); fi

log="$fuzz/$target.log"
echo "fuzz: $target per ${seconds} s (registro: $log)"
status=0
# Timeout per input 10 s, memory 2 GB: a hang or a runaway allocation is a fault like a crash.
# A long run's memory grows by itself: AddressSanitizer's quarantine holds up to 256 MB of freed
# blocks and its record of allocation stacks grows with each new path. The same inputs replayed
# without the sanitizer stay flat (37 MB once or four times over the corpus).
"$build/tests/fuzz/$target" "$corpus" "${inputs[@]}" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1 || status=$?
grep -E "^#[0-9]+.*(DONE|INITED)" "$log" | tail -2 || true
grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$log" || true
if [ $status -ne 0 ]; then
    grep -E "^==[0-9]+==ERROR|SUMMARY|runtime error|Test unit written" "$log" | head -8 || true
    echo "fuzz: $target FALLITO (vedi $log e $crashes/)"
fi
exit $status
