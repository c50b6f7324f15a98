#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as BUILD_DIR): every
# target, or only the targets named as arguments.
#   scripts/build.sh                              everything, tests included
#   scripts/build.sh Yubimaru program_folder      the game and its folder
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
