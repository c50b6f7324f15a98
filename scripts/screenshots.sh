#!/usr/bin/env bash
# Takes the screenshots of the windows: builds the screenshot tools and runs
# each under a virtual X display.
#   scripts/screenshots.sh                   the README's and the user guide's
#                                            pictures, into docs/screenshots/
#   scripts/screenshots.sh --scales [folder] every window at each scale from
#                                            100 % to 200 % in quarter steps,
#                                            into folder/<scale>/ (by default
#                                            build/screenshots/)
set -euo pipefail
cd "$(dirname "$0")/.."
scales=(1)
output=docs/screenshots
screen=1280x1024x24
if [ "${1:-}" = --scales ]; then
  scales=(1 1.25 1.5 1.75 2)
  output=${2:-build/screenshots}
  # Room for the largest window at 200 %.
  screen=1920x1440x24
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--scales [folder]]" >&2
  exit 2
fi
scripts/setup.sh test
scripts/build.sh
cmake --build build --target screenshots_tools
for scale in "${scales[@]}"; do
  folder=$output
  [ "${#scales[@]}" -eq 1 ] || folder=$output/$scale
  mkdir -p "$folder"
  for tool in build/tools/shots_*; do
    [ -f "$tool" ] && [ -x "$tool" ] || continue
    # Fractional scales as they are, not rounded to whole ones.
    QT_SCALE_FACTOR=$scale QT_SCALE_FACTOR_ROUNDING_POLICY=PassThrough \
      xvfb-run -a -s "-screen 0 $screen -noreset" "$tool" "$folder"
  done
done
