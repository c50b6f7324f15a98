#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing;
# packages named as arguments are added to the list (scripts/package.sh and CI
# name what only they need).
set -euo pipefail

packages=(
  "$@"
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6sql6-sqlite
  fonts-noto-cjk fonts-liberation2
  xvfb xauth x11-utils xdotool imagemagick
  clang clang-format libclang-rt-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
