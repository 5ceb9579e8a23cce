#!/usr/bin/env bash
# Builds the release configuration into build-release/ and runs the benchmarks; each prints its figures
# beside a baseline measured in the same run. The course's own benchmark draws on a virtual screen of its
# own and prints a table.
#
# With --quick every benchmark runs once, briefly: CI's check that they all still run to the end (any
# that fails or leaves out a figure makes this script fail). Its figures mean little. --build DIR builds
# into DIR instead (CI's test build, which is a release build already). Further arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=
dir=build-release
while [ $# -gt 0 ]; do
  case $1 in
    --quick) quick=1; shift ;;
    --build) dir=$2; shift 2 ;;
    *) break ;;
  esac
done
bash scripts/setup.sh
bash scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=Release -DORV_BUILD_BENCH=ON "$@"
if [ -n "$quick" ]; then
  "$dir"/bench/orv_bench_read --benchmark_min_time=0.01
  "$dir"/bench/orv_bench_pictures --benchmark_min_time=0.01
else
  "$dir"/bench/orv_bench_read --benchmark_min_time=1
  "$dir"/bench/orv_bench_pictures --benchmark_min_time=1
fi

source tests/e2e/xvfb.sh
runtime=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$runtime"' EXIT
start_xvfb "$runtime"
XDG_RUNTIME_DIR=$runtime "$dir"/bench/orv_bench_course ${quick:+--quick}

# The course exported to a static site: export time, size, and the first page's paint in a browser.
bash bench/web.sh "$dir" ${quick:+--quick}
