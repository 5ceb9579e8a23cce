#!/usr/bin/env bash
# High-density screens: every page drawn at twice the device pixels (orvanta-form render --scale 2)
# has exactly twice the pixels in each direction, and reduced back to one pixel in four it matches the
# page drawn at one device pixel closely: the same layout, no text moved or clipped.
# Usage: render_scale_test.sh ORVANTA_FORM COURSE_BIN
set -euo pipefail
form_tool=$1
course=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

QT_QPA_PLATFORM=offscreen "$form_tool" render "$work/1x" "$course" >/dev/null
QT_QPA_PLATFORM=offscreen "$form_tool" render --scale 2 "$work/2x" "$course" >/dev/null

# Reduced back (each 2 x 2 block averaged), a page matches its drawing at scale 1 to within this share
# of the greatest possible difference, averaged over the page: text drawn at the finer resolution
# differs from text drawn at the coarse one only at its edges, while a control or a text out of place
# or clipped differs wholly (the reduced and enlarged pictures are uncompressed files, quick to write
# and read). And pages drawn at scale 2 are drawn at that resolution, not enlarged
# from scale 1: three of them, full of text, differ from their drawings at scale 1 enlarged (each
# pixel repeated 2 x 2) by at least the other share.
limit=0.03
least=0.005
sharp_pages=" page-00.png page-03.png page-07.png "
fail=0
pages=0
worst=0
flattest=1
mae() { compare -metric MAE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true; }
for one in "$work"/1x/page-*.png; do
  page=$(basename "$one")
  two=$work/2x/$page
  [ -f "$two" ] || { echo "FAIL: $page missing at scale 2"; fail=1; continue; }
  read -r w1 h1 <<<"$(identify -format '%w %h' "$one")"
  read -r w2 h2 <<<"$(identify -format '%w %h' "$two")"
  [ "$w2" = $((2 * w1)) ] && [ "$h2" = $((2 * h1)) ] ||
    { echo "FAIL: $page is ${w2}x${h2} at scale 2, want $((2 * w1))x$((2 * h1))"; fail=1; continue; }
  convert "$two" -filter box -resize 50% "$work/reduced.ppm"
  near=$(mae "$one" "$work/reduced.ppm")
  awk -v m="$near" -v l="$limit" 'BEGIN { exit !(m <= l) }' ||
    { echo "FAIL: $page reduced from scale 2 differs from scale 1 by $near (limit $limit)"; fail=1; }
  worst=$(awk -v m="$near" -v w="$worst" 'BEGIN { print (m > w ? m : w) }')
  if [[ "$sharp_pages" == *" $page "* ]]; then
    convert "$one" -filter point -resize 200% "$work/enlarged.ppm"
    sharp=$(mae "$two" "$work/enlarged.ppm")
    awk -v m="$sharp" -v l="$least" 'BEGIN { exit !(m >= l) }' ||
      { echo "FAIL: $page at scale 2 is scale 1 enlarged: they differ by $sharp (at least $least)"; fail=1; }
    flattest=$(awk -v m="$sharp" -v w="$flattest" 'BEGIN { print (m < w ? m : w) }')
  fi
  pages=$((pages + 1))
done
[ "$pages" = 48 ] || { echo "FAIL: $pages pages rendered, want 48"; fail=1; }
echo "reduced: worst difference $worst; enlarged: least difference $flattest"
[ "$fail" = 0 ] && echo "1 passed, 0 failed"
exit "$fail"
