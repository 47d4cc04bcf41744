#!/usr/bin/env bash
# Installs every Debian package MIV needs to build, run and test. Safe to run again:
# it only calls apt-get when something is missing. Works as root on a fresh Debian 12.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libpulse-dev libsndfile1-dev libsamplerate0-dev libcurl4-openssl-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev clang-tidy
  nlohmann-json3-dev python3 openssl
  # CAT keying and the dial frequency; rigctld and rigctl for the tests.
  libhamlib-dev libhamlib-utils
  # libcurl only recommends it: without it no mail server's certificate can be checked.
  ca-certificates
  # The icons drawn from their SVG, and the package check of the test suite.
  librsvg2-bin file desktop-file-utils appstream groff-base
)
for extra in "$@"; do
  case "$extra" in
    # Only for regenerating plots, measurements and screenshots in docs/.
    --docs) packages+=(gnuplot-nox time xvfb xauth imagemagick sox xdotool) ;;
    # scripts/package.sh checks the package it builds with lintian.
    --package) packages+=(lintian) ;;
    *) echo "usage: $0 [--docs] [--package]" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup.sh: installing packages needs root: run it as root or install sudo." >&2
    exit 1
  fi
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
