#!/usr/bin/env bash
# Sets everything up, builds and starts the word-list editor Tangobako from
# the program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec "${BUILD_DIR:-build}/bin/Tangobako"
