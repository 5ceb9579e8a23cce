#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs: both programs, a valid
# desktop entry naming an icon that exists at the usual sizes, and valid AppStream metadata; then the
# Debian package made from the same build.
# Usage: install_test.sh BUILD_DIR COURSE (the compiled course the build carries)
set -euo pipefail
build=$1
course=$2
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
"$prefix/bin/orvanta-form" check "$course" | grep -q '^ok: 293 components$' || { echo "FAIL: check"; fail=1; }
# The installed tool carries the course too: render needs no file, and no path into the build tree.
if grep -qF "$course" "$prefix/bin/orvanta-form"; then
  echo "FAIL: orvanta-form names the build tree's course"
  fail=1
fi
"$prefix/bin/orvanta-form" render "$prefix/pages" 2>/dev/null | grep -qx '48 pages' || { echo "FAIL: render"; fail=1; }
[ -s "$prefix/pages/page-47.png" ] || { echo "FAIL: render wrote no page 47"; fail=1; }

# The Debian package holds the same files under /usr and names what it needs to run.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$prefix/package" >/dev/null
deb=$(ls "$prefix"/package/orvanta_*_amd64.deb 2>/dev/null | head -n 1 || true)
if [ -z "$deb" ]; then
  echo "FAIL: no Debian package"
  fail=1
else
  contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for f in usr/bin/orvanta usr/bin/orvanta-form usr/share/applications/org.orvanta.Orvanta.desktop \
    usr/share/metainfo/org.orvanta.Orvanta.metainfo.xml usr/share/icons/hicolor/48x48/apps/org.orvanta.Orvanta.png; do
    grep -qx "./$f" <<<"$contents" || { echo "FAIL: $f not in the package"; fail=1; }
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  for d in libqt6widgets6 libjpeg62-turbo fonts-liberation2; do
    grep -q "$d" <<<"$depends" || { echo "FAIL: the package does not depend on $d"; fail=1; }
  done
fi
[ $fail = 0 ] && echo "installation ok"
exit $fail
