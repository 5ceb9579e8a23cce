#!/usr/bin/env bash
# The whole book on a virtual screen: every page by Ctrl+Tab and back by Ctrl+Shift+Tab, tabs chosen by
# clicking (scrolling the tab row to the last one), typing into a memo and a rich edit, a restart, a
# window shrunk to its smallest size, and closing. After each change the status line is read from the
# screen with OCR (once for each page; the same pixels later count as read) and the page is compared
# with what orvanta-form render draws for it.
# Usage: book_test.sh ORVANTA ORVANTA_FORM COURSE_BIN XCLOSE
set -euo pipefail
orvanta=$1
form_tool=$2
course=$3
xclose=$4
caption="Orvanta Software por Quillon"

source "$(dirname "$0")/xvfb.sh"
xvfb_pid=
app=
work=$(mktemp -d)
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  stop_xvfb
  if [ -n "${KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
start_xvfb "$work"
export XDG_RUNTIME_DIR=$work

# The reference pictures, drawn by the same program code on the same display. Screenshots and
# references are compared as uncompressed PPM files, which read and write several times faster than PNG.
QT_QPA_PLATFORM=xcb "$form_tool" render "$work/render" "$course" >/dev/null
mogrify -format ppm "$work"/render/page-*.png

fail=0
failed() { echo "FAIL: $*"; fail=1; }

window=
start() {
  "$orvanta" &
  app=$!
  window=
  for _ in $(seq 300); do
    window=$(xdotool search --name "^${caption}\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || { echo "FAIL: the program ended before it showed its window"; exit 1; }
    sleep 0.1
  done
  [ -n "$window" ] || { echo "FAIL: no window captioned '$caption'"; exit 1; }
  xdotool windowfocus --sync "$window"
}
stop() {
  "$xclose" "$window"
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  local status=0
  wait "$app" || status=$?
  app=
  [ "$status" = 0 ] || failed "exit code $status, want 0"
}

shot() { import -window "$window" "$work/$1.ppm"; }
# Pixels that differ between two pictures, optionally inside a rectangle WxH+X+Y of both.
differing() {
  if [ -n "${3:-}" ]; then
    convert "$work/$1.ppm" -crop "$3" +repage "$work/a.ppm"
    convert "$2" -crop "$3" +repage "$work/b.ppm"
    compare -metric AE "$work/a.ppm" "$work/b.ppm" null: 2>&1 || true
  else
    compare -metric AE "$work/$1.ppm" "$2" null: 2>&1 || true
  fi
}
# OCR of a rectangle of a screenshot, enlarged smoothly and framed in white, which tesseract reads best.
read_text() {
  convert "$work/$1.ppm" -gravity "${3:-NorthWest}" -crop "$2" +repage -colorspace gray -resize 400% \
    -bordercolor white -border 20 "$work/text.png"
  tesseract "$work/text.png" - --psm "${4:-7}" 2>/dev/null | tr -d '\f'
}
status_crop=300x18+0+779
status_text() { read_text "$1" "$status_crop" | head -n 1; }
# Checks that the status line of screenshot SHOT reads "Page index: N". Once read, the line's pixels
# are kept: the same pixels later need no second reading.
expect_status() {
  local shot=$1 n=$2 seen="$work/status-$2.ppm"
  convert "$work/$shot.ppm" -crop "$status_crop" +repage "$work/status.ppm"
  if [ -f "$seen" ] && [ "$(compare -metric AE "$work/status.ppm" "$seen" null: 2>&1 || true)" = 0 ]; then
    return
  fi
  local text
  text=$(status_text "$shot")
  if [ "$text" = "Page index: $n" ]; then
    cp "$work/status.ppm" "$seen"
  else
    failed "status line reads '$text', want 'Page index: $n'"
  fi
}
# Waits until the window shows page N as orvanta-form render drew it, or as the picture REF shows it,
# then reads "Page index: N" from the status line. Compares the whole window, or the page below the tab
# row (BELOW_TABS=1). A caret may blink, so up to $tolerance pixels may differ.
tolerance=40
expect_page() {
  local n=$1 region= d=
  [ "${BELOW_TABS:-0}" = 1 ] && region=1339x755+0+24
  local ref=${REF:-}
  [ -n "$ref" ] || ref=$(printf '%s/render/page-%02d.ppm' "$work" "$n")
  for _ in $(seq 100); do
    shot now
    d=$(differing now "$ref" $region)
    [ "$d" -le "$tolerance" ] 2>/dev/null && break
    sleep 0.1
  done
  [ "$d" -le "$tolerance" ] 2>/dev/null || failed "page $n differs from its rendering in $d pixels"
  expect_status now "$n"
}
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.2; }

start
expect_page 0
for n in $(seq 1 47); do
  xdotool key ctrl+Tab
  expect_page "$n"
done
# Back: the tab row scrolls differently on the way down, so only the pages themselves are compared.
for n in $(seq 46 -1 0); do
  xdotool key ctrl+shift+Tab
  BELOW_TABS=1 expect_page "$n"
done

# Clicking tabs: the third tab, then the tab row scrolled all the way right to reach the last one.
click 148 12
BELOW_TABS=1 expect_page 2
xdotool mousemove --window "$window" 1319 12 click --repeat 60 --delay 60 1 # the tab row's right arrow
click 1260 12
BELOW_TABS=1 expect_page 47

# One page forward or back, waiting for it.
forward() { xdotool key ctrl+Tab; BELOW_TABS=1 expect_page "$1"; }
back() { xdotool key ctrl+shift+Tab; BELOW_TABS=1 expect_page "$1"; }
back_to() { xdotool key ctrl+shift+Tab; REF=$2 BELOW_TABS=1 expect_page "$1"; }

# Typing into the memo of page 3 and the rich edit of page 13: edits survive a change of page.
for n in 0 1 2 3; do forward $n; done
click 290 450
xdotool type --delay 20 "ZZZ escrito por el alumno"
sleep 0.3
shot memo_typed
memo=340x260+139+417
[ "$(differing memo_typed "$work/render/page-03.ppm" $memo)" -gt 100 ] || failed "typing left the memo unchanged"
# The page control's frame, left of the page: the tab row takes the focus, so the memo's caret is gone
# from both pictures (a click on the page itself leaves the focus where it was).
click 9 300
shot memo_typed
# From now on the focus has been in an edit or on the tab row, and a change of page may hand it to the
# new page's first control: a list box frames its current item, which the renderings do not show.
tolerance=1500
forward 4
back_to 3 "$work/memo_typed.ppm"
shot memo_back
[ "$(differing memo_back "$work/memo_typed.ppm" $memo)" -le 40 ] || failed "the memo lost its edits when the page changed"
for n in $(seq 4 13); do forward "$n"; done
click 700 630
xdotool type --delay 20 "QQQ nota"
sleep 0.3
shot rich_typed
rich=262x170+563+545
[ "$(differing rich_typed "$work/render/page-13.ppm" $rich)" -gt 50 ] || failed "typing left the rich edit unchanged"
click 9 300
shot rich_typed
back 12
xdotool key ctrl+Tab
REF=$work/rich_typed.ppm BELOW_TABS=1 expect_page 13
shot rich_back
[ "$(differing rich_back "$work/rich_typed.ppm" $rich)" -le 40 ] || failed "the rich edit lost its edits"
stop

# A new start shows the stored texts again: the memo and the rich edit match their renderings.
tolerance=40
start
for n in $(seq 1 13); do forward "$n"; done

# The smallest window: scroll bars appear, scrolling moves the contents, and the status line sits at
# the bottom of the scrollable area.
xdotool windowsize --sync "$window" 720 540 || true
sleep 0.5
geometry=$(xwininfo -id "$window")
width=$(awk '/^  Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^  Height:/ {print $2}' <<<"$geometry")
[ "$width" -le 720 ] && [ "$height" -le 540 ] || failed "window is ${width}x${height} after shrinking to 720x540"
shot small_top
# The form's own vertical bar, at the right edge: clicks below its thumb move a page down each.
xdotool mousemove --window "$window" $((width - 7)) $((height - 60)) click --repeat 10 --delay 100 1
sleep 0.5
shot small_bottom
[ "$(compare -metric AE "$work/small_top.ppm" "$work/small_bottom.ppm" null: 2>&1 || true)" -gt 1000 ] ||
  failed "scrolling down did not move the contents"
read_text small_bottom 300x40+0+0 SouthWest 6 | grep -q "Page index: 13" ||
  failed "the status line is not at the bottom of the scrolled window"
stop

[ "$fail" = 0 ] && echo "book: all pages visited, 0 failed"
exit "$fail"
