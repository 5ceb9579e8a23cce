#!/usr/bin/env bash
# Builds and runs the benchmarks; each prints its figures beside a baseline measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
build/bench/orv_bench_read
build/bench/orv_bench_pictures
