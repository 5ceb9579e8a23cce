#!/usr/bin/env bash
# fuzz/run.sh [SECONDS [LIBFUZZER_FLAG...]] | fuzz/run.sh --build-only
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz/, writes the seed corpus and runs each target for SECONDS (default 60). Flags after SECONDS
# go to every target after the defaults here, so they may override them. --build-only stops after the
# build (CI builds the targets while other work runs, then runs them). Inputs found to crash, leak,
# hang or run out of memory are left in build-fuzz/crashes/ and fail the script. The loader's seeds take
# in the compiled course, build/content/course.bin, when it is there, or the definition named by
# ORV_FUZZ_DEFINITION.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
extra_flags=("${@:2}")
targets=(loader bitmap gif jpeg)

bash scripts/setup.sh
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DORV_FUZZ=ON -DORV_BUILD_TESTS=OFF \
  -DORV_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" >/dev/null
cmake --build build-fuzz --target orv_fuzz_corpus "${targets[@]/#/orv_fuzz_}"
[ "$seconds" = --build-only ] && exit 0

# Seeds are written afresh each run; what the fuzzers add is kept in corpus/TARGET between runs.
definitions=()
definition=${ORV_FUZZ_DEFINITION:-build/content/course.bin}
[ -f "$definition" ] && definitions+=("$definition")
rm -rf build-fuzz/seeds
build-fuzz/fuzz/orv_fuzz_corpus build-fuzz/seeds "${definitions[@]}"
rm -rf build-fuzz/crashes
mkdir -p build-fuzz/crashes build-fuzz/logs

failed=()
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  log="build-fuzz/logs/$t.log"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/fuzz/orv_fuzz_$t" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/crashes/$t-" "${extra_flags[@]}" \
    "build-fuzz/corpus/$t" "build-fuzz/seeds/$t" >"$log" 2>&1; then
    runs=$(grep -m1 '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    cover=$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE)' "$log" | tail -1 | grep -o 'cov: [0-9]*' || true)
    rss=$(grep -m1 '^stat::peak_rss_mb' "$log" | awk '{print $2}')
    slowest=$(grep -m1 '^stat::slowest_unit_time_sec' "$log" | awk '{print $2}')
    echo "fuzz $t: ${runs:-?} runs in ${seconds}s, ${cover:-cov: ?}, peak RSS ${rss:-?} MB," \
      "slowest input ${slowest:-?} s, no crash"
  else
    failed+=("$t")
    echo "fuzz $t: FAILED; the end of $log:"
    tail -n 60 "$log"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found crashes in: ${failed[*]} (inputs in build-fuzz/crashes/)"
  for f in build-fuzz/crashes/*; do
    [ -f "$f" ] || continue
    echo "$f ($(stat -c %s "$f") bytes):"
    od -An -tx1 -v "$f" | head -n 16
  done
  exit 1
fi
