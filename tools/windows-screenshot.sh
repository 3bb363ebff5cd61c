#!/usr/bin/env bash
# A real window under Wine: trendora.exe from the portable folder opens a recording under Xvfb
# with Qt's windows platform plugin, and the screen is saved as a picture.
#   tools/windows-screenshot.sh OUT.png [LANG [FILE]]   after ./build.sh windows
# LANG is the desktop's locale as Wine takes it (en_US.UTF-8, zh_TW.UTF-8 ...), from which
# Trendora chooses its language on a first start. OUT.png is written only when the program was
# still running (or had ended with 0) when the screen was read, and the screen is not blank.
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
[ -f "$exe" ] || { echo "$exe is missing: run ./build.sh windows first" >&2; exit 1; }

# A first start, whose language follows the locale: no settings of an earlier one.
settings='HKCU\Software\MirevaleStudio\Trendora'
timeout 60 "$WINE" reg delete "$settings" /f >/dev/null 2>&1 || true
status=0
wine_reg_query "$settings" || status=$?
if [ $status -ne 1 ]; then
  [ $status -eq 0 ] && echo "the settings of an earlier start are still there: $settings" >&2
  exit 1
fi
wine_kill

shot=$(mktemp --suffix=.png)
trap 'rm -f "$shot"' EXIT
export exe file shot lang
# shellcheck disable=SC2016 # expanded by the inner shell
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
  . tools/wine-env.sh
  # In a shell of its own whose notices go nowhere, so that its ending by wine_kill is not
  # reported as "Killed"; what the program itself writes goes to stderr.
  (LANG=$lang LC_ALL=$lang timeout 180 "$WINE" "$exe" "$file" 2>&3; exit $?) 3>&2 2>/dev/null &
  program=$!
  sleep "${TRENDORA_SHOT_WAIT:-30}"
  # The program must not have ended with an error before the screen is read.
  running=1
  kill -0 $program 2>/dev/null || running=0
  if [ $running -eq 0 ]; then
    ended=0
    wait $program || ended=$?
    if [ $ended -ne 0 ]; then
      echo "trendora.exe ended with $ended before the screen was read" >&2
      wine_kill
      exit 1
    fi
  fi
  if ! import -window root "$shot"; then
    echo "the screen could not be read" >&2
    wine_kill
    exit 1
  fi
  wine_kill || exit 1
  [ $running -eq 0 ] || wait $program || true'
# A blank screen is one colour; Trendora's window has many.
colours=$(convert "$shot" -format %k info:) || { echo "no picture of the screen that can be read was written" >&2; exit 1; }
if [ "$colours" -le 1 ]; then
  echo "the screen read under Wine is blank ($colours colour): no window showed" >&2
  exit 1
fi
install -m 644 "$shot" "$out"
echo "wrote $out"
