#!/usr/bin/env bash
# Installs the Debian packages Quilmar needs to build, test and run; only the missing ones.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins qt6-translations-l10n
  libgl-dev libxkbcommon-dev
  libicu-dev libjpeg62-turbo adwaita-icon-theme
  xvfb xauth xdotool x11-utils xclip
  fonts-liberation2
  libhunspell-dev hunspell-en-us hunspell-en-gb hunspell-de-de hunspell-fr
  ispell iamerican ibritish ingerman ifrench-gut
  poppler-utils
  cups printer-driver-cups-pdf
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
