#!/usr/bin/env bash
# Sets up a Debian 12 machine for Trendora, builds it, and either starts it or runs every test.
#   ./build.sh run    install what is missing, build, start Trendora
#   ./build.sh test   install what is missing, build, run the tests, then again under
#                     AddressSanitizer and UndefinedBehaviorSanitizer
#   ./build.sh windows  build Qt for Windows once (cached), cross-build the whole program and its
#                     tests with mingw-w64, run the tests under Wine, and write the portable zip
#                     and the installer into build-win/
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-}
case "$mode" in
  run|test) ;;
  windows) exec tools/build-windows.sh ;;
  *) echo "usage: $0 run|test|windows" >&2; exit 64 ;;
esac

packages=(build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
          fonts-liberation fonts-wqy-zenhei)
[ "$mode" = test ] && packages+=(locales tzdata appstream)

# shellcheck source=tools/apt-install.sh
. tools/apt-install.sh
install_missing "${packages[@]}"

jobs=$(nproc 2>/dev/null || echo 2)

build() { # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

if [ "$mode" = run ]; then
  build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRENDORA_BUILD_TESTS=OFF -DTRENDORA_BUILD_BENCHMARKS=OFF
  exec ./build/src/app/trendora
fi

# The parser must read records alike under a decimal-comma locale, and the tests must pass on
# a Traditional Chinese desktop; make both locales available.
for loc in de_DE zh_TW; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
    as_root localedef -i "$loc" -f UTF-8 "$loc.UTF-8" || echo "note: $loc.UTF-8 locale unavailable"
  fi
done

export QT_QPA_PLATFORM=offscreen
build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest --output-on-failure --timeout 120 -j "$jobs")

echo "== The window tests again on a Traditional Chinese desktop, in a fresh home folder"
zh_home=$(mktemp -d)
(cd build && env -u XDG_CONFIG_HOME HOME="$zh_home" LANG=zh_TW.UTF-8 LC_ALL=zh_TW.UTF-8 \
  ctest --output-on-failure --timeout 120 -j "$jobs" -L window)
rm -rf "$zh_home"

echo "== Again under AddressSanitizer and UndefinedBehaviorSanitizer"
build build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DTRENDORA_SANITIZE=ON -DTRENDORA_BUILD_BENCHMARKS=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure --timeout 120 -j "$jobs")
