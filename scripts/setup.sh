#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need; does nothing when all are there.
set -euo pipefail
PACKAGES=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-translations-l10n
  portaudio19-dev libasound2-dev libasound2-plugins libsamplerate0-dev
  pulseaudio pulseaudio-utils
  libgtest-dev libbenchmark-dev
  xvfb xdotool imagemagick
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [[ $EUID -ne 0 ]] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
