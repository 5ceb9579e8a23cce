#!/usr/bin/env bash
# The whole book on a virtual screen: every page by Ctrl+Tab and back by Ctrl+Shift+Tab, tabs chosen by
# clicking (scrolling the tab row to the last one), typing into a memo and a rich edit, a restart, a
# window shrunk to its smallest size, and closing. After each change the status line is read from the
# screen with OCR and the page is compared with what orvanta-form render draws for it.
# Usage: book_test.sh ORVANTA ORVANTA_FORM COURSE_BIN XCLOSE
set -euo pipefail
orvanta=$1
form_tool=$2
course=$3
xclose=$4
caption="Orvanta Software por Quillon"

display=:$((500 + RANDOM % 400))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=
work=$(mktemp -d)
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  if [ -n "${KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_RUNTIME_DIR=$work

# The reference pictures, drawn by the same program code on the same display.
QT_QPA_PLATFORM=xcb "$form_tool" render "$work/render" "$course" >/dev/null

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

shot() { import -window "$window" "$work/$1.png"; }
# Pixels that differ between two pictures, optionally inside a rectangle WxH+X+Y of both.
differing() {
  if [ -n "${3:-}" ]; then
    convert "$work/$1.png" -crop "$3" +repage "$work/a.png"
    convert "$2" -crop "$3" +repage "$work/b.png"
    compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true
  else
    compare -metric AE "$work/$1.png" "$2" null: 2>&1 || true
  fi
}
status_text() {
  convert "$work/$1.png" -crop 300x18+0+779 +repage -scale 400% "$work/status.png"
  tesseract "$work/status.png" - --psm 7 2>/dev/null | tr -d '\f' | head -n 1
}
# Waits until the status line reads "Page index: N"; a caret may blink, so up to 40 pixels may differ
# from the reference picture. Checks the whole window, or the page below the tab row (BELOW_TABS=1).
expect_page() {
  local n=$1 region=
  [ "${BELOW_TABS:-0}" = 1 ] && region=1339x755+0+24
  for _ in $(seq 50); do
    shot now
    [ "$(status_text now)" = "Page index: $n" ] && break
    sleep 0.2
  done
  local text
  text=$(status_text now)
  [ "$text" = "Page index: $n" ] || failed "status line reads '$text', want 'Page index: $n'"
  local ref
  ref=$(printf '%s/render/page-%02d.png' "$work" "$n")
  local d
  d=$(differing now "$ref" $region)
  [ "$d" -le 40 ] 2>/dev/null || failed "page $n differs from its rendering in $d pixels"
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
for _ in $(seq 60); do xdotool mousemove --window "$window" 1331 12 click 1; done
click 1287 12
BELOW_TABS=1 expect_page 47

# One page forward or back, waiting for it.
forward() { xdotool key ctrl+Tab; BELOW_TABS=1 expect_page "$1"; }
back() { xdotool key ctrl+shift+Tab; BELOW_TABS=1 expect_page "$1"; }

# Typing into the memo of page 3 and the rich edit of page 13: edits survive a change of page.
for n in 0 1 2 3; do forward $n; done
click 290 450
xdotool type --delay 20 "ZZZ escrito por el alumno"
sleep 0.3
shot memo_typed
memo=340x260+139+417
[ "$(differing memo_typed "$work/render/page-03.png" $memo)" -gt 100 ] || failed "typing left the memo unchanged"
click 1000 40 # the page itself, so the memo's caret is gone from both pictures
shot memo_typed
forward 4
back 3
shot memo_back
[ "$(differing memo_back "$work/memo_typed.png" $memo)" -le 40 ] || failed "the memo lost its edits when the page changed"
for n in $(seq 4 13); do forward "$n"; done
click 700 630
xdotool type --delay 20 "QQQ nota"
sleep 0.3
shot rich_typed
rich=262x170+563+545
[ "$(differing rich_typed "$work/render/page-13.png" $rich)" -gt 50 ] || failed "typing left the rich edit unchanged"
click 1000 40
shot rich_typed
back 12
forward 13
shot rich_back
[ "$(differing rich_back "$work/rich_typed.png" $rich)" -le 40 ] || failed "the rich edit lost its edits"
stop

# A new start shows the stored texts again.
start
for n in 1 2 3; do forward $n; done

# The smallest window: scroll bars appear, scrolling moves the contents, and the status line sits at
# the bottom of the scrollable area.
xdotool windowsize --sync "$window" 720 540 || true
sleep 0.5
geometry=$(xwininfo -id "$window")
width=$(awk '/^  Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^  Height:/ {print $2}' <<<"$geometry")
[ "$width" -le 720 ] && [ "$height" -le 540 ] || failed "window is ${width}x${height} after shrinking to 720x540"
shot small_top
for _ in $(seq 60); do xdotool mousemove --window "$window" 300 300 click 5; done
sleep 0.5
shot small_bottom
[ "$(compare -metric AE "$work/small_top.png" "$work/small_bottom.png" null: 2>&1 || true)" -gt 1000 ] ||
  failed "scrolling down did not move the contents"
convert "$work/small_bottom.png" -gravity SouthWest -crop 300x40+0+0 +repage -scale 400% "$work/bottom.png"
tesseract "$work/bottom.png" - --psm 6 2>/dev/null | grep -q "Page index: 3" ||
  failed "the status line is not at the bottom of the scrolled window"
stop

[ "$fail" = 0 ] && echo "book: all pages visited, 0 failed"
exit "$fail"
