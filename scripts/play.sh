#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from the program
# folder the build lays out (build/bin: Yubimaru, ymconfig.ini, Data/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec build/bin/Yubimaru
