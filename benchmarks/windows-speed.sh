#!/usr/bin/env bash
# The month at one record a second as a whole process: trendora --statistics of the Linux build
# against trendora.com --statistics of the Windows build under Wine, same file, same run.
# Wine's own start-up (and loading Qt's DLLs) is taken out by timing --version the same way.
#   benchmarks/windows-speed.sh [ROUNDS]   after ./build.sh test (or run) and ./build.sh windows
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
# shellcheck source=../tools/wine-env.sh
. tools/wine-env.sh
wine_prefix build-win
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
com="build-win/trendora-$version-win64/trendora.com"
month=build-win/month-1hz.csv
[ -f "$month" ] || build/tools/trendora-makerecordings --month "$month"
export TZ=UTC QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)

seconds() { # seconds COMMAND...: the best wall time of $rounds runs
  local best="" t0 t1 t
  for _ in $(seq "$rounds"); do
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
    t=$(awk -v a="$t1" -v b="$t0" 'BEGIN { print a - b }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}
wine_com() { timeout 600 "$WINE" "$com" "$@"; }

linux_start=$(seconds build/src/app/trendora --version)
linux_stats=$(seconds build/src/app/trendora --statistics "$month")
wine_start=$(seconds wine_com --version)
wine_stats=$(seconds wine_com --statistics "$month")
linux_work=$(awk -v a="$linux_stats" -v b="$linux_start" 'BEGIN { print a - b }')
wine_work=$(awk -v a="$wine_stats" -v b="$wine_start" 'BEGIN { print a - b }')
printf 'Linux:      --statistics %.2f s, --version %.2f s, work %.2f s\n' "$linux_stats" "$linux_start" "$linux_work"
printf 'Wine:       --statistics %.2f s, --version %.2f s, work %.2f s\n' "$wine_stats" "$wine_start" "$wine_work"
printf 'ratio Wine/Linux beyond start-up: %.2f (best of %d rounds)\n' \
  "$(awk -v a="$wine_work" -v b="$linux_work" 'BEGIN { print a / b }')" "$rounds"
rm -rf "$XDG_CONFIG_HOME"
