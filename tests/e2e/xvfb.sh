# shellcheck shell=bash
# Sourced: start_xvfb DIR starts a virtual screen of 1920 x 1080 on a display number the server picks
# itself (so that no other server, nor a stale lock, stands in the way), waits until it accepts clients,
# and exports DISPLAY; the server's process id is left in xvfb_pid. DIR receives the number. The server
# never resets when its last client leaves (a reset between two programs is a moment without a server).
# stop_xvfb ends it and waits until it has gone, so that its display number, lock and socket are free
# again before the next test may take them.
start_xvfb() {
  local file=$1/display
  : >"$file"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$file" >/dev/null 2>&1 &
  xvfb_pid=$!
  # The server writes the number once it is ready; a loaded machine may take a while.
  for _ in $(seq 300); do
    [ -s "$file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$file" ] || { echo "FAIL: Xvfb did not start" >&2; return 1; }
  DISPLAY=:$(head -n 1 "$file")
  export DISPLAY
}
stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
}
