#!/usr/bin/env bash
# Fails when the project's source files include each other in a circle. A
# unit is a header and its source file (shared/config/config.h and
# shared/config/config.cpp); a unit including another is an edge, and tsort
# finds any loop among them.
set -euo pipefail
cd "$(dirname "$0")/.."

# Where each header of the project lives, by its name (the programs include
# headers by name, as their folders are on the include path).
declare -A unit_of
while read -r header; do
  unit_of[$(basename "$header")]=${header%.*}
done < <(git ls-files '*.h')

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while read -r file; do
  unit=${file%.*}
  echo "$unit $unit" >>"$edges"
  while read -r name; do
    target=${unit_of[$name]:-}
    [ -n "$target" ] && [ "$target" != "$unit" ] && echo "$unit $target" >>"$edges"
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file" | xargs -rn1 basename)
done < <(git ls-files '*.h' '*.cpp')

if ! tsort "$edges" >/dev/null 2>"$edges.err"; then
  echo "Include cycle between these units:" >&2
  grep -v 'input contains a loop' "$edges.err" | sed 's/^tsort: /  /' >&2
  rm -f "$edges.err"
  exit 1
fi
rm -f "$edges.err"
echo "No include cycles."
