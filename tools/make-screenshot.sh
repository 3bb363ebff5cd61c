#!/usr/bin/env bash
# Takes docs/screenshot.png from a real window: Trendora on an X server of its own (Xvfb; apt
# install xvfb), with examples/chamber-week.csv open, one day per screen, the pointer over the
# plot, read back from the screen. Run after ./build.sh run or test has built build/.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: apt install xvfb" >&2; exit 1; }
cmake --build build --target trendora-screenshot >/dev/null
# A home and runtime folder of its own, so no saved Qt state of the user's shows.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
TZ=UTC HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  ./build/tools/trendora-screenshot docs/screenshot.png examples/chamber-week.csv "$@"
echo "wrote docs/screenshot.png"
