#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libjpeg62-turbo-dev libx11-dev libfontconfig-dev
  fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra fonts-urw-base35 fonts-ebgaramond fonts-wine
  libgtest-dev libbenchmark-dev libjpeg-turbo-progs
  clang-14 libclang-rt-14-dev
  xvfb xdotool x11-utils openbox imagemagick tesseract-ocr tesseract-ocr-eng
  desktop-file-utils appstream dpkg-dev
  chromium chromium-driver python3-selenium python3-pil tidy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
# sudo resets the environment, so the setting goes through it as an argument.
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
