#!/usr/bin/env bash
# Walks the three programs' windows as a screen reader sees them, through
# AT-SPI (scripts/atspi_walk.py): fails on an element of any window that takes
# the focus without a name, on a painted chart that hides its cells, and when
# a game's first word cannot be read and typed through AT-SPI alone. Runs on a
# virtual X display under a session D-Bus, Qt's accessibility bridge always on.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run xvfb xauth at-spi2-core python3-pyatspi dbus
scripts/build.sh Yubimaru Tangobako Seiseki program_folder >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "${BUILD_DIR:-build}/bin" "$work/folder"
mkdir -m 700 "$work/run"
env -i PATH=/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 \
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  dbus-run-session -- /usr/bin/python3 scripts/atspi_walk.py "$work/folder"
