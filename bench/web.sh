#!/usr/bin/env bash
# The course on the web: how long orvanta-form export-html takes against loading the same definition
# alone (orvanta-form check, measured in the same run), the site's size beside the compiled definition's,
# and how soon the site's first page paints in headless Chromium opened from disk, beside a page of one
# line of text opened the same way. Prints figures; fails only when one cannot be measured.
# Usage: web.sh BUILD_DIR [--quick]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=5
[ "${2:-}" = --quick ] && runs=1
here=$(cd "$(dirname "$0")" && pwd)
form_tool=$build/tools/orvanta-form
course=$build/content/course.bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work

# The best of $runs runs of a command, in milliseconds.
best_ms() {
  local best= start end ms
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" >/dev/null 2>"$work/stderr" || { cat "$work/stderr" >&2; echo "FAIL: $*" >&2; exit 1; }
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

load_ms=$(best_ms "$form_tool" check "$course")
# The course built into the tool, with its text alternatives: the site as it is published.
export_ms=$(best_ms "$form_tool" export-html "$work/site")
site_bytes=$(find "$work/site" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
course_bytes=$(stat -c %s "$course")
[ -f "$work/site/index.html" ] && [ "$site_bytes" -gt 0 ] || { echo "FAIL: export-html wrote no site"; exit 1; }
printf 'web export: %d ms, loading alone %d ms, ratio %.1f\n' "$export_ms" "$load_ms" \
  "$(awk -v e="$export_ms" -v l="$load_ms" 'BEGIN { print e / (l > 0 ? l : 1) }')"
printf 'web site: %d bytes (%d files), compiled course %d bytes, ratio %.2f\n' "$site_bytes" \
  "$(find "$work/site" -type f | wc -l)" "$course_bytes" \
  "$(awk -v s="$site_bytes" -v c="$course_bytes" 'BEGIN { print s / c }')"
/usr/bin/python3 "$here/web_paint.py" "$work/site" "$runs"
