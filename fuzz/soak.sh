#!/usr/bin/env bash
# fuzz/soak.sh [SECONDS]
# A long fuzzing run, not part of CI: fuzz/run.sh with every target for SECONDS (default 600) and two
# more ways to fail. An input that runs longer than 10 s is a hang (a legitimate one takes well under a
# second under the sanitizers). A single allocation of 257 MiB or more is out of memory: no reader ever
# asks for more than 256 MiB at once, whatever the input (the pixel memory of one bitmap, TBitmap's
# kMaxPixelBytes; GIF frames and the JPEG library's working memory are held to no more), so a larger
# block means a size read from the input went unchecked. Findings are left in build-fuzz/crashes/, as
# with run.sh; each becomes hex text in fuzz/regressions/ once its fault is fixed.
#
# Without -max_len, libFuzzer holds inputs to the size of the largest seed but never above 1 MiB, and
# cuts longer seeds to that: a compiled course of tens of megabytes seeds the loader with its first
# megabyte. Fuzzing it whole would fill the corpus, and the memory, with copies of it within minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
exec bash fuzz/run.sh "$seconds" -timeout=10 -malloc_limit_mb=257
