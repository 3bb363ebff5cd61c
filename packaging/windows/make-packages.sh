#!/usr/bin/env bash
# Makes the Windows packages from a cross build (build-win/ by default):
#   BUILD/trendora-VERSION-win64.zip        the portable folder trendora-VERSION-win64/
#   BUILD/trendora-VERSION-win64-setup.exe  the installer (NSIS), for the current user
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-win}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "$build is not a configured build" >&2; exit 1; }
name="trendora-$version-win64"
stage="$(realpath -m "$build/$name")"

rm -rf "$stage" "$build/$name.zip" "$build/$name-setup.exe"
cmake --install "$build" --prefix "$stage" >/dev/null
# Nothing but what the program loads: the test programs and the tools are not installed.
for f in trendora.exe trendora.com Qt6Core.dll platforms/qwindows.dll NOTICE.txt; do
  [ -f "$stage/$f" ] || { echo "the portable folder lacks $f" >&2; exit 1; }
done
# Qt and the compiler's runtime are passed on only with their licences, and Qt (LGPL) only
# with the offer of its source that NOTICE.txt makes: neither package is written without them.
for f in licenses/qt/LGPL-3.0-only.txt licenses/gcc-runtime/copyright.txt \
         licenses/winpthreads/copyright.txt; do
  [ -s "$stage/$f" ] || { echo "the portable folder lacks the licence text $f: no packages written" >&2; exit 1; }
done
qt=$(sed -n 's/^TRENDORA_WIN_QT:[A-Z]*=//p' "$build/CMakeCache.txt")
qt_source=$(cat "$qt/.source-version" 2>/dev/null) || true
[ -n "$qt_source" ] || { echo "$build does not say which Qt for Windows it was built with: no packages written" >&2; exit 1; }
offer="from Debian's source package qt6-base $qt_source (\"apt-get source qt6-base=$qt_source\""
if [[ $(tr -d '\r' < "$stage/NOTICE.txt" | tr -s '\n ' ' ') != *"$offer"* ]]; then
  echo "NOTICE.txt lacks the offer of Qt's source ($offer...): no packages written" >&2
  exit 1
fi
(cd "$build" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "wrote $build/$name.zip ($(du -k "$build/$name.zip" | cut -f1) KiB)"

# The uninstaller removes the files the installer put there, one by one, and the folders only
# when they are empty, so whatever the user keeps in the folder stays.
list="$build/uninstall-files.nsh"
# shellcheck disable=SC2016 # $INSTDIR is NSIS's, written as it is
(cd "$stage" && find . -type f | sed 's|^\./||' | sort | sed 's|/|\\|g' |
   while IFS= read -r f; do printf 'Delete "$INSTDIR\\%s"\n' "$f"; done
 cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r | sed 's|/|\\|g' |
   while IFS= read -r d; do printf 'RMDir "$INSTDIR\\%s"\n' "$d"; done) > "$list"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$(realpath "$stage")" \
  -DUNINSTALL_LIST="$(realpath "$list")" -DICON="$(realpath src/res/images/icon128.ico)" \
  -DOUTFILE="$(realpath "$build")/$name-setup.exe" packaging/windows/trendora.nsi
echo "wrote $build/$name-setup.exe ($(du -k "$build/$name-setup.exe" | cut -f1) KiB)"
