#!/usr/bin/env bash
# Fails when the project's source files include each other in a circle. A
# unit is a header and its source file (shared/config/config.h and
# shared/config/config.cpp); a unit including another is an edge, and tsort
# finds any loop among them. Each include is found by its path, as the
# compiler finds it, so two headers of one name in different folders stay
# apart.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/include-paths.sh

edges=$(mktemp)
trap 'rm -f "$edges" "$edges.err"' EXIT
while read -r file; do
  unit=${file%.*}
  echo "$unit $unit" >>"$edges"
  while read -r name; do
    target=$(resolve_include "$file" "$name")
    target=${target%.*}
    [ -n "$target" ] && [ "$target" != "$unit" ] && echo "$unit $target" >>"$edges"
  done < <(quoted_includes "$file")
done < <(git ls-files '*.h' '*.cpp')

if ! tsort "$edges" >/dev/null 2>"$edges.err"; then
  echo "Include cycle between these units:" >&2
  grep -v 'input contains a loop' "$edges.err" | sed 's/^tsort: /  /' >&2
  exit 1
fi
echo "No include cycles."
