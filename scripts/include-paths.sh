# shellcheck shell=bash
# Finds the project file a quoted #include names, as the compiler does: the
# including file's folder first, then the include directories of the target
# that compiles it. Sourced by check-include-cycles.sh and check-layers.sh
# from the repository's top folder.

# The include directories of the target that compiles file, in the order the
# compiler searches them; this mirrors target_include_directories and
# target_link_libraries in the CMakeLists.txt files.
include_dirs_for() {
  local file=$1
  case $file in
    shared/*) echo shared ;;
    game/rules/*) echo game/rules shared ;;
    game/*) echo game game/rules shared ;;
    editor/*) echo editor shared ;;
    stats/*) echo stats shared ;;
    tools/edict/*) echo tools/edict shared ;;
    tools/*editor*) echo tools editor shared ;;
    tools/*stats*) echo tools stats shared ;;
    tools/*) echo tools game game/rules shared ;;
    tests/support/*) echo tests/support shared ;;
    tests/rules/*) echo tests/support game/rules shared ;;
    tests/game/*) echo tests/support game game/rules stats shared ;;
    tests/editor/*) echo tests/support editor shared ;;
    tests/stats/*) echo tests/support stats shared ;;
    tests/ui/*) echo tests/support game game/rules editor stats shared ;;
    tests/tools/*) echo tests/support tools/edict shared ;;
    tests/*) echo tests/support shared ;;
    bench/*editor* | bench/*reading* | bench/*import*) echo bench game/rules editor shared ;;
    bench/*stats*) echo bench game/rules stats shared ;;
    bench/*play* | bench/*files*) echo bench game game/rules shared ;;
    bench/*) echo bench game/rules shared ;;
    fuzz/*) echo fuzz game/rules shared ;;
  esac
}

# path with its "." and ".." parts taken out.
normalize_path() {
  local part
  local -a parts=()
  local IFS=/
  for part in $1; do
    case $part in
      '' | .) ;;
      ..) [ ${#parts[@]} -gt 0 ] && unset 'parts[${#parts[@]}-1]' ;;
      *) parts+=("$part") ;;
    esac
  done
  echo "${parts[*]}"
}

# The project file that `#include "name"` in file opens; nothing when it is
# none of the project's (a Qt or system header).
resolve_include() {
  local file=$1 name=$2 dir candidate
  for dir in "$(dirname "$file")" $(include_dirs_for "$file"); do
    candidate=$(normalize_path "$dir/$name")
    if [ -f "$candidate" ]; then
      echo "$candidate"
      return
    fi
  done
}

# The names of file's quoted includes, one a line.
quoted_includes() {
  sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$1"
}
