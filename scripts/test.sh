#!/usr/bin/env bash
# Installs what building and every test need when it is missing, builds
# everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
scripts/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
