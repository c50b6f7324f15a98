#!/usr/bin/env bash
# Prints the size of the test code against the program code: lines that are
# neither blank nor only a comment, in the C++ files git tracks. The programs
# are shared/, game/, editor/, stats/ and tools/; the tests are tests/.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files "$@" | xargs cat | grep -cvE '^\s*($|//)'; }
program=$(count 'shared/*.cpp' 'shared/*.h' 'game/*.cpp' 'game/*.h' 'editor/*.cpp' 'editor/*.h' \
  'stats/*.cpp' 'stats/*.h' 'tools/*.cpp' 'tools/*.h')
tests=$(count 'tests/*.cpp' 'tests/*.h')
echo "tests $tests, program $program: $((100 * tests / program)) %"
