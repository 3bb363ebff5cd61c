#!/usr/bin/env bash
# The month at one record a second as a whole process: trendora --statistics of the Linux build
# against trendora.com --statistics of the Windows build under Wine, same file, same run.
# Wine's own start-up (and loading Qt's DLLs) is taken out by timing --version the same way.
# A run counts only when it exits with 0 and prints what it should (--version its version,
# --statistics the table's heading); any other run stops the benchmark with what it printed.
#   benchmarks/windows-speed.sh [ROUNDS]   after ./build.sh test (or run) and ./build.sh windows
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
[[ $rounds =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [ROUNDS], ROUNDS a whole number above 0" >&2; exit 64; }
for built in build/src/app/trendora build/tools/trendora-makerecordings build-win/CMakeCache.txt; do
  [ -f "$built" ] || { echo "$built is missing: run ./build.sh test and ./build.sh windows first" >&2; exit 1; }
done
# shellcheck source=../tools/wine-env.sh
. tools/wine-env.sh
wine_prefix build-win
linux_version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
com="build-win/trendora-$version-win64/trendora.com"
[ -f "$com" ] || { echo "$com is missing: run ./build.sh windows first" >&2; exit 1; }
month=build-win/month-1hz.csv
if [ ! -f "$month" ]; then
  build/tools/trendora-makerecordings --month "$month.part"
  mv "$month.part" "$month"
fi
export TZ=UTC QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
out="$XDG_CONFIG_HOME/out" err="$XDG_CONFIG_HOME/err"
# The heading of the --statistics table; other lines may come before it.
heading=$'curve\tminimum\tat\tmaximum\tat\tmean'

# seconds LINE COMMAND...: the best wall time of $rounds runs, each of which must exit with 0
# and print LINE (a whole line, Windows' line ends allowed).
seconds() {
  local line=$1; shift
  local best="" t0 t1 t status
  for _ in $(seq "$rounds"); do
    status=0
    t0=$(date +%s.%N); "$@" > "$out" 2> "$err" || status=$?; t1=$(date +%s.%N)
    if [ $status -ne 0 ] || ! tr -d '\r' < "$out" | grep -qxF "$line"; then
      {
        echo "stopped: $* exited with $status; the run is not timed. Expected the line: $line"
        echo "-- it printed:"; head -n 20 "$out"
        echo "-- and on stderr:"; head -n 20 "$err"
      } >&2
      return 1
    fi
    t=$(awk -v a="$t1" -v b="$t0" 'BEGIN { print a - b }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  echo "$best"
}
wine_com() { timeout 600 "$WINE" "$com" "$@"; }

linux_start=$(seconds "Trendora $linux_version" build/src/app/trendora --version)
linux_stats=$(seconds "$heading" build/src/app/trendora --statistics "$month")
wine_start=$(seconds "Trendora $version" wine_com --version)
wine_stats=$(seconds "$heading" wine_com --statistics "$month")
linux_work=$(awk -v a="$linux_stats" -v b="$linux_start" 'BEGIN { print a - b }')
wine_work=$(awk -v a="$wine_stats" -v b="$wine_start" 'BEGIN { print a - b }')
printf 'Linux:      --statistics %.2f s, --version %.2f s, work %.2f s\n' "$linux_stats" "$linux_start" "$linux_work"
printf 'Wine:       --statistics %.2f s, --version %.2f s, work %.2f s\n' "$wine_stats" "$wine_start" "$wine_work"
printf 'ratio Wine/Linux beyond start-up: %.2f (best of %d rounds)\n' \
  "$(awk -v a="$wine_work" -v b="$linux_work" 'BEGIN { print a / b }')" "$rounds"
wine_wait 60
