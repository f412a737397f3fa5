#!/usr/bin/env bash
# Installs the Debian packages Korvalen needs, only those that are missing; never removes any.
#   bash scripts/setup.sh           what building and running need
#   bash scripts/setup.sh --tests   the same, plus what the tests need
# The machine's sound server is never replaced: the tests' private sound server is PipeWire where
# the machine already uses PipeWire, and PulseAudio elsewhere.
set -euo pipefail

# Building and running.
BUILD_AND_RUN=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n  # qt6-base-dev: Qt Core (the run), Widgets and Test
  qt6-l10n-tools qt6-tools-dev  # Linguist: the translations compiled into the program
  portaudio19-dev libasound2-dev libasound2-plugins libsamplerate0-dev libpulse-dev libaubio-dev
  libola-dev
  librtmidi-dev liblo-dev  # live control from a MIDI pad or an OSC surface
)
# The tests, whatever the sound server.
TESTS=(
  libgtest-dev libgmock-dev libbenchmark-dev
  ola
  clang libclang-rt-14-dev
  xvfb xdotool imagemagick python3-xlib
  pulseaudio-utils
  desktop-file-utils appstream dpkg-dev mmdebstrap
  groff-base  # the install check renders the manual page
  file procps  # CPack's dependency scan; ps in the test scripts
  dbus at-spi2-core python3-pyatspi  # the accessibility bus a screen reader reads
  jackd2 liblo-tools  # the MIDI tests' private JACK server; oscsend
)
# The tests' private sound server on a machine whose sound goes through PipeWire...
TESTS_PIPEWIRE=(
  pipewire pipewire-bin wireplumber pipewire-pulse dbus
)
# ...and on any other machine.
TESTS_PULSEAUDIO=(
  pulseaudio
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# PulseAudio conflicts with pipewire-alsa, and beside pipewire-pulse it would fight for the same socket.
uses_pipewire() { ! installed pulseaudio && { installed pipewire-alsa || installed pipewire-pulse; }; }

case "${1:-}" in
  "") wanted=("${BUILD_AND_RUN[@]}") ;;
  --tests)
    wanted=("${BUILD_AND_RUN[@]}" "${TESTS[@]}")
    if uses_pipewire; then wanted+=("${TESTS_PIPEWIRE[@]}"); else wanted+=("${TESTS_PULSEAUDIO[@]}"); fi
    ;;
  *) echo "usage: bash scripts/setup.sh [--tests]" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [[ $EUID -ne 0 ]] && SUDO="sudo"
  $SUDO apt-get update -qq
  # --no-remove: apt stops rather than remove a package that conflicts with one of these.
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-remove "${missing[@]}"
fi
