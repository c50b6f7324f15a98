#!/usr/bin/env bash
# Fails when clang-tidy, with the repository's .clang-tidy, warns about a
# source file of the programs, their libraries or the tools: every folder
# whose headers .clang-tidy's HeaderFilterRegex names. Reads the compile
# commands of the build in build/ (or BUILD_DIR), which scripts/build.sh
# writes.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
# Without the tool or the build, nothing would be linted and nothing said.
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed." >&2; exit 1; }
if [ ! -f "$build_dir/compile_commands.json" ]; then
  echo "No $build_dir/compile_commands.json: run scripts/build.sh first." >&2
  exit 1
fi
mapfile -t folders < <(sed -nE "s/^HeaderFilterRegex: '\(([^)]*)\).*/\1/p" .clang-tidy | tr '|' '\n')
if [ ${#folders[@]} -eq 0 ]; then
  echo "No folders in .clang-tidy's HeaderFilterRegex." >&2
  exit 1
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
git ls-files "${folders[@]/%//*.cpp}" |
  xargs -r -P"$(nproc)" -n4 clang-tidy -p "$build_dir" --quiet >"$out" 2>/dev/null || true
if grep -qE '(warning|error):' "$out"; then
  grep -E -A3 '(warning|error):' "$out" >&2
  exit 1
fi
echo "clang-tidy: no warnings."
