#!/usr/bin/env bash
# Takes docs/screenshot.png from a real window: Trendora on an X server of its own (Xvfb; apt
# install xvfb), with examples/chamber-week.csv open, one day per screen, the pointer over the
# plot, read back from the screen. Run after ./build.sh run or test has built build/.
# docs/screenshot.png is replaced only by a picture that is not blank, from a run that ended
# with 0.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: apt install xvfb" >&2; exit 1; }
command -v convert >/dev/null || { echo "convert is missing: apt install imagemagick" >&2; exit 1; }
cmake --build build --target trendora-screenshot >/dev/null
# A home and runtime folder of its own, so no saved Qt state of the user's shows.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime"
shot="$home/screenshot.png"
status=0
TZ=UTC HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/runtime" \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  ./build/tools/trendora-screenshot "$shot" examples/chamber-week.csv "$@" || status=$?
if [ $status -ne 0 ]; then
  echo "trendora-screenshot ended with $status: docs/screenshot.png is left as it was" >&2
  exit 1
fi
colours=$(convert "$shot" -format %k info:) || {
  echo "trendora-screenshot wrote no picture that can be read: docs/screenshot.png is left as it was" >&2; exit 1; }
if [ "$colours" -le 1 ]; then
  echo "the picture is blank ($colours colour): docs/screenshot.png is left as it was" >&2
  exit 1
fi
install -m 644 "$shot" docs/screenshot.png
echo "wrote docs/screenshot.png"
