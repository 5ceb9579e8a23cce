#!/usr/bin/env bash
# Builds and runs the benchmarks; each prints its figures beside a baseline measured in the same run. The
# course's own benchmark draws on a virtual screen of its own and prints a table.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DORV_BUILD_BENCH=ON
build/bench/orv_bench_read
build/bench/orv_bench_pictures

display=:$((500 + RANDOM % 400))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
runtime=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$runtime"' EXIT
for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display XDG_RUNTIME_DIR=$runtime build/bench/orv_bench_course
