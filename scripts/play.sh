#!/usr/bin/env bash
# Installs what building and running the programs needs when it is missing,
# builds the game alone and starts it from the program folder the build lays
# out (build/bin: Yubimaru, ymconfig.ini, Data/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
scripts/build.sh Yubimaru program_folder
exec "${BUILD_DIR:-build}/bin/Yubimaru"
