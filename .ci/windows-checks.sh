#!/usr/bin/env bash
# The Windows checks, after ./build.sh test has built build/ and ./build.sh windows build-win/:
#  1. every source of src/ and tools/ compiles for Windows against the machine's Qt headers
#     with the Linux build's flags (mingw-w64, syntax only), which catches a fault the same
#     hour it is made even where only the Linux build is at hand;
#  2. under Wine, from the portable folder as a user unpacks it: trendora.com --statistics
#     prints the same text as the Linux build and --save-pages writes as many pictures of the
#     same size, on the example recordings and on one named in Chinese with spaces;
#  3. trendora-series.exe writes the same bytes as the Linux build on the example recordings
#     and on generated messy ones.
# Both builds run in UTC and in a zone with summer time (written as Windows' C library reads TZ):
# every recording lies away from its changes, where the two C libraries' rules differ.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=../tools/apt-install.sh
. tools/apt-install.sh
install_missing --no-install-recommends g++-mingw-w64-x86-64-posix wine64
jobs=$(nproc 2>/dev/null || echo 2)
for need in build/src/app/trendora build/tools/trendora-series build-win/CMakeCache.txt; do
  [ -e "$need" ] || { echo "$need is missing: run ./build.sh test and ./build.sh windows first" >&2; exit 1; }
done

echo "== Every source compiles for Windows (mingw-w64, syntax only)"
cmake -DBUILD_DIR=build -DOUT=build/windows-syntax.txt -P .ci/windows-syntax.cmake
tr '\n' '\0' < build/windows-syntax.txt | xargs -0 -P "$jobs" -n 1 sh -c

# shellcheck source=../tools/wine-env.sh
. tools/wine-env.sh
wine_prefix build-win
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
portable="build-win/trendora-$version-win64"
[ -f "$portable/trendora.com" ] || { echo "$portable is missing: run ./build.sh windows" >&2; exit 1; }

samples=build-win/recordings
rm -rf "$samples"
.ci/messy-recordings.sh "$samples"
cp examples/*.csv "$samples"/
cp examples/chamber-week.csv "$samples/爐 3 溫濕度 記錄.csv"
linux_home=$(mktemp -d)
failed=0

# same WHAT: the two builds' exit statuses and outputs ($samples/linux.out, win.out) agree
same() {
  if [ "$1" -ne "$2" ] || ! cmp -s "$samples/linux.out" "$samples/win.out"; then
    echo "DIFFERS: $3 (exit $1 on Linux, $2 under Wine)"
    cmp "$samples/linux.out" "$samples/win.out" | head -1 || true
    failed=1
  else
    echo "same: $3 (exit $1, $(wc -c < "$samples/win.out") bytes)"
  fi
}
# The width and height of every PNG in a folder, in name order.
png_sizes() {
  for f in "$1"/*.png; do
    [ -e "$f" ] || continue
    printf '%s %s\n' "$(basename "$f")" "$(od -An -tx1 -j16 -N8 "$f" | tr -d ' \n')"
  done
}

for zone in UTC CET-1CEST; do
  export TZ=$zone
  echo "== trendora --statistics and --save-pages, TZ=$zone"
  for file in examples/*.csv "$samples/爐 3 溫濕度 記錄.csv"; do
    set +e
    XDG_CONFIG_HOME="$linux_home" QT_QPA_PLATFORM=offscreen build/src/app/trendora --statistics "$file" \
      > "$samples/linux.out" 2>/dev/null
    linux_status=$?
    (unset WINEPATH QT_PLUGIN_PATH; timeout 300 "$WINE" "$portable/trendora.com" --statistics "$file" \
      > "$samples/win.out" 2>/dev/null)
    win_status=$?
    set -e
    same $linux_status $win_status "TZ=$zone --statistics $(basename "$file")"

    rm -rf "$samples/pages-linux" "$samples/pages-win"
    mkdir -p "$samples/pages-linux" "$samples/pages-win"
    set +e
    XDG_CONFIG_HOME="$linux_home" QT_QPA_PLATFORM=offscreen build/src/app/trendora \
      --save-pages "$samples/pages-linux" "$file" >/dev/null 2>&1
    linux_status=$?
    (unset WINEPATH QT_PLUGIN_PATH; timeout 600 "$WINE" "$portable/trendora.com" \
      --save-pages "$samples/pages-win" "$file" >/dev/null 2>&1)
    win_status=$?
    set -e
    png_sizes "$samples/pages-linux" > "$samples/linux.out"
    png_sizes "$samples/pages-win" > "$samples/win.out"
    same $linux_status $win_status "TZ=$zone --save-pages $(basename "$file"): $(wc -l < "$samples/win.out") pictures"
  done

  echo "== trendora-series, TZ=$zone"
  for file in "$samples"/*.csv; do
    for mode in "" --summary; do
      set +e
      build/tools/trendora-series $mode "$file" > "$samples/linux.out" 2>/dev/null
      linux_status=$?
      WINEPATH="Z:$PWD/build-win/wine-path" timeout 300 "$WINE" build-win/tools/trendora-series.exe \
        $mode "$file" > "$samples/win.out" 2>/dev/null
      win_status=$?
      set -e
      same $linux_status $win_status "TZ=$zone trendora-series $mode $(basename "$file")"
    done
  done
done
rm -rf "$linux_home" "$samples/linux.out" "$samples/win.out"
exit $failed
