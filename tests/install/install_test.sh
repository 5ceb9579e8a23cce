#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs: both programs, a valid
# desktop entry naming an icon that exists at the usual sizes, and valid AppStream metadata.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
need() { [ -e "$prefix/$1" ] || { echo "FAIL: $1 not installed"; fail=1; }; }
need bin/orvanta
need bin/orvanta-form
need share/applications/org.orvanta.Orvanta.desktop
need share/metainfo/org.orvanta.Orvanta.metainfo.xml
for size in 16 24 32 48 64 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/org.orvanta.Orvanta.png
  need "$icon"
  if [ -e "$prefix/$icon" ]; then
    got=$(identify -format '%wx%h' "$prefix/$icon")
    [ "$got" = "${size}x${size}" ] || { echo "FAIL: $icon is $got"; fail=1; }
  fi
done
desktop-file-validate "$prefix/share/applications/org.orvanta.Orvanta.desktop" || fail=1
grep -qx 'Exec=orvanta' "$prefix/share/applications/org.orvanta.Orvanta.desktop" || { echo "FAIL: Exec"; fail=1; }
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.orvanta.Orvanta.metainfo.xml" >/tmp/appstream.$$ 2>&1 ||
  { cat /tmp/appstream.$$; fail=1; }
rm -f /tmp/appstream.$$
# The installed program carries the whole course: it checks its own definition without a display.
"$prefix/bin/orvanta-form" check "$build/content/course.bin" | grep -q '^ok: 293 components$' || { echo "FAIL: check"; fail=1; }
[ $fail = 0 ] && echo "installation ok"
exit $fail
