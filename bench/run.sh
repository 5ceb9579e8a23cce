#!/usr/bin/env bash
# Builds and runs the benchmarks; each prints its figures beside a baseline measured in the same run. The
# course's own benchmark draws on a virtual screen of its own and prints a table.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DORV_BUILD_BENCH=ON
build/bench/orv_bench_read
build/bench/orv_bench_pictures

source tests/e2e/xvfb.sh
runtime=$(mktemp -d)
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$runtime"' EXIT
start_xvfb "$runtime"
XDG_RUNTIME_DIR=$runtime build/bench/orv_bench_course
