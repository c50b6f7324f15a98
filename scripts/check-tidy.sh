#!/usr/bin/env bash
# Fails when clang-tidy, with the repository's .clang-tidy, warns about a
# source file of the programs or their libraries. Reads the compile commands
# of the build in build/ (or BUILD_DIR), which scripts/build.sh writes.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
git ls-files 'shared/*.cpp' 'game/*.cpp' 'editor/*.cpp' 'stats/*.cpp' 'tools/*.cpp' |
  xargs -r -P"$(nproc)" -n4 clang-tidy -p "$build_dir" --quiet >"$out" 2>/dev/null || true
if grep -qE '(warning|error):' "$out"; then
  grep -E -A3 '(warning|error):' "$out" >&2
  exit 1
fi
echo "clang-tidy: no warnings."
