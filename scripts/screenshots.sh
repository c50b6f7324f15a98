#!/usr/bin/env bash
# Takes the screenshots of the windows: builds the screenshot tools and runs
# each under a virtual X display.
#   scripts/screenshots.sh                   the README's and the user guide's
#                                            pictures, into docs/screenshots/
#   scripts/screenshots.sh --scales [folder] every window at each scale from
#                                            100 % to 200 % in quarter steps,
#                                            under X11 into folder/x11/<scale>/
#                                            and as native Wayland clients of
#                                            sway into folder/wayland/<scale>/
#                                            (by default build/screenshots/)
# On X11 the scale is Qt's own; on Wayland it is the compositor's output
# scale, as a user sets it. (sway 1.7 gives its clients whole scales and
# scales their windows down to a fractional one, so the Wayland pictures at
# 125 % to 175 % are what the programs draw at 200 %.)
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
[ "${#scales[@]}" -eq 1 ] || scripts/setup.sh run sway qt6-wayland
scripts/build.sh
cmake --build build --target screenshots_tools
for scale in "${scales[@]}"; do
  folder=$output
  [ "${#scales[@]}" -eq 1 ] || folder=$output/x11/$scale
  mkdir -p "$folder"
  for tool in build/tools/shots_*; do
    [ -f "$tool" ] && [ -x "$tool" ] || continue
    # Fractional scales as they are, not rounded to whole ones.
    QT_SCALE_FACTOR=$scale QT_SCALE_FACTOR_ROUNDING_POLICY=PassThrough \
      xvfb-run -a -s "-screen 0 $screen -noreset" "$tool" "$folder"
  done
done
[ "${#scales[@]}" -gt 1 ] || exit 0

# The same tools under Wayland, one sway session a scale, as sway's user.
tools=$(realpath build/tools)
output=$(realpath -m "$output")
for scale in "${scales[@]}"; do
  (
    . scripts/sway-session.sh
    session_end() {
      mkdir -p "$output/wayland"
      cp -r "$work/shots" "$output/wayland/$scale"
    }
    mkdir -m 777 "$work/shots"
    # Room for the largest window at 200 %.
    sway_session_start "output HEADLESS-1 scale $scale resolution 2560x2048"
    for tool in "$tools"/shots_*; do
      [ -f "$tool" ] && [ -x "$tool" ] || continue
      as_user "$tool" "$work/shots"
    done
  )
done
