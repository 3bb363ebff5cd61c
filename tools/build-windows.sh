#!/usr/bin/env bash
# ./build.sh windows: Trendora for Windows, built on Debian 12 with mingw-w64.
#  1. builds Qt for Windows from Debian's qt6-base source, or reuses the cached build
#     (tools/build-qt-mingw.sh);
#  2. cross-builds the whole program and every test program into build-win/, warnings as errors;
#  3. runs the tests under Wine, offscreen, in UTC and in a zone with summer time;
#  4. writes build-win/trendora-VERSION-win64.zip and build-win/trendora-VERSION-win64-setup.exe
#     (before the tests), and checks under Wine that the installer installs and uninstalls
#     silently.
# Every Wine step has a time limit, so that a hang fails with a message instead of stalling.
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=apt-install.sh
. tools/apt-install.sh
install_missing --no-install-recommends build-essential cmake ninja-build qt6-base-dev \
  qt6-base-dev-tools libgl-dev g++-mingw-w64-x86-64-posix wine64 googletest nsis dpkg-dev \
  xvfb xauth fonts-liberation fonts-wqy-zenhei
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Qt for Windows"
qt=$(tools/build-qt-mingw.sh | tail -n 1)
[ -f "$qt/.trendora-complete" ] || { echo "no complete Qt for Windows at $qt" >&2; exit 1; }

echo "== Cross build (mingw-w64, warnings as errors)"
# A build folder made without this Qt (the Qt-free build, or another Qt) is made anew: the
# toolchain's choices are fixed at the first configure.
if [ -f build-win/CMakeCache.txt ] && ! grep -qxF "TRENDORA_WIN_QT:UNINITIALIZED=$qt" build-win/CMakeCache.txt; then
  rm -rf build-win
fi
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DTRENDORA_WIN_QT="$qt" \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DTRENDORA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-win -j "$jobs"

echo "== Packages"
packaging/windows/make-packages.sh build-win

echo "== The tests under Wine"
# Each test program is one CTest test here; the full output goes to build-win/ctest-ZONE.log,
# and what was skipped, and why, is listed.
for zone in UTC CET-1CEST; do
  echo "-- TZ=$zone"
  log="build-win/ctest-$zone.log"
  status=0
  tools/wine-session.sh build-win bash -c "cd build-win && TZ=$zone ctest -V --timeout 900 -j $jobs" \
    > "$log" 2>&1 || status=$?
  grep -E -A1 '^[0-9]+: .*:[0-9]+: (Skipped|Failure)$' "$log" | grep -v '^--$' || true
  sed -n '/tests passed/,$p' "$log"
  if [ $status -ne 0 ]; then
    echo "the tests under Wine failed (TZ=$zone); the whole output is in $log" >&2
    exit 1
  fi
done

echo "== The installer under Wine"
tools/wine-session.sh build-win packaging/windows/check-installer.sh build-win

echo "== The Windows build's output against the Linux build's"
if [ -f build/src/app/trendora ] && [ -f build/tools/trendora-series ]; then
  tools/windows-compare.sh
else
  echo "skipped: there is no Linux build in build/ to compare with (./build.sh test makes one)"
fi
