#!/usr/bin/env bash
# Starts the real program on a virtual screen, finds its window by caption, checks the client size and
# the centred position, closes it as the close button does and checks the exit code.
# Usage: window_test.sh ORVANTA XCLOSE
set -euo pipefail
orvanta=$1
xclose=$2
caption="Orvanta Software por Quillon"

source "$(dirname "$0")/xvfb.sh"
work=$(mktemp -d)
xvfb_pid=
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work"

"$orvanta" &
app=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --name "^${caption}\$" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window captioned '$caption'"; exit 1; }

geometry=$(xwininfo -id "$window")
width=$(awk '/^  Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^  Height:/ {print $2}' <<<"$geometry")
x=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
y=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
# The outer window is 1355 x 836, centred on a 1920 x 1080 work area at (282, 122); the client area
# lies inside the frame, 8 pixels in from the left and 31 down from the top.
fail=0
[ "$width" = 1339 ] && [ "$height" = 797 ] || { echo "FAIL: client area ${width}x${height}, want 1339x797"; fail=1; }
[ "$x" = 290 ] && [ "$y" = 153 ] || { echo "FAIL: client area at ($x, $y), want (290, 153)"; fail=1; }

# Idle, the program uses no processor time: user and system ticks stay put over three seconds.
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
sleep 1
before=$(ticks)
sleep 3
after=$(ticks)
[ $((after - before)) -le 1 ] || { echo "FAIL: $((after - before)) ticks of processor time while idle"; fail=1; }

# Ctrl+Tab turns the page: the status line and the tab row change; Ctrl+Shift+Tab turns it back, and
# both look exactly as before.
shots=$(mktemp -d)
crop() { import -window "$window" -crop "$1" "$shots/$2.png"; }
same() { [ "$(compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1)" = 0 ]; }
xdotool windowfocus --sync "$window"
crop 300x18+0+779 status0
crop 1320x24+8+0 tabs0
# Waits (up to 10 s, for slow sanitizer builds) until the status line differs from, or equals, shot 0.
settle() {
  for _ in $(seq 100); do
    crop 300x18+0+779 "status$1"
    crop 1320x24+8+0 "tabs$1"
    if [ "$2" = differ ]; then same status0 "status$1" || return 0; else same status0 "status$1" && return 0; fi
    sleep 0.1
  done
  return 1
}
xdotool key ctrl+Tab
settle 1 differ || { echo "FAIL: Ctrl+Tab left the status line as it was"; fail=1; }
same tabs0 tabs1 && { echo "FAIL: Ctrl+Tab left the tab row as it was"; fail=1; }
xdotool key ctrl+shift+Tab
settle 2 equal || { echo "FAIL: Ctrl+Shift+Tab did not bring the status line back"; fail=1; }
same tabs0 tabs2 || { echo "FAIL: Ctrl+Shift+Tab did not bring the tab row back"; fail=1; }
rm -rf "$shots"

"$xclose" "$window"
status=0
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "FAIL: the program did not end after its window was closed"; exit 1; fi
wait "$app" || status=$?
app=
[ "$status" = 0 ] || { echo "FAIL: exit code $status, want 0"; fail=1; }
[ "$fail" = 0 ] && echo "1 passed, 0 failed"
exit "$fail"
