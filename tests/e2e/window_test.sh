#!/usr/bin/env bash
# Starts the real program on a virtual screen, bare or under a window manager (openbox), finds its
# window by caption and checks what a desktop reads from it: the exact title, the window class of its
# desktop entry, the centred position (with the manager's frame), the idle processor, Ctrl+Tab, a
# click on a label leaving type-ahead in the list box that had the focus, the status bar's size grip
# down to the smallest size, maximising and restoring (under the manager); then closes it as the close
# button does and checks the exit code.
# Usage: window_test.sh ORVANTA XCLOSE XMAXIMIZE DESKTOP_ENTRY [openbox]
set -euo pipefail
orvanta=$1
xclose=$2
xmaximize=$3
entry=$4
wm=${5:-}
caption="Orvanta Software por Quillon"

source "$(dirname "$0")/xvfb.sh"
work=$(mktemp -d)
xvfb_pid=
wm_pid=
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work"
export XDG_RUNTIME_DIR=$work

fail=0
failed() { echo "FAIL: $*"; fail=1; }

if [ "$wm" = openbox ]; then
  # The manager's own settings and caches go to the scratch directory.
  XDG_CONFIG_HOME=$work XDG_CACHE_HOME=$work HOME=$work openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || { echo "FAIL: openbox did not start"; exit 1; }
fi

"$orvanta" &
app=$!
window=
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --name "^${caption}" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window captioned '$caption'"; exit 1; }

# The title every desktop shows, exactly the form's caption; the class of the desktop entry.
name=$(xprop -id "$window" _NET_WM_NAME)
[ "$name" = "_NET_WM_NAME(UTF8_STRING) = \"$caption\"" ] || failed "title: $name"
class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
wmclass=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$class" ] && [ "$class" = "$wmclass" ] && [ "$class.desktop" = "$(basename "$entry")" ] ||
  failed "window class '$class', desktop entry $(basename "$entry") with StartupWMClass '$wmclass'"

# Client size and position: W H X Y.
client() {
  xwininfo -id "$window" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
    /^  Width:/ {w=$2} /^  Height:/ {h=$2} END {print w, h, x, y}'
}
# Waits (up to 10 s) until the client area is W x H; prints what it is.
wait_size() {
  local now=
  for _ in $(seq 100); do
    now=$(client)
    [ "${now% * *}" = "$1 $2" ] && break
    sleep 0.1
  done
  echo "${now% * *}"
}

# The outer window is 1355 x 836 and leaves a client area of 1339 x 797. Bare, it is centred on the
# 1920 x 1080 work area at (282, 122), the client area 8 pixels in from the left and 31 down from the
# top. Under the manager the manager's frame is centred on its work area (to within a pixel, where
# the frames differ in width by an odd number).
centred() {
  read -r w h x y <<<"$(client)"
  [ "$w" = 1339 ] && [ "$h" = 797 ] || { echo "client area ${w}x${h}, want 1339x797"; return 1; }
  if [ -z "$wm" ]; then
    [ "$x" = 290 ] && [ "$y" = 153 ] || { echo "client area at ($x, $y), want (290, 153)"; return 1; }
    return 0
  fi
  local l r t b wx wy ww wh
  read -r l r t b <<<"$(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
  read -r wx wy ww wh <<<"$(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | cut -d' ' -f1-4)"
  local fx=$((x - l)) fy=$((y - t)) want_x=$((wx + (ww - (w + l + r)) / 2)) want_y=$((wy + (wh - (h + t + b)) / 2))
  local dx=$((fx - want_x)) dy=$((fy - want_y))
  [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] ||
    { echo "frame at ($fx, $fy), want ($want_x, $want_y) centred on the work area"; return 1; }
}
why=
for _ in $(seq 50); do why=$(centred) && break; sleep 0.1; done
[ -z "$why" ] || failed "$why"

# Idle, the program uses no processor time: user and system ticks stay put over three seconds, once
# the work it leaves for after the first page is on the screen (measuring the other pages, a page at a
# time) is done: a half second without a tick, which a slow build may take several seconds to reach.
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
sleep 1
settled=
for _ in $(seq 60); do
  before=$(ticks)
  sleep 0.5
  [ "$(ticks)" = "$before" ] && settled=1 && break
done
[ -n "$settled" ] || failed "the program kept working for 30 s after it started"
before=$(ticks)
sleep 3
after=$(ticks)
[ $((after - before)) -le 1 ] || failed "$((after - before)) ticks of processor time while idle"

# Ctrl+Tab turns the page: the status line and the tab row change; Ctrl+Shift+Tab turns it back, and
# both look exactly as before.
shots=$work/shots
mkdir -p "$shots"
crop() { import -window "$window" -crop "$1" "$shots/$2.png"; }
same() { [ "$(compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1)" = 0 ]; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool windowactivate --sync "$window" 2>/dev/null || true
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
settle 1 differ || failed "Ctrl+Tab left the status line as it was"
same tabs0 tabs1 && failed "Ctrl+Tab left the tab row as it was"
xdotool key ctrl+shift+Tab
settle 2 equal || failed "Ctrl+Shift+Tab did not bring the status line back"
same tabs0 tabs2 || failed "Ctrl+Shift+Tab did not bring the tab row back"

# Page 0: a click in the list box selects an item; a click on the page's title label leaves the focus
# in the list, so a typed letter still moves the selection to the next item that begins with it.
list=1200x560+52+100
xdotool mousemove --window "$window" 600 300 click 1
sleep 0.5
xdotool mousemove --window "$window" 635 63 click 1
sleep 0.5
crop "$list" list0
xdotool type --delay 50 p
changed=
for _ in $(seq 50); do
  crop "$list" list1
  same list0 list1 || { changed=1; break; }
  sleep 0.1
done
[ -n "$changed" ] || failed "after a click on the title label, typing left the list box as it was"

# The size grip at the status bar's right end, dragged with the button held: 200 x 150 towards the top
# left shrinks the client area by as much; further on, the window stops at its smallest size, 720 x
# 540 outside. (Once scroll bars show, the status bar lies at the bottom of the scrolled area and its
# grip leaves the corner, so both are measured in one drag.)
xdotool mousemove --window "$window" 1334 792 mousedown 1
sleep 0.3
for _ in $(seq 10); do
  xdotool mousemove_relative -- -20 -15
  sleep 0.05
done
size=$(wait_size 1139 647)
[ "$size" = "1139 647" ] || failed "after dragging the grip by 200 x 150 the client area is $size, want 1139 647"
for _ in $(seq 10); do
  xdotool mousemove_relative -- -80 -60
  sleep 0.05
done
size=$(wait_size 704 501)
xdotool mouseup 1
[ "$size" = "704 501" ] || failed "after dragging the grip far, the client area is $size, want 704 501"

# Maximising gives a window no larger than its stored size; restoring brings back the one before.
if [ -n "$wm" ]; then
  before=$(client)
  "$xmaximize" "$window" on
  maximised=
  for _ in $(seq 50); do
    xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT && { maximised=1; break; }
    sleep 0.1
  done
  [ -n "$maximised" ] || failed "the window did not maximise"
  sleep 0.5
  read -r w h _ _ <<<"$(client)"
  [ "$w" -le 1339 ] && [ "$h" -le 797 ] && [ "$w" -gt 704 ] ||
    failed "maximised, the client area is ${w}x${h}, want larger than before and at most 1339x797"
  "$xmaximize" "$window" off
  after=
  for _ in $(seq 50); do
    after=$(client)
    [ "$after" = "$before" ] && break
    sleep 0.1
  done
  [ "$after" = "$before" ] || failed "restored, the client area is $after, want $before"
fi

"$xclose" "$window"
status=0
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "FAIL: the program did not end after its window was closed"; exit 1; fi
wait "$app" || status=$?
app=
[ "$status" = 0 ] || failed "exit code $status, want 0"
[ "$fail" = 0 ] && echo "1 passed, 0 failed"
exit "$fail"
