#!/usr/bin/env bash
# Exports a definition to a static site (orvanta-form export-html), draws its pages on the desktop side
# (orvanta-form render, which also writes where every control stands) and checks the one against the
# other in headless Chromium (site_test.py). Without DEFINITION: the course built into the tool, whose
# pictures must all have a text alternative. A DEFINITION in text form (.form) is compiled first.
# Usage: web_test.sh ORVANTA_FORM [DEFINITION]
set -euo pipefail
form_tool=$1
definition=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work

definition_args=()
alt_args=(--alt-required)
if [ -n "$definition" ]; then
  alt_args=()
  if [[ "$definition" == *.form ]]; then
    "$form_tool" compile "$definition" "$work/definition.bin"
    definition=$work/definition.bin
  fi
  definition_args=("$definition")
fi

"$form_tool" export-html "${definition_args[@]}" "$work/site"
QT_QPA_PLATFORM=offscreen "$form_tool" render "$work/render" "${definition_args[@]}" >/dev/null
# The system's own Python: its Selenium and imaging modules come from Debian's packages.
/usr/bin/python3 "$here/site_test.py" "${alt_args[@]}" "$work/site" "$work/render"
