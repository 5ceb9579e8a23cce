#!/usr/bin/env bash
# Sets up, builds and starts what the project has so far: the definition tool, on the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
exec build/tools/orvanta-form "$@"
