#!/usr/bin/env bash
# The Windows build (build-win/) against the Linux one (build/), the last step of ./build.sh
# windows: on the example recordings and on generated untidy ones, in UTC and in a zone with
# summer time (written as Windows' C library reads TZ), under Wine
#  - trendora-series.exe writes the same bytes and exit status as the Linux build;
#  - trendora.com --statistics prints the same text with the same status;
#  - trendora.com --save-pages writes as many pictures, of the same sizes, under the same names,
#    also for a recording whose name has Chinese characters and a space.
# The recordings lie away from summer-time changes, where the two C libraries' rules differ.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
# trendora.com from the portable folder, as a user runs it; the tool finds the DLLs by WINEPATH.
com="build-win/trendora-$version-win64/trendora.com"
export WINEPATH="Z:$PWD/build-win/wine-path"
for built in build/tools/trendora-series build/src/app/trendora build-win/tools/trendora-series.exe \
             "$com"; do
  [ -f "$built" ] || { echo "$built is missing: run ./build.sh test and ./build.sh windows first" >&2; exit 1; }
done
# Qt's programs make windows even on the offscreen platform, and Wine makes none without a
# display: the checks run in a Wine session on a virtual display.
if [ -z "${TRENDORA_WINE_SESSION:-}" ]; then
  exec env TRENDORA_WINE_SESSION=1 tools/wine-session.sh build-win "$0"
fi

samples=build-win/recordings
rm -rf "$samples"
.ci/messy-recordings.sh "$samples"
cp examples/*.csv "$samples"/
cp examples/power-loss.csv "$samples/烘箱 三號.csv"
linux=$samples/linux.out
win=$samples/win.out
failed=0

# same WHAT LINUX_COMMAND... -- WINDOWS_COMMAND...: both write the same stdout and exit status.
same() {
  local what=$1; shift
  local -a lin=() wn=()
  while [ "$1" != -- ]; do lin+=("$1"); shift; done
  shift
  wn=("$@")
  local linux_status=0 win_status=0
  "${lin[@]}" > "$linux" 2>/dev/null || linux_status=$?
  timeout 300 "$WINE" "${wn[@]}" > "$win" 2>/dev/null || win_status=$?
  if [ $linux_status -ne $win_status ] || ! cmp -s "$linux" "$win"; then
    echo "DIFFERS: $what (exit $linux_status on Linux, $win_status under Wine)"
    cmp "$linux" "$win" | head -1 || true
    failed=1
  else
    echo "same: $what (exit $linux_status, $(wc -c < "$win") bytes)"
  fi
}

# pictures FOLDER: "name width x height" for each PNG there, from its header.
pictures() {
  local file
  for file in "$1"/*.png; do
    [ -e "$file" ] || continue
    printf '%s %d x %d\n' "$(basename "$file")" \
      "$((16#$(od -An -tx1 -j16 -N4 "$file" | tr -d ' \n')))" \
      "$((16#$(od -An -tx1 -j20 -N4 "$file" | tr -d ' \n')))"
  done
}

for zone in UTC CET-1CEST; do
  export TZ=$zone
  for file in "$samples"/*.csv; do
    name=$(basename "$file")
    for mode in "" --summary; do
      same "TZ=$zone trendora-series $mode $name" \
        build/tools/trendora-series $mode "$file" -- build-win/tools/trendora-series.exe $mode "$file"
    done
    same "TZ=$zone trendora --statistics $name" \
      build/src/app/trendora --statistics "$file" -- "$com" --statistics "$file"
  done
done

export TZ=UTC
for file in examples/chamber-week.csv "$samples/烘箱 三號.csv"; do
  rm -rf "$samples/pages-linux" "$samples/pages-win"
  linux_status=0 win_status=0
  env -u DISPLAY build/src/app/trendora --save-pages "$samples/pages-linux" --scale 1Day "$file" \
    2>/dev/null || linux_status=$?
  timeout 300 "$WINE" "$com" --save-pages "$samples/pages-win" --scale 1Day \
    "$file" 2>/dev/null || win_status=$?
  pictures "$samples/pages-linux" > "$linux"
  pictures "$samples/pages-win" > "$win"
  what="trendora --save-pages --scale 1Day $(basename "$file")"
  if [ $linux_status -ne $win_status ] || [ ! -s "$linux" ] || ! cmp -s "$linux" "$win"; then
    echo "DIFFERS: $what (exit $linux_status on Linux, $win_status under Wine)"
    diff "$linux" "$win" | head -5 || true
    failed=1
  else
    echo "same: $what ($(wc -l < "$win") pictures, $(head -1 "$win" | awk '{ print $(NF-2), $(NF-1), $NF }'))"
  fi
done
rm -rf "$linux" "$win" "$samples/pages-linux" "$samples/pages-win"
exit $failed
