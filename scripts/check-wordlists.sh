#!/usr/bin/env bash
# Checks that assets/wordlists/*.txt are what tools/edict makes from the
# installed EDICT dictionary (Debian package "edict"): builds the generator,
# writes the lists into a temporary folder and fails on any difference. Without
# the dictionary there is nothing to compare, and the check passes.
set -euo pipefail
cd "$(dirname "$0")/.."
edict=/usr/share/edict/edict
if [ ! -f "$edict" ]; then
  echo "check-wordlists: $edict is not installed (apt-get install edict); nothing checked"
  exit 0
fi
build_dir=${BUILD_DIR:-build}
[ -f "$build_dir/build.ninja" ] || cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" --target edict_wordlists -j2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$build_dir/tools/edict_wordlists" "$edict" tools/edict "$out"
status=0
for f in "$out"/*.txt assets/wordlists/*.txt; do
  name=$(basename "$f")
  diff -u "assets/wordlists/$name" "$out/$name" >&2 || status=1
done
if [ $status -ne 0 ]; then
  echo "check-wordlists: assets/wordlists differs from what tools/edict makes; run" >&2
  echo "  $build_dir/tools/edict_wordlists $edict tools/edict assets/wordlists" >&2
  exit 1
fi
echo "check-wordlists: assets/wordlists is what tools/edict makes from $edict"
