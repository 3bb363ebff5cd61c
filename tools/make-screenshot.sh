#!/usr/bin/env bash
# Renders docs/screenshot.png offscreen: Trendora with examples/chamber-week.csv open, one day
# per screen, the pointer over the plot. Run after ./build.sh run or test has built build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target trendora-screenshot >/dev/null
TZ=UTC QT_QPA_PLATFORM=offscreen ./build/tools/trendora-screenshot docs/screenshot.png \
  examples/chamber-week.csv "$@"
echo "wrote docs/screenshot.png"
