#!/usr/bin/env bash
# Takes the screenshots of the README and the user guide: builds the
# screenshot tools and runs each under a virtual X display; the pictures land
# in docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
scripts/build.sh
cmake --build build --target screenshots_tools
mkdir -p docs/screenshots
for tool in build/tools/shots_*; do
  [ -f "$tool" ] && [ -x "$tool" ] || continue
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$tool" docs/screenshots
done
