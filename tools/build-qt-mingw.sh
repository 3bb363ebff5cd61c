#!/usr/bin/env bash
# Builds Qt's base module for 64-bit Windows (mingw-w64) from Debian's own qt6-base source, the
# same version as the installed host tools, and installs it into a cache outside the checkout:
#   ${TRENDORA_QT_CACHE:-$HOME/.cache/trendora}/qt6-base-VERSION-mingw64-OPTIONS
# OPTIONS is a digest of the configure options below, so that a changed feature set is built
# anew rather than taken from an older cache. A finished install is marked by a stamp file
# written last; a cache without it is built anew, so an interrupted build is never taken for a
# complete one. Prints the prefix as its last line.
#   tools/build-qt-mingw.sh [--fetch]   --fetch: install the packages and unpack the source only
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=apt-install.sh
. tools/apt-install.sh
install_missing --no-install-recommends qt6-base-dev qt6-base-dev-tools cmake ninja-build \
  g++-mingw-w64-x86-64-posix dpkg-dev

fetch_only=0
[ "${1:-}" = --fetch ] && fetch_only=1

# Every third-party library from Qt's own copy (the machine's are Linux builds). Debian's copy
# of the source lacks the wintab headers, so no tablet events; the windows platform plugin of
# this version needs OpenGL, loaded at run time, and its DirectWrite font code needs Direct2D
# (without it Qt 6.4's print support and windows plugin do not link). The offscreen platform
# draws text with FreeType on Windows. What Trendora does not use is left out to shorten the
# build: the modules beyond Core, Gui, Widgets, PrintSupport and Test, and the widgets and text
# formats it never shows. The calendar widget stays: without it there is no date-time edit, and
# without that no print dialog.
options=(
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_opengl_dynamic=ON
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=ON
  -DFEATURE_sql_sqlite=OFF -DFEATURE_imageformat_ppm=OFF -DFEATURE_imageformat_xbm=OFF
  -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_androiddeployqt=OFF
  -DFEATURE_graphicsview=OFF -DFEATURE_mdiarea=OFF
  -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF -DFEATURE_undogroup=OFF
  -DFEATURE_undoview=OFF -DFEATURE_dial=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_fontcombobox=OFF
  -DFEATURE_keysequenceedit=OFF -DFEATURE_wizard=OFF -DFEATURE_commandlinkbutton=OFF
  -DFEATURE_splashscreen=OFF -DFEATURE_columnview=OFF -DFEATURE_syntaxhighlighter=OFF
  -DFEATURE_movie=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
  -DFEATURE_textodfwriter=OFF -DFEATURE_printpreviewwidget=OFF -DFEATURE_printpreviewdialog=OFF
  -DFEATURE_testlib=ON -DFEATURE_printsupport=ON -DFEATURE_jpeg=ON
  -DFEATURE_style_windowsvista=ON
)
digest=$(printf '%s\n' "${options[@]}" | sha256sum | cut -c1-8)
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
cache=${TRENDORA_QT_CACHE:-$HOME/.cache/trendora}
prefix="$cache/qt6-base-${version}-mingw64-${digest}"
stamp="$prefix/.trendora-complete"
if [ -f "$stamp" ]; then
  echo "Qt for Windows: reusing $prefix" >&2
  echo "$prefix"
  exit 0
fi

# The work folder of an interrupted build is taken up again: its source was complete (marked),
# and Ninja goes on where it stopped.
work="$prefix-work"
rm -rf "$prefix"
if [ ! -f "$work/.source-ready" ]; then
  rm -rf "$work"
  mkdir -p "$work"

  # The source package: enable Debian's source lists in a file of their own, made from the
  # machine's binary lists so that they name the same mirror and suites.
  srclist=/etc/apt/sources.list.d/trendora-deb-src.sources
  if ! apt-get source --print-uris "qt6-base=$version" >/dev/null 2>&1; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        | as_root tee "$srclist" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list \
        | as_root tee /etc/apt/sources.list.d/trendora-deb-src.list >/dev/null
    fi
    as_root apt-get update -qq
  fi
  (cd "$work" && apt-get source -qq "qt6-base=$version" >/dev/null)
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
  [ -n "$src" ] || { echo "apt-get source qt6-base=$version gave no source folder" >&2; exit 1; }
  touch "$work/.source-ready"
fi
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
if [ $fetch_only -eq 1 ]; then
  echo "Qt for Windows: source ready in $work" >&2
  exit 0
fi

cat > "$work/toolchain.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" \
  "${options[@]}"
cmake --build "$work/build" -j "$(nproc 2>/dev/null || echo 2)"
cmake --install "$work/build" >/dev/null
# Qt's licence texts go with every package made from this prefix: without them the build
# stops here, before the stamp, rather than leaving a prefix no package may be made from.
mkdir -p "$prefix/licenses"
cp "$src"/LICENSES/*.txt "$prefix/licenses/"
cp "$src"/debian/copyright "$prefix/licenses/debian-copyright.txt"
if [ ! -s "$prefix/licenses/LGPL-3.0-only.txt" ]; then
  echo "Qt's source has no LICENSES/LGPL-3.0-only.txt: Qt for Windows is not marked complete" >&2
  exit 1
fi
echo "$version" > "$prefix/.source-version"
rm -rf "$work/build"
touch "$stamp"
echo "Qt for Windows: built $prefix" >&2
echo "$prefix"
