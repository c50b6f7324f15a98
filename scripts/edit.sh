#!/usr/bin/env bash
# Installs what building and running the programs needs when it is missing,
# with MeCab and its dictionary for the suggested readings, builds the
# word-list editor Tangobako alone and starts it from the program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run libmecab2 mecab-ipadic-utf8
scripts/build.sh Tangobako program_folder
exec "${BUILD_DIR:-build}/bin/Tangobako"
