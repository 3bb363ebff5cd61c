#!/usr/bin/env bash
# The Windows checks, after ./build.sh test has built build/:
#  1. every source of src/ and tools/ compiles for Windows (mingw-w64, syntax only, against
#     Qt's headers with the Linux build's flags);
#  2. the parts that need no Qt are cross-built into build-win/, the recorder tests run under
#     Wine, and trendora-series.exe writes the same bytes as the Linux build on the example
#     recordings and on generated messy ones.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=../tools/apt-install.sh
. tools/apt-install.sh
install_missing --no-install-recommends g++-mingw-w64-x86-64-posix wine64 googletest
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Every source compiles for Windows (mingw-w64, syntax only)"
[ -f build/compile_commands.json ] || { echo "build/ is not configured: run ./build.sh test first" >&2; exit 1; }
cmake -DBUILD_DIR=build -DOUT=build/windows-syntax.txt -P .ci/windows-syntax.cmake
tr '\n' '\0' < build/windows-syntax.txt | xargs -0 -P "$jobs" -n 1 sh -c

echo "== Cross build for Windows without Qt"
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake >/dev/null
cmake --build build-win -j "$jobs"

echo "== Under Wine"
wine=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64)
export WINEPREFIX="$PWD/build-win/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A first start sets up the prefix; it must not hold up the run if it hangs.
timeout 300 "$wine" wineboot --init >/dev/null 2>&1 || echo "note: wineboot did not finish"
for zone in UTC CET-1CEST; do
  echo "recorder and analysis tests, TZ=$zone"
  TZ=$zone timeout 900 "$wine" build-win/tests/recorder/recorder_tests.exe --gtest_brief=1
  TZ=$zone timeout 900 "$wine" build-win/tests/analysis/analysis_tests.exe --gtest_brief=1
done

samples=build-win/recordings
rm -rf "$samples"
.ci/messy-recordings.sh "$samples"
cp examples/*.csv "$samples"/
# In UTC, and in a zone with summer time (written as Windows' C library reads TZ): every
# recording lies away from its changes, where the two C libraries' rules differ.
failed=0
for zone in UTC CET-1CEST; do
  export TZ=$zone
  for file in "$samples"/*.csv; do
    for mode in "" --summary; do
      set +e
      build/tools/trendora-series $mode "$file" > "$samples/linux.out" 2>/dev/null
      linux_status=$?
      timeout 300 "$wine" build-win/tools/trendora-series.exe $mode "$file" > "$samples/win.out" 2>/dev/null
      win_status=$?
      set -e
      what="TZ=$zone trendora-series $mode $(basename "$file")"
      if [ $linux_status -ne $win_status ] || ! cmp -s "$samples/linux.out" "$samples/win.out"; then
        echo "DIFFERS: $what (exit $linux_status on Linux, $win_status under Wine)"
        cmp "$samples/linux.out" "$samples/win.out" | head -1 || true
        failed=1
      else
        echo "same: $what (exit $linux_status, $(wc -c < "$samples/win.out") bytes)"
      fi
    done
  done
done
rm -f "$samples/linux.out" "$samples/win.out"
exit $failed
