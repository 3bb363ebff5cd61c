#!/usr/bin/env bash
# A real window under Wine: trendora.exe from the portable folder opens a recording under Xvfb
# with Qt's windows platform plugin, and the screen is saved as a picture.
#   tools/windows-screenshot.sh OUT.png [LANG [FILE]]   after ./build.sh windows
# LANG is the desktop's locale as Wine takes it (en_US.UTF-8, zh_TW.UTF-8 ...), from which
# Trendora chooses its language on a first start.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "$1")
lang=${2:-en_US.UTF-8}
file=$(realpath "${3:-examples/chamber-week.csv}")
# shellcheck source=apt-install.sh
. tools/apt-install.sh
install_missing --no-install-recommends xvfb xauth imagemagick fonts-liberation fonts-wqy-zenhei
# shellcheck source=wine-env.sh
. tools/wine-env.sh
wine_prefix build-win
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
exe="$PWD/build-win/trendora-$version-win64/trendora.exe"

# A first start, whose language follows the locale.
timeout 60 "$WINE" reg delete 'HKCU\Software\MirevaleStudio\Trendora' /f >/dev/null 2>&1 || true
timeout 60 wineserver -k 2>/dev/null || true

export exe file out lang
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
  LANG=$lang LC_ALL=$lang timeout 180 "$WINE" "$exe" "$file" &
  sleep "${TRENDORA_SHOT_WAIT:-30}"
  import -window root "$out"
  timeout 30 wineserver -k || true
  wait || true'
echo "wrote $out"
