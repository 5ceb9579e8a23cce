#!/usr/bin/env bash
# Runs scripts/setup.sh as a user who is not root, with stand-ins on the PATH: every package is missing,
# sudo resets the environment as it does by default, and apt-get writes down how it was called. The
# installation must be told through sudo to ask no questions.
# Usage: setup_test.sh SETUP_SCRIPT
set -euo pipefail
setup=$1
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
printf '#!/bin/sh\necho 1000\n' >"$bin/id"
printf '#!/bin/sh\nexit 1\n' >"$bin/dpkg-query"
printf '#!/bin/sh\nexec env -i PATH="%s:/usr/bin:/bin" "$@"\n' "$bin" >"$bin/sudo"
printf '#!/bin/sh\necho "$1 DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}" >>"%s/calls"\n' "$bin" >"$bin/apt-get"
chmod +x "$bin"/*
PATH="$bin:$PATH" bash "$setup" >/dev/null
if ! grep -qx 'install DEBIAN_FRONTEND=noninteractive' "$bin/calls"; then
  echo "FAIL: apt-get install ran without DEBIAN_FRONTEND=noninteractive:"
  cat "$bin/calls"
  exit 1
fi
echo "setup ok"
