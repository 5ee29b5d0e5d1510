#!/usr/bin/env bash
# Installs what building and testing Inkwarden needs on Debian 12.
# Safe to run again: it only installs packages that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev  # the fuzz targets: libFuzzer and the sanitizers
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64
  xvfb xdotool x11-utils x11-apps x11-xserver-utils imagemagick xclip
  fonts-wqy-microhei fonts-liberation  # the Wine prefixes pin the text font to WenQuanYi Micro Hei Mono
  cups printer-driver-cups-pdf poppler-utils  # printing end to end, into a PDF
  locales  # localedef and the zh_CN source: the Chinese-code-page test builds that locale
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
