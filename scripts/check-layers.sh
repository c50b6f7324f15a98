#!/usr/bin/env bash
# Fails when an include crosses the layers: the game's rules (game/rules/)
# and the library below shared/ui/ include no widget header and no header of
# a program (game/, editor/, stats/); a neighbourhood of shared/ includes
# only those before it in the order platform < config < kana < reading <
# wordlists < play < history, and nothing but shared/ui/ includes shared/ui/.
# Prints each file and the rule it breaks.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/include-paths.sh

order=(platform config kana reading wordlists play history)
declare -A rank
for i in "${!order[@]}"; do
  rank[${order[$i]}]=$i
done

# The widget headers: what Qt's QtWidgets folder holds, less the headers it
# only forwards to Qt GUI or Qt Core (qaction.h and the like).
qt_headers=${QT6_INCLUDE_DIR:-/usr/include/x86_64-linux-gnu/qt6}
if [ ! -d "$qt_headers/QtWidgets" ]; then
  echo "No QtWidgets headers in $qt_headers (set QT6_INCLUDE_DIR)." >&2
  exit 1
fi
headers_in() {
  find "$@" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort -u
}
declare -A widget_header
while read -r name; do
  widget_header[$name]=1
done < <(comm -23 <(headers_in "$qt_headers/QtWidgets") \
  <(headers_in "$qt_headers/QtGui" "$qt_headers/QtCore"))

# The programs' headers, for a name that reaches one through another folder.
mapfile -t program_headers < <(git ls-files 'game/*.h' 'editor/*.h' 'stats/*.h')

failed=0
broken() {
  echo "$1: includes $2: $3" >&2
  failed=1
}

# The project file an include opens: by its path, or else the program header
# whose path ends in it.
included_file() {
  local file=$1 name=$2 found header
  found=$(resolve_include "$file" "$name")
  if [ -z "$found" ]; then
    for header in "${program_headers[@]}"; do
      if [[ "/$header" == */"$name" ]]; then
        found=$header
        break
      fi
    done
  fi
  echo "$found"
}

while read -r file; do
  case $file in
    shared/ui/*) continue ;;
    shared/*/*) hood=${file#shared/} hood=${hood%%/*} ;;
    *) hood= ;;
  esac
  if [ -n "$hood" ] && [ -z "${rank[$hood]+set}" ]; then
    broken "$file" "nothing" "shared/$hood/ is not in the order ${order[*]}"
    continue
  fi

  while read -r name; do
    if [[ $name == QtWidgets/* || -n ${widget_header[$name]+set} ]]; then
      broken "$file" "<$name>" "a widget header, which only shared/ui/ and the programs may include"
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/p' "$file")

  while read -r name; do
    target=$(included_file "$file" "$name")
    case $target in
      game/rules/*) [[ $file == game/rules/* ]] && continue ;;&
      game/* | editor/* | stats/*)
        broken "$file" "\"$name\"" "$target belongs to a program"
        ;;
      shared/ui/*)
        broken "$file" "\"$name\"" "$target is in shared/ui/, above the rest of shared/"
        ;;
      shared/*/*)
        [ -n "$hood" ] || continue
        other=${target#shared/} other=${other%%/*}
        if [ -n "${rank[$other]+set}" ] && [ "${rank[$other]}" -gt "${rank[$hood]}" ]; then
          broken "$file" "\"$name\"" "shared/$other/ comes after shared/$hood/ in the order ${order[*]}"
        fi
        ;;
    esac
  done < <(quoted_includes "$file")
done < <(git ls-files 'game/rules/*.h' 'game/rules/*.cpp' 'shared/*.h' 'shared/*.cpp')

if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "The layers hold."
