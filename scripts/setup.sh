#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing,
# with sudo when not run as root.
#   scripts/setup.sh run [package...]    what building and running the programs needs
#   scripts/setup.sh test [package...]   that and what the tests, checks,
#                                        benchmarks, fuzzers and screenshots need
# Packages named after the set are added to it (scripts/package.sh and CI
# name what only they need).
set -euo pipefail

# Compiler and build tools, Qt, the faces the windows are laid out for, and
# what the programs load at run time: Qt's SQLite driver (and SQLite's own
# headers, for the handle under it), zlib, which packs the games' words, and
# Qt's own translations.
run=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libqt6sql6-sqlite libsqlite3-dev zlib1g-dev qt6-translations-l10n
  fonts-noto-cjk fonts-liberation2
)
# A virtual display and what drives and photographs windows on it, clang with
# its sanitizer and fuzzer runtimes, the formatter and linter, Google Benchmark,
# MeCab with its dictionary for the editor's suggested readings.
test=(
  xvfb xauth x11-utils xdotool imagemagick
  clang clang-format clang-tidy libclang-rt-dev libbenchmark-dev
  libmecab2 mecab-ipadic-utf8
)

case "${1:-}" in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  *)
    echo "usage: $0 run|test [package...]" >&2
    exit 2
    ;;
esac
shift
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
